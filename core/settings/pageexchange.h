#pragma once

#include "core/protocol/codes.h"
#include "core/settings/setcommand.h"

#include <functional>
#include <vector>

struct PrinterHandle;

// Runs a page's exchanges with an open printer. Every query and command is attempted in order,
// whatever the ones before it gave; the result is 0 when all of them succeeded, else the result
// of the first that failed, so a failure anywhere in the sequence is reported.
namespace pages {

using PayloadDecoder = std::function<void(SetInfoType code, const unsigned char *payload)>;

// Asks each code with GetPrinterInfo and hands every successful reply's payload (the zero-filled
// 1024-byte buffer) to `decode`; a failed query decodes nothing.
int runQueries(PrinterHandle *handle, const std::vector<SetInfoType> &codes,
               const PayloadDecoder &decode);

// Sends one set command; a skipped one sends nothing and counts as done.
int sendCommand(PrinterHandle *handle, const SetCommand &command);
// Sends a page write's commands in order, every one attempted.
int sendCommands(PrinterHandle *handle, const std::vector<SetCommand> &commands);

// Folds one more result into a sequence's result: the first failure is kept.
inline int firstFailure(int sofar, int next) { return sofar != 0 ? sofar : next; }

} // namespace pages
