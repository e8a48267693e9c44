#pragma once

#include "core/settings/pagefields.h"

#include <QString>

class QWidget;

// The user's message boxes: modal information boxes titled "设置工具" with one Ok button.
namespace messages {

// Read and Write slots report every outcome; a QuietWrite (most maintenance buttons) only a
// failure.
enum class SlotKind { Read, Write, QuietWrite };

void show(QWidget *parent, const QString &text);
// The same box with a warning icon, for an outcome that needs attention.
void warn(QWidget *parent, const QString &text);
void selectPrinterFirst(QWidget *parent);
void connectionFailed(QWidget *parent);

// The box after a slot's work: success for result 0, else the connection message. Every
// non-zero transport result is a failure: 4 (transfer) as much as 5 (could not open or claim).
// A frame that could not be built (kFrameRefused) says so instead.
void showResult(QWidget *parent, SlotKind kind, int result);

// A question before what cannot be undone: `text`, then whether to go on. Yes and No, No the
// default (also what closing the box means); true for Yes.
bool confirm(QWidget *parent, const QString &text);

// The warning box of a write refused before anything was sent, naming the field.
void refused(QWidget *parent, const QString &fieldName, const pages::Refusal &refusal);

} // namespace messages
