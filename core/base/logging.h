#pragma once

// What the program writes to standard error, for the window and the command line alike.
//
// The diagnostic lines of every labelsetup.* category are off unless asked for with --verbose;
// warnings and errors always come through, and Qt's logging rules (QT_LOGGING_RULES,
// QT_LOGGING_CONF, qtlogging.ini) still decide over both. The download's data lines, the hex of
// every chunk it streams (the decrypted file itself), have a category of their own that neither
// the default nor --verbose nor a wildcard rule turns on: only a rule that names it.
namespace logging {

inline constexpr char kDownloadDataCategory[] = "labelsetup.download.data";

// Call once the command line is known, before anything is logged; again to change `verbose`.
void configure(bool verbose);

} // namespace logging
