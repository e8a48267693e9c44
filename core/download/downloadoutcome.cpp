#include "core/download/downloadoutcome.h"

#include <QObject>

namespace download {

QString outcomeWord(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Verified:
        return QObject::tr("已核对");
    case Outcome::Restored:
        return QObject::tr("已恢复");
    case Outcome::Skipped:
        return QObject::tr("已跳过");
    case Outcome::Refused:
        return QObject::tr("已拒绝");
    case Outcome::Busy:
        return QObject::tr("忙碌");
    case Outcome::Failed:
        break;
    case Outcome::SettingsChanged:
        return QObject::tr("设置已变");
    case Outcome::VersionMismatch:
        return QObject::tr("版本不符");
    case Outcome::NotBack:
        return QObject::tr("未回来");
    case Outcome::NotRestored:
        return QObject::tr("未保持");
    }
    return QObject::tr("失败");
}

int exitStatus(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Verified:
    case Outcome::Restored:
    case Outcome::Skipped:
        return 0;
    case Outcome::Failed:
        return 4;
    case Outcome::Refused:
        return 5;
    case Outcome::NotRestored:
        return 6;
    case Outcome::SettingsChanged:
        return 12;
    case Outcome::VersionMismatch:
        return 9;
    case Outcome::NotBack:
        return 10;
    case Outcome::Busy:
        return 11;
    }
    return 4;
}

void recordDownload(const Record &record)
{
    // The history of downloads keeps this record; until it exists nothing is kept.
    Q_UNUSED(record);
}

} // namespace download
