#include "protocol/printerstatus.h"

#include "protocol/protocollog.h"

#include <QObject>

QString checkPrinterStatus(unsigned int status)
{
    const QString conditions[] = {
        QObject::tr("打印中"),     QObject::tr("缺纸"),     QObject::tr("纸将尽"),
        QObject::tr("卡纸"),       QObject::tr("碳带将尽"), QObject::tr("无碳带"),
        QObject::tr("打印头过热"), QObject::tr("开盖"),     QObject::tr("定位异常（黑标或缝隙）"),
        QObject::tr("切刀异常"),   QObject::tr("升级中"),   QObject::tr("升级异常"),
        QObject::tr("指令错误"),   QObject::tr("打印暂停"), QObject::tr("打印删除"),
    };
    QString text;
    for (unsigned int bit = 0; bit < std::size(conditions); ++bit) {
        const bool set = status & (1u << bit);
        qCDebug(lcProtocol).noquote()
            << "status bit" << bit << (set ? "set:" : "clear:") << conditions[bit];
        if (set)
            text += QStringLiteral("%1").arg(conditions[bit]) + "\n";
    }
    return text;
}

std::optional<unsigned int> statusWordFromBytes(const unsigned char *bytes, int length)
{
    constexpr int kStatusBytes = 4;
    if (length < kStatusBytes)
        return std::nullopt;
    unsigned int word = 0;
    for (int i = 0; i < kStatusBytes; ++i)
        word |= unsigned(bytes[i]) << (8 * i);
    return word;
}
