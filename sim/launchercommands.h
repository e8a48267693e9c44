// The commands of the virtual-printers launcher that plug, pull, deny, hold and set up printers
// while the command under test runs.
#pragma once

#include "virtualusb.h"

#include <chrono>
#include <string>

namespace launcher {

// PID:PORT:PRODUCT (PORT a port number on bus 1 or a sysfs name) into `config`.
bool parsePrinter(const std::string &text, vprinter::PrinterConfig &config);

// A whole number of milliseconds, 0 to one minute (an answer delay).
bool parseMilliseconds(const std::string &text, long &ms);

// Runs one command line; false (with a message on standard error) when it is not one or cannot
// be done. `deniedByFault`: deny and allow act through the refuseOpen fault (no node owner).
// `latency`: the answer delay of a printer plugged by the command.
bool runCommand(vprinter::VirtualUsb &usb, const std::string &line, bool deniedByFault,
                std::chrono::milliseconds latency = std::chrono::milliseconds(0));

} // namespace launcher
