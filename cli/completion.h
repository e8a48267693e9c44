#pragma once

#include <QString>

namespace cli {

// The bash completion of label-printer-cli: commands, each command's options, pages, keys,
// choice values and maintenance actions, all from the tables the command line checks its
// arguments against. The build writes it; bash-completion loads it by the command's name.
QString bashCompletion();
// The same for zsh (a #compdef function file) and for fish (a file of `complete` lines).
QString zshCompletion();
QString fishCompletion();

} // namespace cli
