// The first settings pages and the maintenance buttons through the real window, against virtual
// printers: what a read shows, the exact frames a write sends, faults in the middle of a
// sequence, refused input, and the serial number that must never reach another printer.
#include "tests/window/app/pagechecks.h"

#include <QComboBox>
#include <QTabWidget>
#include <memory>

using vprinter::Faults;
using vprinter::VirtualPrinter;

using namespace pagechecks;

namespace {

// A plain model on port 1 (four speeds, no print method) and an extended one on port 3.
constexpr int kPlainPort = 1;
constexpr int kExtendedPort = 3;

const QString kApplyPrintSettings = QStringLiteral("1B FF FE 00 06 00 1B FE FF");

QStringList queries(std::initializer_list<int> codes)
{
    QStringList frames;
    for (int code : codes)
        frames << query(code);
    return frames;
}

Faults failedWrite()
{
    Faults faults;
    faults.failNextWrite = true;
    return faults;
}

} // namespace

class TestSettingsPages : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void printSettingsRoundTrip_data();
    void printSettingsRoundTrip();
    void editedValuesReadBack();
    void boxWithoutItemIsNotWritten();
    void distancesRoundTrip();
    void serialPortRoundTrip();
    void serialNumberOnlyToItsPrinter_data();
    void serialNumberOnlyToItsPrinter();
    void cutReplyLeavesTheFields_data();
    void cutReplyLeavesTheFields();
    void onlyACompleteReadEnablesTheWrite_data();
    void onlyACompleteReadEnablesTheWrite();

    void faultAtExchange_data();
    void faultAtExchange();
    void refusedInput_data();
    void refusedInput();

    void maintenance_data();
    void maintenance();
    void initialisationAsksFirst_data();
    void initialisationAsksFirst();

    void gateKeepsTheSelectionOnASettingsTab();

private:
    VirtualPrinter &addPrinters();
    std::unique_ptr<WindowHarness> ui;
    VirtualPrinter *plain = nullptr;
};

void TestSettingsPages::init()
{
    ui = std::make_unique<WindowHarness>();
    plain = &ui->usb.addPrinter(0x0412, "ZT-410", kPlainPort);
}

void TestSettingsPages::cleanup()
{
    verifyNoViolations(ui->usb);
    ui.reset();
}

void TestSettingsPages::printSettingsRoundTrip_data()
{
    QTest::addColumn<bool>("extended");
    QTest::newRow("plain model: ten queries, ten set frames") << false;
    QTest::newRow("extended model: the print method too") << true;
}

void TestSettingsPages::printSettingsRoundTrip()
{
    QFETCH(bool, extended);
    VirtualPrinter &vp = extended ? ui->usb.addPrinter(0x1401, "VS-608K", kExtendedPort) : *plain;
    const std::pair<uint8_t, const char *> stored[] = {
        {0x00, "03"},   {0x13, "0C"},   {0x19, "6400"}, {0x1A, "1800"},
        {0x1C, "0107"}, {0x1D, "F4FF"}, {0x1E, "E8FF"}, {0x41, "01"},
        {0x16, "05"},   {0x01, "3D"},   {0x02, "01"}};
    for (const auto &[code, payload] : stored)
        vp.setSetting(code, toBytes(QByteArray::fromHex(payload)));
    QVERIFY(ui->selectPort(extended ? kExtendedPort : kPlainPort));
    vp.clearLogs();

    // However many exchanges a click makes, usblp is moved aside once and given back once.
    int handOvers = vp.state().driverHandOvers();
    ui->click("pushButton_13");
    QCOMPARE(ui->boxes.takeOne().text, kSucceeded);
    QCOMPARE(vp.state().driverHandOvers() - handOvers, 2);
    QStringList asked = queries({0x00, 0x13, 0x19, 0x1A, 0x1C, 0x1D, 0x1E});
    if (extended)
        asked << query(0x41);
    asked << queries({0x16, 0x01, 0x02});
    QCOMPARE(receivedFrames(vp), asked);
    QCOMPARE(ui->widget<QComboBox>("comboBox")->currentText(), QStringLiteral("3"));
    QCOMPARE(ui->widget<QComboBox>("comboBox_2")->currentText(), QStringLiteral("12"));
    QCOMPARE(ui->text("lineEdit_43"), QStringLiteral("12"));
    QCOMPARE(ui->text("lineEdit_42"), QStringLiteral("3"));
    QCOMPARE(ui->widget<QComboBox>("comboBox_20")->currentIndex(), 1);
    QCOMPARE(ui->widget<QComboBox>("comboBox_12")->currentIndex(), 1);
    QCOMPARE(ui->text("lineEdit_19"), QStringLiteral("-1"));
    QCOMPARE(ui->text("lineEdit_20"), QStringLiteral("-3"));
    QCOMPARE(ui->widget<QComboBox>("comboBox_9")->currentIndex(), extended ? 1 : 0);
    QCOMPARE(ui->widget<QComboBox>("comboBox_3")->currentIndex(), 3);
    QCOMPARE(ui->widget<QComboBox>("comboBox_15")->currentIndex(), 0x3D);
    QCOMPARE(ui->widget<QComboBox>("comboBox_23")->currentText(), QStringLiteral("ZPL"));
    QVERIFY(ui->widget<QPushButton>("pushButton_14")->isEnabled());

    // Written back unedited, every value is what was read, to the dot: 100 dots shown as 12 mm
    // go back as 100, not 96; -12 dots shown as -1 mm go back as -12.
    vp.clearLogs();
    handOvers = vp.state().driverHandOvers();
    ui->click("pushButton_14");
    QCOMPARE(ui->boxes.takeOne().text, kSetSucceeded);
    QCOMPARE(vp.state().driverHandOvers() - handOvers, 2);
    QCOMPARE(vp.state().kernelDriver, std::string("usblp"));
    QStringList sent = {set("01 01 3D"),    set("00 01 03"),    set("13 01 0C"),
                        set("19 02 64 00"), set("1A 02 18 00"), set("1C 02 01 01")};
    if (extended)
        sent << set("41 01 01");
    sent << set("16 01 03") << set("02 01 01") << set("1E 02 E8 FF") << set("1D 02 F4 FF")
         << kApplyPrintSettings;
    QCOMPARE(receivedFrames(vp), sent);
}

void TestSettingsPages::editedValuesReadBack()
{
    QVERIFY(ui->selectPort(kPlainPort));
    ui->click("pushButton_13");
    ui->boxes.clear();
    ui->widget<QComboBox>("comboBox")->setCurrentIndex(1);
    ui->widget<QComboBox>("comboBox_23")->setCurrentText("AUTO");
    ui->widget<QLineEdit>("lineEdit_43")->setText("8191");
    ui->widget<QLineEdit>("lineEdit_19")->setText("-4096");
    ui->widget<QLineEdit>("lineEdit_20")->setText("7");
    ui->click("pushButton_14");
    QCOMPARE(ui->boxes.takeOne().text, kSetSucceeded);

    for (const char *edit : {"lineEdit_43", "lineEdit_19", "lineEdit_20"})
        ui->widget<QLineEdit>(edit)->setText("0");
    ui->widget<QComboBox>("comboBox")->setCurrentIndex(0);
    ui->widget<QComboBox>("comboBox_23")->setCurrentIndex(0);
    ui->click("pushButton_13");
    QCOMPARE(ui->boxes.takeOne().text, kSucceeded);
    QCOMPARE(ui->widget<QComboBox>("comboBox")->currentIndex(), 1);
    QCOMPARE(ui->widget<QComboBox>("comboBox_23")->currentText(), QStringLiteral("AUTO"));
    QCOMPARE(ui->text("lineEdit_43"), QStringLiteral("8191"));
    QCOMPARE(ui->text("lineEdit_19"), QStringLiteral("-4096"));
    QCOMPARE(ui->text("lineEdit_20"), QStringLiteral("7"));
}

void TestSettingsPages::boxWithoutItemIsNotWritten()
{
    plain->setSetting(0x00, {0x09}); // beyond the four speeds
    QVERIFY(ui->selectPort(kPlainPort));
    ui->click("pushButton_13");
    ui->boxes.clear();
    QCOMPARE(ui->widget<QComboBox>("comboBox")->currentIndex(), -1);
    plain->clearLogs();
    ui->click("pushButton_14");
    QCOMPARE(ui->boxes.takeOne().text, kSetSucceeded);
    const QStringList frames = receivedFrames(*plain);
    QCOMPARE(frames.size(), 10); // nine settings and the closing command
    for (const QString &f : frames)
        QVERIFY2(!f.startsWith("1B FF FE 01 00 "), qPrintable(f));
    QCOMPARE(plain->setting(0x00), vprinter::Bytes{0x09});
}

void TestSettingsPages::distancesRoundTrip()
{
    plain->setSetting(0x33, toBytes(QByteArray::fromHex("5000")));
    plain->setSetting(0x34, toBytes(QByteArray::fromHex("F0FF")));
    plain->setSetting(0x35, toBytes(QByteArray::fromHex("F4FF")));
    plain->setSetting(0x36, toBytes(QByteArray::fromHex("3000")));
    QVERIFY(ui->selectPort(kPlainPort));
    plain->clearLogs();
    ui->click("pushButton_31");
    QCOMPARE(ui->boxes.takeOne().text, kSucceeded);
    QCOMPARE(receivedFrames(*plain), queries({0x33, 0x34, 0x35, 0x36}));
    QCOMPARE(ui->text("lineEdit_3"), QStringLiteral("10"));
    QCOMPARE(ui->text("lineEdit_4"), QStringLiteral("-2"));
    QCOMPARE(ui->text("lineEdit_5"), QStringLiteral("-1"));
    QCOMPARE(ui->text("lineEdit_9"), QStringLiteral("48"));

    ui->widget<QLineEdit>("lineEdit_3")->setText("12");
    ui->widget<QLineEdit>("lineEdit_9")->setText("300");
    plain->clearLogs();
    ui->click("pushButton_30");
    QCOMPARE(ui->boxes.takeOne().text, kSetSucceeded);
    QCOMPARE(receivedFrames(*plain), (QStringList{set("33 02 60 00"), set("34 02 F0 FF"),
                                                  set("35 02 F4 FF"), set("36 02 2C 01")}));
}

void TestSettingsPages::serialPortRoundTrip()
{
    plain->setSetting(0x0E, {0x07, 0x01, 0x01, 0x00});
    plain->setSetting(0x0C, toBytes(QByteArray("V\0W\0X\0Y\0Z\0", 10)));
    QVERIFY(ui->selectPort(kPlainPort));
    plain->clearLogs();
    ui->click("pushButton_27");
    QCOMPARE(ui->boxes.takeOne().text, kSucceeded);
    QCOMPARE(receivedFrames(*plain), queries({0x0E, 0x0C, 0x10}));
    QCOMPARE(ui->widget<QComboBox>("comboBox_27")->currentText(), QStringLiteral("115200"));
    QCOMPARE(ui->widget<QComboBox>("comboBox_26")->currentText(), QStringLiteral("1"));
    QCOMPARE(ui->widget<QComboBox>("comboBox_25")->currentText(), QStringLiteral("7bit"));
    QCOMPARE(ui->widget<QComboBox>("comboBox_24")->currentText(), QStringLiteral("1bit"));
    QCOMPARE(ui->text("lineEdit_39"), QStringLiteral("X"));
    QCOMPARE(ui->text("lineEdit_8"), QStringLiteral("ZR311P1")); // port 1 of bus 1

    ui->widget<QComboBox>("comboBox_27")->setCurrentIndex(16);
    plain->clearLogs();
    ui->click("pushButton_28");
    QCOMPARE(ui->boxes.takeOne().text, kSetSucceeded);
    QCOMPARE(receivedFrames(*plain),
             (QStringList{set("0E 04 10 01 01 00"), set("10 08 5A 52 33 31 31 50 31 00")}));
}

void TestSettingsPages::serialNumberOnlyToItsPrinter_data()
{
    QTest::addColumn<QString>("readBefore"); // "this" or "other" printer, or none
    QTest::addColumn<bool>("serialQueryFails");
    QTest::addColumn<int>("framesSent"); // 0: the write button stays disabled
    QTest::newRow("read from this printer") << "" << false << 2;
    QTest::newRow("the serial query of the last read failed") << "this" << true << 1;
    QTest::newRow("another printer's number is still shown") << "other" << true << 0;
}

void TestSettingsPages::serialNumberOnlyToItsPrinter()
{
    QFETCH(QString, readBefore);
    QFETCH(bool, serialQueryFails);
    QFETCH(int, framesSent);
    VirtualPrinter &other = ui->usb.addPrinter(0x1401, "VS-608K", kExtendedPort);
    other.setSetting(0x10, toBytes(QByteArray("OTHER-SN\0", 9)));
    if (readBefore == "other") {
        QVERIFY(ui->selectPort(kExtendedPort));
        ui->click("pushButton_27");
        ui->boxes.clear();
        QCOMPARE(ui->text("lineEdit_8"), QStringLiteral("OTHER-SN"));
    }
    QVERIFY(ui->selectPort(kPlainPort));
    QVERIFY(!ui->widget<QPushButton>("pushButton_28")->isEnabled());
    if (readBefore == "this") {
        ui->click("pushButton_27");
        ui->boxes.clear();
    }
    if (serialQueryFails)
        plain->setFaultsForExchange(3, failedWrite());
    ui->click("pushButton_27");
    ui->boxes.clear();
    plain->clearLogs();
    // A failed read leaves the write button as it was: disabled since the selection changed.
    QCOMPARE(ui->widget<QPushButton>("pushButton_28")->isEnabled(), framesSent > 0);
    ui->click("pushButton_28");
    if (framesSent > 0)
        QCOMPARE(ui->boxes.takeOne().text, kSetSucceeded);
    const QStringList frames = receivedFrames(*plain);
    QCOMPARE(frames.size(), framesSent);
    if (framesSent > 0)
        QVERIFY(frames.first().startsWith("1B FF FE 01 0E"));
    QCOMPARE(plain->setting(0x10), toBytes(QByteArray("ZR311P1\0", 8)));
}

void TestSettingsPages::cutReplyLeavesTheFields_data()
{
    QTest::addColumn<int>("cutTo");
    QTest::newRow("nothing arrives") << 0;
    QTest::newRow("4 bytes") << 4;
    QTest::newRow("up to the length byte") << 6;
    QTest::newRow("half of the 2-byte payload") << 7;
}

void TestSettingsPages::cutReplyLeavesTheFields()
{
    QFETCH(int, cutTo);
    plain->setSetting(0x33, {0x50, 0x00}); // 80 dots
    plain->setSetting(0x34, {0x43, 0x00}); // 67 dots
    plain->setSetting(0x35, {0xF0, 0xFF}); // -16 dots
    plain->setSetting(0x36, {0x30, 0x00}); // 48 dots
    QVERIFY(ui->selectPort(kPlainPort));
    ui->click("pushButton_31");
    QCOMPARE(ui->boxes.takeOne().text, kSucceeded);
    const auto shown = [this] {
        return QStringList{ui->text("lineEdit_3"), ui->text("lineEdit_4"), ui->text("lineEdit_5"),
                           ui->text("lineEdit_9")};
    };
    QCOMPARE(shown(), (QStringList{"10", "8", "-2", "48"}));

    Faults cut;
    cut.cutRepliesTo = cutTo;
    plain->setFaults(cut);
    ui->click("pushButton_31");
    QCOMPARE(ui->boxes.takeOne().text, kNotConnected);
    QCOMPARE(shown(), (QStringList{"10", "8", "-2", "48"}));

    // The write that follows sends what the complete read took, to the dot, not zeros.
    plain->setFaults(Faults{});
    plain->clearLogs();
    ui->click("pushButton_30");
    QCOMPARE(ui->boxes.takeOne().text, kSetSucceeded);
    QCOMPARE(receivedFrames(*plain), (QStringList{set("33 02 50 00"), set("34 02 43 00"),
                                                  set("35 02 F0 FF"), set("36 02 30 00")}));
}

void TestSettingsPages::onlyACompleteReadEnablesTheWrite_data()
{
    QTest::addColumn<QString>("read");
    QTest::addColumn<QString>("write");
    QTest::newRow("print") << "pushButton_13"
                           << "pushButton_14";
    QTest::newRow("distance") << "pushButton_31"
                              << "pushButton_30";
    QTest::newRow("serial port") << "pushButton_27"
                                 << "pushButton_28";
    QTest::newRow("Wi-Fi") << "pushButton_17"
                           << "pushButton_18";
    QTest::newRow("Bluetooth") << "pushButton_23"
                               << "pushButton_24";
    QTest::newRow("Wi-Fi IP") << "pushButton_25"
                              << "pushButton_26";
    QTest::newRow("Ethernet") << "pushButton_33"
                              << "pushButton_32";
}

void TestSettingsPages::onlyACompleteReadEnablesTheWrite()
{
    QFETCH(QString, read);
    QFETCH(QString, write);
    VirtualPrinter &vp = ui->usb.addPrinter(0x1401, "VS-608K", kExtendedPort);
    QVERIFY(ui->selectPort(kExtendedPort));
    const QPushButton *button = ui->widget<QPushButton>(qPrintable(write));
    Faults cut;
    cut.cutRepliesTo = 4;
    // A first read whose first query is cut, a complete read, then a cut one again: the button
    // follows only the complete read, and a failed read leaves it as it was.
    const bool cutFirstQuery[] = {true, false, true};
    const bool enabledAfter[] = {false, true, true};
    for (int i = 0; i < 3; ++i) {
        if (cutFirstQuery[i])
            vp.setFaultsForExchange(1, cut);
        ui->click(qPrintable(read));
        QCOMPARE(ui->boxes.takeOne().text, cutFirstQuery[i] ? kNotConnected : kSucceeded);
        QCOMPARE(button->isEnabled(), enabledAfter[i]);
    }
}

void TestSettingsPages::faultAtExchange_data()
{
    // The printer fails exactly the k-th exchange of the sequence; every exchange is still
    // attempted, and the failure is reported wherever it happened.
    QTest::addColumn<QString>("read");
    QTest::addColumn<QString>("write"); // empty: the fault hits the read
    QTest::addColumn<int>("exchanges");
    QTest::addColumn<int>("k");
    QTest::addColumn<QString>("fault");
    QTest::newRow("print read, first query") << "pushButton_13"
                                             << "" << 10 << 1 << "failNextWrite";
    QTest::newRow("print read, third query") << "pushButton_13"
                                             << "" << 10 << 3 << "failNextWrite";
    QTest::newRow("print read, third claim refused") << "pushButton_13"
                                                     << "" << 10 << 3 << "refuseClaim";
    QTest::newRow("print write, fifth command") << "pushButton_13"
                                                << "pushButton_14" << 11 << 5 << "failNextWrite";
    QTest::newRow("print write, closing command") << "pushButton_13"
                                                  << "pushButton_14" << 11 << 11 << "failNextWrite";
    QTest::newRow("distance read, second query") << "pushButton_31"
                                                 << "" << 4 << 2 << "failNextWrite";
    QTest::newRow("distance write, last command") << "pushButton_31"
                                                  << "pushButton_30" << 4 << 4 << "failNextWrite";
    QTest::newRow("serial read, first query") << "pushButton_27"
                                              << "" << 3 << 1 << "failNextWrite";
    QTest::newRow("serial write, serial number") << "pushButton_27"
                                                 << "pushButton_28" << 2 << 2 << "failNextWrite";
}

void TestSettingsPages::faultAtExchange()
{
    QFETCH(QString, read);
    QFETCH(QString, write);
    QFETCH(int, exchanges);
    QFETCH(int, k);
    QFETCH(QString, fault);
    QVERIFY(ui->selectPort(kPlainPort));
    pagechecks::failedExchange(*ui, *plain, read, write, exchanges, k, faultNamed(fault));
}

void TestSettingsPages::refusedInput_data()
{
    QTest::addColumn<QString>("read");
    QTest::addColumn<QString>("write");
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    const QString range = QStringLiteral("“%1”须为 %2 到 %3 之间的整数。未发送任何设置。");
    QTest::newRow("label gap not a number")
        << "pushButton_13"
        << "pushButton_14"
        << "lineEdit_43"
        << "abc" << range.arg("标签间隙(单位mm)").arg(0).arg(8191);
    QTest::newRow("black-mark gap 8192 mm would wrap")
        << "pushButton_13"
        << "pushButton_14"
        << "lineEdit_42"
        << "8192" << range.arg("黑标间隙(单位mm)").arg(0).arg(8191);
    QTest::newRow("empty print offset") << "pushButton_13"
                                        << "pushButton_14"
                                        << "lineEdit_19"
                                        << "" << range.arg("打印偏移(单位mm)").arg(-4096).arg(4095);
    QTest::newRow("vertical offset as a fraction")
        << "pushButton_13"
        << "pushButton_14"
        << "lineEdit_20"
        << "1.5" << range.arg("垂直偏移(单位mm)").arg(-4096).arg(4095);
    QTest::newRow("distance in mm too large")
        << "pushButton_31"
        << "pushButton_30"
        << "lineEdit_5"
        << "4096" << range.arg("黑标到打印头距离(单位mm)").arg(-4096).arg(4095);
    QTest::newRow("tear-off beyond 16 bits")
        << "pushButton_31"
        << "pushButton_30"
        << "lineEdit_9"
        << "40000" << range.arg("打印头到撕纸位置距离(单位dot)").arg(-32768).arg(32767);
}

void TestSettingsPages::refusedInput()
{
    QFETCH(QString, read);
    QFETCH(QString, write);
    QFETCH(QString, edit);
    QFETCH(QString, text);
    QFETCH(QString, message);
    QVERIFY(ui->selectPort(kPlainPort));
    pagechecks::refusedWrite(*ui, *plain, read, write, edit, text, message);
}

void TestSettingsPages::maintenance_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("frame");
    QTest::addColumn<bool>("reportsSuccess");
    const struct {
        const char *button;
        const char *frame;
        bool reports;
    } rows[] = {
        {"pushButton_2", "1B FF FE 00 00 00 1B FE FF", false},
        {"pushButton_4", "1B FF FE 00 02 00 1B FE FF", false},
        {"pushButton_5", "1B FF FE 00 05 00 1B FE FF", false},
        {"pushButton_7", "1B FF FE 00 07 00 1B FE FF", false},
        {"pushButton_8", "1B FF FE 00 08 00 1B FE FF", false},
        {"pushButton_9", "1B FF FE 00 09 00 1B FE FF", false},
        {"pushButton_10", "1B FF FE 00 0A 00 1B FE FF", true},
        {"pushButton_22", "1B FF FE 00 0D 00 1B FE FF", true},
        {"pushButton_3", "1B FF FE 01 25 01 00 1B FE FF", false},
        {"pushButton_11", "1B FF FE 01 25 01 01 1B FE FF", false},
        {"pushButton_12", "1B FF FE 01 25 01 02 1B FE FF", false},
        {"pushButton_29", "1B FF FE 01 25 01 03 1B FE FF", true},
        {"pushButton_21", "1B FF FE 01 22 01 00 1B FE FF", true},
        {"pushButton_20", "1B FF FE 01 22 01 01 1B FE FF", true},
        {"pushButton_19", "1B FF FE 01 23 01 00 1B FE FF", true},
        {"pushButton_16", "1B FF FE 01 23 01 01 1B FE FF", true},
    };
    for (const auto &row : rows)
        QTest::newRow(row.button) << row.button << row.frame << row.reports;
}

void TestSettingsPages::maintenance()
{
    QFETCH(QString, button);
    QFETCH(QString, frame);
    QFETCH(bool, reportsSuccess);
    QVERIFY(ui->selectPort(kPlainPort));
    const int handOvers = plain->state().driverHandOvers();
    ui->click(qPrintable(button));
    QCOMPARE(receivedFrames(*plain), QStringList{frame});
    QCOMPARE(plain->state().driverHandOvers() - handOvers, 2);
    QCOMPARE(ui->boxes.boxes().size(), reportsSuccess ? 1 : 0);
    if (reportsSuccess)
        QCOMPARE(ui->boxes.takeOne().text, kSetSucceeded);

    // A failed send is reported by every button, also those silent on success.
    ui->list()->setCurrentRow(0);
    plain->setFaults(failedWrite());
    ui->click(qPrintable(button));
    QCOMPARE(ui->boxes.takeOne().text, kNotConnected);
    QCOMPARE(receivedFrames(*plain).size(), 1);
    // Only the initialisation asks first (and was answered Yes).
    QCOMPARE(ui->boxes.questions().size(), button == "pushButton_5" ? 2 : 0);
}

void TestSettingsPages::initialisationAsksFirst_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("answered No: nothing is sent") << false;
    QTest::newRow("answered Yes: sent as before") << true;
}

void TestSettingsPages::initialisationAsksFirst()
{
    QFETCH(bool, yes);
    QVERIFY(ui->selectPort(kPlainPort));
    ui->boxes.answer = yes ? QMessageBox::Yes : QMessageBox::No;
    ui->click("pushButton_5");
    QCOMPARE(ui->boxes.questions().size(), 1);
    const CaughtBox question = ui->boxes.questions().first();
    QCOMPARE(
        question.text,
        QStringLiteral("即将初始化打印机 Zurod ZT-410 (USB 1-1)。此操作无法撤销。\n\n是否继续？"));
    QCOMPARE(question.buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(question.defaultButton, QMessageBox::No);
    QCOMPARE(receivedFrames(*plain),
             yes ? QStringList{"1B FF FE 00 05 00 1B FE FF"} : QStringList());
    QVERIFY(ui->boxes.boxes().isEmpty());
}

void TestSettingsPages::gateKeepsTheSelectionOnASettingsTab()
{
    auto *tabs = ui->widget<QTabWidget>("tabWidget_2");
    tabs->setCurrentIndex(0);
    ui->list()->addItem("Zurod RM-310 USB001"); // a locked model: the settings tabs go
    ui->list()->setCurrentRow(0);
    QVERIFY(!tabs->isTabEnabled(0));
    QCOMPARE(tabs->currentIndex(), 2);
    QCOMPARE(ui->list()->currentRow(), 0);
    // The printer on port 1 is still the selected one.
    ui->click("pushButton");
    QCOMPARE(ui->boxes.takeOne().text, kSucceeded);
}

QObject *createTestSettingsPages() { return new TestSettingsPages; }

#include "tst_settingspages.moc"
