// The Wi-Fi, Bluetooth, Wi-Fi IP and Ethernet pages through the real window, against virtual
// printers: what a read shows, the exact frames a write sends, faults inside a sequence, refused
// input, and switching printers between a read and a write.
#include "tests/window/app/pagechecks.h"

#include <QComboBox>
#include <QTimer>
#include <QToolBox>
#include <memory>

using vprinter::Faults;
using vprinter::VirtualPrinter;

using namespace pagechecks;

namespace {

constexpr int kPort = 3; // an extended model: every page, the Ethernet one included

} // namespace

class TestNetworkPages : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void wifiStationRoundTrip();
    void wifiAccessPointRoundTrip();
    void bluetoothRoundTrip();
    void wifiIpRoundTrip();
    void ethernetRoundTrip();
    void writeThenReadGivesBack();
    void faultAtExchange_data();
    void faultAtExchange();
    void refusedInput_data();
    void refusedInput();
    void otherPrinterSelectedBetweenReadAndWrite_data();
    void otherPrinterSelectedBetweenReadAndWrite();
    void bluetoothReadTakesTheRowAfterPendingEvents();

private:
    std::unique_ptr<WindowHarness> ui;
    VirtualPrinter *vp = nullptr;
};

void TestNetworkPages::init()
{
    ui = std::make_unique<WindowHarness>();
    vp = &ui->usb.addPrinter(0x1401, "VS-608K", kPort);
}

void TestNetworkPages::cleanup()
{
    verifyNoViolations(ui->usb);
    ui.reset();
}

void TestNetworkPages::wifiStationRoundTrip()
{
    vp->setSetting(0x26, toBytes(QByteArray("Büro\0pass word\0", 16)));
    vp->setSetting(0x3C, toBytes(QByteArray::fromHex("000A1B2C3D4E5C1E000A1B2D")));
    ui->widget<QLineEdit>("lineEdit_11")->setText("stale AP");
    QVERIFY(ui->selectPort(kPort));
    vp->clearLogs();
    ui->click("pushButton_17");
    QCOMPARE(ui->boxes.takeOne().text, kSucceeded);
    QCOMPARE(receivedFrames(*vp),
             (QStringList{query(0x30), query(0x26), query(0x29), query(0x3C)}));
    QCOMPARE(ui->widget<QComboBox>("comboBox_8")->currentText(), QStringLiteral("STA"));
    QCOMPARE(ui->text("lineEdit_6"), QStringLiteral("Büro"));
    QCOMPARE(ui->text("lineEdit_23"), QStringLiteral("pass word"));
    QCOMPARE(ui->text("lineEdit_11"), QString());
    QCOMPARE(ui->text("lineEdit_27"), QStringLiteral("9100"));
    QCOMPARE(ui->text("lineEdit_7"), QStringLiteral("000a1b2c3d4e"));
    QCOMPARE(ui->text("lineEdit_31"), QStringLiteral("5c1e000a1b2d"));
    QVERIFY(ui->widget<QPushButton>("pushButton_18")->isEnabled());

    vp->clearLogs();
    ui->click("pushButton_18");
    QCOMPARE(ui->boxes.takeOne().text, kSetSucceeded);
    QCOMPARE(
        receivedFrames(*vp),
        (QStringList{set("30 01 01"), set("26 10 42 C3 BC 72 6F 00 70 61 73 73 20 77 6F 72 64 00"),
                     set("29 02 8C 23")}));
}

void TestNetworkPages::wifiAccessPointRoundTrip()
{
    vp->setSetting(0x30, {0x02});
    vp->setSetting(0x27, toBytes(QByteArray("ap\0\0"
                                            "192.168.4.1\0",
                                            16)));
    ui->widget<QLineEdit>("lineEdit_6")->setText("stale station");
    QVERIFY(ui->selectPort(kPort));
    vp->clearLogs();
    ui->click("pushButton_17");
    QCOMPARE(ui->boxes.takeOne().text, kSucceeded);
    QCOMPARE(receivedFrames(*vp),
             (QStringList{query(0x30), query(0x27), query(0x29), query(0x3C)}));
    QCOMPARE(ui->widget<QComboBox>("comboBox_8")->currentText(), QStringLiteral("AP"));
    QCOMPARE(ui->text("lineEdit_11"), QStringLiteral("ap"));
    QCOMPARE(ui->text("lineEdit_52"), QString());
    QCOMPARE(ui->text("lineEdit_47"), QStringLiteral("192.168.4.1"));
    QCOMPARE(ui->text("lineEdit_6"), QString());

    vp->clearLogs();
    ui->click("pushButton_18");
    QCOMPARE(ui->boxes.takeOne().text, kSetSucceeded);
    QCOMPARE(
        receivedFrames(*vp),
        (QStringList{set("30 01 02"), set("27 10 61 70 00 00 31 39 32 2E 31 36 38 2E 34 2E 31 00"),
                     set("29 02 8C 23")}));
}

void TestNetworkPages::bluetoothRoundTrip()
{
    vp->setSetting(0x2B, toBytes(QByteArray("SPP\0tail", 8)));
    vp->setSetting(0x2F, {0x01});
    const QString mac = QStringLiteral("from the wifi read");
    ui->widget<QLineEdit>("lineEdit_31")->setText(mac);
    QVERIFY(ui->selectPort(kPort));
    vp->clearLogs();
    ui->click("pushButton_23");
    QCOMPARE(ui->boxes.takeOne().text, kSucceeded);
    QCOMPARE(receivedFrames(*vp),
             (QStringList{query(0x2B), query(0x2C), query(0x2F), query(0x2E)}));
    QCOMPARE(ui->text("lineEdit_28"), QStringLiteral("SPP"));
    QCOMPARE(ui->text("lineEdit_24"), QStringLiteral("VS-608K-BLE"));
    QCOMPARE(ui->widget<QComboBox>("comboBox_11")->currentIndex(), 1);
    QCOMPARE(ui->text("lineEdit_25"), QStringLiteral("0000"));
    QCOMPARE(ui->text("lineEdit_31"), mac);

    ui->widget<QLineEdit>("lineEdit_24")->setText("abc");
    vp->clearLogs();
    ui->click("pushButton_24");
    QCOMPARE(ui->boxes.takeOne().text, kSetSucceeded);
    QCOMPARE(receivedFrames(*vp), (QStringList{set("2B 04 53 50 50 00"), set("2C 04 61 62 63 00"),
                                               set("2F 01 01"), set("2E 05 30 30 30 30 00")}));
}

void TestNetworkPages::wifiIpRoundTrip()
{
    vp->setSetting(0x28, toBytes(QByteArray::fromHex("01C0A8010AFFFFFF00C0A8010108080808")));
    ui->widget<QLineEdit>("lineEdit_37")->setText("9.9.9.9"); // another printer's DNS
    QVERIFY(ui->selectPort(kPort));
    vp->clearLogs();
    ui->click("pushButton_25");
    QCOMPARE(ui->boxes.takeOne().text, kSucceeded);
    QCOMPARE(receivedFrames(*vp), QStringList{query(0x28)});
    QCOMPARE(ui->widget<QComboBox>("comboBox_14")->currentText(), QStringLiteral("DHCP ON"));
    QCOMPARE(ui->text("lineEdit_30"), QStringLiteral("192.168.1.10"));
    QCOMPARE(ui->text("lineEdit_34"), QStringLiteral("255.255.255.0"));
    QCOMPARE(ui->text("lineEdit_33"), QStringLiteral("192.168.1.1"));
    QCOMPARE(ui->text("lineEdit_37"), QStringLiteral("8.8.8.8"));
    QVERIFY(!ui->widget<QLineEdit>("lineEdit_37")->isEnabled());

    vp->clearLogs();
    ui->click("pushButton_26");
    QCOMPARE(ui->boxes.takeOne().text, kSetSucceeded);
    QCOMPARE(receivedFrames(*vp),
             QStringList{set("28 11 01 C0 A8 01 0A FF FF FF 00 C0 A8 01 01 08 08 08 08")});
}

void TestNetworkPages::ethernetRoundTrip()
{
    vp->setSetting(0x0D, toBytes(QByteArray::fromHex("07C0A80164FFFFFF00C0A80101")));
    vp->setSetting(0x0F, toBytes(QByteArray::fromHex("8C238D23")));
    QVERIFY(ui->selectPort(kPort));
    QVERIFY(!ui->widget<QPushButton>("pushButton_32")->isEnabled());
    vp->clearLogs();
    ui->click("pushButton_33");
    QCOMPARE(ui->boxes.takeOne().text, kSucceeded);
    QCOMPARE(receivedFrames(*vp), (QStringList{query(0x0F), query(0x0D)}));
    QCOMPARE(ui->widget<QComboBox>("comboBox_16")->currentText(), QStringLiteral("DHCP OFF"));
    QCOMPARE(ui->text("lineEdit_36"), QStringLiteral("192.168.1.100"));
    QCOMPARE(ui->text("lineEdit_35"), QStringLiteral("255.255.255.0"));
    QCOMPARE(ui->text("lineEdit_40"), QStringLiteral("192.168.1.1"));
    QCOMPARE(ui->text("lineEdit_12"), QStringLiteral("9100"));
    QCOMPARE(ui->text("lineEdit_10"), QStringLiteral("9101"));

    vp->clearLogs();
    ui->click("pushButton_32");
    QCOMPARE(ui->boxes.takeOne().text, kSetSucceeded);
    QCOMPARE(receivedFrames(*vp), (QStringList{set("0D 0D 01 C0 A8 01 64 FF FF FF 00 C0 A8 01 01"),
                                               set("0F 04 8C 23 8D 23")}));
}

void TestNetworkPages::writeThenReadGivesBack()
{
    QVERIFY(ui->selectPort(kPort));
    for (const char *read : {"pushButton_17", "pushButton_23", "pushButton_25", "pushButton_33"})
        ui->click(read);
    ui->boxes.clear();
    const std::pair<const char *, QString> edits[] = {
        {"lineEdit_6", "Lab"},          {"lineEdit_23", "pw2"},
        {"lineEdit_27", "65535"},       {"lineEdit_28", "Name"},
        {"lineEdit_25", "4321"},        {"lineEdit_30", "10.1.2.3"},
        {"lineEdit_34", "255.0.0.0"},   {"lineEdit_33", "10.1.2.254"},
        {"lineEdit_37", "1.1.1.1"},     {"lineEdit_36", "172.16.0.9"},
        {"lineEdit_35", "255.255.0.0"}, {"lineEdit_40", "172.16.0.1"},
        {"lineEdit_12", "1"},           {"lineEdit_10", "515"}};
    ui->widget<QComboBox>("comboBox_14")->setCurrentIndex(0); // DHCP off: every address counts
    ui->widget<QComboBox>("comboBox_16")->setCurrentIndex(1);
    for (const auto &[edit, text] : edits)
        ui->widget<QLineEdit>(edit)->setText(text);
    for (const char *write : {"pushButton_18", "pushButton_24", "pushButton_26", "pushButton_32"}) {
        ui->click(write);
        QCOMPARE(ui->boxes.takeOne().text, kSetSucceeded);
    }
    for (const auto &[edit, text] : edits)
        ui->widget<QLineEdit>(edit)->setText("...");
    for (const char *read : {"pushButton_17", "pushButton_23", "pushButton_25", "pushButton_33"}) {
        ui->click(read);
        QCOMPARE(ui->boxes.takeOne().text, kSucceeded);
    }
    for (const auto &[edit, text] : edits)
        QCOMPARE(ui->text(edit), text);
    QCOMPARE(ui->widget<QComboBox>("comboBox_16")->currentIndex(), 1);
}

void TestNetworkPages::faultAtExchange_data()
{
    QTest::addColumn<QString>("read");
    QTest::addColumn<QString>("write"); // empty: the fault hits the read
    QTest::addColumn<int>("exchanges");
    QTest::addColumn<int>("k");
    QTest::newRow("wifi read, network query") << "pushButton_17"
                                              << "" << 4 << 2;
    QTest::newRow("wifi read, port query") << "pushButton_17"
                                           << "" << 4 << 3;
    QTest::newRow("wifi write, port command") << "pushButton_17"
                                              << "pushButton_18" << 3 << 3;
    QTest::newRow("bluetooth read, first query") << "pushButton_23"
                                                 << "" << 4 << 1;
    QTest::newRow("bluetooth write, mode command") << "pushButton_23"
                                                   << "pushButton_24" << 4 << 3;
    QTest::newRow("wifi IP write") << "pushButton_25"
                                   << "pushButton_26" << 1 << 1;
    QTest::newRow("ethernet read, port query") << "pushButton_33"
                                               << "" << 2 << 1;
    QTest::newRow("ethernet write, port command") << "pushButton_33"
                                                  << "pushButton_32" << 2 << 2;
}

void TestNetworkPages::faultAtExchange()
{
    QFETCH(QString, read);
    QFETCH(QString, write);
    QFETCH(int, exchanges);
    QFETCH(int, k);
    Faults failedWrite;
    failedWrite.failNextWrite = true;
    QVERIFY(ui->selectPort(kPort));
    pagechecks::failedExchange(*ui, *vp, read, write, exchanges, k, failedWrite);
}

void TestNetworkPages::refusedInput_data()
{
    QTest::addColumn<QString>("read");
    QTest::addColumn<QString>("write");
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    const QString address =
        QStringLiteral("“%1”须为完整的IP地址：四组 0 到 255 的数字。未发送任何设置。");
    const QString number = QStringLiteral("“%1”须为 1 到 65535 之间的整数。未发送任何设置。");
    const QString mask = QStringLiteral("“%1”不是有效的子网掩码：须为连续的1再接连续的0（如 "
                                        "255.255.255.0）。未发送任何设置。");
    QTest::newRow("wifi port 70000") << "pushButton_17"
                                     << "pushButton_18"
                                     << "lineEdit_27"
                                     << "70000" << number.arg("TCP端口号");
    QTest::newRow("station name beyond 254 bytes")
        << "pushButton_17"
        << "pushButton_18"
        << "lineEdit_6" << QString(200, QChar(0x4E2D))
        << "“wifi名称”太长：最多 254 个字节。未发送任何设置。";
    QTest::newRow("bluetooth PIN with a NUL")
        << "pushButton_23"
        << "pushButton_24"
        << "lineEdit_25" << QString("1") + QChar(0)
        << "“SPP_PIN码”不能包含空字符（NUL）。未发送任何设置。";
    QTest::newRow("wifi IP group 999 that the mask lets through")
        << "pushButton_25"
        << "pushButton_26"
        << "lineEdit_30"
        << "999.1.1.1" << address.arg("IP");
    QTest::newRow("ethernet gateway half filled") << "pushButton_33"
                                                  << "pushButton_32"
                                                  << "lineEdit_40"
                                                  << "10.0.." << address.arg("网关地址");
    QTest::newRow("wifi IP mask with a hole") << "pushButton_25"
                                              << "pushButton_26"
                                              << "lineEdit_34"
                                              << "255.0.255.0" << mask.arg("子网掩码");
    QTest::newRow("ethernet mask of zeros, then ones") << "pushButton_33"
                                                       << "pushButton_32"
                                                       << "lineEdit_35"
                                                       << "0.0.0.255" << mask.arg("子网掩码");
    QTest::newRow("ethernet TCP port 0") << "pushButton_33"
                                         << "pushButton_32"
                                         << "lineEdit_12"
                                         << "0" << number.arg("TCP端口");
    QTest::newRow("ethernet UDP port not a number") << "pushButton_33"
                                                    << "pushButton_32"
                                                    << "lineEdit_10"
                                                    << "udp" << number.arg("UDP端口");
}

void TestNetworkPages::refusedInput()
{
    QFETCH(QString, read);
    QFETCH(QString, write);
    QFETCH(QString, edit);
    QFETCH(QString, text);
    QFETCH(QString, message);
    QVERIFY(ui->selectPort(kPort));
    pagechecks::refusedWrite(*ui, *vp, read, write, edit, text, message);
}

void TestNetworkPages::otherPrinterSelectedBetweenReadAndWrite_data()
{
    QTest::addColumn<int>("readPort");
    QTest::addColumn<int>("writePort");
    QTest::newRow("extended, then plain") << kPort << 1;
    QTest::newRow("plain, then extended") << 1 << kPort;
}

void TestNetworkPages::otherPrinterSelectedBetweenReadAndWrite()
{
    QFETCH(int, readPort);
    QFETCH(int, writePort);
    ui->usb.addPrinter(0x0412, "ZT-410", 1);
    QVERIFY(ui->selectPort(readPort));
    const char *writes[] = {"pushButton_18", "pushButton_24", "pushButton_26"};
    for (const char *read : {"pushButton_17", "pushButton_23", "pushButton_25"})
        ui->click(read);
    ui->boxes.clear();
    for (const char *write : writes)
        QVERIFY(ui->widget<QPushButton>(write)->isEnabled());
    QVERIFY(ui->selectPort(writePort));
    // Values read from one printer cannot be written to another: every write waits for a read.
    for (const char *write : writes)
        QVERIFY2(!ui->widget<QPushButton>(write)->isEnabled(), write);
    QVERIFY(!ui->widget<QPushButton>("pushButton_32")->isEnabled());
    // Only the extended model has an Ethernet page to read.
    QCOMPARE(ui->widget<QToolBox>("toolBox")->isItemEnabled(5), writePort == kPort);
}

void TestNetworkPages::bluetoothReadTakesTheRowAfterPendingEvents()
{
    VirtualPrinter &plain = ui->usb.addPrinter(0x0412, "ZT-410", 1);
    QVERIFY(ui->selectPort(kPort));
    int plainRow = -1;
    for (int row = 0; row < ui->list()->count(); ++row) {
        if (ui->list()->item(row)->text().endsWith("USB001"))
            plainRow = row;
    }
    vp->clearLogs();
    // A selection change queued before the click runs in the read's event processing; the read
    // then goes to the printer selected after it.
    QTimer::singleShot(0, ui->list(), [&] { ui->list()->setCurrentRow(plainRow); });
    ui->click("pushButton_23");
    QCOMPARE(ui->boxes.takeOne().text, kSucceeded);
    QVERIFY(vp->bulkOutLog().empty());
    QCOMPARE(receivedFrames(plain).size(), 4);

    // A list emptied meanwhile: nothing is selected any more.
    QTimer::singleShot(0, ui->list(), [&] {
        ui->list()->clear();
        ui->list()->addItem("x");
    });
    ui->click("pushButton_23");
    QCOMPARE(ui->boxes.takeOne().text, QStringLiteral("请先选中打印列表中的打印机"));
}

QObject *createTestNetworkPages() { return new TestNetworkPages; }

#include "tst_networkpages.moc"
