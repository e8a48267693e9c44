#pragma once

#include <QList>
#include <QPair>
#include <QStringList>

// What the shell completions offer, from the tables the command line checks its arguments
// against: one source for bash, zsh and fish.
namespace cli::completion {

struct Tables {
    struct Command {
        QString name;
        QStringList options;      // "--port", ..., "--help"
        QStringList valueOptions; // of those, the ones followed by a value
    };
    QList<Command> commands;
    QStringList valueOptions; // every option followed by a value, once
    QStringList pages;        // every page any model offers
    // Per page its writable keys, and per "page/key" of a choice key its choices.
    QList<QPair<QString, QStringList>> keys;
    QList<QPair<QString, QStringList>> choices;
    QStringList actions; // maintenance actions

    static Tables build();
};

// The parts generated for a bash or zsh script, put in place of its @PRINTERS@, @OPTIONS@,
// @VALUES@ and @KEYS@ markers.
struct Branches {
    QString printers, options, values, keys;
};
// The script with every marker filled in from the tables; the value options are joined with
// `valueSeparator` (an alternation in the shell's case patterns).
QString fillIn(QString script, const Tables &tables, const Branches &branches,
               const QString &valueSeparator);

// The options whose values are the attached printers', and the column of `list` each is read
// from: the USB path (5) and the serial number (6).
inline const QList<QPair<QString, int>> kPrinterValueOptions = {{"--port", 5}, {"--serial", 6}};

} // namespace cli::completion
