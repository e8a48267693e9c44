#include "cli/resultoutput.h"

#include "cli/commandcontext.h"

#include <QObject>

namespace cli {

using profile::Outcome;
using profile::Reason;

int exitOf(const profile::PrinterResult &printer, const profile::Asked &asked)
{
    if (profile::succeeded(printer, asked))
        return Ok;
    switch (printer.outcome()) {
    case Outcome::NotKept:
        return NotKept;
    case Outcome::Stopped:
        return Interrupted;
    case Outcome::Skipped:
        return printer.why() == Reason::NoAccess  ? Unavailable
               : printer.why() == Reason::Stopped ? Interrupted
                                                  : Refused;
    case Outcome::Failed:
        return printer.why() == Reason::Refused ? Refused : TransportFailed;
    default:
        break;
    }
    return TransportFailed;
}

int exitOf(const std::vector<profile::PrinterResult> &printers, const profile::Asked &asked)
{
    for (const profile::PrinterResult &p : printers) {
        if (p.reason != Reason::OtherModel && !profile::succeeded(p, asked))
            return exitOf(p, asked);
    }
    return Ok;
}

namespace {

// Why the printer or its pages failed, and what they did not keep, each line after `prefix`.
void explain(Context &c, const profile::PrinterResult &printer, const QString &prefix)
{
    // A printer that could not be used has said why already (with what to do about it).
    if (printer.whole == Outcome::Failed)
        c.err << prefix << profile::reasonText(printer.reason, printer.detail) << '\n';
    for (const profile::PageResult &page : printer.pages) {
        if (page.outcome == Outcome::Failed)
            c.err << prefix << page.page << ": " << profile::reasonText(page.reason, page.detail)
                  << '\n';
        for (const QString &line : profile::notKeptLines(page))
            c.err << prefix << line << '\n';
    }
}

void showFrames(Context &c, const profile::PrinterResult &printer)
{
    for (const profile::PageResult &page : printer.pages) {
        for (const QByteArray &frame : page.frames)
            c.out << page.page << ": " << frame.toHex(' ').toUpper() << '\n';
    }
}

} // namespace

void showPages(Context &c, const profile::PrinterResult &printer, const profile::Asked &asked)
{
    if (printer.whole == Outcome::Failed) {
        explain(c, printer, QString());
        return; // nothing was done: nothing to show
    }
    if (asked.dryRun) {
        c.out << profile::printerLine(printer).join(QLatin1Char('\t')) << '\n';
        showFrames(c, printer);
        return;
    }
    for (const profile::PageResult &page : printer.pages)
        c.out << profile::pageLine(page, false) << '\n';
    explain(c, printer, QString());
}

void showLine(Context &c, const profile::PrinterResult &printer, const profile::Asked &asked)
{
    c.out << profile::printerLine(printer).join(QLatin1Char('\t')) << '\n';
    if (asked.dryRun)
        showFrames(c, printer);
    explain(c, printer, printer.path + QLatin1String(": "));
    c.out.flush();
    c.err.flush();
}

void showSummary(Context &c, const std::vector<profile::PrinterResult> &printers)
{
    c.err << profile::summary(printers) << '\n';
    c.err.flush();
}

} // namespace cli
