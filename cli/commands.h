#pragma once

namespace cli {

struct Context;

// The commands, one group a file; each returns its exit status.
// Printers: printercommands.cpp
int list(Context &c);
int info(Context &c);
int status(Context &c);
// Settings pages: pagecommands.cpp
int read(Context &c);
int write(Context &c);
// Profiles: profilecommands.cpp
int backup(Context &c);
int restore(Context &c);
// restore --all and provision: fleetcommands.cpp
int provision(Context &c);
int diff(Context &c);
// Maintenance: maintenancecommands.cpp
int maintain(Context &c);
// Firmware and font download: downloadcommand.cpp
int download(Context &c);
// download --all: fleetdownload.cpp
int downloadAll(Context &c);
// History: historycommands.cpp
int showHistory(Context &c);
int undo(Context &c);

} // namespace cli
