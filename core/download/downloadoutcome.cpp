#include "core/download/downloadoutcome.h"

#include "core/history/record.h"

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

QString outcomeName(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Verified:
        return QStringLiteral("verified");
    case Outcome::Restored:
        return QStringLiteral("restored");
    case Outcome::Skipped:
        return QStringLiteral("skipped");
    case Outcome::Refused:
        return QStringLiteral("refused");
    case Outcome::Busy:
        return QStringLiteral("busy");
    case Outcome::Failed:
        break;
    case Outcome::SettingsChanged:
        return QStringLiteral("settings-changed");
    case Outcome::VersionMismatch:
        return QStringLiteral("version-mismatch");
    case Outcome::NotBack:
        return QStringLiteral("not-back");
    case Outcome::NotRestored:
        return QStringLiteral("not-restored");
    }
    return QStringLiteral("failed");
}

void recordDownload(const Record &record)
{
    history::recordDownload(record.frontEnd, record.serialNumber, record.model, record.printerPath,
                            record.kind, record.file, outcomeWord(record.outcome));
}

} // namespace download
