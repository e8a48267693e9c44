#pragma once

#include <QList>
#include <QString>
#include <any>
#include <functional>
#include <vector>

struct ListedPrinter;

namespace fleet {
class Run;
class Worker;
struct PrinterRun;
} // namespace fleet

// What the commands that work on many printers side by side share (restore --all, provision,
// download --all): how many at once, a printer's output captured on its own thread and printed
// whole on the command's, waiting for the run with SIGINT and SIGTERM stopping it, and how a
// printer that was stopped or never started is reported.
namespace cli {

struct Context;

// --jobs N, 1 to 8: how many printers at once; without it every printer to do (`printers`), at
// most 8. Ok with `jobs` set, else UsageError, said.
int jobsOption(Context &c, int printers, int &jobs);

// One printer's job on its own thread. It writes to `own`, a context of its own whose output is
// printed whole once the printer is done, and returns the printer's exit status; what it puts
// in `result` is kept for the end (the JSON, the summary).
using PrinterJob = std::function<int(Context &own, fleet::Worker &worker, std::any &result)>;

// What a printer's job left, kept as its fleet::PrinterRun::result.
struct Captured {
    int exit = 0;
    QString out;
    QString err;
    std::any result;
};

// The job for a fleet::Run: `job` with its context's output captured.
std::function<std::any(fleet::Worker &)> capturing(Context &c, PrinterJob job);
// What a printer's job left; null for a printer whose job never ran.
const Captured *capturedOf(const fleet::PrinterRun &run);
// Prints what a printer's job wrote, whole (standard output, then standard error), and flushes.
void printCaptured(Context &c, const fleet::PrinterRun &run);

// Waits until the run is idle. SIGINT or SIGTERM stops it: the printers not started are left
// alone, each running printer finishes the page (or stream) in flight; then the wait goes on
// until every printer's job has ended. True when a signal stopped it.
bool waitForRun(Context &c, fleet::Run &run);

// Said on standard error when a signal stops a run (once).
void sayStopping(Context &c, const fleet::Run &run);

} // namespace cli
