#pragma once

#include "core/history/action.h"
#include "core/profiles/results.h"
#include "core/settings/settingspage.h"

// The result model's records as history actions: what everything that writes settings reports is
// what the history keeps.
namespace history {

// Whether a page's result may have changed the printer: written, or failed once sending began.
bool touched(const profile::PageResult &page);

// The keys a page's result changes: before and after as the result has them, kept as its outcome
// says (nullopt without a read-back); the wire values from the pages when they are given.
QList<ChangedKey> keysOf(const profile::PageResult &page,
                         const pages::SettingsPage *asRead = nullptr,
                         const pages::SettingsPage *written = nullptr);

// A printer's result as one action: its USB path, serial number and model, the outcome in the
// result's words, and the keys of every page it touched. `detail`: the profile file, say.
Action actionOf(const profile::PrinterResult &printer, const QString &frontEnd, Kind kind,
                const QString &detail);

// Records a printer's result (history::record) unless nothing was done to it: a dry run, or a
// printer skipped (another model, no access). True when it is in the journal.
bool recordResult(const profile::PrinterResult &printer, const QString &frontEnd, Kind kind,
                  const QString &detail);

} // namespace history
