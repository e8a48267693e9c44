#pragma once

#include "core/history/action.h"
#include "core/settings/settingspage.h"
#include "core/settings/verify.h"

// What the commands record in the history: the printer they worked on, its serial number asked
// only when the history is on.
namespace cli {

class Printer;

// An action on `printer`; `knownSerial` spares the query when a page read already holds it.
history::Action actionOn(Printer &printer, history::Kind kind, const QString &detail,
                         const QString &knownSerial = QString());

// A page write: the keys that changed from `asRead` to `written`, kept as the read-back says.
void recordWrite(Printer &printer, const pages::SettingsPage &asRead,
                 const pages::SettingsPage &written, int writeResult,
                 const pages::Verification *verification);

} // namespace cli
