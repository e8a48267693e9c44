#include "app/messages.h"

#include <QMessageBox>
#include <QObject>

namespace messages {

void show(QWidget *parent, const QString &text)
{
    QMessageBox::information(parent, QObject::tr("设置工具"), text, QMessageBox::Ok,
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
    if (result != 0)
        connectionFailed(parent);
    else if (kind == SlotKind::Read)
        show(parent, QObject::tr("获取成功"));
    else
        show(parent, QObject::tr("设置成功"));
}

} // namespace messages
