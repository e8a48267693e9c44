#pragma once

#include <QString>

class QWidget;

// The user's message boxes: modal information boxes titled "设置工具" with one Ok button.
namespace messages {

enum class SlotKind { Read, Write };

void show(QWidget *parent, const QString &text);
void selectPrinterFirst(QWidget *parent);
void connectionFailed(QWidget *parent);

// The box after a slot's work: success for result 0, else the connection message. Every
// non-zero transport result is a failure: 4 (transfer) as much as 5 (could not open or claim).
void showResult(QWidget *parent, SlotKind kind, int result);

} // namespace messages
