#pragma once

#include <QString>

// Where the tool keeps what it writes for its user (the history, the settings saved before a
// download): $XDG_STATE_HOME/label-printer-setup, or ~/.local/state/label-printer-setup. A relative
// XDG_STATE_HOME is ignored, as the XDG base directories ask.
QString stateDirectory();
