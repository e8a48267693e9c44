#include "core/download/downloadreport.h"

#include <QObject>

namespace download {

Report assess(const QString &printer, const QString &path, const Before &before,
              const profile::Snapshot *after, const QList<StatusCondition> &conditionsAfter,
              const QString &expectedVersion, const ModelKey &modelKey, int waitedSeconds)
{
    Report r;
    r.printer = printer;
    r.path = path;
    r.expectedVersion = expectedVersion;
    r.snapshotPath = before.path;
    r.waitedSeconds = waitedSeconds;
    if (!after) {
        r.outcome = Outcome::NotBack;
        return r;
    }
    r.versionAfter = after->version;
    r.changed = changedSettings(before.snapshot, *after, modelKey);
    for (const StatusCondition &condition : conditionsAfter) {
        if (qstrcmp(condition.name, "upgrade-error") == 0)
            r.upgradeError = condition.text;
    }
    if (!r.upgradeError.isEmpty())
        r.outcome = Outcome::Failed;
    else if (!expectedVersion.isEmpty() && after->version.trimmed() != expectedVersion)
        r.outcome = Outcome::VersionMismatch;
    else if (!r.changed.isEmpty())
        r.outcome = Outcome::SettingsChanged;
    else
        r.outcome = Outcome::Verified;
    return r;
}

void restored(Report &report, const Restore &restore)
{
    report.restore = restore;
    if (!restore.failure.isEmpty() || !report.upgradeError.isEmpty())
        report.outcome = Outcome::Failed;
    else if (!restore.notKept.isEmpty())
        report.outcome = Outcome::NotRestored;
    else if (report.outcome == Outcome::SettingsChanged)
        report.outcome = Outcome::Restored;
    // A version not as expected stays the outcome: the settings are back, the version is not.
}

namespace {

QStringList changedLines(const QList<profile::Difference> &changed)
{
    QStringList lines;
    for (const profile::Difference &d : changed)
        lines << QObject::tr("  %1 %2：下载前 %3，现在 %4").arg(d.page, d.key, d.one, d.other);
    return lines;
}

} // namespace

QStringList describe(const Report &r)
{
    const QString word = outcomeWord(r.outcome) + QObject::tr("：");
    QStringList lines;
    switch (r.outcome) {
    case Outcome::Verified:
        lines << word +
                     (r.expectedVersion.isEmpty()
                          ? QObject::tr("打印机 %1 已回来，版本 %2，设置与下载前相同")
                                .arg(r.printer, r.versionAfter)
                          : QObject::tr("打印机 %1 已回来，版本 %2，与清单相符，设置与下载前相同")
                                .arg(r.printer, r.versionAfter));
        break;
    case Outcome::SettingsChanged:
        lines << word + QObject::tr("打印机 %1 已回来，版本 %2，但有 %3 项设置与下载前不同：")
                            .arg(r.printer, r.versionAfter)
                            .arg(r.changed.size())
              << changedLines(r.changed);
        break;
    case Outcome::VersionMismatch:
        lines << word + QObject::tr("打印机 %1 已回来，但报告的版本是 %2，清单中的是 %3")
                            .arg(r.printer, r.versionAfter, r.expectedVersion);
        if (!r.changed.isEmpty() && r.restore.pagesWritten == 0)
            lines << QObject::tr("另有 %1 项设置与下载前不同：").arg(r.changed.size())
                  << changedLines(r.changed);
        break;
    case Outcome::NotBack:
        lines << word + QObject::tr("打印机 %1 在 %2 秒内没有再次应答")
                            .arg(r.printer)
                            .arg(r.waitedSeconds);
        break;
    case Outcome::Restored:
        lines << word + QObject::tr("打印机 %1 已回来，版本 %2；有变化的设置已按下载前的写回 "
                                    "%3 个页面并核对")
                            .arg(r.printer, r.versionAfter)
                            .arg(r.restore.pagesWritten)
              << changedLines(r.changed);
        break;
    case Outcome::NotRestored:
        lines << word + QObject::tr("写回下载前的设置后，打印机保存的值不同：")
              << r.restore.notKept;
        break;
    case Outcome::Failed:
        if (!r.upgradeError.isEmpty())
            lines << word + QObject::tr("打印机 %1 已回来（版本 %2），但报告：%3")
                                .arg(r.printer, r.versionAfter, r.upgradeError);
        if (!r.upgradeError.isEmpty() && !r.changed.isEmpty() && r.restore.pagesWritten == 0)
            lines << QObject::tr("另有 %1 项设置与下载前不同：").arg(r.changed.size())
                  << changedLines(r.changed);
        if (!r.restore.failure.isEmpty())
            lines << word + QObject::tr("写回下载前的设置失败：%1").arg(r.restore.failure);
        break;
    case Outcome::Skipped:
    case Outcome::Refused:
    case Outcome::Busy:
        lines << word;
        break;
    }
    if (!r.snapshotPath.isEmpty() && r.outcome != Outcome::Verified &&
        r.outcome != Outcome::Restored)
        lines << QObject::tr("下载前的设置保存在 %1").arg(r.snapshotPath);
    return lines;
}

} // namespace download
