#include "cli/fleetrunning.h"

#include "cli/commandcontext.h"
#include "core/printers/fleetrun.h"

#include <QObject>

namespace cli {

int jobsOption(Context &c, int printers, int &jobs)
{
    jobs = qBound(1, printers, fleet::Run::kMaxJobs);
    if (!c.parser.isSet(QStringLiteral("jobs")))
        return Ok;
    const QString value = c.parser.value(QStringLiteral("jobs"));
    bool number = false;
    jobs = value.toInt(&number);
    if (!number || jobs < 1 || jobs > fleet::Run::kMaxJobs)
        return fail(
            c, UsageError,
            QObject::tr("--jobs 须为 1 到 %1 之间的整数：%2").arg(fleet::Run::kMaxJobs).arg(value));
    return Ok;
}

std::function<std::any(fleet::Worker &)> capturing(Context &c, PrinterJob job)
{
    QCommandLineParser *parser = &c.parser;
    const QStringList arguments = c.arguments;
    return [parser, arguments, job](fleet::Worker &worker) -> std::any {
        Captured captured;
        {
            QTextStream out(&captured.out);
            QTextStream err(&captured.err);
            Context own{*parser, arguments, out, err};
            captured.exit = job(own, worker, captured.result);
        }
        return captured;
    };
}

const Captured *capturedOf(const fleet::PrinterRun &run)
{
    return std::any_cast<Captured>(&run.result);
}

void printCaptured(Context &c, const fleet::PrinterRun &run)
{
    if (const Captured *captured = capturedOf(run)) {
        c.out << captured->out;
        c.err << captured->err;
    }
    c.out.flush();
    c.err.flush();
}

void sayStopping(Context &c, const fleet::Run &run)
{
    if (run.isStopping())
        return;
    c.err << QObject::tr("正在停止：每台打印机写完当前页面后停止，未开始的打印机不会改动") << '\n';
    c.err.flush();
}

bool waitForRun(Context &c, fleet::Run &run)
{
    if (run.isIdle())
        return false;
    QEventLoop loop;
    Interruption interruption;
    bool stopped = false;
    if (interruption.install(loop)) {
        interruption.onSignal([&] {
            sayStopping(c, run);
            stopped = true;
            run.stop();
        });
    }
    QObject::connect(&run, &fleet::Run::idle, &loop, &QEventLoop::quit);
    if (!run.isIdle())
        loop.exec();
    return stopped;
}

} // namespace cli
