// Two printers of one model on equal port numbers behind different hubs: every row and every
// click reaches its own printer, and a page's values go back only to the printer they were read
// from, however the current row changed.
#include "tests/support/usbfixture.h"
#include "tests/support/windowharness.h"

#include <QItemSelectionModel>
#include <QTabWidget>
#include <memory>

using vprinter::VirtualPrinter;

namespace {

const QString kHubbed = QStringLiteral("1-2.4");
const QString kRoot = QStringLiteral("1-4");
const QString kReadFirst = QStringLiteral("请先从所选打印机读取此页面，再写入。");
const QString kSelectFirst = QStringLiteral("请先选中打印列表中的打印机");
const QString kNotConnected = QStringLiteral("请确保打印机已通过usb进行连接");

} // namespace

class TestPrinterIdentity : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void eachRowReachesItsPrinter();
    void writeGoesOnlyWhereTheValuesCameFrom_data();
    void writeGoesOnlyWhereTheValuesCameFrom();

private:
    std::unique_ptr<WindowHarness> ui;
    VirtualPrinter *hubbed = nullptr;
    VirtualPrinter *root = nullptr;
};

void TestPrinterIdentity::init()
{
    ui = std::make_unique<WindowHarness>();
    for (const QString &path : {kHubbed, kRoot}) {
        vprinter::PrinterConfig config;
        config.sysfsName = path.toStdString();
        config.identity.productId = 0x1401;
        config.identity.product = "VS-608K";
        (path == kHubbed ? hubbed : root) = &ui->usb.addPrinter(config);
    }
    ui->getList();
}

void TestPrinterIdentity::cleanup()
{
    verifyNoViolations(ui->usb);
    ui.reset();
}

void TestPrinterIdentity::eachRowReachesItsPrinter()
{
    QCOMPARE(ui->list()->count(), 2);
    for (const QString &path : {kHubbed, kRoot}) {
        const int row = ui->rowOf(path);
        QVERIFY(row >= 0);
        const QListWidgetItem *item = ui->list()->item(row);
        QCOMPARE(item->text(), QStringLiteral("Orbeck VS-608K USB004 (%1)").arg(path));
        QVERIFY2(item->toolTip().contains(path.mid(2)), qPrintable(item->toolTip()));

        VirtualPrinter *mine = path == kHubbed ? hubbed : root;
        VirtualPrinter *other = path == kHubbed ? root : hubbed;
        mine->clearLogs();
        other->clearLogs();
        ui->list()->setCurrentRow(row);
        ui->click("pushButton_13");
        ui->click("pushButton_14");
        ui->click("pushButton_27");
        QCOMPARE(ui->boxes.boxes().size(), 3);
        ui->boxes.clear();
        QVERIFY(!setFrames(*mine).isEmpty());
        QVERIFY(receivedFrames(*other).isEmpty());
        // The serial number shown is this printer's own.
        QCOMPARE(ui->text("lineEdit_8"),
                 path == kHubbed ? QStringLiteral("ZR311P2P4") : QStringLiteral("ZR311P4"));
    }
}

void TestPrinterIdentity::writeGoesOnlyWhereTheValuesCameFrom_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("box");
    QTest::newRow("keyboard makes the other row current") << "keyboard" << kReadFirst;
    QTest::newRow("get list, then the other row by keyboard") << "list+keyboard" << kReadFirst;
    QTest::newRow("tab switch, then the other row by keyboard") << "tab+keyboard" << kReadFirst;
    QTest::newRow("get list leaves no printer current") << "list" << kSelectFirst;
    QTest::newRow("printer read from unplugged") << "unplug" << kNotConnected;
    QTest::newRow("unplugged, listed anew, the other row by keyboard")
        << "unplug+list+keyboard" << kReadFirst;
}

void TestPrinterIdentity::writeGoesOnlyWhereTheValuesCameFrom()
{
    QFETCH(QString, change);
    QFETCH(QString, box);
    ui->list()->setCurrentRow(ui->rowOf(kHubbed));
    ui->click("pushButton_13");
    ui->widget<QLineEdit>("lineEdit_49")->setText("VS-608K"); // as a read of the panel shows it
    QCOMPARE(ui->boxes.boxes().size(), 1);
    ui->boxes.clear();

    if (change.startsWith("unplug"))
        ui->usb.unplug(*hubbed);
    if (change.contains("list"))
        ui->getList();
    if (change.startsWith("tab"))
        ui->widget<QTabWidget>("tabWidget_2")->setCurrentIndex(1);
    if (change.endsWith("keyboard")) {
        // Current without being selected: the model-support gate does not run.
        ui->list()->setCurrentRow(ui->rowOf(kRoot), QItemSelectionModel::NoUpdate);
        QCOMPARE(ui->text("lineEdit_49"), QString()); // nothing of the other printer on show
    }
    hubbed->clearLogs();
    root->clearLogs();
    QVERIFY(ui->widget<QPushButton>("pushButton_14")->isEnabled());
    ui->click("pushButton_14");
    QCOMPARE(ui->boxes.takeOne().text, box);
    QVERIFY(receivedFrames(*root).isEmpty());
    QVERIFY(setFrames(*hubbed).isEmpty());
}

#include "tst_printeridentity.moc"
QObject *createTestPrinterIdentity() { return new TestPrinterIdentity; }
