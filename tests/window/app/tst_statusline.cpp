// The status bar after the selected printer was pulled out: it says so, and then names the next
// printer selected, or nothing after Get list, rather than keeping the old news for good.
#include "tests/support/usbfixture.h"
#include "tests/support/windowharness.h"

#include <QLabel>
#include <QStatusBar>
#include <memory>

using vprinter::VirtualPrinter;

namespace {

vprinter::PrinterConfig printerAt(const char *path)
{
    vprinter::PrinterConfig config;
    config.sysfsName = path;
    config.identity.productId = 0x1401;
    config.identity.product = "VS-608K";
    return config;
}

const QString kLeft = QStringLiteral("所选的打印机已断开：Orbeck VS-608K USB003");

} // namespace

class TestStatusLine : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void afterAnUnplug_data();
    void afterAnUnplug();

private:
    // What the status bar shows: its message while it has one, else the selected printer's line.
    QString shown();
    std::unique_ptr<WindowHarness> ui;
};

void TestStatusLine::init() { ui = std::make_unique<WindowHarness>(); }

void TestStatusLine::cleanup()
{
    verifyNoViolations(ui->usb);
    ui.reset();
}

QString TestStatusLine::shown()
{
    QStatusBar *bar = ui->window.statusBar();
    if (!bar->currentMessage().isEmpty())
        return bar->currentMessage();
    auto *line = ui->window.findChild<QLabel *>("printerLine");
    return line && line->isVisible() ? line->text() : QString();
}

void TestStatusLine::afterAnUnplug_data()
{
    QTest::addColumn<QString>("next"); // what the user does after the unplug
    QTest::addColumn<QString>("shown");
    QTest::newRow("selects another printer") << "select"
                                             << "已选打印机：Orbeck VS-608K，USB路径 1-5";
    QTest::newRow("selects it and reads its information")
        << "select and read"
        << "已选打印机：Orbeck VS-608K，USB路径 1-5，版本 V2.3.1 20240315";
    QTest::newRow("presses Get list") << "get list"
                                      << "";
    QTest::newRow("presses Get list, then selects") << "get list and select"
                                                    << "已选打印机：Orbeck VS-608K，USB路径 1-5";
    QTest::newRow("does nothing") << "" << kLeft;
}

void TestStatusLine::afterAnUnplug()
{
    QFETCH(QString, next);
    QFETCH(QString, shown);
    ui->window.show();
    VirtualPrinter &leaving = ui->usb.addPrinter(printerAt("1-3"));
    ui->usb.addPrinter(printerAt("1-5"));
    QTRY_COMPARE_WITH_TIMEOUT(ui->list()->count(), 2, kEventTimeoutMs);
    ui->list()->setCurrentRow(ui->rowOf("1-3"));
    QCOMPARE(this->shown(), QStringLiteral("已选打印机：Orbeck VS-608K，USB路径 1-3"));

    ui->usb.unplug(leaving);
    QTRY_COMPARE_WITH_TIMEOUT(ui->list()->count(), 1, kEventTimeoutMs);
    QCOMPARE(this->shown(), kLeft);

    if (next.contains("get list"))
        ui->getList();
    if (next.contains("select"))
        ui->list()->setCurrentRow(ui->rowOf("1-5"));
    if (next.contains("read")) {
        ui->click("pushButton"); // the printer's information
        ui->boxes.takeOne();
    }
    QCOMPARE(this->shown(), shown);
}

QObject *createTestStatusLine() { return new TestStatusLine; }
#include "tst_statusline.moc"
