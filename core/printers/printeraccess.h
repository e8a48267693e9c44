#pragma once

#include <QString>

// What a user does about a printer the tool may not open. The installed udev rule gives the
// supported printers to the user logged in at the seat; without it the device nodes belong to root.
namespace printeraccess {

struct Setup {
    bool ruleInstalled = false; // the udev rule is in one of udev's rule folders
    QString buildTreeRule;      // the rule a build tree wrote, when the tool runs from one
};

// This machine and this program.
Setup thisSystem();

// The remedy for a printer without permission, in the user's language, with the exact commands
// where the rule is still to be installed.
QString remedy(const Setup &setup);

} // namespace printeraccess
