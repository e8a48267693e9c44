#include "core/profiles/fleetapply.h"

#include "core/printers/fleetrun.h"

namespace profile {

PrinterResult applyOnWorker(fleet::Worker &worker, const QJsonObject &profilePages,
                            ApplyOptions options)
{
    const ListedPrinter &listed = worker.printer();
    const Target target = targetOf(listed);
    if (!listed.isReady())
        return printerResult(target, Outcome::Skipped, Reason::NoAccess,
                             accessReason(listed.access));
    if (!worker.handle())
        return printerResult(target, Outcome::Failed, Reason::ExchangeFailed);
    options.stopRequested = [&worker] { return worker.stopRequested(); };
    const int total = profilePages.size();
    int begun = 0;
    PrinterResult result =
        applyProfile(worker.handle(), profilePages, target, options,
                     [&](const QString &page) { worker.progress(page, begun++, total); });
    if (!result.stoppedBefore.isEmpty())
        worker.stoppedBefore(result.stoppedBefore);
    return result;
}

PrinterResult notStarted(const Target &target)
{
    return printerResult(target, Outcome::Skipped, Reason::Stopped);
}

} // namespace profile
