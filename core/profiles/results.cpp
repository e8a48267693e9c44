#include "core/profiles/results.h"

#include <QObject>
#include <algorithm>
#include <map>

namespace profile {

Outcome PrinterResult::outcome() const
{
    if (whole != Outcome::Unchanged)
        return whole;
    // A page the model does not offer leaves the others as they ended.
    Outcome worst = Outcome::Unchanged;
    for (const PageResult &page : pages) {
        if (page.outcome != Outcome::Skipped)
            worst = std::max(worst, page.outcome);
    }
    return worst;
}

Reason PrinterResult::why() const
{
    if (reason != Reason::None)
        return reason;
    for (const PageResult &page : pages) {
        if (page.outcome == Outcome::Failed)
            return page.reason;
    }
    return Reason::None;
}

QString PrinterResult::whyDetail() const
{
    if (reason != Reason::None)
        return detail;
    for (const PageResult &page : pages) {
        if (page.outcome == Outcome::Failed)
            return page.detail;
    }
    return QString();
}

int PrinterResult::pagesWritten() const
{
    return int(
        std::count_if(pages.begin(), pages.end(), [](const PageResult &p) { return p.written(); }));
}

int PrinterResult::pagesToWrite() const
{
    return int(std::count_if(pages.begin(), pages.end(),
                             [](const PageResult &p) { return p.outcome == Outcome::WouldWrite; }));
}

bool succeeded(const PrinterResult &printer, const Asked &asked)
{
    switch (printer.outcome()) {
    case Outcome::Unchanged:
    case Outcome::Verified:
        return true;
    case Outcome::WrittenNotVerified:
        return !asked.verify;
    case Outcome::WouldWrite:
        return asked.dryRun;
    case Outcome::NotKept:
    case Outcome::Skipped:
    case Outcome::Failed:
        break;
    }
    return false;
}

bool succeeded(const std::vector<PrinterResult> &printers, const Asked &asked)
{
    return std::all_of(printers.begin(), printers.end(), [&](const PrinterResult &p) {
        return p.reason == Reason::OtherModel || succeeded(p, asked);
    });
}

QString outcomeName(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Unchanged:
        return QStringLiteral("unchanged");
    case Outcome::WouldWrite:
        return QStringLiteral("would-write");
    case Outcome::Verified:
        return QStringLiteral("verified");
    case Outcome::WrittenNotVerified:
        return QStringLiteral("written-not-verified");
    case Outcome::NotKept:
        return QStringLiteral("not-kept");
    case Outcome::Skipped:
        return QStringLiteral("skipped");
    case Outcome::Failed:
        break;
    }
    return QStringLiteral("failed");
}

QString reasonName(Reason reason)
{
    switch (reason) {
    case Reason::None:
        return QString();
    case Reason::NotAnswering:
        return QStringLiteral("not-answering");
    case Reason::ExchangeFailed:
        return QStringLiteral("exchange-failed");
    case Reason::Refused:
        return QStringLiteral("refused");
    case Reason::OtherModel:
        return QStringLiteral("other-model");
    case Reason::NoAccess:
        return QStringLiteral("no-access");
    case Reason::NotOffered:
        break;
    }
    return QStringLiteral("not-offered");
}

QString outcomeText(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Unchanged:
        return QObject::tr("未改变");
    case Outcome::WouldWrite:
        return QObject::tr("将写入（未发送）");
    case Outcome::Verified:
        return QObject::tr("已写入并核对");
    case Outcome::WrittenNotVerified:
        return QObject::tr("已写入，未核对");
    case Outcome::NotKept:
        return QObject::tr("写入的值未被保存");
    case Outcome::Skipped:
        return QObject::tr("跳过");
    case Outcome::Failed:
        break;
    }
    return QObject::tr("失败");
}

QString reasonText(Reason reason, const QString &detail)
{
    switch (reason) {
    case Reason::None:
        return QString();
    case Reason::NotAnswering:
        return QObject::tr("打印机没有应答");
    case Reason::ExchangeFailed:
        return detail.isEmpty() ? QObject::tr("请确保打印机已通过usb进行连接") : detail;
    case Reason::Refused:
    case Reason::NoAccess:
        return detail;
    case Reason::OtherModel:
        return QObject::tr("另一型号");
    case Reason::NotOffered:
        return QObject::tr("此机型不提供");
    }
    return QString();
}

QString outcomeWithReason(Outcome outcome, Reason reason, const QString &detail)
{
    const QString why = reasonText(reason, detail);
    if (why.isEmpty() || (outcome != Outcome::Failed && outcome != Outcome::Skipped))
        return outcomeText(outcome);
    return QObject::tr("%1：%2").arg(outcomeText(outcome), why);
}

QString pagesText(const PrinterResult &printer)
{
    if (printer.outcome() == Outcome::WouldWrite)
        return QObject::tr("将写入 %1 个页面").arg(printer.pagesToWrite());
    return QObject::tr("已写入 %1 个页面").arg(printer.pagesWritten());
}

QStringList printerLine(const PrinterResult &printer)
{
    const Outcome outcome = printer.outcome();
    // Its model instead of a serial number: the printer was not opened.
    if (printer.reason == Reason::OtherModel)
        return {printer.path, printer.model, QObject::tr("另一型号，未改动")};
    // A failure's reason is said apart, on a line of its own: the line keeps its four fields.
    return {printer.path, printer.serial, pagesText(printer),
            outcome == Outcome::Skipped
                ? outcomeWithReason(outcome, printer.why(), printer.whyDetail())
                : outcomeText(outcome)};
}

QString pageLine(const PageResult &page, bool withReason)
{
    return QObject::tr("%1：%2").arg(
        page.page, withReason ? outcomeWithReason(page.outcome, page.reason, page.detail)
                              : outcomeText(page.outcome));
}

QStringList notKeptLines(const PageResult &page)
{
    QStringList lines;
    for (const pages::Mismatch &m : page.notKept)
        lines << QObject::tr("%1 %2：写入 %3，打印机保存的是 %4")
                     .arg(page.page, m.key, m.expected, m.found);
    return lines;
}

QStringList pageLines(const PrinterResult &printer)
{
    QStringList lines;
    for (const PageResult &page : printer.pages)
        lines << (page.outcome == Outcome::NotKept ? notKeptLines(page)
                                                   : QStringList{pageLine(page)});
    return lines;
}

QString shownValue(const Change &change, bool before)
{
    if (change.secret)
        return QObject::tr("(不同)");
    return before ? change.before : change.after;
}

QString summary(const std::vector<PrinterResult> &printers)
{
    if (printers.empty())
        return QObject::tr("没有处理任何打印机");
    std::map<Outcome, int> counts;
    for (const PrinterResult &p : printers)
        ++counts[p.outcome()];
    QStringList parts;
    // The most telling first: what went as asked, then what did not.
    for (Outcome outcome :
         {Outcome::Verified, Outcome::WrittenNotVerified, Outcome::WouldWrite, Outcome::Unchanged,
          Outcome::NotKept, Outcome::Skipped, Outcome::Failed}) {
        const auto found = counts.find(outcome);
        if (found != counts.end())
            parts << QObject::tr("%1 台%2").arg(found->second).arg(outcomeText(outcome));
    }
    return QObject::tr("%1 台打印机：%2").arg(printers.size()).arg(parts.join(QObject::tr("，")));
}

} // namespace profile
