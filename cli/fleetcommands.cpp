// restore --all and provision: a profile onto many printers of its model side by side, each
// printer's result shown whole as it finishes, the history kept on the command's thread.
#include "cli/commandcontext.h"
#include "cli/commands.h"
#include "cli/fleetrunning.h"
#include "cli/jsonoutput.h"
#include "cli/listing.h"
#include "cli/profilechecks.h"
#include "cli/recording.h"
#include "cli/resultjson.h"
#include "cli/resultoutput.h"
#include "core/printers/fleetrun.h"
#include "core/profiles/fleetapply.h"
#include "core/profiles/profile.h"

#include <QObject>
#include <algorithm>

namespace cli {

namespace {

// A printer a stopped run never started: nothing was sent to it.
profile::PrinterResult notStarted(const ListedPrinter &listed)
{
    return profile::notStarted(profile::targetOf(listed));
}

// How a command shows one printer's result (restore --all and provision each their own way).
using ShowResult = std::function<void(Context &, const profile::PrinterResult &)>;

// The run's job: the printer's result, shown whole once it is done.
PrinterJob restoreJob(const profile::Parsed &parsed, const profile::ApplyOptions &options,
                      ShowResult show)
{
    return [&parsed, options, show](Context &own, fleet::Worker &worker, std::any &kept) {
        if (!worker.printer().isReady())
            unavailable(own, worker.printer()); // why, and for a missing permission what to do
        const profile::PrinterResult result = profile::applyOnWorker(worker, parsed.pages, options);
        show(own, result);
        kept = result;
        return exitOf(result, options.asked());
    };
}

// Every printer's result in the order of the USB paths; a printer the stopped run never started
// counts as skipped.
std::vector<profile::PrinterResult> resultsByPath(const fleet::Run &run)
{
    std::vector<profile::PrinterResult> results;
    for (int index : run.byPath()) {
        const Captured *captured = capturedOf(run.at(index));
        const auto *result =
            captured ? std::any_cast<profile::PrinterResult>(&captured->result) : nullptr;
        results.push_back(result ? *result : notStarted(run.at(index).printer));
    }
    return results;
}

// A printer's result as it finishes, whole, and its record in the history (kept on this thread,
// one printer after another); for one the stopped run never started, its result.
void showFinished(Context &c, const fleet::PrinterRun &printer, const ShowResult &show,
                  history::Kind kind)
{
    if (printer.state == fleet::State::NotStarted) {
        show(c, notStarted(printer.printer));
        c.out.flush();
        return;
    }
    const Captured *captured = capturedOf(printer);
    if (const auto *result =
            captured ? std::any_cast<profile::PrinterResult>(&captured->result) : nullptr)
        recordApply(*result, kind, c.arguments[0]);
    printCaptured(c, printer);
}

} // namespace

int restoreAll(Context &c, const profile::Parsed &parsed)
{
    QList<ListedPrinter> attached = listSupportedPrinters();
    sortByPath(attached); // in the order list shows them
    const QList<ListedPrinter> ofModel = printersOfModel(attached, parsed.model);
    if (ofModel.isEmpty())
        return fail(c, NoSuchPrinter, QObject::tr("没有型号为 %1 的打印机").arg(parsed.model));
    if (const int refused = checkProfileFor(c, parsed, ModelKey::named(parsed.model)))
        return refused;
    int jobs = 0;
    if (const int exit = jobsOption(c, ofModel.size(), jobs))
        return exit;
    const profile::ApplyOptions options = applyOptions(c);
    // Up to --jobs printers at once, each result shown as its printer finishes.
    const ShowResult show = [options](Context &own, const profile::PrinterResult &result) {
        showResult(own, result, options, true);
    };
    fleet::Run run(capturing(c, restoreJob(parsed, options, show)), jobs);
    QObject::connect(&run, &fleet::Run::finished, &run, [&](int index) {
        showFinished(c, run.at(index), show, history::Kind::Restore);
    });
    for (const ListedPrinter &listed : ofModel)
        run.add(listed);
    waitForRun(c, run);
    const std::vector<profile::PrinterResult> results = resultsByPath(run);
    int exit = exitOf(results, options.asked());
    if (checking(c))
        exit = checkExit(exit, results);
    if (json(c))
        printResultDocument(c, QStringLiteral("restore"), results, options.asked(), exit,
                            {{QStringLiteral("all"), true},
                             {QStringLiteral("profile"), c.arguments[0]},
                             {QStringLiteral("model"), parsed.model}});
    else
        showSummary(c, results);
    return exit;
}

// Waits for printers to be plugged in and restores the profile onto each new one of its model,
// a line a printer, until interrupted or until --count printers of the model were handled
// (failed ones too). A printer plugged in while others are being written starts at once (up to
// --jobs at a time). The printers attached when it starts are left as they are; so is a printer
// of another model (a line says so; it does not count). An interruption lets each printer being
// written finish its page and stop. Exit status: the first failure's, as restore --all.
int provision(Context &c)
{
    if (c.arguments.size() != 1)
        return fail(c, UsageError, c.parser.helpText());
    int count = 0; // 0: until interrupted
    if (c.parser.isSet(QStringLiteral("count"))) {
        const QString value = c.parser.value(QStringLiteral("count"));
        bool number = false;
        count = value.toInt(&number);
        if (!number || count < 1)
            return fail(c, UsageError, QObject::tr("--count 须为正整数：%1").arg(value));
    }
    profile::Parsed parsed;
    if (const int exit = readProfile(c, c.arguments[0], parsed))
        return exit;
    if (const int refused = checkProfileFor(c, parsed, ModelKey::named(parsed.model)))
        return refused;
    int jobs = 0;
    if (const int exit = jobsOption(c, fleet::Run::kMaxJobs, jobs))
        return exit;

    // The printers attached now are listed (which opens them to read their names) but never
    // written.
    Listening listening;
    if (const int exit = listening.start(c))
        return exit;
    c.err << QObject::tr("等待插入型号为 %1 的打印机；已连接的打印机不会改动").arg(parsed.model)
          << '\n';
    c.err.flush();

    const profile::ApplyOptions options = applyOptions(c);
    const ShowResult show = [options](Context &own, const profile::PrinterResult &result) {
        showProvisioned(own, result, options.asked());
    };
    // Each new printer of the model starts as soon as it is plugged in, also while others are
    // being written.
    fleet::Run run(capturing(c, restoreJob(parsed, options, show)), jobs);
    std::vector<profile::PrinterResult> otherModels;
    int accepted = 0;
    bool stopping = false;
    const auto allAccepted = [&] { return count > 0 && accepted >= count; };
    const auto quitWhenDone = [&] {
        if ((stopping || allAccepted()) && run.isIdle())
            listening.loop.quit();
    };
    QObject::connect(&run, &fleet::Run::finished, &listening.loop, [&](int index) {
        showFinished(c, run.at(index), show, history::Kind::Provision);
    });
    QObject::connect(&run, &fleet::Run::idle, &listening.loop, quitWhenDone);
    // Waiting for plugs ends at once; printers being written finish their page first.
    listening.interruption.onSignal([&] {
        if (!run.isIdle())
            sayStopping(c, run);
        stopping = true;
        run.stop();
        quitWhenDone();
    });
    listening.run([&](const PrinterChanges &changes) {
        for (const ListedPrinter &p : changes.arrived) {
            if (stopping || allAccepted())
                break;
            if (p.model() != parsed.model) {
                otherModels.push_back(profile::printerResult(
                    profile::targetOf(p), profile::Outcome::Skipped, profile::Reason::OtherModel));
                show(c, otherModels.back());
                continue;
            }
            run.add(p);
            ++accepted;
        }
    });
    std::vector<profile::PrinterResult> results = resultsByPath(run);
    const int handled = int(std::count_if(results.begin(), results.end(), [](const auto &r) {
        return r.reason != profile::Reason::Stopped;
    }));
    results.insert(results.end(), otherModels.begin(), otherModels.end());
    int exit = exitOf(results, options.asked());
    // Stopped before it handled what it was asked for (or anything at all): not done.
    if (exit == Ok && (handled == 0 || (count > 0 && handled < count)))
        exit = Interrupted;
    if (json(c))
        printJsonLine(c, {{QStringLiteral("event"), QStringLiteral("summary")},
                          {QStringLiteral("handled"), handled},
                          {QStringLiteral("summary"), summaryJson(results)},
                          {QStringLiteral("changed"), changedAny(results)},
                          {QStringLiteral("exit"), exit}});
    else
        showSummary(c, results);
    return exit;
}

} // namespace cli
