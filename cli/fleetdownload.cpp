// download --all: a firmware or font file to every attached printer of one model, up to --jobs
// printers at once, each with the checks of a download to one printer (idle, settings saved, the
// printer back with its settings). A stream once begun is never cut off by an interruption (half
// a firmware image can leave a printer unusable): SIGINT leaves the printers not started alone and
// lets the others finish.
#include "cli/commandcontext.h"
#include "cli/commands.h"
#include "cli/fleetrunning.h"
#include "cli/guardeddownload.h"
#include "core/printers/fleetrun.h"

#include <QJsonArray>
#include <QObject>

namespace cli {

namespace {

// One printer's download, on its thread of the run, with a record of its own.
int downloadOn(Context &own, fleet::Worker &worker, const DownloadPlan &common, std::any &kept)
{
    const ListedPrinter &listed = worker.printer();
    if (!listed.isReady())
        return unavailable(own, listed);
    Printer printer;
    if (!printer.open(listed))
        return fail(own, TransportFailed,
                    listed.identity.path() + QObject::tr("：") +
                        QObject::tr("请确保打印机已通过usb进行连接"));
    DownloadPlan plan = common;
    plan.onBytes = [&worker](qint64 sent, qint64 size) {
        worker.progress(QString(), int(sent * 100 / std::max<qint64>(size, 1)), 100);
    };
    DownloadDone done = downloadTo(own, printer, plan);
    const int exit = done.exit;
    kept = std::move(done);
    return exit;
}

// The document of a printer to which nothing was sent: never started (stopped) or refused.
QJsonObject unsentDocument(const ListedPrinter &listed, const QString &key, const QJsonValue &value)
{
    return {{QStringLiteral("printer"), identityJson(listed)},
            {QStringLiteral("sent"), false},
            {key, value}};
}

// What a printer's download left; null for one whose job never ran or ended before the download.
const DownloadDone *doneOf(const Captured *captured)
{
    return captured ? std::any_cast<DownloadDone>(&captured->result) : nullptr;
}

} // namespace

int downloadAll(Context &c)
{
    if (c.parser.isSet(QStringLiteral("port")))
        return fail(c, UsageError, QObject::tr("--port 与 --all 不能同时使用"));
    if (c.parser.isSet(QStringLiteral("serial")))
        return fail(c, UsageError, QObject::tr("--serial 与 --all 不能同时使用"));
    DownloadPlan plan;
    if (const int exit = makePlan(c, plan))
        return exit;
    plan.sideFilePerPrinter = true;
    QList<ListedPrinter> printers = listSupportedPrinters();
    if (printers.isEmpty())
        return fail(c, NoSuchPrinter, QObject::tr("没有找到打印机"));
    // A firmware image is made for one model: the attached printers must all be of it.
    QStringList models;
    for (const ListedPrinter &p : qAsConst(printers)) {
        if (!models.contains(p.model()))
            models << p.model();
    }
    if (models.size() > 1)
        return fail(c, Refused,
                    QObject::tr("连接着多个型号的打印机（%1）；download --all 只下载到同一型号的"
                                "全部打印机，请只连接该型号的打印机")
                        .arg(models.join(QStringLiteral("、"))));
    // Once for every printer, before any is asked anything.
    if (const int exit = checkPlan(c, plan, printers.first().modelKey(), models.first()))
        return exit;
    int jobs = 0;
    if (const int exit = jobsOption(c, printers.size(), jobs))
        return exit;

    fleet::Run run(
        capturing(c, [&plan](Context &own, fleet::Worker &worker,
                             std::any &kept) { return downloadOn(own, worker, plan, kept); }),
        jobs);
    QObject::connect(&run, &fleet::Run::finished, &run, [&](int index) {
        const fleet::PrinterRun &printer = run.at(index);
        if (printer.state == fleet::State::NotStarted && !json(c))
            c.out << printer.printer.identity.path() << '\t' << printer.printer.model() << '\t'
                  << QObject::tr("跳过：已停止，未发送任何内容") << '\n';
        // The history is kept on this thread, one printer after another.
        if (const DownloadDone *done = doneOf(capturedOf(printer)); done && done->record)
            download::recordDownload(*done->record);
        printCaptured(c, printer);
    });
    for (const ListedPrinter &p : qAsConst(printers))
        run.add(p);
    waitForRun(c, run);

    // The exit status and the document follow the USB paths: the first printer's that failed.
    int exit = Ok;
    QJsonArray documents;
    for (int index : run.byPath()) {
        const fleet::PrinterRun &printer = run.at(index);
        const Captured *captured = capturedOf(printer);
        const DownloadDone *done = doneOf(captured);
        const int printerExit = captured ? captured->exit : int(Interrupted);
        if (exit == Ok)
            exit = printerExit;
        if (done && !done->document.isEmpty())
            documents.append(done->document);
        else if (!captured)
            documents.append(unsentDocument(printer.printer, QStringLiteral("outcome"),
                                            QStringLiteral("stopped")));
        else
            documents.append(unsentDocument(printer.printer, QStringLiteral("exit"), printerExit));
    }
    if (json(c))
        printJson(c, {{QStringLiteral("kind"), plan.kind},
                      {QStringLiteral("file"), plan.chosen},
                      {QStringLiteral("all"), true},
                      {QStringLiteral("printers"), documents},
                      {QStringLiteral("exit"), exit}});
    return exit;
}

} // namespace cli
