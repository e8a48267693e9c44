// download --all: a firmware or font file to every attached printer of one model, up to --jobs
// printers at once, each with the same worker and write sequence as a download to one printer.
// A stream once begun is never cut off by an interruption (half a firmware image can leave a
// printer unusable): SIGINT leaves the printers not started alone and lets the others finish.
#include "cli/commandcontext.h"
#include "cli/commands.h"
#include "cli/fleetrunning.h"
#include "core/download/downloadfile.h"
#include "core/download/workerthread.h"
#include "core/printers/fleetrun.h"

#include <QFile>
#include <QObject>
#include <algorithm>

namespace cli {

namespace {

// One printer's stream, on its thread of the run: a copy of the decrypted file of its own (the
// worker removes what it is handed) and a record of its own.
int streamTo(Context &own, fleet::Worker &worker, const QString &sideFile)
{
    const ListedPrinter &listed = worker.printer();
    const QString path = listed.identity.path();
    if (!listed.isReady())
        return unavailable(own, listed);
    const QString copy = sideFile + QLatin1Char('.') + path;
    QFile::remove(copy);
    auto handle = std::make_unique<PrinterHandle>();
    if (!QFile::copy(sideFile, copy) ||
        !QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner) ||
        CDeviceIOOpera::GetPrinterHandle(listed.identity, handle.get()) != 0) {
        QFile::remove(copy);
        own.out << path << '\t' << listed.model() << '\t' << QObject::tr("失败") << '\n';
        return fail(own, TransportFailed,
                    path + ": " + QObject::tr("请确保打印机已通过usb进行连接"));
    }
    WorkerThread stream; // run here, on the printer's thread: it closes the record and the copy
    QString error;
    QObject::connect(
        &stream, &WorkerThread::errorOccurred, &stream,
        [&error](const QString &message) { error = message; }, Qt::DirectConnection);
    QObject::connect(
        &stream, &WorkerThread::progressUpdated, &stream,
        [&worker](int percentage) { worker.progress(QString(), percentage, 100); },
        Qt::DirectConnection);
    stream.handOver(std::move(handle), copy);
    stream.sendFileData();
    const bool sent = stream.sentEverything();
    own.out << path << '\t' << listed.model() << '\t'
            << (sent ? QObject::tr("已下载") : QObject::tr("失败")) << '\n';
    if (!sent)
        return fail(own, TransportFailed, path + ": " + error);
    return Ok;
}

} // namespace

int downloadAll(Context &c)
{
    const QString kind = c.arguments[0];
    const QString chosen = c.arguments[1];
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
    if (kind == QLatin1String("font") &&
        !modelgate::offerOf(printers.first().modelKey()).fontDownload)
        return fail(c, Refused, QObject::tr("此机型不提供字库下载"));
    int jobs = 0;
    if (const int exit = jobsOption(c, printers.size(), jobs))
        return exit;

    const download::Prepared prepared = download::prepareFile(chosen);
    if (!prepared.ok())
        return fail(c, Refused, prepared.error);
    std::sort(printers.begin(), printers.end(), [](const ListedPrinter &a, const ListedPrinter &b) {
        return fleet::pathBefore(a.identity, b.identity);
    });
    for (const ListedPrinter &p : qAsConst(printers))
        c.out << download::announcement(printerName(p.rowText(), p.identity), chosen,
                                        prepared.bytes)
              << '\n';
    c.out.flush();

    const QString sideFile = prepared.sideFile;
    fleet::Run run(capturing(c, [sideFile](Context &own, fleet::Worker &worker,
                                           std::any &) { return streamTo(own, worker, sideFile); }),
                   jobs);
    QObject::connect(&run, &fleet::Run::finished, &run, [&](int index) {
        const fleet::PrinterRun &printer = run.at(index);
        if (printer.state == fleet::State::NotStarted)
            c.out << printer.printer.identity.path() << '\t' << printer.printer.model() << '\t'
                  << QObject::tr("跳过：已停止，未发送任何内容") << '\n';
        printCaptured(c, printer);
    });
    for (const ListedPrinter &p : qAsConst(printers))
        run.add(p);
    waitForRun(c, run);
    QFile::remove(sideFile);
    for (int index : run.byPath()) {
        const Captured *captured = capturedOf(run.at(index));
        if (!captured)
            return Interrupted;
        if (captured->exit != Ok)
            return captured->exit;
    }
    return Ok;
}

} // namespace cli
