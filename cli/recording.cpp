#include "cli/recording.h"

#include "cli/commandcontext.h"
#include "core/history/record.h"
#include "core/settings/serialport.h"

namespace cli {

history::Action actionOn(Printer &printer, history::Kind kind, const QString &detail,
                         const QString &knownSerial)
{
    history::Action action;
    action.frontEnd = history::kCommandLine;
    action.kind = kind;
    action.detail = detail;
    action.model = printer.model();
    action.usbPath = printer.listed().identity.path();
    action.serial = knownSerial;
    if (action.serial.isEmpty() && history::ready())
        action.serial = history::askSerialNumber(printer.handle());
    return action;
}

void recordWrite(Printer &printer, const pages::SettingsPage &asRead,
                 const pages::SettingsPage &written, int writeResult,
                 const pages::Verification *verification)
{
    if (!history::ready())
        return;
    history::Action action = actionOn(printer, history::Kind::Write, written.name(),
                                      pages::valueOf(asRead, serialport::kSerialNumber));
    action.outcome = history::writeOutcome(writeResult, verification);
    action.keys = history::changedKeys(asRead, written, verification);
    history::record(action);
}

} // namespace cli
