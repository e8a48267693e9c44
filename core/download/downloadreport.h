#pragma once

#include "core/download/downloadoutcome.h"
#include "core/download/settingssnapshot.h"
#include "core/profiles/compare.h"
#include "core/protocol/printerstatus.h"

#include <QString>
#include <QStringList>

// What a download came to once the printer was waited for, and how the user is told.
namespace download {

struct Report {
    Outcome outcome = Outcome::Failed;
    QString printer;         // as a notice names it: model and USB path
    QString path;            // the USB path
    QString expectedVersion; // the manifest's; empty without one
    QString versionAfter;    // as the printer reports it after; empty when it did not come back
    QList<profile::Difference> changed; // settings that differ from the snapshot
    QString upgradeError; // the printer's condition text when it reports the upgrade failed
    QString snapshotPath;
    int waitedSeconds = 0;
    Restore restore; // once the changed settings were written back
};

// The outcome of a printer that came back (`after`) or did not (null).
// A printer that reports its upgrade failed ("升级异常") has Failed, whatever its version.
Report assess(const QString &printer, const QString &path, const Before &before,
              const profile::Snapshot *after, const QList<StatusCondition> &conditionsAfter,
              const QString &expectedVersion, const ModelKey &modelKey, int waitedSeconds);

// After restoreSettings: Restored, NotRestored or Failed, with what was done.
void restored(Report &report, const Restore &restore);

// The report for the user, a line each: the first says the outcome, the others list what
// changed, what was not kept or where the snapshot is.
QStringList describe(const Report &report);

} // namespace download
