#include "cli/commandcontext.h"
#include "cli/commands.h"
#include "cli/jsonoutput.h"
#include "core/profiles/snapshot.h"
#include "core/profiles/profile.h"
#include "core/settings/pageexchange.h"
#include "core/settings/refusaltext.h"
#include "core/settings/settingspage.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QObject>

namespace cli {

namespace {

std::unique_ptr<pages::SettingsPage> pageOf(Context &c, const QString &name,
                                            const QString &modelKey, int &exit)
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

// A changed key whose value no frame of the write carries (the access point's name in station
// mode): the write would say it set what it did not send.
std::optional<QString> keyNotSent(const pages::SettingsPage &written,
                                  const pages::SettingsPage &asRead, const QStringList &keys)
{
    const QList<QByteArray> frames = pages::framesOf(written);
    for (const QString &key : keys) {
        const QString readValue = pages::valueOf(asRead, key);
        if (pages::valueOf(written, key) == readValue)
            continue;
        std::unique_ptr<pages::SettingsPage> reverted = written.clone();
        reverted->set(key, readValue);
        if (pages::framesOf(*reverted) == frames)
            return key;
    }
    return std::nullopt;
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
    const int r = page->read(printer.handle());
    printValues(c, *page);
    return r == 0 ? Ok : transportFailed(c);
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
        return transportFailed(c);
    const std::unique_ptr<pages::SettingsPage> asRead = page->clone();
    if (const int refused = applyAssignments(c, assignments, *page))
        return refused;
    if (const std::optional<pages::Refusal> refusal = page->validate())
        return fail(c, Refused, pages::refusalText(refusal->field, *refusal));
    if (const std::optional<QString> unsent = keyNotSent(*page, *asRead, keys))
        return fail(c, Refused,
                    QObject::tr("“%1”在这些设置下不会发送给打印机。未发送任何设置。").arg(*unsent));
    if (page->write(printer.handle()) != 0)
        return transportFailed(c);
    if (verifying(c)) {
        const int kept = reportVerification(
            c, page->name(), pages::verifyWritten(printer.handle(), *page, printer.modelKey()));
        if (kept != Ok)
            return kept;
    }
    if (!c.parser.isSet(QStringLiteral("quiet"))) {
        for (const QString &key : keys) {
            const QString old = pages::valueOf(*asRead, key), now = pages::valueOf(*page, key);
            if (old != now)
                c.out << page->name() << ' ' << key << ": " << old << " -> " << now << '\n';
        }
    }
    return Ok;
}

} // namespace cli
