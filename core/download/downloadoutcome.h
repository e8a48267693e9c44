#pragma once

#include <QDateTime>
#include <QString>

// How a firmware or font download ended, in one word a script and a person can both read, and the
// command line's exit status for it. The window and the command line report the same outcome.
namespace download {

enum class Outcome {
    Verified,        // streamed; the printer answered again with the expected version and kept
                     // every setting
    Restored,        // ... its settings had changed and were written back from the snapshot and
                     // verified
    Skipped,         // the printer already runs the manifest's version: nothing was sent
    Refused,         // the file, its manifest or the printer's model: nothing was sent
    Busy,            // the printer reported a condition (printing, paper out, ...): nothing sent
    Failed,          // an exchange failed: before the stream, in it, or writing settings back
    SettingsChanged, // back, but settings differ from the snapshot taken before
    VersionMismatch, // back, but it reports another version than the manifest names
    NotBack,         // did not answer again at its USB path in time
    NotRestored,     // the settings were written back but the printer kept other values
};

// One name per outcome that does not depend on the language, for scripts ("verified",
// "settings-changed", ...).
QString outcomeName(Outcome outcome);

// One word per outcome, in the user's language ("已核对" / "verified").
QString outcomeWord(Outcome outcome);

// The command line's exit status: 0 for the three that leave the printer as intended, a status of
// its own for every other (those of the other commands where they mean the same: 4 an exchange
// failed, 5 refused, 6 not kept).
int exitStatus(Outcome outcome);

// What the download history keeps of one download.
struct Record {
    QString frontEnd; // history::kCommandLine or history::kWindow
    QDateTime when;
    QString printerPath;   // USB path
    QString serialNumber;  // as read before the download; may be empty
    QString model;         // "<brand> <product>"
    QString kind;          // "firmware" or "font"
    QString file;          // the chosen file
    QString sha256;        // of the chosen (encrypted) file, when known
    QString versionBefore; // as the printer reported it before
    QString versionAfter;  // after it came back; empty when it did not
    QString snapshotPath;  // the settings saved before; empty when none was saved
    Outcome outcome = Outcome::Failed;
};

// Records the download's outcome in the history. Called once per download that reached the
// printer (a refusal before any exchange is not recorded).
void recordDownload(const Record &record);

} // namespace download
