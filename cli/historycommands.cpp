#include "cli/commandcontext.h"
#include "cli/commands.h"
#include "cli/resultoutput.h"
#include "core/history/record.h"
#include "core/history/undo.h"
#include "core/profiles/apply.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QObject>

namespace cli {

namespace {

QString timeText(const QDateTime &time)
{
    return time.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ssZ"));
}

QString keptText(const std::optional<bool> &kept)
{
    if (!kept)
        return QObject::tr("未核对");
    return *kept ? QObject::tr("已保存") : QObject::tr("未保存");
}

QJsonValue optionalJson(const std::optional<bool> &value)
{
    return value ? QJsonValue(*value) : QJsonValue();
}

QJsonObject entryJson(const history::Entry &e)
{
    QJsonArray keys;
    for (const history::ChangedKey &k : e.action.keys)
        keys.append(QJsonObject{{QStringLiteral("page"), k.page},
                                {QStringLiteral("key"), k.key},
                                {QStringLiteral("before"), k.before},
                                {QStringLiteral("after"), k.after},
                                {QStringLiteral("kept"), optionalJson(k.kept)}});
    return QJsonObject{{QStringLiteral("id"), e.id},
                       {QStringLiteral("time"), timeText(e.time)},
                       {QStringLiteral("user"), e.user},
                       {QStringLiteral("version"), e.version},
                       {QStringLiteral("frontEnd"), e.action.frontEnd},
                       {QStringLiteral("serial"), e.action.serial},
                       {QStringLiteral("model"), e.action.model},
                       {QStringLiteral("usbPath"), e.action.usbPath},
                       {QStringLiteral("action"), e.kind},
                       {QStringLiteral("detail"), e.action.detail},
                       {QStringLiteral("outcome"), e.action.outcome},
                       {QStringLiteral("keys"), keys}};
}

// One line an action, then one indented line a changed key.
void printEntry(Context &c, const history::Entry &e)
{
    c.out << e.id << '\t' << timeText(e.time) << '\t' << e.action.serial << '\t'
          << history::kindText(e.kind) << '\t' << e.action.detail << '\t' << e.action.outcome
          << '\t' << e.action.model << '\t' << e.action.usbPath << '\t' << e.action.frontEnd << '\t'
          << e.user << '\n';
    for (const history::ChangedKey &k : e.action.keys)
        c.out << "    " << k.page << ' ' << k.key << ": " << k.before << " -> " << k.after << " ("
              << keptText(k.kept) << ")\n";
}

// --since: a date (the start of that day, UTC) or a date and time.
std::optional<QDateTime> sinceOf(const QString &text)
{
    const QDate date = QDate::fromString(text, Qt::ISODate);
    if (date.isValid())
        return QDateTime(date, QTime(0, 0), Qt::UTC);
    QDateTime time = QDateTime::fromString(text, Qt::ISODate);
    if (!time.isValid())
        return std::nullopt;
    if (time.timeSpec() == Qt::LocalTime)
        time.setTimeSpec(Qt::UTC);
    return time;
}

int unreadable(Context &c, const QString &why)
{
    return fail(c, Unavailable,
                QObject::tr("无法读取历史记录 %1：%2").arg(history::journalPath(), why));
}

// The serial number of the printer the command was pointed at.
int serialOfChosen(Context &c, Printer &printer, QString &serial)
{
    if (const int exit = choosePrinter(c, printer))
        return exit;
    serial = history::askSerialNumber(printer.handle());
    if (serial.isEmpty())
        return fail(c, TransportFailed, QObject::tr("无法读取打印机的序列号"));
    return Ok;
}

} // namespace

int showHistory(Context &c)
{
    if (!c.arguments.isEmpty())
        return fail(c, UsageError, c.parser.helpText());
    history::Filter filter;
    const bool bySerial = c.parser.isSet(QStringLiteral("serial"));
    if (bySerial && c.parser.isSet(QStringLiteral("port")))
        return fail(c, UsageError, QObject::tr("--serial 和 --port 只能给出一个"));
    if (bySerial) {
        filter.serial = c.parser.value(QStringLiteral("serial"));
        if (filter.serial.isEmpty())
            return fail(c, UsageError, QObject::tr("--serial 须为序列号"));
    } else if (c.parser.isSet(QStringLiteral("port"))) {
        Printer printer;
        if (const int exit = serialOfChosen(c, printer, filter.serial))
            return exit;
    }
    if (c.parser.isSet(QStringLiteral("since"))) {
        const QString text = c.parser.value(QStringLiteral("since"));
        const std::optional<QDateTime> since = sinceOf(text);
        if (!since)
            return fail(
                c, UsageError,
                QObject::tr("--since 须为日期或时间（如 2026-05-01、2026-05-01T08:00Z）：%1")
                    .arg(text));
        filter.since = *since;
    }
    QString why;
    const std::optional<QList<history::Entry>> found = history::entries(filter, why);
    if (!found)
        return unreadable(c, why);
    if (json(c)) {
        QJsonArray all;
        for (const history::Entry &e : *found)
            all.append(entryJson(e));
        printJson(c, QJsonObject{{QStringLiteral("actions"), all}});
        return Ok;
    }
    for (const history::Entry &e : *found)
        printEntry(c, e);
    return Ok;
}

int undo(Context &c)
{
    bool number = false;
    const qint64 id = c.arguments.value(0).toLongLong(&number);
    if (c.arguments.size() != 1 || !number || id < 1)
        return fail(c, UsageError, c.parser.helpText());
    QString why;
    const std::optional<QList<history::Entry>> found = history::entries({{}, {}, id}, why);
    if (!found)
        return unreadable(c, why);
    if (found->isEmpty())
        return fail(c, Refused, QObject::tr("历史记录中没有操作 %1").arg(id));
    Printer printer;
    QString serial;
    if (const int exit = serialOfChosen(c, printer, serial))
        return exit;
    const history::Undone undone =
        history::undo(printer.handle(), printer.modelKey(), found->first(), serial,
                      history::kCommandLine, printer.listed().identity.path());
    if (!undone.ran())
        return fail(c, undone.readFailed ? TransportFailed : Refused, undone.refusal);
    for (const QString &skipped : undone.skipped)
        c.err << QObject::tr("%1：历史中没有它的值，打印机保留自己的").arg(skipped) << '\n';
    for (const profile::PageResult &page : undone.result.pages) {
        for (const QString &line : profile::notKeptLines(page))
            c.err << line << '\n';
    }
    for (const history::ChangedKey &k : undone.action.keys)
        c.out << k.page << ' ' << k.key << ": "
              << (history::isSecret(k.page, k.key) ? history::kMasked : k.before) << " -> "
              << (history::isSecret(k.page, k.key) ? history::kMasked : k.after) << '\n';
    c.out << undone.action.outcome << '\n';
    return exitOf(undone.result, profile::ApplyOptions{}.asked());
}

} // namespace cli
