// The files that name the supported printers for the system: the udev rule and the AppStream
// modaliases must name exactly the printers the printer list accepts, and the rule must give
// access to the user at the seat and to no one else.
#include "core/printers/printerlist.h"
#include "core/printers/supportedprinters.h"
#include "tests/support/usbtestcase.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

namespace {

// A USB device by vendor and product ID, packed into one number.
using DeviceId = quint32;
DeviceId deviceId(uint vendor, uint product) { return vendor << 16 | product; }

QString readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The rule lines of a udev rule file: comments and blank lines dropped.
QStringList ruleLines(const QString &text)
{
    QStringList lines;
    for (const QString &line : text.split(QLatin1Char('\n')))
        if (!line.trimmed().isEmpty() && !line.trimmed().startsWith(QLatin1Char('#')))
            lines << line;
    return lines;
}

// The devices a udev rule matches by ATTR{idVendor} and ATTR{idProduct} (alternatives with |).
QSet<DeviceId> devicesOfRule(const QString &text)
{
    static const QRegularExpression vendorMatch(
        QStringLiteral(R"re(ATTR\{idVendor\}=="([0-9a-f]{4})")re"));
    static const QRegularExpression productMatch(
        QStringLiteral(R"re(ATTR\{idProduct\}=="([0-9a-f]{4}(?:\|[0-9a-f]{4})*)")re"));
    QSet<DeviceId> devices;
    for (const QString &line : ruleLines(text)) {
        const QRegularExpressionMatch vendor = vendorMatch.match(line);
        const QRegularExpressionMatch products = productMatch.match(line);
        if (!vendor.hasMatch() || !products.hasMatch())
            continue;
        for (const QString &product : products.captured(1).split(QLatin1Char('|')))
            devices << deviceId(vendor.captured(1).toUInt(nullptr, 16),
                                product.toUInt(nullptr, 16));
    }
    return devices;
}

// The devices an AppStream metainfo file provides for, from its usb:vVVVVpPPPPd* modaliases.
QSet<DeviceId> devicesOfMetainfo(const QString &text)
{
    static const QRegularExpression modalias(
        QStringLiteral(R"(<modalias>usb:v([0-9A-F]{4})p([0-9A-F]{4})d\*</modalias>)"));
    QSet<DeviceId> devices;
    for (auto it = modalias.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        devices << deviceId(m.captured(1).toUInt(nullptr, 16), m.captured(2).toUInt(nullptr, 16));
    }
    return devices;
}

QString hexList(const QSet<DeviceId> &devices)
{
    QStringList ids;
    for (DeviceId id : devices)
        ids << QStringLiteral("%1:%2")
                   .arg(id >> 16, 4, 16, QLatin1Char('0'))
                   .arg(id & 0xFFFF, 4, 16, QLatin1Char('0'));
    ids.sort();
    return ids.join(QLatin1Char(' '));
}

} // namespace

class TestPrinterFiles : public UsbTestCase
{
    Q_OBJECT
private slots:
    void namesExactlyTheListedPrinters_data();
    void namesExactlyTheListedPrinters();
    void namesTheTable_data() { namesExactlyTheListedPrinters_data(); }
    void namesTheTable();
    void ruleGrantsTheSeatOnly();
};

void TestPrinterFiles::namesExactlyTheListedPrinters_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("udev rule") << QStringLiteral(LABELSETUP_UDEV_RULE_FILE);
    QTest::newRow("AppStream modaliases") << QStringLiteral(LABELSETUP_METAINFO_FILE);
}

// Every device the file names is plugged in, and beside each one devices that differ from it by
// one in the product or in the vendor ID. The printer list must take exactly the named ones.
void TestPrinterFiles::namesExactlyTheListedPrinters()
{
    QFETCH(QString, path);
    const QString text = readAll(path);
    const QSet<DeviceId> named =
        path.endsWith(QLatin1String(".rules")) ? devicesOfRule(text) : devicesOfMetainfo(text);
    QVERIFY2(!named.isEmpty(), qPrintable(path));

    QSet<DeviceId> plugged = named;
    for (DeviceId id : named) {
        const uint vendor = id >> 16, product = id & 0xFFFF;
        plugged << deviceId(vendor, (product + 1) & 0xFFFF)
                << deviceId(vendor, (product - 1) & 0xFFFF) << deviceId(vendor + 1, product)
                << deviceId(vendor - 1, product);
    }
    int port = 0;
    for (DeviceId id : plugged) {
        vprinter::PrinterConfig config;
        config.sysfsName = "1-" + std::to_string(++port);
        config.identity.vendorId = uint16_t(id >> 16);
        config.identity.productId = uint16_t(id & 0xFFFF);
        // The product string names the device, so that each row tells which one was listed.
        config.identity.product = QString::number(id, 16).toStdString();
        usb->addPrinter(config);
    }

    QSet<DeviceId> listed;
    for (const QString &row : GetPrinterList())
        listed << row.section(QLatin1Char(' '), -2, -2).toUInt(nullptr, 16);
    const QString unlisted = hexList(named - listed), stray = hexList(listed - named);
    QVERIFY2(unlisted.isEmpty() && stray.isEmpty(),
             qPrintable(QStringLiteral("named but not listed: %1; listed but not named: %2")
                            .arg(unlisted, stray)));
}

// The product IDs the file names are the table's, every one of them under the vendor ID.
void TestPrinterFiles::namesTheTable()
{
    QFETCH(QString, path);
    const QString text = readAll(path);
    const QSet<DeviceId> named =
        path.endsWith(QLatin1String(".rules")) ? devicesOfRule(text) : devicesOfMetainfo(text);
    QSet<DeviceId> table;
    for (const supportedprinters::Brand &brand : supportedprinters::kBrands)
        for (std::uint16_t id : brand.productIds)
            table << deviceId(supportedprinters::kVendorId, id);
    QCOMPARE(table.size(), 18);
    QCOMPARE(hexList(named), hexList(table));
}

void TestPrinterFiles::ruleGrantsTheSeatOnly()
{
    const QFileInfo rule(QStringLiteral(LABELSETUP_UDEV_RULE_FILE));
    // systemd's 73-seat-late.rules turns the uaccess tag into the seat user's ACL; a rule that
    // sorts after it would tag the device too late.
    bool numbered = false;
    QVERIFY(rule.fileName().section(QLatin1Char('-'), 0, 0).toInt(&numbered) < 73);
    QVERIFY(numbered);

    const QStringList lines = ruleLines(readAll(rule.filePath()));
    QVERIFY(!lines.isEmpty());
    static const QRegularExpression widening(QStringLiteral(R"(\b(MODE|GROUP|OWNER)\s*[:+-]?=)"));
    for (const QString &line : lines) {
        QVERIFY2(line.contains(QLatin1String(R"(SUBSYSTEM=="usb")")), qPrintable(line));
        QVERIFY2(line.contains(QLatin1String(R"(TAG+="uaccess")")), qPrintable(line));
        QVERIFY2(!widening.match(line).hasMatch(), qPrintable(line));
    }
}

QTEST_GUILESS_MAIN(TestPrinterFiles)
#include "tst_printerfiles.moc"
