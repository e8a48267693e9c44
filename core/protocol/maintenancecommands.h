#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

struct PrinterHandle;

// The one-shot maintenance commands of the "功能设置" tab, one row per button. Each sends one
// frame: a class-00 button code, or a class-01 mode frame with one value byte.
namespace maintenance {

struct Command {
    const char *button; // object name of its push button
    const char *name;   // the command line's name of the action
    enum Kind { StatusButton, ModeFrame } kind;
    uint8_t code;  // class 00: the button code; class 01: the setting number
    uint8_t value; // class 01 only
    // The four switches and the tear mode, the exit-edge and paper-empty learning report their
    // outcome with a box; the others only report a failure.
    bool reportsSuccess;
    // Paper-empty learning builds its class-00 frame itself instead of sending a button code.
    bool ownFrame;
    // What cannot be undone says so before it is sent: the text, %1 the printer, in the QObject
    // translation context. Null for the others.
    const char *warning = nullptr;
};

// The sixteen commands, in the order of the buttons on the tab.
const Command *commands(int *count);
const Command *commandForButton(const QString &button);
const Command *commandNamed(const QString &name);

// The frame a command sends (class 00 without payload, or class 01 with its value byte).
QByteArray frameOf(const Command &command);

// The command's translated warning naming `printer`; empty when it has none.
QString warningFor(const Command &command, const QString &printer);

// Sends the command's frame to an open printer; the exchange's result.
int send(PrinterHandle *handle, const Command &command);

} // namespace maintenance
