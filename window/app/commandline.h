#pragma once

#include <optional>

// The tool's own command line: --help, --version and --verbose.
namespace commandline {

// Answers --help and --version on standard output, without a window and without a display.
// Returns the exit status when the command line asked for either, nothing otherwise. Every other
// argument is left to QApplication, which takes its own options (-platform, -style, ...).
std::optional<int> answer(int &argc, char **argv);

// Whether --verbose asks for the diagnostic lines on standard error.
bool verbose(int argc, char **argv);

} // namespace commandline
