#pragma once

#include "core/protocol/printerstatus.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

struct PrinterHandle;

// What is checked before a download sends its first byte: the file itself, its manifest, and
// whether the printer is idle. Each refusal is a text for the user naming what was found.
namespace download {

// The largest file a download takes, fixed when the build is configured.
constexpr qint64 kMaxFileBytes = LABELSETUP_DOWNLOAD_MAX_BYTES;

// A file that cannot be sent: one the tool cannot read (missing, not a regular file, no
// permission), an empty one, or one larger than kMaxFileBytes. `shown` is the path as the user
// is shown it. A length that is not a multiple of 16 is fine: its short last block is decrypted
// and trimmed.
std::optional<QString> refuseFile(const QString &path, const QString &shown);

// What a manifest says of the file beside which it lies (every field may be absent).
struct Manifest {
    QString path;
    QStringList models; // "<brand> <product>", the printers the file is made for
    QString version;    // the version the printer reports once the file is installed
    QString sha256;     // of the (encrypted) file, lower-case hex
};

// The SHA-256 of a file, lower-case hex; empty when it cannot be read.
QString sha256Of(const QString &path);

// The manifest a file has without being told: its name with ".manifest.json" appended.
QString manifestPathBeside(const QString &file);

// The manifest of `file`: the one at `givenPath` when given (it must exist), else the one beside
// the file if there is one. A refusal when it cannot be read or is not a manifest; `manifest`
// stays empty when there is none.
std::optional<QString> loadManifest(const QString &file, const QString &givenPath,
                                    std::optional<Manifest> &manifest);
// The file's digest against the manifest's, and the printer's model against its models; each
// refusal names both values.
std::optional<QString> checkChecksum(const Manifest &manifest, const QString &file,
                                     const QString &shown);
std::optional<QString> checkModel(const Manifest &manifest, const QString &model);
// The file, then its manifest (the one at `givenManifest`, or beside the file) and the file's
// digest against the manifest's: the first refusal. Asks no printer anything.
std::optional<QString> checkFile(const QString &file, const QString &shown,
                                 const QString &givenManifest, std::optional<Manifest> &manifest);

// Whether the printer already reports the version the manifest installs.
bool alreadyInstalled(const Manifest &manifest, const QString &version);
// "The printer <printer> already runs version <version>".
QString alreadyInstalledText(const QString &printer, const QString &version);

// The conditions the printer's status word reports now (empty: idle); nullopt when the word
// cannot be read.
std::optional<QList<StatusCondition>> readConditions(PrinterHandle *handle);
// That the printer's status word could not be read, so whether it is idle is not known.
QString statusUnknownText(const QString &printer);
// "<printer> reports: <conditions>", for the refusal and the window's question.
QString busyText(const QString &printer, const QList<StatusCondition> &conditions);

} // namespace download
