#include "core/protocol/printerstatus.h"

#include "core/protocol/protocollog.h"

#include <QObject>

#include <algorithm>

QList<StatusCondition> statusConditions(unsigned int status)
{
    const StatusCondition conditions[] = {
        {"printing", QObject::tr("打印中")},
        {"paper-out", QObject::tr("缺纸")},
        {"paper-low", QObject::tr("纸将尽")},
        {"paper-jam", QObject::tr("卡纸")},
        {"ribbon-low", QObject::tr("碳带将尽")},
        {"ribbon-out", QObject::tr("无碳带")},
        {"head-overheated", QObject::tr("打印头过热")},
        {"cover-open", QObject::tr("开盖")},
        {"positioning-error", QObject::tr("定位异常（黑标或缝隙）")},
        {"cutter-error", QObject::tr("切刀异常")},
        {"upgrading", QObject::tr("升级中")},
        {"upgrade-error", QObject::tr("升级异常")},
        {"command-error", QObject::tr("指令错误")},
        {"paused", QObject::tr("打印暂停")},
        {"print-deleted", QObject::tr("打印删除")},
    };
    QList<StatusCondition> set;
    for (unsigned int bit = 0; bit < std::size(conditions); ++bit) {
        const bool isSet = status & (1u << bit);
        qCDebug(lcProtocol).noquote()
            << "status bit" << bit << (isSet ? "set:" : "clear:") << conditions[bit].text;
        if (isSet)
            set << conditions[bit];
    }
    return set;
}

QString checkPrinterStatus(unsigned int status)
{
    QString text;
    for (const StatusCondition &condition : statusConditions(status))
        text += condition.text + '\n';
    return text;
}

std::optional<unsigned int> statusWordFromBytes(const unsigned char *bytes, int length)
{
    // Bits 0 to 14, every defined one, are in the first two bytes, so a shorter answer still
    // says what the printer reports; only an answer with no byte at all says nothing.
    constexpr int kStatusBytes = 4;
    if (!bytes || length <= 0)
        return std::nullopt;
    unsigned int word = 0;
    for (int i = 0; i < std::min(length, kStatusBytes); ++i)
        word |= unsigned(bytes[i]) << (8 * i);
    return word;
}
