#pragma once

#include "core/profiles/apply.h"

namespace fleet {
class Worker;
}

// A profile going to many printers side by side (restore --all, provision, the window's apply to
// every printer of a model): the one per-printer apply, on a printer's own thread of a fleet::Run.
namespace profile {

// The profile onto the worker's printer with the record the run opened for it: skipped when the
// printer may not be used, failed when it could not be opened. Each page about to be written is
// the worker's progress; a stopped run ends the apply before its next page, and the worker hears
// before which.
PrinterResult applyOnWorker(fleet::Worker &worker, const QJsonObject &profilePages,
                            ApplyOptions options);

// The result of a printer a stopped run never started: nothing was sent to it.
PrinterResult notStarted(const Target &target);

} // namespace profile
