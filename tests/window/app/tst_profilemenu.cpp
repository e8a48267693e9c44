// The profile menu against virtual printers: a printer's settings saved to a private file,
// compared with a profile in a table, and a profile applied to the selected printer or to every
// listed printer of its model, writing only the pages that differ and reading each back.
#include "core/printers/modelkey.h"
#include "core/settings/settingspage.h"
#include "core/usb/deviceioopera.h"
#include "tests/support/filedialogdriver.h"
#include "tests/support/tabledriver.h"
#include "tests/support/usbfixture.h"
#include "tests/support/windowharness.h"

#include <QAction>
#include <QDialog>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QTableWidget>
#include <QTemporaryDir>
#include <memory>
#include <sys/stat.h>

using vprinter::VirtualPrinter;

namespace {

int modeOf(const QString &path)
{
    struct stat status = {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? int(status.st_mode & 07777)
                                                                     : -1;
}

} // namespace

class TestProfileMenu : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void savesTheSelectedPrinter();
    void comparesWithAProfile_data();
    void comparesWithAProfile();
    void appliesOnlyWhatDiffers_data();
    void appliesOnlyWhatDiffers();
    void appliesToEveryPrinterOfTheModel();

private:
    // Saves the printer on `port` through the menu; false when no file was written.
    bool save(int port, const QString &path);
    void trigger(const char *action);
    // The frames a write of the page, as read from the printer at `path`, sends.
    QList<QByteArray> pageFrames(const QString &path, const QString &page);

    std::unique_ptr<WindowHarness> ui;
    VirtualPrinter *first = nullptr;  // VS-608K on port 3
    VirtualPrinter *second = nullptr; // VS-608K on port 5
    VirtualPrinter *other = nullptr;  // RM-310 on port 1
    QTemporaryDir dir;
};

void TestProfileMenu::init()
{
    ui = std::make_unique<WindowHarness>();
    first = &ui->usb.addPrinter(0x1401, "VS-608K", 3);
    second = &ui->usb.addPrinter(0x1401, "VS-608K", 5);
    other = &ui->usb.addPrinter(0x0411, "RM-310", 1);
    QVERIFY(QDir(dir.path()).removeRecursively() && QDir().mkpath(dir.path()));
}

void TestProfileMenu::cleanup()
{
    verifyNoViolations(ui->usb);
    ui.reset();
}

void TestProfileMenu::trigger(const char *action)
{
    QAction *a = ui->window.findChild<QAction *>(QString::fromLatin1(action));
    QVERIFY2(a, action);
    a->trigger();
}

bool TestProfileMenu::save(int port, const QString &path)
{
    if (!ui->selectPort(port))
        return false;
    FileDialogDriver driver(path);
    trigger("actionSaveProfile");
    ui->boxes.clear();
    return QFileInfo::exists(path);
}

QList<QByteArray> TestProfileMenu::pageFrames(const QString &path, const QString &name)
{
    const int row = ui->rowOf(path);
    std::unique_ptr<pages::SettingsPage> page =
        pages::pageNamed(name, ModelKey::ofRow(ui->list()->item(row)->text()));
    PrinterHandle handle;
    if (!page || CDeviceIOOpera::GetPrinterHandle(*PrinterIdentity::parse(path), &handle) != 0)
        return {};
    const int read = page->read(&handle);
    CDeviceIOOpera::ClosePrinterHandle(&handle);
    return read == 0 ? pages::framesOf(*page) : QList<QByteArray>();
}

void TestProfileMenu::savesTheSelectedPrinter()
{
    first->setSetting(0x00, {0x05}); // speed 5
    const QString path = dir.filePath("first.json");
    QVERIFY(ui->selectPort(3));
    FileDialogDriver driver(path);
    trigger("actionSaveProfile");
    QCOMPARE(ui->boxes.takeOne().text, QStringLiteral("配置已保存：%1").arg(path));
    QCOMPARE(modeOf(path), 0600);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonObject saved = QJsonDocument::fromJson(file.readAll()).object();
    QCOMPARE(saved.value("model").toString(), QStringLiteral("Orbeck VS-608K"));
    QCOMPARE(saved.value("version").toString(), QStringLiteral("V2.3.1 20240315"));
    QStringList offered;
    for (const auto &page :
         pages::pagesForModel(ModelKey::ofRow(ui->list()->currentItem()->text())))
        offered << page->name();
    QStringList held = saved.value("pages").toObject().keys();
    offered.sort();
    QCOMPARE(held, offered);
    const QJsonObject print = saved.value("pages").toObject().value("print").toObject();
    QCOMPARE(print.value("values").toObject().value("speed").toString(), QStringLiteral("5"));
    QVERIFY(setFrames(*first).isEmpty());
}

void TestProfileMenu::comparesWithAProfile_data()
{
    QTest::addColumn<int>("port"); // the printer compared with the first printer's profile
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("box");
    QTest::newRow("its own profile") << 3 << QStringList() << "打印机与配置文件一致";
    QTest::newRow("another printer")
        << 5
        << QStringList{"打印设置 打印速度 2 5", "串口设置 设备SN号 ZR311P5 ZR311P3 (read-only)"}
        << "";
}

void TestProfileMenu::comparesWithAProfile()
{
    QFETCH(int, port);
    QFETCH(QStringList, rows);
    QFETCH(QString, box);
    first->setSetting(0x00, {0x05});
    const QString path = dir.filePath("first.json");
    QVERIFY(save(3, path));
    QVERIFY(ui->selectPort(port));
    first->clearLogs();
    second->clearLogs();
    FileDialogDriver files(path);
    TableDriver table(false);
    trigger("actionCompareProfile");
    QCOMPARE(table.shown, rows.isEmpty() ? 0 : 1);
    // Every counted difference, then the read-only keys (MACs differ as well).
    QCOMPARE(table.rows.mid(0, rows.size()), rows);
    for (const QString &row : table.rows.mid(rows.size()))
        QVERIFY2(row.endsWith("(read-only)"), qPrintable(row));
    QCOMPARE(ui->boxes.boxes().size(), box.isEmpty() ? 0 : 1);
    if (!box.isEmpty())
        QCOMPARE(ui->boxes.takeOne().text, box);
    QVERIFY(setFrames(*first).isEmpty() && setFrames(*second).isEmpty());
}

void TestProfileMenu::appliesOnlyWhatDiffers_data()
{
    QTest::addColumn<QString>("model");      // the model the first printer's saved profile names
    QTest::addColumn<bool>("write");         // the table's answer
    QTest::addColumn<bool>("keepsOldSpeed"); // the second printer takes the speed but keeps 2
    QTest::addColumn<QStringList>("box");    // the result, line by line
    QTest::newRow("written and verified")
        << "Orbeck VS-608K" << true << false
        << QStringList{"print：已写入并核对", "distance：未改变", "serial：未改变",  "wifi：未改变",
                       "bluetooth：未改变",   "wifi-ip：未改变",  "ethernet：未改变"};
    QTest::newRow("table cancelled") << "Orbeck VS-608K" << false << false << QStringList();
    QTest::newRow("not kept") << "Orbeck VS-608K" << true << true
                              << QStringList{"print speed：写入 5，打印机保存的是 2",
                                             "distance：未改变",
                                             "serial：未改变",
                                             "wifi：未改变",
                                             "bluetooth：未改变",
                                             "wifi-ip：未改变",
                                             "ethernet：未改变"};
    QTest::newRow("another model declined") << "Zurod RM-310" << true << false << QStringList();
}

void TestProfileMenu::appliesOnlyWhatDiffers()
{
    QFETCH(QString, model);
    QFETCH(bool, write);
    QFETCH(bool, keepsOldSpeed);
    QFETCH(QStringList, box);
    first->setSetting(0x00, {0x05});
    const QString path = dir.filePath("profile.json");
    QVERIFY(save(3, path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QJsonObject profile = QJsonDocument::fromJson(file.readAll()).object();
    file.close();
    profile.insert("model", model);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
            file.write(QJsonDocument(profile).toJson()) > 0);
    file.close();
    if (keepsOldSpeed) {
        vprinter::Faults keeps;
        keeps.keepOldValueOf = 0x00;
        second->setFaults(keeps);
    }
    const QList<QByteArray> expected = pageFrames("1-3", "print");
    QVERIFY(!expected.isEmpty());
    QVERIFY(ui->selectPort(5));
    second->clearLogs();
    ui->boxes.answer = QMessageBox::No; // a profile of another model is not written
    FileDialogDriver files(path);
    TableDriver table(write);
    trigger("actionApplyProfile");

    const bool otherModel = model != "Orbeck VS-608K";
    QCOMPARE(ui->boxes.questions().size(), otherModel ? 1 : 0);
    if (otherModel)
        QVERIFY(ui->boxes.questions().first().text.startsWith(
            "配置文件来自另一型号（Zurod RM-310），本打印机是 Orbeck VS-608K。"));
    QCOMPARE(table.shown, otherModel ? 0 : 1);
    if (table.shown)
        QCOMPARE(table.rows.first(), QStringLiteral("打印设置 打印速度 2 5"));
    QStringList written;
    for (const QByteArray &frame : expected)
        written << QString::fromLatin1(frame.toHex(' ').toUpper());
    QCOMPARE(setFrames(*second), box.isEmpty() ? QStringList() : written);
    QCOMPARE(ui->boxes.boxes().size(), box.isEmpty() ? 0 : 1);
    if (!box.isEmpty()) {
        const CaughtBox result = ui->boxes.takeOne();
        QCOMPARE(result.text.split('\n'), box);
        QCOMPARE(result.icon, keepsOldSpeed ? QMessageBox::Warning : QMessageBox::Information);
    }
}

void TestProfileMenu::appliesToEveryPrinterOfTheModel()
{
    VirtualPrinter &third = ui->usb.addPrinter(0x1401, "VS-608K", 7);
    vprinter::Faults keeps;
    keeps.keepOldValueOf = 0x00;
    third.setFaults(keeps);
    first->setSetting(0x00, {0x05});
    const QString path = dir.filePath("first.json");
    QVERIFY(save(3, path));
    for (VirtualPrinter *p : {first, second, &third, other})
        p->clearLogs();
    FileDialogDriver files(path);
    ui->boxes.answer = QMessageBox::Yes;
    trigger("actionApplyProfileToModel");

    QCOMPARE(ui->boxes.questions().size(), 1);
    // The printers in the list's order, each with its line.
    const QMap<QString, QStringList> lines{
        {"1-3", {"1-3  ZR311P3  已写入 0 个页面  未改变"}},
        {"1-5", {"1-5  ZR311P5  已写入 1 个页面  已写入并核对"}},
        {"1-7",
         {"1-7  ZR311P7  已写入 1 个页面  写入的值未被保存",
          "    print speed：写入 5，打印机保存的是 2", "    distance：未改变", "    serial：未改变",
          "    wifi：未改变", "    bluetooth：未改变", "    wifi-ip：未改变",
          "    ethernet：未改变"}}};
    QStringList paths, expected;
    for (int row = 0; row < ui->list()->count(); ++row) {
        const QString path = SelectedPrinter::identityOf(ui->list()->item(row)).path();
        if (lines.contains(path)) {
            paths << path;
            expected << lines.value(path);
        }
    }
    QVERIFY(ui->boxes.questions().first().text.endsWith(paths.join('\n') + "\n\n是否继续？"));
    const CaughtBox result = ui->boxes.takeOne();
    QCOMPARE(result.icon, QMessageBox::Warning);
    expected << "3 台打印机：1 台已写入并核对，1 台未改变，1 台写入的值未被保存";
    QCOMPARE(result.text.split('\n'), expected);
    QVERIFY(setFrames(*first).isEmpty());
    QVERIFY(!setFrames(*second).isEmpty());
    QVERIFY(receivedFrames(*other).isEmpty()); // another model is not even opened
}

QObject *createTestProfileMenu() { return new TestProfileMenu; }

#include "tst_profilemenu.moc"
