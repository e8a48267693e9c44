#include "cli/commandcontext.h"
#include "cli/commands.h"
#include "cli/listing.h"
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

// A listed printer with the serial number it reported when it was first seen.
struct Seen {
    ListedPrinter printer;
    SerialReading serial;
};

// One line of `list --watch`: when, what happened, and to which printer, in the columns of `list`.
void printEvent(Context &c, const char *event, const Seen &seen)
{
    const QString time = QDateTime::currentDateTime().toString(Qt::ISODateWithMs);
    if (json(c)) {
        QJsonObject object = listJson(seen.printer, seen.serial);
        object.insert(QStringLiteral("time"), time);
        object.insert(QStringLiteral("event"), QLatin1String(event));
        printJsonLine(c, object);
        return;
    }
    c.out << time << '\t' << event << '\t' << listColumns(seen.printer, seen.serial) << '\n';
    c.out.flush();
}

// What to do about a printer the user may not open, said once on standard error as `info` and
// the window say it; the list itself only names the state.
void offerRemedy(Context &c, const QList<ListedPrinter> &printers, bool &offered)
{
    if (offered || std::none_of(printers.begin(), printers.end(), [](const ListedPrinter &p) {
            return p.access == PrinterAccess::NoPermission;
        }))
        return;
    offered = true;
    c.err << printeraccess::remedy(printeraccess::thisSystem()) << '\n';
    c.err.flush();
}

// Prints the printers attached now, then every arrival and departure, until interrupted.
int watch(Context &c)
{
    Listening listening;
    if (const int exit = listening.start(c))
        return exit;
    if (!json(c) && isTerminal(c.out))
        c.out << QObject::tr("时间") << '\t' << QObject::tr("事件") << '\t' << listHeader() << '\n';
    QList<ListedPrinter> present = listening.attached;
    sortByPath(present);
    QList<Seen> known;
    for (const ListedPrinter &p : present) {
        known << Seen{p, readSerial(p)};
        printEvent(c, "present", known.last());
    }
    if (known.isEmpty() && !json(c)) {
        c.err << QObject::tr("没有找到打印机") << '\n';
        c.err.flush();
    }
    bool remedyOffered = false;
    offerRemedy(c, listening.attached, remedyOffered);
    listening.run([&](const PrinterChanges &changes) {
        // A printer that left is named with the serial number it had: it can no longer be asked.
        for (const ListedPrinter &p : changes.left) {
            const auto seen = std::find_if(known.begin(), known.end(),
                                           [&](const Seen &k) { return k.printer.sameDevice(p); });
            if (seen == known.end()) {
                printEvent(c, "left", Seen{p, {}});
                continue;
            }
            printEvent(c, "left", *seen);
            known.erase(seen);
        }
        QList<ListedPrinter> arrived = changes.arrived;
        sortByPath(arrived);
        for (const ListedPrinter &p : arrived) {
            known << Seen{p, readSerial(p)};
            printEvent(c, "arrived", known.last());
        }
        offerRemedy(c, changes.arrived, remedyOffered);
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
    QList<ListedPrinter> printers = listSupportedPrinters();
    sortByPath(printers);
    // With --json the empty list says it, and standard error carries only error documents.
    if (printers.isEmpty() && !json(c))
        c.err << QObject::tr("没有找到打印机") << '\n';
    bool remedyOffered = false;
    offerRemedy(c, printers, remedyOffered);
    if (json(c)) {
        QJsonArray array;
        for (const ListedPrinter &p : printers)
            array.append(listJson(p, readSerial(p)));
        printJson(c, QJsonObject{{QStringLiteral("printers"), array}});
        return Ok;
    }
    if (isTerminal(c.out))
        c.out << listHeader() << '\n';
    for (const ListedPrinter &p : printers)
        c.out << listColumns(p, readSerial(p)) << '\n';
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
        printJson(c, QJsonObject{
                         {QStringLiteral("model"), text(information.model)},
                         {QStringLiteral("version"), text(information.version)},
                         {QStringLiteral("resolution"), number(information.resolution)},
                         {QStringLiteral("max-width-mm"), number(information.maxWidthMm)},
                     });
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
        printJson(c, QJsonObject{{QStringLiteral("word"), qint64(*word)},
                                 {QStringLiteral("idle"), conditions.isEmpty()},
                                 {QStringLiteral("conditions"), conditions}});
        return Ok;
    }
    const QString text = checkPrinterStatus(*word);
    c.out << (text.isEmpty() ? QObject::tr("空闲中") + '\n' : text);
    return Ok;
}

} // namespace cli
