#pragma once

#include "core/settings/settingspage.h"

#include <QList>
#include <QString>

struct PrinterHandle;

// Whether a printer kept what was written to it: the page read back, compared value by value.
namespace pages {

struct Mismatch {
    QString key;
    QString expected; // what was written
    QString found;    // what the printer reports now
};

struct Verification {
    int readResult = 0;         // the read-back's first failure; 0 when it was complete
    QList<Mismatch> mismatches; // empty when the printer kept every value written
    bool kept() const { return readResult == 0 && mismatches.isEmpty(); }
};

// Reads the page back from the printer into a fresh page of the same model and compares what a
// write of each would send: the frames say what the printer was told, so a value a write does
// not carry (the access point's name in station mode) is not held against the printer. Where
// the frames differ, the keys whose values differ are reported.
Verification verifyWritten(PrinterHandle *handle, const SettingsPage &written,
                           const ModelKey &modelKey);

} // namespace pages
