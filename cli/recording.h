#pragma once

#include "core/history/action.h"
#include "core/profiles/results.h"
#include "core/settings/settingspage.h"

// What the commands record in the history: the printer they worked on, its serial number asked
// only when the history is on.
namespace cli {

class Printer;

// An action on `printer`; `knownSerial` spares the query when a page read already holds it.
history::Action actionOn(Printer &printer, history::Kind kind, const QString &detail,
                         const QString &knownSerial = QString());

// A page write: the keys that changed from `asRead` to `written`, kept as its result says.
void recordWrite(Printer &printer, const pages::SettingsPage &asRead,
                 const pages::SettingsPage &written, const profile::PageResult &result);

// A profile applied to a printer (restore, restore --all, provision), from its result.
void recordApply(const profile::PrinterResult &result, history::Kind kind, const QString &file);

} // namespace cli
