#include "cli/commandcontext.h"
#include "cli/commands.h"
#include "cli/fleetrunning.h"
#include "cli/jsonoutput.h"
#include "cli/listing.h"
#include "cli/recording.h"
#include "cli/resultjson.h"
#include "cli/resultoutput.h"
#include "core/base/filenames.h"
#include "core/printers/fleetrun.h"
#include "core/profiles/apply.h"
#include "core/profiles/compare.h"
#include "core/profiles/fleetapply.h"
#include "core/profiles/profile.h"
#include "core/profiles/snapshot.h"
#include "core/settings/settingspage.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QObject>
#include <algorithm>

namespace cli {

int fileExists(Context &c, const QString &path)
{
    return fail(c, Refused, QObject::tr("文件已存在：%1。用 --force 替换它").arg(path));
}

int backup(Context &c)
{
    if (c.arguments.size() != 1)
        return fail(c, UsageError, c.parser.helpText());
    const QString path = c.arguments[0];
    // "-" is standard output, as for other tools; a file of that name is "./-".
    const bool toOutput = path == QLatin1String("-");
    const bool replace = c.parser.isSet(QStringLiteral("force"));
    // Said before the printer is asked anything; the save itself makes sure.
    if (!toOutput && !replace && filenames::exists(path))
        return fileExists(c, path);
    Printer printer;
    if (const int exit = choosePrinter(c, printer))
        return exit;
    // As the window refuses it: a file without a page would restore nothing.
    if (pages::pagesForModel(printer.modelKey()).empty())
        return fail(
            c, Refused,
            QObject::tr("此机型（%1）不提供“%2”").arg(printer.model(), QStringLiteral("backup")));
    const profile::Snapshot snapshot =
        profile::readSnapshot(printer.handle(), printer.modelKey(), profile::Version::Read);
    if (!snapshot.complete())
        return readFailed(c, printer);
    const QByteArray json =
        QJsonDocument(profile::document(printer.model(), snapshot.version, snapshot.pages,
                                        !c.parser.isSet(QStringLiteral("no-secrets"))))
            .toJson();
    if (toOutput) {
        // The document's own bytes (UTF-8), whatever the terminal's encoding.
        c.out.flush();
        if (c.out.device())
            c.out.device()->write(json);
        else
            c.out << QString::fromUtf8(json);
        return Ok;
    }
    QString why;
    switch (profile::save(path, json, replace, &why)) {
    case profile::Saved::Ok:
        if (cli::json(c)) {
            QJsonArray names;
            for (const auto &page : snapshot.pages)
                names.append(page->name());
            printJson(c,
                      {{QStringLiteral("file"), path},
                       {QStringLiteral("printer"), identityJson(printer)},
                       {QStringLiteral("pages"), names},
                       {QStringLiteral("secrets"), !c.parser.isSet(QStringLiteral("no-secrets"))}});
        }
        return Ok;
    case profile::Saved::Exists:
        return fileExists(c, path);
    case profile::Saved::Failed:
        break;
    }
    return fail(c, Refused, QObject::tr("无法写入文件：%1（%2）").arg(path, why));
}

// A profile file, read and checked as a whole.
int readProfile(Context &c, const QString &path, profile::Parsed &parsed)
{
    if (const std::optional<QString> error = profile::load(path, parsed))
        return fail(c, Refused, *error);
    return Ok;
}

// Every page of the file checked for this model before anything is sent: its pages, keys and
// values. Whether each page is valid as a whole is checked once it is merged with the printer's
// own values, which a key the file leaves out keeps.
int checkProfileFor(Context &c, const profile::Parsed &parsed, const ModelKey &modelKey)
{
    if (const std::optional<QString> error = profile::checkFor(parsed.pages, modelKey))
        return fail(c, Refused, *error);
    return Ok;
}

// What restore and provision ask of the apply: every page of the profile once the printer differs
// anywhere (a printer that holds the profile is left as it is), each read back unless told not to.
profile::ApplyOptions applyOptions(const Context &c)
{
    profile::ApplyOptions options;
    options.pages = profile::ApplyOptions::Pages::All;
    options.verify = verifying(c);
    // A check works out what a write would send, as a dry run does, and sends nothing.
    options.dryRun = c.parser.isSet(QStringLiteral("dry-run")) || checking(c);
    return options;
}

// How restore and restore --all show a printer's result: in words as it comes, or in the document
// at the end (--json); a check with the keys that would change.
void showResult(Context &c, const profile::PrinterResult &result,
                const profile::ApplyOptions &options, bool many)
{
    if (json(c))
        return;
    if (checking(c))
        showCheck(c, result, !many);
    else if (many)
        showLine(c, result, options.asked());
    else
        showPages(c, result, options.asked());
}

// A check and a dry run both send nothing: one or the other.
int refuseCheckWithDryRun(Context &c)
{
    if (checking(c) && c.parser.isSet(QStringLiteral("dry-run")))
        return fail(c, UsageError, QObject::tr("--check 与 --dry-run 不能同时使用"));
    return Ok;
}

profile::Target targetOf(const ListedPrinter &listed)
{
    return {listed.identity.path(), listed.model(), listed.modelKey()};
}

// A printer a stopped run never started: nothing was sent to it.
profile::PrinterResult notStarted(const ListedPrinter &listed)
{
    return profile::notStarted(targetOf(listed));
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

int restore(Context &c)
{
    if (c.arguments.size() != 1)
        return fail(c, UsageError, c.parser.helpText());
    const bool all = c.parser.isSet(QStringLiteral("all"));
    // --all goes to every printer of the model: a port would name one, and be ignored.
    if (all && c.parser.isSet(QStringLiteral("port")))
        return fail(c, UsageError, QObject::tr("--port 与 --all 不能同时使用"));
    if (all && c.parser.isSet(QStringLiteral("serial")))
        return fail(c, UsageError, QObject::tr("--serial 与 --all 不能同时使用"));
    if (const int refused = refuseCheckWithDryRun(c))
        return refused;
    profile::Parsed parsed;
    if (const int exit = readProfile(c, c.arguments[0], parsed))
        return exit;
    if (all)
        return restoreAll(c, parsed);
    Printer printer;
    if (const int exit = choosePrinter(c, printer))
        return exit;
    if (parsed.model != printer.model() && !c.parser.isSet(QStringLiteral("force")))
        return fail(c, Refused,
                    QObject::tr("配置来自另一型号（%1），本打印机是 %2；用 --force 仍然写入")
                        .arg(parsed.model, printer.model()));
    if (const int refused = checkProfileFor(c, parsed, printer.modelKey()))
        return refused;
    const profile::ApplyOptions options = applyOptions(c);
    const profile::PrinterResult result =
        profile::applyProfile(printer.handle(), parsed.pages,
                              {printer.path(), printer.model(), printer.modelKey()}, options);
    recordApply(result, history::Kind::Restore, c.arguments[0]);
    showResult(c, result, options, false);
    int exit = exitOf(result, options.asked());
    if (checking(c))
        exit = checkExit(exit, {result});
    if (json(c))
        printResultDocument(c, QStringLiteral("restore"), {result}, options.asked(), exit,
                            {{QStringLiteral("all"), false},
                             {QStringLiteral("profile"), c.arguments[0]},
                             {QStringLiteral("model"), parsed.model}});
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
                otherModels.push_back(profile::printerResult(targetOf(p), profile::Outcome::Skipped,
                                                             profile::Reason::OtherModel));
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

// The differences as a document: each key with both values (typed as read shows them), a password
// or PIN only as differing unless asked; whether they differ, and the exit status.
int printDifferences(Context &c, const QList<profile::Difference> &found, const ModelKey &modelKey,
                     bool secrets)
{
    const int exit = profile::differ(found) ? 1 : Ok;
    printJson(c, {{QStringLiteral("one"),
                   c.arguments.size() == 2 ? c.arguments[0] : QStringLiteral("printer")},
                  {QStringLiteral("other"), c.arguments.value(1, c.arguments[0])},
                  {QStringLiteral("differences"), differencesJson(found, modelKey, secrets)},
                  {QStringLiteral("differ"), exit != Ok},
                  {QStringLiteral("exit"), exit}});
    return exit;
}

// Two profiles' values side by side: one line per key that differs (page, key, one value, the
// other). Read-only keys (serial number, device information, MACs) are listed apart and never
// count as a difference. Passwords and the PIN show only that they differ, unless asked.
int compareProfiles(Context &c, const QJsonObject &one, const QJsonObject &other,
                    const ModelKey &modelKey)
{
    const QList<profile::Difference> found = profile::differences(one, other, modelKey);
    const bool secrets = c.parser.isSet(QStringLiteral("show-secrets"));
    if (json(c))
        return printDifferences(c, found, modelKey, secrets);
    auto print = [&](bool readOnly) {
        for (const profile::Difference &d : found) {
            if (d.readOnly != readOnly)
                continue;
            const QString masked = QObject::tr("(不同)");
            c.out << d.page << '\t' << d.key << '\t' << (d.secret && !secrets ? masked : d.one)
                  << '\t' << (d.secret && !secrets ? masked : d.other) << '\n';
        }
    };
    print(false);
    if (found.size() > 0 &&
        !std::all_of(found.begin(), found.end(), [](const auto &d) { return !d.readOnly; })) {
        c.out << QObject::tr("只读（不计为差异）：") << '\n';
        print(true);
    }
    return profile::differ(found) ? 1 : Ok;
}

// Profiles of two models are not compared unless asked: a model's keys mean other things on
// another, and a match would say nothing.
int refuseOtherModel(Context &c, const QString &message)
{
    if (c.parser.isSet(QStringLiteral("force")))
        return Ok;
    return fail(c, UsageError, message);
}

int diff(Context &c)
{
    if (c.arguments.isEmpty() || c.arguments.size() > 2)
        return fail(c, UsageError, c.parser.helpText());
    profile::Parsed one;
    if (const int exit = readProfile(c, c.arguments[0], one))
        return exit;
    if (c.arguments.size() == 2) {
        profile::Parsed other;
        if (const int exit = readProfile(c, c.arguments[1], other))
            return exit;
        if (one.model != other.model) {
            if (const int refused = refuseOtherModel(
                    c, QObject::tr("两个配置文件的型号不同（%1 和 %2）；用 --force 仍然比较")
                           .arg(one.model, other.model)))
                return refused;
        }
        // Each file checked as restore checks it, for its own model.
        if (const int refused = checkProfileFor(c, one, ModelKey::named(one.model)))
            return refused;
        if (const int refused = checkProfileFor(c, other, ModelKey::named(other.model)))
            return refused;
        return compareProfiles(c, one.pages, other.pages, ModelKey::named(one.model));
    }
    Printer printer;
    if (const int exit = choosePrinter(c, printer))
        return exit;
    if (one.model != printer.model()) {
        if (const int refused = refuseOtherModel(
                c, QObject::tr("配置来自另一型号（%1），本打印机是 %2；用 --force 仍然比较")
                       .arg(one.model, printer.model())))
            return refused;
    }
    if (const int refused = checkProfileFor(c, one, printer.modelKey()))
        return refused;
    const profile::Snapshot mine =
        profile::readSnapshot(printer.handle(), printer.modelKey(), profile::Version::Skip);
    if (!mine.complete())
        return readFailed(c, printer);
    return compareProfiles(c, mine.pagesJson(), one.pages, printer.modelKey());
}

} // namespace cli
