// download firmware|font FILE: the file and its manifest checked, the printer checked and its
// settings saved, the stream, then the wait for the printer to answer again and the comparison of
// its settings with those saved before.
#include "cli/commandcontext.h"
#include "cli/commands.h"
#include "cli/downloadprogress.h"
#include "cli/guardeddownload.h"
#include "core/download/downloadfile.h"
#include "core/download/downloadguard.h"
#include "core/download/downloadreport.h"
#include "core/download/printerreturn.h"
#include "core/download/settingssnapshot.h"
#include "core/download/workerthread.h"
#include "core/history/action.h"

#include <QFile>
#include <QJsonObject>
#include <QObject>
#include <QTextStream>
#include <unistd.h>

namespace cli {

namespace {

using download::Outcome;

static_assert(download::kMaxFileBytes > 0);

constexpr int kDefaultWaitSeconds = 60;

bool onTerminal(const Context &c)
{
    const auto *outFile = qobject_cast<QFile *>(c.out.device());
    return outFile && isatty(outFile->handle());
}

// Streams the prepared file to the printer; true when every byte went out, else `error` says why.
// With --json nothing shows the progress.
bool stream(Context &c, Printer &printer, const QString &sideFile, const DownloadPlan &plan,
            QString &error)
{
    // The same worker as the window's: it stops at the first failed chunk, closes the printer
    // and removes the side file however the stream ends.
    QString discarded;
    QTextStream nowhere(&discarded);
    DownloadProgress progress(json(c) || plan.onBytes ? nowhere : c.out,
                              !json(c) && !plan.onBytes && onTerminal(c));
    WorkerThread worker;
    worker.handOver(printer.release(), sideFile);
    QEventLoop loop;
    QObject::connect(&worker, &WorkerThread::bytesSent, &loop, [&](qint64 sent, qint64 size) {
        progress.update(sent, size);
        if (plan.onBytes)
            plan.onBytes(sent, size);
    });
    QObject::connect(&worker, &WorkerThread::errorOccurred, &loop, [&](const QString &message) {
        progress.finish();
        error = message;
    });
    QObject::connect(&worker, &WorkerThread::finished, &loop, &QEventLoop::quit,
                     Qt::QueuedConnection);
    worker.start();
    loop.exec();
    worker.wait();
    progress.finish();
    if (!worker.sentEverything() && error.isEmpty())
        error = QObject::tr("请确保打印机已通过usb进行连接");
    return worker.sentEverything();
}

// Only an idle printer takes a download, unless told otherwise: the outcome that stops it, if any.
std::optional<Outcome> refuseUnlessIdle(Context &c, Printer &printer)
{
    if (c.parser.isSet(QStringLiteral("force")))
        return std::nullopt;
    const std::optional<QList<StatusCondition>> conditions =
        download::readConditions(printer.handle());
    if (conditions && conditions->isEmpty())
        return std::nullopt;
    c.err << (conditions ? download::busyText(printer.name(), *conditions)
                         : download::statusUnknownText(printer.name()))
          << '\n'
          << QObject::tr("用 --force 仍然下载") << '\n';
    return conditions ? Outcome::Busy : Outcome::Failed;
}

// With --restore-settings, the settings that changed are written back from the snapshot.
void restoreIfAsked(Context &c, download::Report &report, const PrinterIdentity &identity,
                    const profile::Snapshot &before, const ModelKey &modelKey)
{
    if (report.changed.isEmpty() || !c.parser.isSet(QStringLiteral("restore-settings")))
        return;
    PrinterHandle handle;
    download::Restore restore;
    if (CDeviceIOOpera::GetPrinterHandle(identity, &handle) == 0) {
        restore = download::restoreSettings(&handle, before, modelKey);
        CDeviceIOOpera::ClosePrinterHandle(&handle);
    } else {
        restore.failure = QObject::tr("请确保打印机已通过usb进行连接");
    }
    download::restored(report, restore);
}

} // namespace

int makePlan(Context &c, DownloadPlan &plan)
{
    plan.kind = c.arguments[0];
    plan.chosen = c.arguments[1];
    plan.waitSeconds = kDefaultWaitSeconds;
    if (!c.parser.isSet(QStringLiteral("wait")))
        return Ok;
    bool ok = false;
    const QString value = c.parser.value(QStringLiteral("wait"));
    plan.waitSeconds = value.toInt(&ok);
    if (ok && plan.waitSeconds >= 0 && plan.waitSeconds <= 24 * 3600)
        return Ok;
    return fail(c, UsageError, QObject::tr("--wait 须为秒数（0 到 86400）：%1").arg(value));
}

int checkPlan(Context &c, DownloadPlan &plan, const ModelKey &modelKey, const QString &model)
{
    // The font download is not offered for locked models, as in the window.
    if (plan.kind == QLatin1String("font") && !modelgate::offerOf(modelKey).fontDownload)
        return fail(c, Refused, QObject::tr("此机型不提供字库下载"));
    if (const std::optional<QString> refused = download::checkFile(
            plan.chosen, plan.chosen, c.parser.value(QStringLiteral("manifest")), plan.manifest))
        return fail(c, Refused, *refused);
    if (plan.manifest) {
        if (const std::optional<QString> refused = download::checkModel(*plan.manifest, model))
            return fail(c, Refused, *refused);
    }
    plan.sha256 = download::sha256Of(plan.chosen);
    return Ok;
}

DownloadDone downloadTo(Context &c, Printer &printer, const DownloadPlan &plan)
{
    const QString &kind = plan.kind;
    const QString &chosen = plan.chosen;
    const std::optional<download::Manifest> &manifest = plan.manifest;
    DownloadDone done;
    download::Record record;
    record.frontEnd = history::kCommandLine;
    record.when = QDateTime::currentDateTime();
    record.printerPath = printer.identity().path();
    record.model = printer.model();
    record.kind = kind;
    record.file = chosen;
    record.sha256 = plan.sha256;
    qint64 bytes = 0;
    bool sent = false;
    const QJsonObject identity = identityJson(printer);
    const auto finish = [&](Outcome outcome) {
        record.outcome = outcome;
        done.record = record;
        done.exit = download::exitStatus(outcome);
        done.document = QJsonObject{{QStringLiteral("kind"), kind},
                                    {QStringLiteral("file"), chosen},
                                    {QStringLiteral("bytes"), double(bytes)},
                                    {QStringLiteral("printer"), identity},
                                    {QStringLiteral("sent"), sent},
                                    {QStringLiteral("outcome"), download::outcomeName(outcome)},
                                    {QStringLiteral("exit"), done.exit}};
        return done;
    };
    const auto refuse = [&](int exit, const QString &message) {
        done.exit = fail(c, Exit(exit), message);
        return done;
    };

    if (const std::optional<Outcome> refused = refuseUnlessIdle(c, printer))
        return finish(*refused);

    download::Before before = download::readBefore(printer.handle(), printer.modelKey());
    if (!before.snapshot.complete()) {
        done.exit = transportFailed(c);
        return done;
    }
    record.serialNumber = before.serialNumber;
    record.versionBefore = before.snapshot.version;
    if (manifest && download::alreadyInstalled(*manifest, before.snapshot.version) &&
        !c.parser.isSet(QStringLiteral("reinstall"))) {
        if (!json(c))
            c.out << download::outcomeWord(Outcome::Skipped) << QObject::tr("：")
                  << download::alreadyInstalledText(printer.name(), before.snapshot.version)
                  << QObject::tr("；用 --reinstall 重新安装") << '\n';
        return finish(Outcome::Skipped);
    }
    if (const std::optional<QString> refused =
            download::saveSnapshot(before, printer.model(), record.when))
        return refuse(Refused, *refused);
    record.snapshotPath = before.path;

    const download::Prepared prepared = download::prepareFile(
        chosen, nullptr, plan.sideFilePerPrinter ? printer.path() : QString());
    if (!prepared.ok())
        return refuse(Refused, prepared.error);
    bytes = prepared.bytes;
    if (!json(c)) {
        c.out << download::announcement(printer.name(), chosen, prepared.bytes) << '\n';
        if (manifest && !manifest->version.isEmpty())
            c.out << download::installsVersion(manifest->version) << '\n';
        c.out.flush();
    }

    // Plugs are followed from before the first byte: a printer that restarts is seen to go.
    PrinterReturn back(
        {printer.identity(), printer.model(), printer.modelKey(), before.serialNumber});
    back.listen();
    const QString name = printer.name();
    const PrinterIdentity printerIdentity = printer.identity();
    const QString path = printerIdentity.path();
    const ModelKey modelKey = printer.modelKey();
    QString error;
    if (!stream(c, printer, prepared.sideFile, plan, error)) {
        record.outcome = Outcome::Failed;
        done.record = record;
        return refuse(TransportFailed,
                      error + '\n' + QObject::tr("下载前的设置保存在 %1").arg(before.path));
    }
    sent = true;

    QEventLoop loop;
    QObject::connect(&back, &PrinterReturn::finished, &loop, &QEventLoop::quit);
    back.wait(plan.waitSeconds * 1000);
    if (back.isWaiting())
        loop.exec();
    download::Report report = download::assess(
        name, path, before, back.isBack() ? &back.after() : nullptr, back.conditions(),
        manifest ? manifest->version : QString(), modelKey, plan.waitSeconds);
    record.versionAfter = report.versionAfter;
    restoreIfAsked(c, report, printerIdentity, before.snapshot, modelKey);
    if (!json(c)) {
        for (const QString &line : download::describe(report))
            c.out << line << '\n';
        c.out.flush();
    }
    return finish(report.outcome);
}

int download(Context &c)
{
    static_assert(int(VersionMismatch) == 9 && int(NotBack) == 10 && int(Busy) == 11);
    if (c.arguments.size() != 2 || !QStringList{"firmware", "font"}.contains(c.arguments[0]))
        return fail(c, UsageError, c.parser.helpText());
    // Every printer of the model, side by side.
    if (c.parser.isSet(QStringLiteral("all")))
        return downloadAll(c);
    DownloadPlan plan;
    if (const int exit = makePlan(c, plan))
        return exit;

    // The printer is opened (nothing is sent to it) and what its model offers checked, then the
    // file and its manifest: nothing is asked of a printer for a file that cannot go.
    Printer printer;
    if (const int exit = choosePrinter(c, printer))
        return exit;
    if (const int exit = checkPlan(c, plan, printer.modelKey(), printer.model()))
        return exit;
    const DownloadDone done = downloadTo(c, printer, plan);
    if (done.record)
        download::recordDownload(*done.record);
    if (json(c) && !done.document.isEmpty())
        printJson(c, done.document);
    return done.exit;
}

} // namespace cli
