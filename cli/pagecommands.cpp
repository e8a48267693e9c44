#include "cli/commandcontext.h"
#include "cli/commands.h"
#include "cli/jsonoutput.h"
#include "cli/recording.h"
#include "cli/resultjson.h"
#include "cli/resultoutput.h"
#include "core/profiles/apply.h"
#include "core/profiles/profile.h"
#include "core/profiles/snapshot.h"
#include "core/settings/pageexchange.h"
#include "core/settings/pagereads.h"
#include "core/settings/refusaltext.h"
#include "core/settings/settingspage.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QObject>

namespace cli {

namespace {

std::unique_ptr<pages::SettingsPage> pageOf(Context &c, const QString &name,
                                            const ModelKey &modelKey, int &exit)
{
    exit = Ok;
    QString error;
    std::unique_ptr<pages::SettingsPage> page = profile::profilePage(name, modelKey, error);
    if (!page)
        exit = fail(c, Refused, error);
    return page;
}

// The printer, and the page the first argument names for its model.
std::unique_ptr<pages::SettingsPage> choosePage(Context &c, Printer &printer, int &exit)
{
    exit = choosePrinter(c, printer);
    if (exit != Ok)
        return nullptr;
    return pageOf(c, c.arguments[0], printer.modelKey(), exit);
}

void printValues(Context &c, const pages::SettingsPage &page)
{
    if (json(c)) {
        printJson(c, QJsonObject{{QStringLiteral("page"), page.name()},
                                 {QStringLiteral("values"), pageValuesJson(page)}});
        return;
    }
    for (const auto &[key, value] : page.values())
        c.out << key << '=' << value << '\n';
}

// Applies key=value arguments to the page; an exit status and message when one is refused.
// A key given twice is refused: which of the two was meant cannot be known.
int applyAssignments(Context &c, const QStringList &assignments, pages::SettingsPage &page)
{
    QStringList keys;
    for (const QString &assignment : assignments) {
        const int equals = assignment.indexOf(QLatin1Char('='));
        if (equals <= 0)
            return fail(c, UsageError, QObject::tr("参数“%1”不是 key=value 形式").arg(assignment));
        const QString key = assignment.left(equals);
        if (keys.contains(key))
            return fail(c, Refused, QObject::tr("设置项“%1”给出了两次。未发送任何设置。").arg(key));
        keys << key;
        if (const std::optional<QString> error = page.set(key, assignment.mid(equals + 1)))
            return fail(c, Refused, *error);
        if (const std::optional<pages::Refusal> refusal = page.checkValue(key))
            return fail(c, Refused, pages::refusalText(refusal->field, *refusal));
    }
    return Ok;
}

// The keys given whose values differ from the printer's, compared as values: "-0" for a
// printer at 0 is no change.
QStringList changedKeys(const pages::SettingsPage &written, const pages::SettingsPage &asRead,
                        const QStringList &keys)
{
    QStringList changed;
    for (const QString &key : keys) {
        if (!written.sameValue(key, asRead))
            changed << key;
    }
    return changed;
}

// Whether a write of the page sends the key's value: its frames differ from those of the same
// page with the value as read.
bool sends(const pages::SettingsPage &page, const pages::SettingsPage &asRead, const QString &key)
{
    std::unique_ptr<pages::SettingsPage> reverted = page.clone();
    reverted->set(key, pages::valueOf(asRead, key));
    return pages::framesOf(*reverted) != pages::framesOf(page);
}

// A changed key whose value no frame of the write carries (the access point's name in station
// mode): the write would say it set what it did not send. Names the choice of another key that
// would send it, where one does.
std::optional<QString> keyNotSent(const pages::SettingsPage &written,
                                  const pages::SettingsPage &asRead, const QStringList &changed)
{
    for (const QString &key : changed) {
        if (sends(written, asRead, key))
            continue;
        for (const pages::KeyDescription &other : written.keys()) {
            if (other.kind != pages::KeyDescription::Kind::Choice || other.key == key)
                continue;
            for (const QString &choice : other.choices) {
                std::unique_ptr<pages::SettingsPage> tried = written.clone();
                if (!tried->set(other.key, choice) && sends(*tried, asRead, key))
                    return QObject::tr("“%1”只在 %2=%3 时发送给打印机。未发送任何设置。")
                        .arg(key, other.key, choice);
            }
        }
        return QObject::tr("“%1”在这些设置下不会发送给打印机。未发送任何设置。").arg(key);
    }
    return std::nullopt;
}

// A written page (or in a check one that would be) as a document, or in a check as words; the
// exit status.
int reportWrite(Context &c, Printer &printer, const profile::PageResult &page,
                const profile::ApplyOptions &options)
{
    profile::PrinterResult result;
    result.path = printer.path();
    result.model = printer.model();
    result.pages.push_back(page);
    // The document names the printer by its serial number too, asked once all else is done (and
    // not of a printer that just failed).
    if (json(c) && page.outcome != profile::Outcome::Failed)
        result.serial = pages::readSerialNumber(printer.handle()).value_or(QString());
    int exit = exitOf(result, options.asked());
    if (checking(c))
        exit = checkExit(exit, {result});
    if (json(c)) {
        printResultDocument(c, QStringLiteral("write"), {result}, options.asked(), exit,
                            {{QStringLiteral("page"), page.page}});
        return exit;
    }
    showCheck(c, result, true);
    if (page.outcome == profile::Outcome::Failed)
        return fail(c, Exit(exit), profile::reasonText(page.reason, page.detail));
    return exit;
}

} // namespace

int read(Context &c)
{
    if (c.arguments.size() != 1)
        return fail(c, UsageError, c.parser.helpText());
    Printer printer;
    int exit = Ok;
    std::unique_ptr<pages::SettingsPage> page = choosePage(c, printer, exit);
    if (!page)
        return exit;
    // Nothing on standard output when it failed: a script would read blank settings.
    if (page->read(printer.handle()) != 0)
        return readFailed(c, printer);
    printValues(c, *page);
    return Ok;
}

int write(Context &c)
{
    if (c.arguments.size() < 2)
        return fail(c, UsageError, c.parser.helpText());
    Printer printer;
    int exit = Ok;
    std::unique_ptr<pages::SettingsPage> page = choosePage(c, printer, exit);
    if (!page)
        return exit;
    const QStringList assignments = c.arguments.mid(1);
    QStringList keys;
    for (const QString &assignment : assignments)
        keys << assignment.section(QLatin1Char('='), 0, 0);
    // Keys, choices and every value given are checked before the printer is asked anything.
    {
        std::unique_ptr<pages::SettingsPage> check =
            pages::pageNamed(page->name(), printer.modelKey());
        if (const int refused = applyAssignments(c, assignments, *check))
            return refused;
    }
    if (page->read(printer.handle()) != 0)
        return readFailed(c, printer);
    const std::unique_ptr<pages::SettingsPage> asRead = page->clone();
    if (const int refused = applyAssignments(c, assignments, *page))
        return refused;
    if (const std::optional<pages::Refusal> refusal = page->validate())
        return fail(c, Refused, pages::refusalText(refusal->field, *refusal));
    const QStringList changed = changedKeys(*page, *asRead, keys);
    // A value the printer holds, typed otherwise, goes back as it was read: "012" mm must not
    // turn the 100 dots shown as "12" into 96.
    for (const QString &key : keys) {
        if (!changed.contains(key))
            page->set(key, pages::valueOf(*asRead, key));
    }
    if (changed.isEmpty()) {
        // The printer holds every value given: nothing to send.
        if (!c.parser.isSet(QStringLiteral("quiet")))
            c.out << page->name() << ": " << profile::outcomeText(profile::Outcome::Unchanged)
                  << '\n';
        return Ok;
    }
    if (const std::optional<QString> unsent = keyNotSent(*page, *asRead, changed))
        return fail(c, Refused, *unsent);
    profile::ApplyOptions options;
    options.verify = verifying(c);
    // A check works out what the write would send and sends nothing; it would write when the
    // frames differ from those of the values the printer holds.
    options.dryRun = checking(c);
    const bool send = !options.dryRun || pages::framesOf(*page) != pages::framesOf(*asRead);
    const profile::PageResult result =
        profile::writePage(printer.handle(), *asRead, *page, printer.modelKey(), options, send);
    recordWrite(printer, *asRead, *page, result);
    if (json(c) || checking(c))
        return reportWrite(c, printer, result, options);
    if (result.outcome == profile::Outcome::Failed)
        return readFailed(c, printer);
    for (const QString &line : profile::notKeptLines(result))
        c.err << line << '\n';
    if (result.outcome == profile::Outcome::NotKept)
        return NotKept;
    if (!c.parser.isSet(QStringLiteral("quiet"))) {
        // In the order given.
        for (const QString &key : changed) {
            for (const profile::Change &change : result.changes) {
                if (change.key == key)
                    c.out << page->name() << ' ' << key << ": " << profile::shownValue(change, true)
                          << " -> " << profile::shownValue(change, false) << '\n';
            }
        }
    }
    return Ok;
}

} // namespace cli
