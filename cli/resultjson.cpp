#include "cli/resultjson.h"

#include "cli/commandcontext.h"
#include "cli/jsonoutput.h"
#include "cli/resultoutput.h"
#include "core/printers/modelkey.h"
#include "core/settings/settingspage.h"

#include <QJsonArray>
#include <algorithm>

namespace cli {

using profile::Outcome;
using profile::Reason;

namespace {

// The reason of a failed or skipped page or printer, by name and in the user's words.
void insertReason(QJsonObject &object, Reason reason, const QString &detail)
{
    if (reason == Reason::None)
        return;
    object.insert(QStringLiteral("reason"), profile::reasonName(reason));
    object.insert(QStringLiteral("detail"), profile::reasonText(reason, detail));
}

// A value as read shows it: number keys as numbers, typed by the page of the printer's model.
QJsonValue typed(const pages::SettingsPage *page, const QString &key, const QString &text)
{
    return page ? valueJson(*page, key, text) : QJsonValue(text);
}

QJsonObject pageJson(const profile::PageResult &result, const ModelKey &modelKey, bool frames)
{
    const std::unique_ptr<pages::SettingsPage> page = pages::pageNamed(result.page, modelKey);
    QJsonArray changes;
    for (const profile::Change &change : result.changes) {
        QJsonObject object{{QStringLiteral("key"), change.key}};
        // A password or PIN: that it changes, never its value.
        if (change.secret) {
            object.insert(QStringLiteral("secret"), true);
        } else {
            object.insert(QStringLiteral("before"), typed(page.get(), change.key, change.before));
            object.insert(QStringLiteral("after"), typed(page.get(), change.key, change.after));
        }
        changes.append(object);
    }
    QJsonObject object{{QStringLiteral("page"), result.page},
                       {QStringLiteral("outcome"), profile::outcomeName(result.outcome)},
                       {QStringLiteral("written"), result.written()},
                       {QStringLiteral("changes"), changes}};
    insertReason(object, result.reason, result.detail);
    if (!result.notKept.isEmpty()) {
        QJsonArray notKept;
        for (const pages::Mismatch &m : result.notKept)
            notKept.append(
                QJsonObject{{QStringLiteral("key"), m.key},
                            {QStringLiteral("sent"), typed(page.get(), m.key, m.expected)},
                            {QStringLiteral("kept"), typed(page.get(), m.key, m.found)}});
        object.insert(QStringLiteral("not-kept"), notKept);
    }
    if (frames) {
        QJsonArray hex;
        for (const QByteArray &frame : result.frames)
            hex.append(QString::fromLatin1(frame.toHex(' ').toUpper()));
        object.insert(QStringLiteral("frames"), hex);
    }
    return object;
}

} // namespace

QJsonObject printerJson(const profile::PrinterResult &printer, bool frames)
{
    const ModelKey modelKey = ModelKey::named(printer.model);
    QJsonArray pages;
    for (const profile::PageResult &page : printer.pages)
        pages.append(pageJson(page, modelKey, frames));
    QJsonObject object{{QStringLiteral("path"), printer.path},
                       {QStringLiteral("serial"), printer.serial.isEmpty()
                                                      ? QJsonValue(QJsonValue::Null)
                                                      : QJsonValue(printer.serial)},
                       {QStringLiteral("model"), printer.model},
                       {QStringLiteral("outcome"), profile::outcomeName(printer.outcome())},
                       {QStringLiteral("pages-written"), printer.pagesWritten()},
                       {QStringLiteral("pages"), pages}};
    insertReason(object, printer.why(), printer.whyDetail());
    return object;
}

QJsonObject summaryJson(const std::vector<profile::PrinterResult> &printers)
{
    QJsonObject summary{{QStringLiteral("printers"), int(printers.size())}};
    for (Outcome outcome :
         {Outcome::Unchanged, Outcome::WouldWrite, Outcome::Verified, Outcome::WrittenNotVerified,
          Outcome::NotKept, Outcome::Skipped, Outcome::Failed})
        summary.insert(profile::outcomeName(outcome),
                       int(std::count_if(printers.begin(), printers.end(),
                                         [&](const auto &p) { return p.outcome() == outcome; })));
    return summary;
}

bool changedAny(const std::vector<profile::PrinterResult> &printers)
{
    return std::any_of(printers.begin(), printers.end(), [](const profile::PrinterResult &p) {
        return std::any_of(p.pages.begin(), p.pages.end(), [](const profile::PageResult &page) {
            return page.written() || page.outcome == Outcome::WouldWrite;
        });
    });
}

bool checking(const Context &c) { return c.parser.isSet(QStringLiteral("check")); }

int checkExit(int exit, const std::vector<profile::PrinterResult> &printers)
{
    if (exit != Ok)
        return exit;
    return changedAny(printers) ? WouldChange : Ok;
}

void showCheck(Context &c, const profile::PrinterResult &printer, bool pageLines)
{
    if (pageLines) {
        // A printer that could not be checked at all has no page to name: why, on standard error.
        if (printer.whole != profile::Outcome::Unchanged)
            c.err << profile::outcomeWithReason(printer.whole, printer.reason, printer.detail)
                  << '\n';
        for (const profile::PageResult &page : printer.pages)
            c.out << profile::pageLine(page) << '\n';
    } else {
        c.out << profile::printerLine(printer).join(QLatin1Char('\t')) << '\n';
    }
    for (const profile::PageResult &page : printer.pages) {
        for (const profile::Change &change : page.changes)
            c.out << "  " << page.page << ' ' << change.key << ": "
                  << profile::shownValue(change, true) << " -> "
                  << profile::shownValue(change, false) << '\n';
    }
    c.out.flush();
}

void printResultDocument(Context &c, const QString &command,
                         const std::vector<profile::PrinterResult> &printers,
                         const profile::Asked &asked, int exit, const QJsonObject &extra)
{
    const bool check = checking(c);
    QJsonArray all;
    for (const profile::PrinterResult &printer : printers)
        all.append(printerJson(printer, asked.dryRun && !check));
    QJsonObject document = extra;
    document.insert(QStringLiteral("command"), command);
    document.insert(QStringLiteral("check"), check);
    document.insert(QStringLiteral("dry-run"), asked.dryRun && !check);
    document.insert(QStringLiteral("verify"), asked.verify && !asked.dryRun);
    document.insert(QStringLiteral("printers"), all);
    document.insert(QStringLiteral("summary"), summaryJson(printers));
    document.insert(QStringLiteral("changed"), changedAny(printers));
    document.insert(QStringLiteral("exit"), exit);
    printJson(c, document);
}

// A printer provision handled (or left alone): its line as it happens, with --json an object on
// a line of its own.
void showProvisioned(Context &c, const profile::PrinterResult &result, const profile::Asked &asked)
{
    if (!json(c)) {
        showLine(c, result, asked);
        return;
    }
    QJsonObject object = printerJson(result);
    object.insert(QStringLiteral("event"), QStringLiteral("printer"));
    printJsonLine(c, object);
}

} // namespace cli
