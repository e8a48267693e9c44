#include "app/messages.h"

#include "protocol/printerqueries.h"

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

QString refusalText(const QString &fieldName, const pages::Refusal &refusal)
{
    using Reason = pages::Refusal::Reason;
    QString text;
    switch (refusal.reason) {
    case Reason::NotAWholeNumber:
        text = QObject::tr("“%1”须为 %2 到 %3 之间的整数。未发送任何设置。")
                   .arg(fieldName)
                   .arg(refusal.min)
                   .arg(refusal.max);
        break;
    case Reason::TooLong:
        text = QObject::tr("“%1”太长：最多 %2 个字节。未发送任何设置。")
                   .arg(fieldName)
                   .arg(refusal.max);
        break;
    case Reason::ContainsNul:
        text = QObject::tr("“%1”不能包含空字符（NUL）。未发送任何设置。").arg(fieldName);
        break;
    case Reason::IncompleteAddress:
        text = QObject::tr("“%1”须为完整的IP地址：四组 0 到 255 的数字。未发送任何设置。")
                   .arg(fieldName);
        break;
    case Reason::AccessPointIpMissing:
        text = QObject::tr("AP模式需要填写AP_IP地址。未发送任何设置。");
        break;
    }
    return text;
}

void refused(QWidget *parent, const QString &fieldName, const pages::Refusal &refusal)
{
    const QString text = refusalText(fieldName, refusal);
    QMessageBox::warning(parent, QObject::tr("设置工具"), text, QMessageBox::Ok,
                         QMessageBox::NoButton);
}

} // namespace messages
