#pragma once

#include <optional>

// The tool's own command line: --help and --version.
namespace commandline {

// Answers --help and --version on standard output, without a window and without a display.
// Returns the exit status when the command line asked for either, nothing otherwise. Every other
// argument is left to QApplication, which takes its own options (-platform, -style, ...).
std::optional<int> answer(int &argc, char **argv);

} // namespace commandline
