#pragma once

#include <QStringList>

class QTextStream;

// The command-line front end: every operation of the window, scriptable, plus printer profiles
// (backup and restore of every settings page a model offers).
namespace cli {

// Exit status of the command line.
enum Exit {
    Ok = 0,
    UsageError = 2,      // unknown command or option, missing argument, several printers
    NoSuchPrinter = 3,   // no supported printer, or none on the port asked for
    TransportFailed = 4, // an exchange with the printer failed
    Refused = 5,         // input refused before anything was sent: page, key, value, file
    NotKept = 6,         // written, but the printer reports other values than it was sent
    Unavailable = 7,     // the printer is attached but may not be opened, or another program has it
    WouldChange = 8,     // --check: something would be written (nothing was)
    // A download that reached the printer, but (see download::Outcome):
    VersionMismatch = 9,  // it came back with another version than the manifest's
    NotBack = 10,         // it did not answer again in time
    Busy = 11,            // it reported a condition (printing, paper out, ...): nothing was sent
    SettingsChanged = 12, // it came back with settings other than before
    Interrupted = 130,    // stopped by a signal before it handled what it was asked for
};

// Standard input, where a command asks before what cannot be undone: only a terminal is asked.
struct Input {
    QTextStream *stream = nullptr;
    bool terminal = false;
};

// Runs one command line (without the program name). Results go to `out`, messages to `err`.
int run(const QStringList &arguments, QTextStream &out, QTextStream &err, const Input &input = {});

// A command and the options it takes ("--port", ...), as the parser knows them.
struct CommandOptions {
    QString command;
    QStringList options;
    QStringList valueOptions; // of those, the ones followed by a value
};
QList<CommandOptions> commandOptions();

} // namespace cli
