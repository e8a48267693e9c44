#include "cli/recording.h"

#include "cli/commandcontext.h"
#include "core/history/fromresults.h"
#include "core/history/record.h"
#include "core/settings/serialport.h"

#include <QFileInfo>

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
                 const pages::SettingsPage &written, const profile::PageResult &result)
{
    if (!history::ready() || !history::touched(result))
        return;
    history::Action action = actionOn(printer, history::Kind::Write, written.name(),
                                      pages::valueOf(asRead, serialport::kSerialNumber));
    action.outcome = profile::outcomeText(result.outcome);
    action.keys = history::keysOf(result, &asRead, &written);
    history::record(action);
}

void recordApply(const profile::PrinterResult &result, history::Kind kind, const QString &file)
{
    history::recordResult(result, history::kCommandLine, kind, QFileInfo(file).absoluteFilePath());
}

} // namespace cli
