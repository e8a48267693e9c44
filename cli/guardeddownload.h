#pragma once

#include "core/download/downloadguard.h"
#include "core/download/downloadoutcome.h"

#include <QJsonObject>
#include <QString>
#include <functional>
#include <optional>

class ModelKey;

// One printer's firmware or font download with every check around the stream: the printer idle,
// its settings saved, the version it runs against the manifest's, then the wait for it to answer
// again and the comparison of its settings with those saved before. download and download --all
// both run it, the latter on many printers side by side.
namespace cli {

struct Context;
class Printer;

// What every printer of a download is given; the file and its manifest are checked before.
struct DownloadPlan {
    QString kind;   // "firmware" or "font"
    QString chosen; // the file as the user named it
    std::optional<download::Manifest> manifest;
    int waitSeconds = 0;
    // The chosen file's digest, for the history: worked out once, by checkPlan.
    QString sha256;
    // Each printer decrypts into a side file of its own (printers side by side).
    bool sideFilePerPrinter = false;
    // Where the stream's progress goes; null: progress lines on the context's output.
    std::function<void(qint64 sent, qint64 size)> onBytes;
};

// How one printer's download ended.
struct DownloadDone {
    int exit = 0;
    // What the history keeps, when the download reached the printer; the caller records it (on
    // its own thread: the history is not shared between threads).
    std::optional<download::Record> record;
    // The printer's document for --json; empty when the download was refused with a message.
    QJsonObject document;
};

// Runs the download on `printer`, which it closes. Refusals and failures are said on the
// context's standard error, the outcome in words on its standard output (nothing with --json).
DownloadDone downloadTo(Context &c, Printer &printer, const DownloadPlan &plan);

// The command's download: kind and file from its arguments, --wait in whole seconds (default 60).
// Ok, or UsageError said.
int makePlan(Context &c, DownloadPlan &plan);
// What is checked before any printer of the model is asked anything: that the model offers the
// download, then the file, its manifest and the model against the manifest. Ok, or Refused said.
int checkPlan(Context &c, DownloadPlan &plan, const ModelKey &modelKey, const QString &model);

} // namespace cli
