#include "core/settings/refusaltext.h"

#include <QObject>

namespace pages {

QString refusalText(const QString &fieldName, const Refusal &refusal)
{
    using Reason = Refusal::Reason;
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
    case Reason::NotUtf8:
        text = QObject::tr("“%1”含有不是UTF-8文字的字节。未发送任何设置。").arg(fieldName);
        break;
    case Reason::AddressLeadingZero:
        text = QObject::tr("“%1”的每组数字不能以0开头（如 192.168.1.10，而不是 192.168.001.010）。"
                           "未发送任何设置。")
                   .arg(fieldName);
        break;
    case Reason::NotAHostAddress:
        text = QObject::tr("“%1”不能是 0.0.0.0 或 255.255.255.255：打印机需要自己的地址。"
                           "未发送任何设置。")
                   .arg(fieldName);
        break;
    case Reason::PinNotDigits:
        text = QObject::tr("“%1”须为 %2 到 %3 位数字。未发送任何设置。")
                   .arg(fieldName)
                   .arg(refusal.min)
                   .arg(refusal.max);
        break;
    case Reason::NotAMask:
        text = QObject::tr("“%1”不是有效的子网掩码：须为连续的1再接连续的0（如 255.255.255.0）。"
                           "未发送任何设置。")
                   .arg(fieldName);
        break;
    }
    return text;
}

} // namespace pages
