// The printer list: which devices become rows, and how the rows read.
#include "window/app/selectedprinter.h"
#include "core/printers/printeraccess.h"
#include "core/printers/printerlist.h"
#include "core/printers/printerwatcher.h"
#include "tests/support/usbtestcase.h"

#include <QSignalSpy>
#include <QTest>
#include <libusb.h>

namespace {

// The ports of the printers of vendor 0x5C1E in the order libusb enumerates them (the order
// follows the file system, not the order of plugging in).
QList<int> portsInLibusbOrder()
{
    QList<int> ports;
    libusb_context *context = nullptr;
    if (libusb_init(&context) != LIBUSB_SUCCESS)
        return ports;
    libusb_device **devices = nullptr;
    const ssize_t count = libusb_get_device_list(context, &devices);
    for (ssize_t i = 0; i < count; ++i) {
        libusb_device_descriptor descriptor;
        if (libusb_get_device_descriptor(devices[i], &descriptor) == LIBUSB_SUCCESS &&
            descriptor.idVendor == 0x5C1E)
            ports << libusb_get_port_number(devices[i]);
    }
    libusb_free_device_list(devices, 1);
    libusb_exit(context);
    return ports;
}

} // namespace

using vprinter::VirtualUsb;

class TestPrinterList : public UsbTestCase
{
    Q_OBJECT
private slots:
    void listsSupportedPrinters_data();
    void listsSupportedPrinters();
    void listsEveryPrinterInDiscoveryOrder();
    void portFromRow_data();
    void portFromRow();
    void listsPrintersItCannotOpen_data();
    void listsPrintersItCannotOpen();
    void remedy_data();
    void remedy();
    void watcherOpensOnlyNewcomers();
};

void TestPrinterList::listsSupportedPrinters_data()
{
    QTest::addColumn<int>("vendor");
    QTest::addColumn<int>("product");
    QTest::addColumn<QString>("productString");
    QTest::addColumn<bool>("readable");
    QTest::addColumn<QString>("sysfsName");
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("Zurod on port 1")
        << 0x5C1E << 0x0411 << "RM-310" << true << "1-1" << QStringList{"Zurod RM-310 USB001"};
    QTest::newRow("Vantrell") << 0x5C1E << 0x0401 << "RM-320" << true << "1-2"
                              << QStringList{"Vantrell RM-320 USB002"};
    QTest::newRow("Orbeck 0x1420")
        << 0x5C1E << 0x1420 << "OB-K900" << true << "1-3" << QStringList{"Orbeck OB-K900 USB003"};
    QTest::newRow("DVN 0x0631") << 0x5C1E << 0x0631 << "DN816QX PRO" << true << "1-4"
                                << QStringList{"DVN DN816QX PRO USB004"};
    QTest::newRow("H&J 0x0603") << 0x5C1E << 0x0603 << "HJ-WK650" << true << "1-5"
                                << QStringList{"H&J HJ-WK650 USB005"};
    QTest::newRow("port 12") << 0x5C1E << 0x0411 << "RM-310" << true << "1-12"
                             << QStringList{"Zurod RM-310 USB0012"};
    QTest::newRow("behind a hub") << 0x5C1E << 0x0411 << "RM-310" << true << "1-2.7"
                                  << QStringList{"Zurod RM-310 USB007"};
    QTest::newRow("product string unreadable")
        << 0x5C1E << 0x0411 << "RM-310" << false << "1-1" << QStringList{"Zurod  USB001"};
    QTest::newRow("our vendor, unknown product")
        << 0x5C1E << 0x0999 << "X" << true << "1-1" << QStringList{};
    QTest::newRow("known product, other vendor")
        << 0x04B8 << 0x0411 << "RM-310" << true << "1-1" << QStringList{};
}

void TestPrinterList::listsSupportedPrinters()
{
    QFETCH(int, vendor);
    QFETCH(int, product);
    QFETCH(QString, productString);
    QFETCH(bool, readable);
    QFETCH(QString, sysfsName);
    QFETCH(QStringList, rows);
    vprinter::PrinterConfig config;
    config.sysfsName = sysfsName.toStdString();
    config.identity.vendorId = uint16_t(vendor);
    config.identity.productId = uint16_t(product);
    config.identity.product = productString.toStdString();
    config.identity.productReadable = readable;
    usb->addPrinter(config);
    QCOMPARE(GetPrinterList(), rows);
}

void TestPrinterList::listsEveryPrinterInDiscoveryOrder()
{
    QCOMPARE(GetPrinterList(), QStringList{});
    usb->addPrinter(0x0411, "RM-310", 1);
    usb->addPrinter(0x0411, "RM-310", 2);
    usb->addDevice(0x046D, 0xC52B, "1-4", "Receiver");
    usb->addPrinter(0x1401, "VS-608K", 3);
    const QStringList rows = GetPrinterList();
    const QHash<int, QString> rowOfPort = {
        {1, "Zurod RM-310 USB001"}, {2, "Zurod RM-310 USB002"}, {3, "Orbeck VS-608K USB003"}};
    QStringList expected;
    for (int port : portsInLibusbOrder())
        expected << rowOfPort.value(port);
    QCOMPARE(expected.size(), 3);
    QCOMPARE(rows, expected);
}

void TestPrinterList::portFromRow_data()
{
    QTest::addColumn<QString>("row");
    QTest::addColumn<int>("port");
    QTest::newRow("port 1") << "Zurod RM-310 USB001" << 1;
    QTest::newRow("port 12") << "Zurod RM-310 USB0012" << 12;
    QTest::newRow("port 127") << "Zurod RM-310 USB00127" << 127;
    QTest::newRow("not a number") << "Zurod RM-310 USBxyz" << 0;
    QTest::newRow("row text round trip") << printerRowText("H&J", "HJ-WK650", 9) << 9;
}

void TestPrinterList::portFromRow()
{
    QFETCH(QString, row);
    QFETCH(int, port);
    QCOMPARE(SelectedPrinter::portFromRow(row), port);
}

void TestPrinterList::listsPrintersItCannotOpen_data()
{
    QTest::addColumn<bool>("denied");
    QTest::addColumn<bool>("busy");
    QTest::addColumn<bool>("readable");
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("product");
    QTest::addColumn<QString>("row");
    QTest::newRow("ready") << false << false << true << "ready"
                           << "VS-608K"
                           << "Orbeck VS-608K USB005";
    // The product string comes from sysfs, where the kernel keeps what it read at plug-in.
    QTest::newRow("no permission") << true << false << true << "no-permission"
                                   << "VS-608K"
                                   << "Orbeck VS-608K USB005 - 没有打开权限";
    QTest::newRow("no permission, no product string") << true << false << false << "no-permission"
                                                      << ""
                                                      << "Orbeck  USB005 - 没有打开权限";
    QTest::newRow("held by another program") << false << true << true << "in-use"
                                             << "VS-608K"
                                             << "Orbeck VS-608K USB005 - 正被其他程序使用";
}

void TestPrinterList::listsPrintersItCannotOpen()
{
    QFETCH(bool, denied);
    QFETCH(bool, busy);
    QFETCH(bool, readable);
    QFETCH(QString, state);
    QFETCH(QString, product);
    QFETCH(QString, row);
    vprinter::PrinterConfig config;
    config.sysfsName = "1-5";
    config.identity.productId = 0x1401;
    config.identity.product = "VS-608K";
    config.identity.productReadable = readable;
    config.denied = denied;
    config.busy = busy;
    usb->addPrinter(config);
    const QList<ListedPrinter> printers = listSupportedPrinters();
    QCOMPARE(printers.size(), 1);
    QCOMPARE(accessName(printers[0].access), state);
    QCOMPARE(printers[0].product, product);
    QCOMPARE(printers[0].identity.path(), QStringLiteral("1-5"));
    QCOMPARE(GetPrinterList(), QStringList{row});
}

void TestPrinterList::remedy_data()
{
    QTest::addColumn<bool>("ruleInstalled");
    QTest::addColumn<QString>("buildTreeRule");
    QTest::addColumn<QStringList>("says");
    const QString rule = "/src/build/packaging/70-label-printer-setup.rules";
    QTest::newRow("package installed") << true << rule << QStringList{"请拔下打印机再插上", "座席"};
    QTest::newRow("build tree")
        << false << rule
        << QStringList{"cp " + rule + " /etc/udev/rules.d/", "udevadm control --reload-rules",
                       "udevadm trigger --subsystem-match=usb --attr-match=idVendor=5c1e"};
    QTest::newRow("neither") << false << "" << QStringList{"请安装 label-printer-setup 软件包"};
}

void TestPrinterList::remedy()
{
    QFETCH(bool, ruleInstalled);
    QFETCH(QString, buildTreeRule);
    QFETCH(QStringList, says);
    const QString text = printeraccess::remedy({ruleInstalled, buildTreeRule});
    for (const QString &part : says)
        QVERIFY2(text.contains(part), qPrintable(text));
    QCOMPARE(text.contains("udevadm"), !ruleInstalled && !buildTreeRule.isEmpty());
}

// The watcher hears plugs and unplugs; listing with what is known opens only the newcomers.
void TestPrinterList::watcherOpensOnlyNewcomers()
{
    PrinterWatcher watcher;
    QVERIFY(watcher.start());
    QSignalSpy changed(&watcher, &PrinterWatcher::devicesChanged);
    vprinter::VirtualPrinter &first = usb->addPrinter(0x1401, "VS-608K", 3);
    QTRY_VERIFY_WITH_TIMEOUT(changed.count() > 0, 10000);
    QList<ListedPrinter> known = watcher.printers({});
    QCOMPARE(known.size(), 1);
    QCOMPARE(first.state().opens, 1);

    changed.clear();
    vprinter::VirtualPrinter &second = usb->addPrinter(0x0411, "RM-310", 5);
    QTRY_VERIFY_WITH_TIMEOUT(changed.count() > 0, 10000);
    known = watcher.printers(known);
    QCOMPARE(known.size(), 2);
    QCOMPARE(first.state().opens, 1);
    QCOMPARE(second.state().opens, 1);

    changed.clear();
    usb->unplug(first);
    QTRY_VERIFY_WITH_TIMEOUT(changed.count() > 0, 10000);
    known = watcher.printers(known);
    QCOMPARE(known.size(), 1);
    QCOMPARE(known[0].identity.path(), QStringLiteral("1-5"));
    QCOMPARE(second.state().opens, 1);
}

QTEST_GUILESS_MAIN(TestPrinterList)
#include "tst_printerlist.moc"
