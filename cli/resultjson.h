#pragma once

#include "core/profiles/results.h"

#include <QJsonObject>
#include <vector>

// The result model of everything that writes settings, as the JSON documents of write, restore,
// restore --all and provision carry it: per printer its identity, per page its outcome and the
// keys it changes (or would) with their values before and after.
namespace cli {

struct Context;

// A printer: path, serial (null when not read), model, outcome, reason and detail when it failed
// or was skipped, pages-written, pages; outcomes and reasons by the result model's names. `frames`:
// a dry run's frames with each page.
QJsonObject printerJson(const profile::PrinterResult &printer, bool frames = false);
// How many printers ended in each outcome, and in all.
QJsonObject summaryJson(const std::vector<profile::PrinterResult> &printers);
// Whether any page of these printers was written, or in a check would be.
bool changedAny(const std::vector<profile::PrinterResult> &printers);

// Whether --check was given: read and compare, send no setting.
bool checking(const Context &c);
// The exit status of a check that ended with `exit`: a failure's own, else WouldChange when any
// page would be written, else Ok.
int checkExit(int exit, const std::vector<profile::PrinterResult> &printers);
// A check's record in words: the printer's line or, with `pageLines`, a line a page; then each key
// that would change, "  print speed: 2 -> 5".
void showCheck(Context &c, const profile::PrinterResult &printer, bool pageLines);
// The document of a command that writes settings (write, restore, restore --all), or of
// provision's end: what was asked, every printer, the summary, whether anything changed (or in a
// check would), and the exit status. `extra` adds the command's own fields.
void printResultDocument(Context &c, const QString &command,
                         const std::vector<profile::PrinterResult> &printers,
                         const profile::Asked &asked, int exit, const QJsonObject &extra = {});

// A printer provision handled (or left alone): its line as it happens, with --json an object on
// a line of its own.
void showProvisioned(Context &c, const profile::PrinterResult &result, const profile::Asked &asked);

} // namespace cli
