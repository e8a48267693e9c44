#pragma once

#include "core/profiles/compare.h"
#include "core/profiles/snapshot.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

struct PrinterHandle;

// A printer's settings taken before a download, kept in a file should the printer not come back,
// compared with what it holds afterwards, and written back when they changed.
namespace download {

struct Before {
    profile::Snapshot snapshot; // every page the model offers, and the version
    QString serialNumber;       // from the serial page; empty when the model has none
    QString path;               // the file it was saved in, once saved
};

// Reads every page the model offers and the version; snapshot.result says whether all answered.
Before readBefore(PrinterHandle *handle, const ModelKey &modelKey);

// Saves the snapshot as a printer profile (readable by its owner only) in stateDirectory(),
// named by serial number and time; sets before.path. The reason when it could not be saved.
std::optional<QString> saveSnapshot(Before &before, const QString &model, const QDateTime &when);

// The settings whose values differ between the two (read-only keys never count).
QList<profile::Difference> changedSettings(const profile::Snapshot &before,
                                           const profile::Snapshot &after,
                                           const ModelKey &modelKey);

struct Restore {
    int result = 0;  // the first exchange that failed
    QString failure; // what failed, for the user
    QStringList notKept; // "<page> <key>：写入 …，打印机保存的是 …", one per value not kept
    int pagesWritten = 0;
    bool ok() const { return result == 0 && failure.isEmpty() && notKept.isEmpty(); }
};

// Writes the pages whose values differ from the snapshot back to the printer, each read back.
Restore restoreSettings(PrinterHandle *handle, const profile::Snapshot &before,
                        const ModelKey &modelKey);

} // namespace download
