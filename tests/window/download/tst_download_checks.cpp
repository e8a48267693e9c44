// The download's checks through the real window, against virtual printers: a file refused before
// any question, a busy printer's second question, the manifest's version in the question, and a
// printer that comes back with its factory settings, restored on the user's word or not.
#include "core/crypto/aes.h"
#include "core/crypto/filedecrypt.h"
#include "core/download/workerthread.h"
#include "tests/support/filedialogdriver.h"
#include "tests/support/usbfixture.h"
#include "tests/support/waits.h"
#include "tests/support/windowharness.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDirIterator>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <memory>

using vprinter::RestartPlan;
using vprinter::VirtualPrinter;

namespace {

const QString kPrinter = QStringLiteral("Orbeck VS-608K (USB 1-3)");

// `size` plain bytes in whole blocks, encrypted with the build's key.
bool writeEncrypted(const QString &path, int size)
{
    QByteArray data(size, '\0');
    for (int i = 0; i < size; ++i)
        data[i] = char(i * 11 + 3);
    auto *bytes = reinterpret_cast<uint8_t *>(data.data());
    for (int offset = 0; offset + 16 <= size; offset += 16)
        AES128_ECB_encrypt(bytes + offset, kDownloadFileKey, bytes + offset);
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

bool writeText(const QString &path, const QByteArray &text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

QStringList filesBelow(const QString &dir)
{
    QStringList files;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    files.sort();
    return files;
}

} // namespace

class TestDownloadChecks : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void refusedBeforeAnyQuestion_data();
    void refusedBeforeAnyQuestion();
    void busyPrinterAskedASecondTime_data();
    void busyPrinterAskedASecondTime();
    void backWithFactorySettings_data();
    void backWithFactorySettings();

private:
    bool downloading() { return !ui->widget<QPushButton>("pushButton_34")->isEnabled(); }
    QString snapshots() const { return state->filePath("label-printer-setup"); }

    std::unique_ptr<WindowHarness> ui;
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<QTemporaryDir> state;
    VirtualPrinter *printer = nullptr;
};

void TestDownloadChecks::init()
{
    dir = std::make_unique<QTemporaryDir>();
    state = std::make_unique<QTemporaryDir>();
    qputenv("XDG_STATE_HOME", QFile::encodeName(state->path()));
    ui = std::make_unique<WindowHarness>();
    printer = &ui->usb.addPrinter(0x1401, "VS-608K", 3);
    QVERIFY(ui->selectPort(3));
}

void TestDownloadChecks::cleanup()
{
    QTRY_VERIFY_WITH_TIMEOUT(ui->window.findChildren<WorkerThread *>().isEmpty(), kEventTimeoutMs);
    verifyNoViolations(ui->usb);
    ui.reset();
}

void TestDownloadChecks::refusedBeforeAnyQuestion_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("text"); // {file}: the chosen file
    QTest::newRow("an empty file") << "empty"
                                   << "文件是空的：{file}";
    QTest::newRow("a manifest of another model")
        << "model"
        << "文件不适用于此打印机：打印机型号 Orbeck VS-608K，清单中的型号 Zurod RM-310";
    QTest::newRow("a manifest with another checksum")
        << "checksum"
        << "文件的SHA-256与清单不符：文件 {sha}，清单 " + QString(64, '0');
}

void TestDownloadChecks::refusedBeforeAnyQuestion()
{
    QFETCH(QString, kind);
    QFETCH(QString, text);
    const QString file = dir->filePath("fw.hex");
    QVERIFY(kind == "empty" ? writeText(file, "") : writeEncrypted(file, 2048));
    if (kind == "model")
        QVERIFY(writeText(file + ".manifest.json", R"({"models": ["Zurod RM-310"]})"));
    if (kind == "checksum")
        QVERIFY(
            writeText(file + ".manifest.json", R"({"sha256": ")" + QByteArray(64, '0') + "\"}"));
    const QStringList before = filesBelow(dir->path());
    QFile chosen(file);
    QVERIFY(chosen.open(QIODevice::ReadOnly));
    const QString sha =
        QCryptographicHash::hash(chosen.readAll(), QCryptographicHash::Sha256).toHex();

    FileDialogDriver dialog(file);
    ui->click("pushButton_34");
    const CaughtBox box = ui->boxes.takeOne();
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.text, QString(text).replace("{file}", file).replace("{sha}", sha));
    QVERIFY(ui->boxes.questions().isEmpty());
    // Nothing asked of the printer, nothing sent, no file made or removed.
    QVERIFY(printer->transferLog().empty());
    QCOMPARE(filesBelow(dir->path()), before);
    QVERIFY(QDir(snapshots()).entryList({"*.json"}, QDir::Files).isEmpty()); // no snapshot saved
    QVERIFY(!downloading());
}

void TestDownloadChecks::busyPrinterAskedASecondTime_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("answered No") << false;
    QTest::newRow("answered Yes") << true;
}

void TestDownloadChecks::busyPrinterAskedASecondTime()
{
    QFETCH(bool, yes);
    const QString file = dir->filePath("fw.hex");
    QVERIFY(writeEncrypted(file, 2048));
    printer->setStatusWord(0x82);
    ui->boxes.answer = yes ? QMessageBox::Yes : QMessageBox::No;
    FileDialogDriver dialog(file);
    ui->click("pushButton_34");
    QVERIFY(!ui->boxes.questions().isEmpty());
    QCOMPARE(ui->boxes.questions()[0].text,
             "打印机 " + kPrinter + " 报告：缺纸、开盖\n\n是否继续？");
    QCOMPARE(ui->boxes.questions()[0].defaultButton, QMessageBox::No);
    if (!yes) {
        QCOMPARE(ui->boxes.questions().size(), 1);
        QVERIFY(printer->bulkOutLog().empty());
        QVERIFY(printer->downloads().empty());
        QCOMPARE(filesBelow(dir->path()), QStringList{file}); // no side file left
        QVERIFY(
            QDir(snapshots()).entryList({"*.json"}, QDir::Files).isEmpty()); // no snapshot saved
        QVERIFY(!downloading());
        return;
    }
    QTRY_VERIFY_WITH_TIMEOUT(!ui->boxes.boxes().isEmpty(), kEventTimeoutMs);
    QCOMPARE(ui->boxes.questions().size(), 2); // then the download's own question
    QCOMPARE(printer->downloads().size(), std::size_t(1));
    QCOMPARE(ui->boxes.takeOne().title, QStringLiteral("下载成功"));
}

void TestDownloadChecks::backWithFactorySettings_data()
{
    QTest::addColumn<bool>("restore"); // the answer to the question after the download
    QTest::newRow("restored") << true;
    QTest::newRow("left as they are") << false;
}

void TestDownloadChecks::backWithFactorySettings()
{
    QFETCH(bool, restore);
    const QString file = dir->filePath("fw.hex");
    QVERIFY(writeEncrypted(file, 3008));
    QVERIFY(writeText(file + ".manifest.json",
                      R"({"models": ["Orbeck VS-608K"], "version": "V2.4.0 20250101"})"));
    printer->setSetting(0x13, {12}); // density 12; the factory's is 8
    const vprinter::Bytes density = printer->setting(0x13);
    RestartPlan plan;
    plan.afterDownload = true;
    plan.delayMs = 300;
    plan.factorySettings = true;
    plan.newVersion = "V2.4.0 20250101";
    printer->setRestartPlan(plan);
    bool sawWaiting = false;
    connect(ui->widget<QStatusBar>("statusbar"), &QStatusBar::messageChanged, this,
            [&](const QString &message) { sawWaiting = sawWaiting || message.contains(kPrinter); });

    FileDialogDriver dialog(file);
    ui->click("pushButton_34");
    // The question names the version the file installs.
    QCOMPARE(ui->boxes.questions().size(), 1);
    QVERIFY2(ui->boxes.questions()[0].text.contains("\n将安装的版本：V2.4.0 20250101\n"),
             qPrintable(ui->boxes.questions()[0].text));
    ui->boxes.answer = restore ? QMessageBox::Yes : QMessageBox::No;
    QTRY_VERIFY_WITH_TIMEOUT(!ui->boxes.boxes().isEmpty(), kEventTimeoutMs);
    QVERIFY(sawWaiting);
    QVERIFY(!downloading());
    // The printer that came back is selected, as the one that left was.
    QVERIFY(ui->list()->currentItem());
    QCOMPARE(SelectedPrinter::identityOf(ui->list()->currentItem()).path(), QStringLiteral("1-3"));

    // Asked whether to write back what changed, with the list.
    QCOMPARE(ui->boxes.questions().size(), 2);
    const QString asked = ui->boxes.questions()[1].text;
    QVERIFY2(asked.startsWith("设置已变：打印机 " + kPrinter +
                              " 已回来，版本 V2.4.0 20250101，但有 1 项设置与下载前不同：\n"
                              "  print density：下载前 12，现在 8\n"),
             qPrintable(asked));
    const CaughtBox box = ui->boxes.takeOne();
    VirtualPrinter *now = ui->usb.find("1-3");
    QVERIFY(now && now != printer);
    const QStringList saved = QDir(snapshots()).entryList({"*.json"}, QDir::Files);
    QCOMPARE(saved.size(), 1);
    if (restore) {
        QCOMPARE(box.icon, QMessageBox::Information);
        QCOMPARE(box.title, QStringLiteral("下载成功"));
        QCOMPARE(box.text, "已恢复：打印机 " + kPrinter +
                               " 已回来，版本 V2.4.0 20250101；有变化的设置已按下载前的写回 "
                               "1 个页面并核对\n  print density：下载前 12，现在 8");
        QCOMPARE(now->setting(0x13), density);
    } else {
        QCOMPARE(box.icon, QMessageBox::Warning);
        QVERIFY2(box.text.endsWith("下载前的设置保存在 " + snapshots() + '/' + saved[0]),
                 qPrintable(box.text));
        QCOMPARE(now->setting(0x13), vprinter::Bytes{8});
    }
}

int main(int argc, char **argv)
{
    // Qt's own file dialog, which the tests drive; a platform theme could put a native one in.
    qunsetenv("QT_QPA_PLATFORMTHEME");
    QApplication app(argc, argv);
    TestDownloadChecks test;
    return QTest::qExec(&test, argc, argv) == 0 ? 0 : 1;
}

#include "tst_download_checks.moc"
