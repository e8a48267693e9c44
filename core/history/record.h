#pragma once

#include "core/history/action.h"
#include "core/history/journal.h"
#include "core/settings/settingspage.h"
#include "core/settings/verify.h"

#include <QList>
#include <QString>
#include <functional>
#include <optional>

struct PrinterHandle;

// Recording what is done to printers, the same way from both front ends. The journal never stands
// in the way of the printer work: when it cannot be opened or written, a warning names the file
// and why, recording stops for the rest of the process, and the action goes on.
namespace history {

struct Settings {
    bool enabled = true;  // --no-history turns it off for one command
    bool secrets = false; // --history-secrets keeps passwords and the PIN in clear
};

// How this process records; a front end calls it once its options are known (until then nothing
// is recorded). The journal open
// until now is closed: the next action opens it again where the environment now points.
void configure(const Settings &settings);
const Settings &settings();
// Closes the journal; the next action opens it again. Done by itself when the application object
// goes (Qt's SQL driver must not outlive it).
void close();

// $XDG_STATE_HOME/label-printer-setup/history.sqlite (~/.local/state/... without it).
QString journalPath();

// Whether actions are being recorded: on, and the journal opens (else the warning has been said).
// Asking the printer what only the history needs (its serial number) waits for this.
bool ready();
// Records one action with the time, the user and the tool's version. Secrets are masked unless
// configured otherwise. True when it is in the journal.
bool record(const Action &action);
// Why the journal is off in this process; empty while it works.
QString problem();
// Who hears that the journal is off: the command line's standard error, the window's status bar.
// Without one it goes to the labelsetup.history category as a warning.
void onProblem(std::function<void(const QString &)> tell);

// Actions of the journal newest first; nullopt with `why` when the journal cannot be read.
std::optional<QList<Entry>> entries(const Filter &filter, QString &why);

// The printer's serial number, asked with its one query; empty when it did not answer.
QString askSerialNumber(PrinterHandle *handle);

// The keys whose value differs between a page as it was and as it was written, with their wire
// values; kept from the read-back when there was one.
QList<ChangedKey> changedKeys(const pages::SettingsPage &before, const pages::SettingsPage &after,
                              const pages::Verification *verification = nullptr);

// A firmware or font download's outcome (`what`: "firmware" or "font"), for whoever ends one.
bool recordDownload(const QString &frontEnd, const QString &serial, const QString &model,
                    const QString &usbPath, const QString &what, const QString &file,
                    const QString &outcome);

} // namespace history

namespace maintenance {
struct Command;
}

namespace history {

// Makes `action` a maintenance button's (initialisation apart) that was sent with `result`.
void describeMaintenance(Action &action, const maintenance::Command &command, int result);

} // namespace history
