#include "cli/commandcontext.h"
#include "cli/commands.h"
#include "core/printers/printeraccess.h"
#include "core/protocol/printerstatus.h"
#include "core/settings/pagereads.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QObject>

namespace cli {

namespace {

QString listLine(const ListedPrinter &p)
{
    return QStringLiteral("%1\t%2\t%3\t%4\t%5\t%6")
        .arg(QString::number(p.port), p.brand, p.product,
             QString::asprintf("%04x:%04x", p.vendorId, p.productId), p.identity.path(),
             accessName(p.access));
}

QJsonObject listJson(const ListedPrinter &p)
{
    return {{QStringLiteral("port"), p.port},
            {QStringLiteral("brand"), p.brand},
            {QStringLiteral("product"), p.product},
            {QStringLiteral("vendor-id"), QString::asprintf("%04x", p.vendorId)},
            {QStringLiteral("product-id"), QString::asprintf("%04x", p.productId)},
            {QStringLiteral("path"), p.identity.path()},
            {QStringLiteral("state"), accessName(p.access)}};
}

// One line of `list --watch`: when, what happened, and to which printer.
void printEvent(Context &c, const char *event, const ListedPrinter &p)
{
    const QString time = QDateTime::currentDateTime().toString(Qt::ISODateWithMs);
    if (c.parser.isSet(QStringLiteral("json"))) {
        QJsonObject object = listJson(p);
        object.insert(QStringLiteral("time"), time);
        object.insert(QStringLiteral("event"), QLatin1String(event));
        c.out << QJsonDocument(object).toJson(QJsonDocument::Compact) << '\n';
    } else {
        c.out << time << '\t' << event << '\t' << p.identity.path() << '\t' << p.brand << '\t'
              << p.product << '\t' << accessName(p.access) << '\n';
    }
    c.out.flush();
}

// Prints the printers attached now, then every arrival and departure, until interrupted.
int watch(Context &c)
{
    Listening listening;
    if (const int exit = listening.start(c))
        return exit;
    for (const ListedPrinter &p : listening.attached)
        printEvent(c, "present", p);
    if (listening.attached.isEmpty()) {
        c.err << QObject::tr("没有找到打印机") << '\n';
        c.err.flush();
    }
    listening.run([&](const PrinterChanges &changes) {
        for (const ListedPrinter &p : changes.left)
            printEvent(c, "left", p);
        for (const ListedPrinter &p : changes.arrived)
            printEvent(c, "arrived", p);
    });
    return Ok;
}

} // namespace

int list(Context &c)
{
    if (!c.arguments.isEmpty())
        return fail(c, UsageError, c.parser.helpText());
    if (c.parser.isSet(QStringLiteral("watch")))
        return watch(c);
    const QList<ListedPrinter> printers = listSupportedPrinters();
    if (printers.isEmpty())
        c.err << QObject::tr("没有找到打印机") << '\n';
    if (c.parser.isSet(QStringLiteral("json"))) {
        QJsonArray array;
        for (const ListedPrinter &p : printers)
            array.append(listJson(p));
        c.out << QJsonDocument(array).toJson();
        return Ok;
    }
    for (const ListedPrinter &p : printers)
        c.out << listLine(p) << '\n';
    return Ok;
}

int info(Context &c)
{
    Printer printer;
    if (const int exit = choosePrinter(c, printer))
        return exit;
    pages::Information information;
    // Nothing on standard output when it failed: a script would read blank values.
    if (pages::readInformation(printer.handle(), information).firstFailure() != 0)
        return readFailed(c, printer);
    if (json(c)) {
        const auto number = [](const std::optional<int> &value) {
            return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
        };
        const auto text = [](const std::optional<QString> &value) {
            return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
        };
        printJson(c, QJsonDocument(QJsonObject{
                         {QStringLiteral("model"), text(information.model)},
                         {QStringLiteral("version"), text(information.version)},
                         {QStringLiteral("resolution"), number(information.resolution)},
                         {QStringLiteral("max-width-mm"), number(information.maxWidthMm)},
                     }));
        return Ok;
    }
    c.out << "model=" << information.model.value_or(QString()) << '\n'
          << "version=" << information.version.value_or(QString()) << '\n'
          << "resolution="
          << (information.resolution ? QString::number(*information.resolution) : QString()) << '\n'
          << "max-width-mm="
          << (information.maxWidthMm ? QString::number(*information.maxWidthMm) : QString())
          << '\n';
    return Ok;
}

int status(Context &c)
{
    Printer printer;
    if (const int exit = choosePrinter(c, printer))
        return exit;
    if (const int refused = refuseIfLocked(c, printer, QStringLiteral("status")))
        return refused;
    unsigned char reply[4] = {};
    int length = sizeof reply;
    if (CDeviceIOOpera::ReadFromControlEndpoint(printer.handle(), reply, length) != 0)
        return transportFailed(c);
    const std::optional<unsigned int> word = statusWordFromBytes(reply, length);
    if (!word)
        return transportFailed(c);
    if (json(c)) {
        QJsonArray conditions;
        for (const StatusCondition &condition : statusConditions(*word))
            conditions.append(QJsonObject{{QStringLiteral("name"), condition.name},
                                          {QStringLiteral("text"), condition.text}});
        printJson(c, QJsonDocument(QJsonObject{{QStringLiteral("word"), qint64(*word)},
                                               {QStringLiteral("idle"), conditions.isEmpty()},
                                               {QStringLiteral("conditions"), conditions}}));
        return Ok;
    }
    const QString text = checkPrinterStatus(*word);
    c.out << (text.isEmpty() ? QObject::tr("空闲中") + '\n' : text);
    return Ok;
}

} // namespace cli
