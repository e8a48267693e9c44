// The window's apply to every printer of a model against virtual printers in every state a bench
// meets: which printers it asks about, what it says became of each, its summary, and which
// printers received set frames.
#include "core/profiles/snapshot.h"
#include "core/usb/deviceioopera.h"
#include "tests/support/filedialogdriver.h"
#include "tests/support/usbfixture.h"
#include "tests/support/windowharness.h"

#include <QAction>
#include <QTemporaryDir>
#include <algorithm>
#include <memory>

using vprinter::VirtualPrinter;

namespace {

// The printer under test, on port 3, beside a printer on port 5 that holds the profile already.
enum class Subject { Factory, HoldsIt, KeepsSpeed, FailsMidway, Silent, NoAccess, OtherModel };

// The number of frames a read of every page of the printer at `path` sends.
int framesOfAFullRead(VirtualPrinter &printer, const QString &path)
{
    PrinterHandle handle;
    if (CDeviceIOOpera::GetPrinterHandle(*PrinterIdentity::parse(path), &handle) != 0)
        return -1;
    printer.clearLogs();
    const profile::Snapshot snapshot =
        profile::readSnapshot(&handle, ModelKey::named(QStringLiteral("Orbeck VS-608K")),
                              profile::Version::Skip);
    CDeviceIOOpera::ClosePrinterHandle(&handle);
    const int frames = int(printer.bulkOutLog().size());
    printer.clearLogs();
    return snapshot.complete() ? frames : -1;
}

} // namespace

Q_DECLARE_METATYPE(Subject)

class TestApplyToAll : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void saysWhatBecameOfEachPrinter_data();
    void saysWhatBecameOfEachPrinter();

private:
    std::unique_ptr<WindowHarness> ui;
    VirtualPrinter *holder = nullptr;
    QTemporaryDir dir;
};

void TestApplyToAll::init()
{
    ui = std::make_unique<WindowHarness>();
    holder = &ui->usb.addPrinter(0x1401, "VS-608K", 5);
    holder->setSetting(0x00, {0x05}); // speed 5
    QVERIFY(QDir(dir.path()).removeRecursively() && QDir().mkpath(dir.path()));
}

void TestApplyToAll::cleanup()
{
    verifyNoViolations(ui->usb);
    ui.reset();
}

void TestApplyToAll::saysWhatBecameOfEachPrinter_data()
{
    QTest::addColumn<Subject>("subject");
    QTest::addColumn<QStringList>("lines"); // the subject's lines; none for another model
    QTest::addColumn<QString>("summary");
    QTest::addColumn<bool>("written");
    // Only the pages that differ are written, each read back.
    QTest::newRow("written and verified")
        << Subject::Factory << QStringList{"1-3  ZR311P3  已写入 1 个页面  已写入并核对"}
        << "2 台打印机：1 台已写入并核对，1 台未改变" << true;
    QTest::newRow("unchanged") << Subject::HoldsIt
                               << QStringList{"1-3  ZR311P3  已写入 0 个页面  未改变"}
                               << "2 台打印机：2 台未改变" << false;
    QTest::newRow("not kept") << Subject::KeepsSpeed
                              << QStringList{"1-3  ZR311P3  已写入 1 个页面  写入的值未被保存",
                                             "    print speed：写入 5，打印机保存的是 2",
                                             "    distance：未改变",
                                             "    serial：未改变",
                                             "    wifi：未改变",
                                             "    bluetooth：未改变",
                                             "    wifi-ip：未改变",
                                             "    ethernet：未改变"}
                              << "2 台打印机：1 台未改变，1 台写入的值未被保存" << true;
    QTest::newRow("failed mid-way") << Subject::FailsMidway
                                    << QStringList{"1-3  ZR311P3  已写入 0 个页面  失败",
                                                   "    print：失败：请确保打印机已通过usb进行连接",
                                                   "    distance：未改变",
                                                   "    serial：未改变",
                                                   "    wifi：未改变",
                                                   "    bluetooth：未改变",
                                                   "    wifi-ip：未改变",
                                                   "    ethernet：未改变"}
                                    << "2 台打印机：1 台未改变，1 台失败" << true;
    QTest::newRow("not answering")
        << Subject::Silent << QStringList{"1-3    已写入 0 个页面  失败", "    打印机没有应答"}
        << "2 台打印机：1 台未改变，1 台失败" << false;
    QTest::newRow("no access") << Subject::NoAccess
                               << QStringList{"1-3    已写入 0 个页面  跳过：没有打开权限"}
                               << "2 台打印机：1 台未改变，1 台跳过" << false;
    QTest::newRow("other model") << Subject::OtherModel << QStringList() << "1 台打印机：1 台未改变"
                                 << false;
}

void TestApplyToAll::saysWhatBecameOfEachPrinter()
{
    QFETCH(Subject, subject);
    QFETCH(QStringList, lines);
    QFETCH(QString, summary);
    QFETCH(bool, written);
    const QString path = dir.filePath("fleet.json");
    {
        QVERIFY(ui->selectPort(5));
        FileDialogDriver driver(path);
        ui->window.findChild<QAction *>("actionSaveProfile")->trigger();
        QVERIFY(QFileInfo::exists(path));
        ui->boxes.clear();
    }
    VirtualPrinter *printer = nullptr;
    if (subject == Subject::OtherModel) {
        printer = &ui->usb.addPrinter(0x0411, "RM-310", 3);
    } else {
        vprinter::PrinterConfig config;
        config.sysfsName = "1-3";
        config.identity.productId = 0x1401;
        config.identity.product = "VS-608K";
        printer = &ui->usb.addPrinter(config);
    }
    vprinter::Faults faults;
    if (subject == Subject::HoldsIt) {
        printer->setSetting(0x00, {0x05});
    } else if (subject == Subject::KeepsSpeed) {
        faults.keepOldValueOf = 0x00;
    } else if (subject == Subject::FailsMidway) {
        // Every page read, then the first set frame fails.
        const int reads = framesOfAFullRead(*printer, "1-3");
        QVERIFY(reads > 0);
        faults.failNextWrite = true;
        faults.writesBeforeFailure = reads;
    } else if (subject == Subject::Silent) {
        faults.neverAnswer = true;
    } else if (subject == Subject::NoAccess) {
        faults.refuseOpen = true;
    }
    printer->setFaults(faults);
    ui->getList();
    ui->boxes.clear(); // the list's own notice of a printer it may not open
    holder->clearLogs();

    FileDialogDriver files(path);
    ui->boxes.answer = QMessageBox::Yes;
    ui->window.findChild<QAction *>("actionApplyProfileToModel")->trigger();

    // Asked about the printers it can use only; one it cannot is named with the reason.
    QCOMPARE(ui->boxes.questions().size(), 1);
    const QString question = ui->boxes.questions().first().text;
    const bool asked = subject != Subject::NoAccess && subject != Subject::OtherModel;
    QVERIFY2(question.contains(asked ? "写入这 2 台" : "写入这 1 台"), qPrintable(question));
    QCOMPARE(question.contains("\n1-3\n") || question.contains("\n1-3\n\n"), asked);
    QCOMPARE(question.contains("跳过这 1 台：\n1-3（跳过：没有打开权限）"),
             subject == Subject::NoAccess);

    // The result; the list may say again, when it follows the plug, which printer it may not open.
    QList<CaughtBox> boxes = ui->boxes.boxes();
    boxes.erase(
        std::remove_if(boxes.begin(), boxes.end(),
                       [](const CaughtBox &b) { return b.text.startsWith("没有权限打开"); }),
        boxes.end());
    ui->boxes.clear();
    QCOMPARE(boxes.size(), 1);
    const CaughtBox result = boxes.first();
    QStringList shown = result.text.split('\n');
    QCOMPARE(shown.takeLast(), summary);
    QCOMPARE(shown.removeAll("1-5  ZR311P5  已写入 0 个页面  未改变"), 1);
    QCOMPARE(shown, lines);
    const bool ok = summary.endsWith("未改变") || summary.endsWith("已写入并核对，1 台未改变");
    QCOMPARE(result.icon, ok ? QMessageBox::Information : QMessageBox::Warning);
    QCOMPARE(!setFrames(*printer).isEmpty(), written);
    QVERIFY(setFrames(*holder).isEmpty());
    if (subject == Subject::Silent) // one query tried, and nothing more
        QCOMPARE(receivedFrames(*printer).size(), 1);
    if (subject == Subject::OtherModel)
        QVERIFY(receivedFrames(*printer).isEmpty());
}

QObject *createTestApplyToAll() { return new TestApplyToAll; }
#include "tst_applytoall.moc"
