#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

// What the history keeps of one thing done to a printer: who did it with which front end, to which
// printer, what it was, how it ended and every setting it changed.
namespace history {

// The kinds of action, as the journal stores them (kindName) and as the user reads them.
enum class Kind { Write, Restore, Provision, Download, Maintenance, Initialisation, Undo };
QString kindName(Kind kind); // "write", "restore", ...
std::optional<Kind> kindNamed(const QString &name);
QString kindText(const QString &name); // translated; the name itself when unknown

// Which front end did it.
inline const QString kCommandLine = QStringLiteral("cli");
inline const QString kWindow = QStringLiteral("window");

// A secret's value as the journal keeps it unless told to keep secrets.
inline const QString kMasked = QStringLiteral("(changed)");

struct ChangedKey {
    QString page;
    QString key;
    QString before;
    QString after;
    // The wire values beside the texts where a field has them, so that an undo sends back exactly
    // what was there (12 mm read as 100 dots goes back as 100, not 96).
    std::optional<qint64> beforeWire;
    std::optional<qint64> afterWire;
    // Whether a read-back found the value kept; nullopt when nothing was read back.
    std::optional<bool> kept;
};

struct Action {
    QString frontEnd; // kCommandLine or kWindow
    QString serial;   // the printer's serial number as it reported it; empty when not known
    QString model;    // "<brand> <product>"
    QString usbPath;  // "1-2.4"
    Kind kind = Kind::Write;
    QString detail;  // the page, the maintenance action, the file, the action undone
    QString outcome; // the result's own words
    QList<ChangedKey> keys;
};

// An action as the journal gives it back.
struct Entry {
    qint64 id = 0;
    QDateTime time; // UTC
    QString user;
    QString version;
    Action action;
    QString kind; // the stored kind name (an older or newer build may know others)
};

// Whether a key holds a secret (the Wi-Fi passwords, the Bluetooth PIN).
bool isSecret(const QString &page, const QString &key);

} // namespace history
