#include "core/settings/pageexchange.h"

#include "core/protocol/frame.h"
#include "core/protocol/printerqueries.h"
#include "core/settings/pageslog.h"

Q_LOGGING_CATEGORY(lcPages, "labelsetup.pages")

namespace pages {

int runQueries(PrinterHandle *handle, const std::vector<SetInfoType> &codes,
               const PayloadDecoder &decode)
{
    int result = 0;
    unsigned char buffer[frame::kResultBufferSize] = {};
    for (SetInfoType code : codes) {
        const int r = GetPrinterInfo(handle, code, buffer);
        if (r == 0)
            decode(code, buffer);
        result = firstFailure(result, r);
    }
    return result;
}

int sendCommand(PrinterHandle *handle, const SetCommand &command)
{
    if (command.isSkipped()) {
        qCDebug(lcPages, "not sent: %s", command.skipReason);
        return 0;
    }
    return SendFrame(handle, command.frame);
}

int sendCommands(PrinterHandle *handle, const std::vector<SetCommand> &commands)
{
    int result = 0;
    for (const SetCommand &command : commands)
        result = firstFailure(result, sendCommand(handle, command));
    return result;
}

} // namespace pages
