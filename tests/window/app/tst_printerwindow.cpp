// The window's first round trips with virtual printers: printer information, printer status,
// the model-support gate and the slot skeleton.
#include "tests/support/usbfixture.h"
#include "tests/support/windowharness.h"

#include <QComboBox>
#include <QLabel>
#include <QTabWidget>
#include <QToolBox>
#include <memory>

using vprinter::Bytes;
using vprinter::Faults;
using vprinter::VirtualPrinter;

namespace {

const QString kTitle = QStringLiteral("设置工具");
const QString kSucceeded = QStringLiteral("获取成功");
const QString kNotConnected = QStringLiteral("请确保打印机已通过usb进行连接");
const QString kInfoNotConnected = QStringLiteral("请确保打印机已通过USB进行连接");
const QString kSelectFirst = QStringLiteral("请先选中打印列表中的打印机");

// Whether the widget itself is enabled, whatever its tab's state.
bool ownEnabled(const QWidget *w) { return !w->testAttribute(Qt::WA_ForceDisabled); }

QStringList comboItems(QComboBox *combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

} // namespace

class TestPrinterWindow : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void information_data();
    void information();
    void informationQueryFails_data();
    void informationQueryFails();

    void status_data();
    void status();

    void gate_data();
    void gate();
    void gateRestoresEthernetTitle();
    void gateIgnoresClearedList();
    void gateFromTheRealList();

    void printerUnpluggedAfterGetList_data();
    void printerUnpluggedAfterGetList();
    void tabSwitchThenClick();

private:
    std::unique_ptr<WindowHarness> ui;
};

void TestPrinterWindow::init() { ui = std::make_unique<WindowHarness>(); }

void TestPrinterWindow::cleanup()
{
    verifyNoViolations(ui->usb);
    ui.reset();
}

void TestPrinterWindow::information_data()
{
    QTest::addColumn<QByteArray>("version");
    QTest::addColumn<QByteArray>("resolution");
    QTest::addColumn<QByteArray>("identification");
    QTest::addColumn<QString>("shownVersion");
    QTest::addColumn<QString>("shownResolution");
    QTest::addColumn<QString>("shownWidth");
    QTest::addColumn<QString>("shownModel");
    const QByteArray five("AA\0RM-310\0BB\0DD\0EE\0", 19);
    QTest::newRow("203 dpi, 1600 dots")
        << QByteArray("V1.0\0", 5) << QByteArray::fromHex("CB004006") << five << "V1.0"
        << "203"
        << "200"
        << "RM-310";
    QTest::newRow("width 1607 dots drops the remainder")
        << QByteArray("V1.0\0", 5) << QByteArray::fromHex("2C014706") << five << "V1.0"
        << "300"
        << "200"
        << "RM-310";
    QTest::newRow("only two texts") << QByteArray("V1.0\0", 5) << QByteArray::fromHex("CB004006")
                                    << QByteArray("AA\0RM-310\0", 10) << "V1.0"
                                    << "203"
                                    << "200"
                                    << "RM-310";
    QTest::newRow("255-byte version without NUL")
        << QByteArray(255, 'v') << QByteArray::fromHex("CB004006") << five << QString(255, 'v')
        << "203"
        << "200"
        << "RM-310";
    QTest::newRow("empty identification")
        << QByteArray("V1.0\0", 5) << QByteArray::fromHex("CB004006") << QByteArray() << "V1.0"
        << "203"
        << "200"
        << "";
}

void TestPrinterWindow::information()
{
    QFETCH(QByteArray, version);
    QFETCH(QByteArray, resolution);
    QFETCH(QByteArray, identification);
    QFETCH(QString, shownVersion);
    QFETCH(QString, shownResolution);
    QFETCH(QString, shownWidth);
    QFETCH(QString, shownModel);
    VirtualPrinter &vp = ui->usb.addPrinter(0x0411, "RM-310", 1);
    vp.withModel([&](vprinter::PrinterModel &m) {
        m.setStatusInfo(0x04, toBytes(version));
        m.setStatusInfo(0x0B, toBytes(resolution));
        m.setSetting(0x0C, toBytes(identification));
    });
    ui->widget<QLineEdit>("lineEdit_49")->setText("old");
    QVERIFY(ui->selectPort(1));
    ui->click("pushButton");

    const CaughtBox box = ui->boxes.takeOne();
    QCOMPARE(box.title, kTitle);
    QCOMPARE(box.text, kSucceeded);
    QCOMPARE(box.icon, QMessageBox::Information);
    QCOMPARE(receivedFrames(vp),
             (QStringList{"1B FF FE 00 04 00 1B FE FF", "1B FF FE 00 0B 00 1B FE FF",
                          "1B FF FE 02 0C 00 1B FE FF"}));
    QCOMPARE(ui->text("lineEdit_32"), shownVersion);
    QCOMPARE(ui->text("lineEdit"), shownResolution);
    QCOMPARE(ui->text("lineEdit_2"), shownWidth);
    QCOMPARE(ui->text("lineEdit_49"), shownModel);
}

void TestPrinterWindow::informationQueryFails_data()
{
    // The printer fails the n-th of the three queries (version, resolution, model).
    QTest::addColumn<int>("failingQuery");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QStringList>("unchanged");
    QTest::newRow("version query") << 1 << "failNextWrite" << QStringList{"lineEdit_32"};
    QTest::newRow("resolution query")
        << 2 << "failNextWrite" << QStringList{"lineEdit", "lineEdit_2"};
    QTest::newRow("model query") << 3 << "failNextWrite" << QStringList{"lineEdit_49"};
    QTest::newRow("version reply cut to 6 bytes")
        << 1 << "cutRepliesTo=6" << QStringList{"lineEdit_32"};
    QTest::newRow("resolution reply cut in its payload")
        << 2 << "cutRepliesTo=8" << QStringList{"lineEdit", "lineEdit_2"};
    QTest::newRow("model reply cut to 4 bytes")
        << 3 << "cutRepliesTo=4" << QStringList{"lineEdit_49"};
}

void TestPrinterWindow::informationQueryFails()
{
    QFETCH(int, failingQuery);
    QFETCH(QString, fault);
    QFETCH(QStringList, unchanged);
    VirtualPrinter &vp = ui->usb.addPrinter(0x0411, "RM-310", 1);
    vp.setVersion("V9");
    const QStringList fields = {"lineEdit_32", "lineEdit", "lineEdit_2", "lineEdit_49"};
    QVERIFY(ui->selectPort(1));
    for (const QString &field : fields)
        ui->widget<QLineEdit>(qPrintable(field))->setText("old");

    vp.setFaultsForExchange(failingQuery, faultNamed(fault));
    ui->click("pushButton");

    QCOMPARE(ui->boxes.takeOne().text, kInfoNotConnected);
    for (const QString &field : fields) {
        if (unchanged.contains(field))
            QCOMPARE(ui->text(qPrintable(field)), QStringLiteral("old"));
        else
            QVERIFY2(ui->text(qPrintable(field)) != "old", qPrintable(field));
    }
}

void TestPrinterWindow::status_data()
{
    QTest::addColumn<uint>("word");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("text");
    QTest::newRow("idle") << 0u << ""
                          << "空闲中";
    QTest::newRow("printing") << 0x0001u << ""
                              << "打印中\n";
    QTest::newRow("paper out, cover open") << 0x0082u << ""
                                           << "缺纸\n开盖\n";
    QTest::newRow("paper out, job deleted") << 0x4002u << ""
                                            << "缺纸\n打印删除\n";
    QTest::newRow("only bits 15 to 31") << 0xFFFF8000u << ""
                                        << "空闲中";
    // Bytes the printer does not send count as zero: bits 0 to 14 are in the first two.
    QTest::newRow("two-byte answer") << 0x00084002u << "shortStatus"
                                     << "缺纸\n打印删除\n";
    QTest::newRow("nothing arrives") << 0x0001u << "cutRepliesTo=0" << kNotConnected;
    QTest::newRow("request stalls") << 0x0001u << "stallStatus" << kNotConnected;
}

void TestPrinterWindow::status()
{
    QFETCH(uint, word);
    QFETCH(QString, fault);
    QFETCH(QString, text);
    VirtualPrinter &vp = ui->usb.addPrinter(0x1401, "VS-608K", 3);
    vp.setStatusWord(word);
    vp.setFaults(faultNamed(fault));
    QVERIFY(ui->selectPort(3));
    ui->click("pushButton_15");

    const CaughtBox box = ui->boxes.takeOne();
    QCOMPARE(box.title, kTitle);
    QCOMPARE(box.text, text);
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    // The status travels in a control request: no frame, no claimed interface.
    QVERIFY(vp.bulkOutLog().empty());
    QCOMPARE(vp.state().claims, 0);
    QVERIFY(vp.state().statusRequests >= 1);
}

void TestPrinterWindow::gate_data()
{
    QTest::addColumn<QString>("row");
    QTest::addColumn<bool>("locked");
    QTest::addColumn<bool>("extended");
    for (const char *model :
         {"Zurod RM-310 ", "Vantrell RM-320 ", "Zurod RM-320 ", "Vantrell RM-310 "})
        QTest::addRow("locked %s", model) << QString(model) + "USB001" << true << false;
    for (const char *model :
         {"Zurod RW-604K ", "Vantrell RW-604K ", "Orbeck VS-608K ", "H&J HJ-WK650 ",
          "DVN DN816QX PRO ", "DVN DN810QX PRO ", "Orbeck OB-K900 "})
        QTest::addRow("extended %s", model) << QString(model) + "USB003" << false << true;
    QTest::newRow("letter case differs") << "zurod RM-310 USB001" << false << false;
    QTest::newRow("extended, letter case differs") << "Orbeck vs-608K USB001" << false << false;
    QTest::newRow("no USB in the row") << "Zurod RM-310 " << false << false;
    QTest::newRow("unlisted model") << "DVN DN900 USB002" << false << false;
    QTest::newRow("no product string") << "Zurod  USB001" << false << false;
}

void TestPrinterWindow::gate()
{
    QFETCH(QString, row);
    QFETCH(bool, locked);
    QFETCH(bool, extended);
    auto *tabs = ui->widget<QTabWidget>("tabWidget_2");
    auto *toolBox = ui->widget<QToolBox>("toolBox");
    auto *speed = ui->widget<QComboBox>("comboBox");
    // The distance page's write button too: values read from one printer are not written to
    // another by mistake.
    const char *writeButtons[] = {"pushButton_18", "pushButton_14", "pushButton_24",
                                  "pushButton_26", "pushButton_28", "pushButton_32",
                                  "pushButton_30"};
    for (const char *b : writeButtons)
        ui->widget<QPushButton>(b)->setEnabled(true);

    ui->list()->addItem(row);
    ui->list()->setCurrentRow(0);

    QCOMPARE(tabs->isTabEnabled(0), !locked);
    QCOMPARE(tabs->isTabEnabled(1), !locked);
    QVERIFY(tabs->isTabEnabled(2));
    QCOMPARE(ui->widget<QPushButton>("pushButton_35")->isEnabled(), !locked);
    QVERIFY(ui->widget<QPushButton>("pushButton_34")->isEnabled());
    QCOMPARE(toolBox->isItemEnabled(5), extended);
    QCOMPARE(toolBox->itemText(5),
             extended ? QStringLiteral("网口设置") : QStringLiteral("此机型不支持此功能"));
    QCOMPARE(ui->widget<QComboBox>("comboBox_9")->isEnabled(), extended);
    QCOMPARE(ui->widget<QLabel>("label_41")->isEnabled(), extended);
    const QStringList speeds = extended ? QStringList{"0", "1", "2", "3", "4", "5", "6", "7"}
                                        : QStringList{"0", "1", "2", "3"};
    QCOMPARE(comboItems(speed), speeds);
    QCOMPARE(speed->currentIndex(), 0);
    for (const char *b : writeButtons)
        QVERIFY2(!ownEnabled(ui->widget<QPushButton>(b)), b);
    QVERIFY(ui->boxes.boxes().isEmpty());
}

void TestPrinterWindow::gateRestoresEthernetTitle()
{
    auto *toolBox = ui->widget<QToolBox>("toolBox");
    ui->list()->addItems({"Orbeck VS-608K USB003", "Zurod RM-310 USB001"});
    for (int row : {0, 1, 0}) {
        ui->list()->setCurrentRow(row);
        const bool extended = row == 0;
        QCOMPARE(toolBox->itemText(5),
                 extended ? QStringLiteral("网口设置") : QStringLiteral("此机型不支持此功能"));
        QCOMPARE(toolBox->isItemEnabled(5), extended);
        QCOMPARE(ui->widget<QTabWidget>("tabWidget_2")->isTabEnabled(0), extended);
        QCOMPARE(ui->widget<QComboBox>("comboBox")->count(), extended ? 8 : 4);
    }
}

void TestPrinterWindow::gateIgnoresClearedList()
{
    ui->list()->addItem("Zurod RM-310 USB001");
    ui->list()->setCurrentRow(0);
    ui->widget<QPushButton>("pushButton_14")->setEnabled(true);
    ui->list()->clear();
    // Nothing is recomputed without a current row.
    QVERIFY(ownEnabled(ui->widget<QPushButton>("pushButton_14")));
    QVERIFY(!ui->widget<QTabWidget>("tabWidget_2")->isTabEnabled(0));
    QCOMPARE(ui->widget<QComboBox>("comboBox")->count(), 4);
}

void TestPrinterWindow::gateFromTheRealList()
{
    ui->usb.addPrinter(0x1401, "VS-608K", 3);
    QVERIFY(ui->selectPort(3));
    QCOMPARE(ui->list()->currentItem()->text(), QStringLiteral("Orbeck VS-608K USB003"));
    QVERIFY(ui->widget<QToolBox>("toolBox")->isItemEnabled(5));
    QCOMPARE(ui->widget<QComboBox>("comboBox")->count(), 8);
}

void TestPrinterWindow::printerUnpluggedAfterGetList_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("information") << "pushButton";
    QTest::newRow("status") << "pushButton_15";
}

void TestPrinterWindow::printerUnpluggedAfterGetList()
{
    QFETCH(QString, button);
    VirtualPrinter &vp = ui->usb.addPrinter(0x1401, "VS-608K", 3);
    QVERIFY(ui->selectPort(3));
    ui->usb.unplug(vp);
    ui->click(qPrintable(button));
    const CaughtBox box = ui->boxes.takeOne();
    QCOMPARE(box.text, kNotConnected);
    QVERIFY(vp.bulkOutLog().empty());
}

void TestPrinterWindow::tabSwitchThenClick()
{
    VirtualPrinter &vp = ui->usb.addPrinter(0x1401, "VS-608K", 3);
    QVERIFY(ui->selectPort(3));
    const int opens = vp.state().opens;
    ui->widget<QTabWidget>("tabWidget_2")->setCurrentIndex(1);
    ui->click("pushButton_15");
    QCOMPARE(ui->boxes.takeOne().text, kSelectFirst);
    QCOMPARE(vp.state().opens, opens);
}

#include "tst_printerwindow.moc"
QObject *createTestPrinterWindow() { return new TestPrinterWindow; }
