#include "cli/listing.h"

#include "cli/commandcontext.h"
#include "core/printers/fleetrun.h"
#include "core/printers/modelgate.h"
#include "core/settings/pagereads.h"

#include <QFile>
#include <QObject>
#include <QTextStream>
#include <algorithm>
#include <unistd.h>

namespace cli {

SerialReading readSerial(const ListedPrinter &printer)
{
    if (!printer.isReady())
        return {std::nullopt, accessReason(printer.access)};
    // The window offers the serial page of no locked model: neither is it asked for here.
    if (!modelgate::offerOf(printer.modelKey()).settingsPages)
        return {std::nullopt, QObject::tr("此机型不提供序列号")};
    Printer open;
    if (!open.open(printer))
        return {std::nullopt, QObject::tr("无法打开")};
    const std::optional<QString> serial = pages::readSerialNumber(open.handle());
    if (!serial)
        return {std::nullopt, QObject::tr("没有应答")};
    return {serial, QString()};
}

void sortByPath(QList<ListedPrinter> &printers)
{
    std::stable_sort(printers.begin(), printers.end(),
                     [](const ListedPrinter &a, const ListedPrinter &b) {
                         return fleet::pathBefore(a.identity, b.identity);
                     });
}

namespace {

QString serialColumn(const SerialReading &serial)
{
    return serial.serial ? *serial.serial : QStringLiteral("(%1)").arg(serial.whyNot);
}

} // namespace

QString listColumns(const ListedPrinter &p, const SerialReading &serial)
{
    return QStringList{QString::number(p.port),
                       p.brand,
                       p.product,
                       QString::asprintf("%04x:%04x", p.vendorId, p.productId),
                       p.identity.path(),
                       serialColumn(serial),
                       accessName(p.access)}
        .join(QLatin1Char('\t'));
}

QString listHeader()
{
    return QStringList{QObject::tr("端口"),        QObject::tr("品牌"),    QObject::tr("型号"),
                       QObject::tr("厂商:产品ID"), QObject::tr("USB路径"), QObject::tr("序列号"),
                       QObject::tr("状态")}
        .join(QLatin1Char('\t'));
}

QJsonObject listJson(const ListedPrinter &p, const SerialReading &serial)
{
    QJsonObject object{{QStringLiteral("port"), p.port},
                       {QStringLiteral("brand"), p.brand},
                       {QStringLiteral("product"), p.product},
                       {QStringLiteral("model"), p.model()},
                       {QStringLiteral("vendor-id"), QString::asprintf("%04x", p.vendorId)},
                       {QStringLiteral("product-id"), QString::asprintf("%04x", p.productId)},
                       {QStringLiteral("path"), p.identity.path()},
                       {QStringLiteral("state"), accessName(p.access)},
                       {QStringLiteral("ready"), p.isReady()},
                       {QStringLiteral("serial"),
                        serial.serial ? QJsonValue(*serial.serial) : QJsonValue(QJsonValue::Null)}};
    if (!serial.serial)
        object.insert(QStringLiteral("serial-unread"), serial.whyNot);
    return object;
}

bool isTerminal(const QTextStream &out)
{
    const auto *file = qobject_cast<QFile *>(out.device());
    return file && isatty(file->handle());
}

QString attachedLines(const QList<ListedPrinter> &printers, const QList<SerialReading> &serials)
{
    QString lines;
    for (int i = 0; i < printers.size(); ++i)
        lines += QStringLiteral("\n  %1  %2  %3")
                     .arg(printers[i].identity.path(), serialColumn(serials.value(i)),
                          printers[i].model());
    return lines;
}

} // namespace cli
