#include "window/app/messages.h"

#include "core/protocol/printerqueries.h"
#include "core/settings/refusaltext.h"

#include <QMessageBox>
#include <QObject>

namespace messages {

void show(QWidget *parent, const QString &text)
{
    QMessageBox::information(parent, QObject::tr("设置工具"), text, QMessageBox::Ok,
                             QMessageBox::NoButton);
}

void warn(QWidget *parent, const QString &text)
{
    QMessageBox::warning(parent, QObject::tr("设置工具"), text, QMessageBox::Ok,
                         QMessageBox::NoButton);
}

void selectPrinterFirst(QWidget *parent)
{
    show(parent, QObject::tr("请先选中打印列表中的打印机"));
}

void connectionFailed(QWidget *parent)
{
    show(parent, QObject::tr("请确保打印机已通过usb进行连接"));
}

void showResult(QWidget *parent, SlotKind kind, int result)
{
    if (result == kFrameRefused)
        show(parent, QObject::tr("数据过长，无法发送给打印机，未完成设置"));
    else if (result != 0)
        connectionFailed(parent);
    else if (kind == SlotKind::QuietWrite)
        return;
    else if (kind == SlotKind::Read)
        show(parent, QObject::tr("获取成功"));
    else
        show(parent, QObject::tr("设置成功"));
}

bool confirm(QWidget *parent, const QString &text)
{
    return QMessageBox::question(parent, QObject::tr("设置工具"),
                                 text + QStringLiteral("\n\n") + QObject::tr("是否继续？"),
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

void refused(QWidget *parent, const QString &fieldName, const pages::Refusal &refusal)
{
    warn(parent, pages::refusalText(fieldName, refusal));
}

} // namespace messages
