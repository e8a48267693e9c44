#pragma once

#include "core/history/action.h"
#include "core/printers/modelkey.h"
#include "core/profiles/apply.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

struct PrinterHandle;

// Undoing a recorded action: the values it found written back to the same printer, every page
// read and merged before the first write (all pages or none), each written page read back.
namespace history {

struct Undone {
    // Why nothing was sent: another printer, a page or value the model does not take, a read
    // that failed. Empty when the undo ran.
    QString refusal;
    bool readFailed = false;
    QStringList skipped;           // "page key" of masked secrets, which cannot be written back
    profile::PrinterResult result; // what became of the printer, in the result model's words
    Action action;                 // what the undo did, as it is recorded
    bool ran() const { return refusal.isEmpty(); }
};

// Writes back the "before" values of `entry` to the open printer, whose serial number is
// `printerSerial`; the result is recorded as an action of its own (`frontEnd`, `usbPath`).
Undone undo(PrinterHandle *handle, const ModelKey &modelKey, const Entry &entry,
            const QString &printerSerial, const QString &frontEnd, const QString &usbPath);

} // namespace history
