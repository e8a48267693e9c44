// The printer list follows the cable: printers plugged in and pulled out while the window runs
// come and go as rows by themselves, the selected printer stays selected (or is cleared when it
// leaves), and a printer the tool may not use is listed disabled with the reason.
#include "core/printers/printeraccess.h"
#include "core/printers/printerwatcher.h"
#include "tests/support/usbfixture.h"
#include "tests/support/windowharness.h"

#include <QMessageBox>
#include <QSignalSpy>
#include <QStatusBar>
#include <functional>
#include <memory>

using vprinter::VirtualPrinter;

namespace {


// Waits until the rows are the printers at these paths, in this order.
#define WAIT_FOR_PATHS(...)                                                                        \
    QTRY_COMPARE_WITH_TIMEOUT(paths(), QStringList(__VA_ARGS__), kEventTimeoutMs)

const char *const kWriteButtons[] = {"pushButton_18", "pushButton_14", "pushButton_24",
                                     "pushButton_26", "pushButton_28", "pushButton_32",
                                     "pushButton_30"};

vprinter::PrinterConfig printerAt(const QString &path, std::uint16_t productId = 0x1401,
                                  const char *product = "VS-608K")
{
    vprinter::PrinterConfig config;
    config.sysfsName = path.toStdString();
    config.identity.productId = productId;
    config.identity.product = product;
    return config;
}

// Calls `shown` for every widget about to be shown while it lives.
class OnShow : public QObject
{
public:
    explicit OnShow(std::function<void(QObject *)> shown) : shown_(std::move(shown))
    {
        QCoreApplication::instance()->installEventFilter(this);
    }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show)
            shown_(watched);
        return false;
    }

private:
    std::function<void(QObject *)> shown_;
};

} // namespace

class TestPrinterPlugs : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void rowsFollowPlugs_data();
    void rowsFollowPlugs();
    void selectionSurvivesOtherPrinters();
    void selectedPrinterLeaving();
    void clickFinishesBeforeTheListChanges();
    void unusablePrinterListedDisabled_data();
    void unusablePrinterListedDisabled();

private:
    QStringList paths();
    std::unique_ptr<WindowHarness> ui;
};

void TestPrinterPlugs::init()
{
    ui = std::make_unique<WindowHarness>();
    QVERIFY(ui->window.isFollowingPlugs());
}

void TestPrinterPlugs::cleanup()
{
    verifyNoViolations(ui->usb);
    ui.reset();
}

QStringList TestPrinterPlugs::paths()
{
    QStringList shown;
    for (int row = 0; row < ui->list()->count(); ++row)
        shown << SelectedPrinter::identityOf(ui->list()->item(row)).path();
    return shown;
}

void TestPrinterPlugs::rowsFollowPlugs_data()
{
    // Each step plugs a printer in ("+path"), pulls one out ("-path") or plugs another model in
    // where one was ("~path"); then the rows are expected to be those paths, in that order.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QList<QStringList>>("rows");
    QTest::newRow("plug, unplug") << QStringList{"+1-3", "-1-3"} << QList<QStringList>{{"1-3"}, {}};
    QTest::newRow("re-plug into the same socket")
        << QStringList{"+1-3", "-1-3", "+1-3"} << QList<QStringList>{{"1-3"}, {}, {"1-3"}};
    QTest::newRow("another model where one was")
        << QStringList{"+1-3", "~1-3"} << QList<QStringList>{{"1-3"}, {"1-3"}};
    QTest::newRow("behind a hub, newcomers at the end")
        << QStringList{"+1-5", "+1-2.4", "-1-5", "+1-1"}
        << QList<QStringList>{{"1-5"}, {"1-5", "1-2.4"}, {"1-2.4"}, {"1-2.4", "1-1"}};
}

void TestPrinterPlugs::rowsFollowPlugs()
{
    QFETCH(QStringList, steps);
    QFETCH(QList<QStringList>, rows);
    QMap<QString, VirtualPrinter *> plugged;
    for (int i = 0; i < steps.size(); ++i) {
        const QString path = steps[i].mid(1);
        if (steps[i].startsWith('-') || steps[i].startsWith('~')) {
            ui->usb.unplug(*plugged.take(path));
        }
        if (steps[i].startsWith('+'))
            plugged[path] = &ui->usb.addPrinter(printerAt(path));
        if (steps[i].startsWith('~')) {
            // The row must not linger, or a click would go to the wrong model.
            WAIT_FOR_PATHS(QStringList{});
            plugged[path] = &ui->usb.addPrinter(printerAt(path, 0x0411, "RM-310"));
        }
        WAIT_FOR_PATHS(rows[i]);
    }
    if (steps.last().startsWith('~'))
        QCOMPARE(ui->list()->item(0)->text(), QStringLiteral("Zurod RM-310 USB003"));
    QCOMPARE(ui->boxes.boxes().size(), 0);
}

// Another printer's arrival and departure leave the selected printer selected, and the
// model-support gate does not run again (it would disable the write button a read enabled).
// Nothing already listed is opened again: each printer is opened once, to be listed.
void TestPrinterPlugs::selectionSurvivesOtherPrinters()
{
    VirtualPrinter &selected = ui->usb.addPrinter(printerAt("1-3"));
    WAIT_FOR_PATHS({"1-3"});
    ui->list()->setCurrentRow(0);
    ui->click("pushButton_13"); // read the print settings
    QCOMPARE(ui->boxes.takeOne().text, QStringLiteral("获取成功"));
    QVERIFY(ui->widget<QPushButton>("pushButton_14")->isEnabled());
    const int opensAfterRead = selected.state().opens;

    VirtualPrinter &other = ui->usb.addPrinter(printerAt("1-5", 0x0411, "RM-310"));
    WAIT_FOR_PATHS({"1-3", "1-5"});
    QCOMPARE(other.state().opens, 1);
    ui->usb.unplug(other);
    WAIT_FOR_PATHS({"1-3"});

    QCOMPARE(ui->list()->currentRow(), 0);
    QVERIFY(ui->list()->currentItem()->isSelected());
    QVERIFY(ui->widget<QPushButton>("pushButton_14")->isEnabled());
    QCOMPARE(selected.state().opens, opensAfterRead);
    QCOMPARE(ui->boxes.boxes().size(), 0);
}

void TestPrinterPlugs::selectedPrinterLeaving()
{
    VirtualPrinter &leaving = ui->usb.addPrinter(printerAt("1-3"));
    WAIT_FOR_PATHS({"1-3"});
    ui->usb.addPrinter(printerAt("1-5"));
    WAIT_FOR_PATHS({"1-3", "1-5"});
    ui->list()->setCurrentRow(ui->rowOf("1-3"));
    ui->click("pushButton_13");
    QCOMPARE(ui->boxes.takeOne().text, QStringLiteral("获取成功"));
    QVERIFY(ui->widget<QPushButton>("pushButton_14")->isEnabled());

    ui->usb.unplug(leaving);
    WAIT_FOR_PATHS({"1-5"});
    QCOMPARE(ui->list()->currentRow(), -1);
    QVERIFY(ui->list()->selectedItems().isEmpty());
    for (const char *button : kWriteButtons)
        QVERIFY2(!ui->widget<QPushButton>(button)->isEnabled(), button);
    QCOMPARE(ui->window.statusBar()->currentMessage(),
             QStringLiteral("所选的打印机已断开：Orbeck VS-608K USB003"));
    ui->click("pushButton_13");
    QCOMPARE(ui->boxes.takeOne().text, QStringLiteral("请先选中打印列表中的打印机"));
}

// A printer plugged in while a click shows its result box is listed only after the click.
void TestPrinterPlugs::clickFinishesBeforeTheListChanges()
{
    ui->usb.addPrinter(printerAt("1-3"));
    WAIT_FOR_PATHS({"1-3"});
    ui->list()->setCurrentRow(0);
    auto *watcher = ui->window.findChild<PrinterWatcher *>();
    QVERIFY(watcher);
    QSignalSpy heard(watcher, &PrinterWatcher::devicesChanged);
    QStringList rowsDuringClick;
    // When the click's box shows: plug a printer in and wait until the window has heard of it.
    OnShow inBox([&](QObject *shown) {
        if (!qobject_cast<QMessageBox *>(shown) || !rowsDuringClick.isEmpty())
            return;
        rowsDuringClick << QStringLiteral("box");
        ui->usb.addPrinter(printerAt("1-5"));
        QTRY_VERIFY_WITH_TIMEOUT(heard.count() > 0, kEventTimeoutMs);
        rowsDuringClick << paths();
    });
    ui->click("pushButton_13");
    QCoreApplication::instance()->removeEventFilter(&inBox);
    QCOMPARE(rowsDuringClick, (QStringList{"box", "1-3"}));
    WAIT_FOR_PATHS({"1-3", "1-5"});
    QCOMPARE(ui->list()->currentRow(), 0);
}

void TestPrinterPlugs::unusablePrinterListedDisabled_data()
{
    QTest::addColumn<bool>("byGetList");
    QTest::addColumn<bool>("denied");
    QTest::addColumn<QString>("row");
    QTest::addColumn<int>("boxes");
    for (bool byGetList : {true, false}) {
        const char *how = byGetList ? "Get list" : "plugged in";
        QTest::addRow("no permission, %s", how)
            << byGetList << true << "Orbeck VS-608K USB005 - 没有打开权限" << 1;
        QTest::addRow("in use, %s", how)
            << byGetList << false << "Orbeck VS-608K USB005 - 正被其他程序使用" << 0;
    }
}

void TestPrinterPlugs::unusablePrinterListedDisabled()
{
    QFETCH(bool, byGetList);
    QFETCH(bool, denied);
    QFETCH(QString, row);
    QFETCH(int, boxes);
    ui->usb.addPrinter(printerAt("1-3"));
    if (!byGetList)
        WAIT_FOR_PATHS({"1-3"});
    vprinter::PrinterConfig config = printerAt("1-5");
    (denied ? config.denied : config.busy) = true;
    ui->usb.addPrinter(config);
    if (byGetList)
        ui->getList();
    QTRY_COMPARE_WITH_TIMEOUT(ui->list()->count(), 2, kEventTimeoutMs);
    QVERIFY(ui->rowOf("1-5") >= 0);
    QListWidgetItem *item = ui->list()->item(ui->rowOf("1-5"));
    QCOMPARE(item->text(), row);
    QVERIFY(!(item->flags() & Qt::ItemIsEnabled));
    QVERIFY(!(item->flags() & Qt::ItemIsSelectable));
    QTest::mouseClick(ui->list()->viewport(), Qt::LeftButton, {},
                      ui->list()->visualItemRect(item).center());
    QVERIFY(!item->isSelected());
    QVERIFY(ui->list()->currentItem() != item);

    // The remedy once: not again for a second printer without permission, nor after Get list.
    vprinter::PrinterConfig second = printerAt("1-6");
    (denied ? second.denied : second.busy) = true;
    ui->usb.addPrinter(second);
    QTRY_COMPARE_WITH_TIMEOUT(ui->list()->count(), 3, kEventTimeoutMs);
    ui->getList();
    QTRY_VERIFY(ui->boxes.boxes().size() >= boxes);
    QCOMPARE(ui->boxes.boxes().size(), boxes);
    if (boxes) {
        const QString text = ui->boxes.boxes().first().text;
        QVERIFY2(text.contains(row), qPrintable(text));
        QVERIFY2(text.contains(printeraccess::remedy(printeraccess::thisSystem())),
                 qPrintable(text));
    }
    // The ready printer still works.
    ui->list()->setCurrentRow(ui->rowOf("1-3"));
    ui->click("pushButton_13");
    QCOMPARE(ui->boxes.boxes().last().text, QStringLiteral("获取成功"));
}

QObject *createTestPrinterPlugs() { return new TestPrinterPlugs; }

#include "tst_printerplugs.moc"
