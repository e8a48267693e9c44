// Firmware and font download through the real window: the file dialog, decryption into the side
// file, the worker's stream to a virtual printer, progress, the boxes, the lock of the printer
// controls, and every way a download can end.
#include "core/crypto/aes.h"
#include "core/crypto/filedecrypt.h"
#include "core/download/workerthread.h"
#include "tests/core/crypto/opensslreference.h"
#include "tests/support/filedialogdriver.h"
#include "tests/support/usbfixture.h"
#include "tests/support/waits.h"
#include "tests/support/windowharness.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QProgressBar>
#include <QScrollArea>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <atomic>
#include <csignal>
#include <memory>
#include <random>
#include <sys/fsuid.h>
#include <sys/resource.h>
#include <unistd.h>

using vprinter::DownloadRecord;
using vprinter::TransferRecord;
using vprinter::VirtualPrinter;

namespace {

const QByteArray kKey(reinterpret_cast<const char *>(kDownloadFileKey), 16);
const QString kError = QStringLiteral("错误");
const QString kDone = QStringLiteral("下载成功");
// The printer answered again after the download, as it was before it.
const QString kVerified =
    QStringLiteral("已核对：打印机 Orbeck VS-608K (USB 1-3) 已回来，版本 V2.3.1 20240315，"
                   "设置与下载前相同");

// An encrypted file and the plain bytes the tool must decrypt from it.
struct Sample {
    QByteArray encrypted;
    QByteArray plain;
};

// `blocks` random plain blocks encrypted with our own routine, then `tail` random bytes (0 to 15)
// drawn until the first `tail` bytes of their zero-extended decryption end in exactly `trimmed`
// zero bytes, which the tool drops.
Sample makeSample(std::mt19937 &random, int blocks, int tail, int trimmed)
{
    Sample s;
    s.plain = reference::randomBytes(random, blocks * 16);
    s.encrypted = s.plain;
    auto *bytes = reinterpret_cast<uint8_t *>(s.encrypted.data());
    for (int offset = 0; offset < s.encrypted.size(); offset += 16)
        AES128_ECB_encrypt(bytes + offset, kDownloadFileKey, bytes + offset);
    if (tail == 0)
        return s;
    for (;;) {
        const QByteArray drawn = reference::randomBytes(random, tail);
        QByteArray plainTail =
            reference::ecb(false, kKey, drawn.leftJustified(16, '\0')).left(tail);
        if (plainTail.right(trimmed) != QByteArray(trimmed, '\0') ||
            (trimmed < tail && plainTail.at(tail - trimmed - 1) == '\0'))
            continue;
        plainTail.chop(trimmed);
        s.encrypted += drawn;
        s.plain += plainTail;
        return s;
    }
}

bool writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// Every byte of every bulk write of the stream the printer accepted, in order; the frames of the
// queries before and after it are not part of it.
QByteArray received(const VirtualPrinter &printer)
{
    QByteArray all;
    for (const vprinter::Bytes &bytes : printer.bulkOutLog()) {
        if (!vprinter::PrinterModel::parseFrame(bytes))
            all += toQByteArray(bytes);
    }
    return all;
}

QList<int> writeLengths(const DownloadRecord &download)
{
    QList<int> lengths;
    for (std::size_t length : download.writes)
        lengths << int(length);
    return lengths;
}

QString sha256(const QByteArray &data)
{
    return QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex());
}

// Keeps a worker in its first report of a progress above 0 % until the test lets it go or asks
// the worker to stop, so the test acts while the stream is certainly under way, however fast
// the stream and however slow the test.
class StreamHold
{
public:
    explicit StreamHold(WorkerThread *worker)
    {
        QObject::connect(
            worker, &WorkerThread::progressUpdated, worker,
            [worker, state = state_](int percentage) {
                if (percentage == 0 || state->held.exchange(true))
                    return;
                const QDeadlineTimer deadline(2 * kEventTimeoutMs);
                while (!state->released && !worker->isInterruptionRequested() &&
                       !deadline.hasExpired())
                    QThread::msleep(2);
            },
            Qt::DirectConnection);
    }
    ~StreamHold() { release(); }
    StreamHold(const StreamHold &) = delete;
    StreamHold &operator=(const StreamHold &) = delete;

    bool held() const { return state_->held; }
    void release() { state_->released = true; }

private:
    struct State {
        std::atomic<bool> held{false};
        std::atomic<bool> released{false};
    };
    std::shared_ptr<State> state_ = std::make_shared<State>();
};

} // namespace

class TestDownload : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void streams_data();
    void streams();
    void dialogCancelled_data();
    void dialogCancelled();
    void failures_data();
    void failures();
    void duringStream_data();
    void duringStream();
    void workerDeletedMidStream();

private:
    QString sideFileOf(const QString &name) const;
    bool workerRunning() { return !ui->window.findChildren<WorkerThread *>().isEmpty(); }
    // The controls that talk to a printer, and whether the user can use any of them now.
    bool anyPrinterControlUsable();

    std::unique_ptr<WindowHarness> ui;
    std::unique_ptr<QTemporaryDir> dir;
};

void TestDownload::init()
{
    ui = std::make_unique<WindowHarness>();
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
}

void TestDownload::cleanup()
{
    // No worker outlives its download, and the printers were left as they were found.
    QTRY_VERIFY_WITH_TIMEOUT(!workerRunning(), 60000);
    verifyNoViolations(ui->usb);
    QFile::setPermissions(dir->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ui.reset();
    dir.reset();
}

QString TestDownload::sideFileOf(const QString &name) const
{
    const QFileInfo info(dir->filePath(name));
    return dir->filePath(info.completeBaseName() + "_decrypted.hex");
}

bool TestDownload::anyPrinterControlUsable()
{
    QList<QPushButton *> controls = {
        ui->widget<QPushButton>("pushButton_34"), ui->widget<QPushButton>("pushButton_35"),
        ui->widget<QPushButton>("pushButton"), ui->widget<QPushButton>("pushButton_6")};
    for (const char *area : {"scrollArea_3", "scrollArea_2"})
        controls += ui->widget<QScrollArea>(area)->findChildren<QPushButton *>();
    for (QPushButton *b : controls) {
        if (b->isEnabled())
            return true;
    }
    return ui->widget<QTabWidget>("tabWidget_2")->tabBar()->isEnabled();
}

void TestDownload::streams_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<int>("blocks");
    QTest::addColumn<int>("tail");
    QTest::addColumn<int>("trimmed");
    QTest::addColumn<QList<int>>("writes");
    QTest::addColumn<QList<int>>("progress");
    QTest::newRow("firmware of 2048 bytes: a zero-length write ends it")
        << "pushButton_34"
        << "printer.fw.hex" << 128 << 0 << 0 << QList<int>{1024, 1024, 0} << QList<int>{50, 100};
    QTest::newRow("firmware of 2049 bytes: the short chunk ends it")
        << "pushButton_34"
        << "printer.hex" << 128 << 1 << 0 << QList<int>{1024, 1024, 1} << QList<int>{49, 99, 100};
    QTest::newRow("font of 3000 bytes") << "pushButton_35"
                                        << "fonts.big5.bin" << 187 << 8 << 0
                                        << QList<int>{1024, 1024, 952} << QList<int>{34, 68, 100};
    QTest::newRow("ciphertext of 37 bytes, a zero dropped from its short block")
        << "pushButton_34"
        << "short.hex" << 2 << 5 << 1 << QList<int>{36} << QList<int>{100};
}

void TestDownload::streams()
{
    QFETCH(QString, button);
    QFETCH(QString, fileName);
    QFETCH(int, blocks);
    QFETCH(int, tail);
    QFETCH(int, trimmed);
    QFETCH(QList<int>, writes);
    QFETCH(QList<int>, progress);
    VirtualPrinter &vp = ui->usb.addPrinter(0x1401, "VS-608K", 3);
    std::mt19937 random(uint(blocks * 31 + tail));
    const Sample sample = makeSample(random, blocks, tail, trimmed);
    // Our encryption agrees with OpenSSL's.
    QCOMPARE(sample.encrypted.left(blocks * 16).toHex(),
             reference::ecb(true, kKey, sample.plain.left(blocks * 16)).toHex());
    const QString chosen = dir->filePath(fileName);
    QVERIFY(writeFile(chosen, sample.encrypted));
    QVERIFY(ui->selectPort(3));
    QList<int> shown;
    connect(ui->widget<QProgressBar>("progressBar"), &QProgressBar::valueChanged,
            [&](int value) { shown << value; });

    FileDialogDriver dialog(chosen);
    const int handOvers = vp.state().driverHandOvers();
    ui->click(qPrintable(button));
    QTRY_VERIFY_WITH_TIMEOUT(!workerRunning(), 60000);
    // However many chunks, usblp was moved aside once and given back once for the checks and the
    // stream, and once more for the check after it.
    QCOMPARE(vp.state().driverHandOvers() - handOvers, 4);
    QCOMPARE(vp.state().kernelDriver, std::string("usblp"));

    const bool firmware = button == "pushButton_34";
    QCOMPARE(dialog.shown, 1);
    QCOMPARE(dialog.title, firmware ? QStringLiteral("HEX File") : QStringLiteral("BIN File"));
    QCOMPARE(dialog.filters, (firmware ? QStringList{"HEX Files (*.hex)", "All Files (*)"}
                                       : QStringList{"BIN Files (*.bin)", "All Files (*)"}));
    QVERIFY(!dialog.hadParent);

    // Asked before anything was streamed, and answered Yes.
    QCOMPARE(ui->boxes.questions().size(), 1);
    QCOMPARE(ui->boxes.questions()[0].text,
             QStringLiteral("即将向打印机 Orbeck VS-608K (USB 1-3) 下载 %1（%2 字节）。"
                            "在打印机指示灯停止闪烁之前，请勿拔下打印机。\n\n是否继续？")
                 .arg(QDir::toNativeSeparators(chosen))
                 .arg(sample.plain.size()));
    QCOMPARE(ui->boxes.questions()[0].defaultButton, QMessageBox::No);

    const CaughtBox box = ui->boxes.takeOne();
    QCOMPARE(box.icon, QMessageBox::Information);
    QCOMPARE(box.title, kDone);
    QCOMPARE(box.text, kVerified);
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    // The values in order; the completion resets the bar.
    QCOMPARE(shown, progress.isEmpty() ? progress : progress + QList<int>{0});

    const std::vector<DownloadRecord> downloads = vp.downloads();
    QCOMPARE(downloads.size(), std::size_t(1));
    QCOMPARE(writeLengths(downloads[0]), writes);
    QVERIFY(downloads[0].ended);
    QCOMPARE(downloads[0].zeroLengthEnd, writes.last() == 0);
    QCOMPARE(downloads[0].failedWrites, 0);
    QCOMPARE(downloads[0].total, std::uint64_t(sample.plain.size()));
    QCOMPARE(QString::fromStdString(downloads[0].sha256), sha256(sample.plain));
    QCOMPARE(received(vp).toHex(), sample.plain.toHex());

    QVERIFY(!QFileInfo::exists(sideFileOf(fileName)));
    QVERIFY(readFile(chosen) == sample.encrypted);
    QVERIFY(anyPrinterControlUsable());
    QVERIFY(ui->widget<QPushButton>("pushButton_34")->isEnabled());
    QVERIFY(ui->widget<QPushButton>("pushButton_35")->isEnabled());
}

void TestDownload::dialogCancelled_data()
{
    QTest::addColumn<bool>("fileChosen"); // and the question answered No
    QTest::newRow("file dialog cancelled") << false;
    QTest::newRow("question answered No") << true;
}

void TestDownload::dialogCancelled()
{
    QFETCH(bool, fileChosen);
    VirtualPrinter &vp = ui->usb.addPrinter(0x1401, "VS-608K", 3);
    QVERIFY(ui->selectPort(3));
    const QString chosen = fileChosen ? dir->filePath("fonts.bin") : QString();
    std::mt19937 random(64);
    const Sample sample = makeSample(random, 64, 0, 0);
    if (fileChosen)
        QVERIFY(writeFile(chosen, sample.encrypted));
    ui->boxes.answer = QMessageBox::No;
    FileDialogDriver dialog{chosen};
    ui->click("pushButton_35");
    QCOMPARE(dialog.shown, 1);
    QCOMPARE(ui->boxes.questions().size(), fileChosen ? 1 : 0);
    QVERIFY(ui->boxes.boxes().isEmpty());
    QVERIFY(!workerRunning());
    QVERIFY(vp.bulkOutLog().empty());
    QVERIFY(ui->widget<QPushButton>("pushButton_35")->isEnabled());
    QCOMPARE(ui->widget<QProgressBar>("progressBar")->value(), 0);
    // No side file: only the user's own file, unchanged.
    QCOMPARE(QDir(dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             fileChosen ? QStringList{"fonts.bin"} : QStringList());
    if (fileChosen)
        QVERIFY(readFile(chosen) == sample.encrypted);
}

void TestDownload::failures_data()
{
    // What goes wrong, after how many accepted writes, the box the user sees ({side} is the side
    // file's path) and how many bytes reached the printer.
    QTest::addColumn<QString>("failure");
    QTest::addColumn<int>("after");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("bytes");
    // 5008 bytes: chunks of 1024 (four) and 912.
    QTest::newRow("first chunk fails")
        << "fail" << 0 << "下载失败：已发送 0 / 5008 字节（0%）" << 0;
    QTest::newRow("third chunk fails")
        << "fail" << 2 << "下载失败：已发送 2048 / 5008 字节（40%）" << 2048;
    QTest::newRow("last chunk fails")
        << "fail" << 4 << "下载失败：已发送 4096 / 5008 字节（81%）" << 4096;
    QTest::newRow("unplugged after two chunks")
        << "unplug" << 2 << "下载失败：已发送 2048 / 5008 字节（40%）" << 2048;
    QTest::newRow("read-only directory") << "readOnlyDirectory" << 0 << "无法写入文件：{side}" << 0;
    QTest::newRow("side file cannot be written")
        << "fileSizeLimit" << 0 << "无法写入文件：{side}" << 0;
    QTest::newRow("a file of that name exists")
        << "existingFile" << 0 << "文件已存在，不会覆盖它：{side}" << 0;
    QTest::newRow("a link of that name exists")
        << "existingLink" << 0 << "文件已存在，不会覆盖它：{side}" << 0;
}

void TestDownload::failures()
{
    QFETCH(QString, failure);
    QFETCH(int, after);
    QFETCH(QString, text);
    QFETCH(int, bytes);
    VirtualPrinter &vp = ui->usb.addPrinter(0x1401, "VS-608K", 3);
    std::mt19937 random(5008);
    const Sample sample = makeSample(random, 313, 0, 0);
    const QString chosen = dir->filePath("fw.hex");
    const QString side = sideFileOf("fw.hex");
    const QString elsewhere = dir->filePath("elsewhere");
    const QByteArray users = "the user's own file";
    QVERIFY(writeFile(chosen, sample.encrypted));
    QVERIFY(ui->selectPort(3));

    vprinter::Faults faults;
    faults.failNextWrite = failure == "fail";
    faults.writesBeforeFailure = after;
    faults.unplugAfterWrites = failure == "unplug" ? after : -1;
    faults.countStreamWritesOnly = true; // not the queries before the stream
    vp.setFaults(faults);
    if (failure == "existingFile")
        QVERIFY(writeFile(side, users));
    if (failure == "existingLink")
        QVERIFY(QFile::link(elsewhere, side));
    FileDialogDriver dialog(chosen);
    rlimit savedLimit{};
    if (failure == "fileSizeLimit") {
        // Writes beyond 1000 bytes fail with EFBIG (the signal it would raise is ignored).
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &savedLimit), 0);
        rlimit small = savedLimit;
        small.rlim_cur = 1000;
        signal(SIGXFSZ, SIG_IGN);
        dialog.beforeAccept = [small] { setrlimit(RLIMIT_FSIZE, &small); };
    }
    if (failure == "readOnlyDirectory") {
        QVERIFY(QFile::setPermissions(dir->path(), QFile::ReadOwner | QFile::ExeOwner |
                                                       QFile::ReadGroup | QFile::ExeGroup |
                                                       QFile::ReadOther | QFile::ExeOther));
        // Root writes anywhere: the GUI thread, which makes the side file, acts as nobody then.
        if (geteuid() == 0)
            dialog.beforeAccept = [] { setfsuid(65534); };
    }
    ui->click("pushButton_34");
    setfsuid(geteuid());
    if (failure == "fileSizeLimit")
        setrlimit(RLIMIT_FSIZE, &savedLimit);
    QTRY_VERIFY_WITH_TIMEOUT(!workerRunning(), 60000);

    const CaughtBox box = ui->boxes.takeOne();
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.title, kError);
    QCOMPARE(box.text, QString(text).replace("{side}", side));
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));

    // Nothing after the first failed write: no retry, no later chunk, no end of stream.
    QCOMPARE(received(vp).toHex(), sample.plain.left(bytes).toHex());
    const std::vector<TransferRecord> log = vp.transferLog();
    if (failure == "fail") {
        QVERIFY(!log.empty());
        QVERIFY(log.back().kind == TransferRecord::Kind::FailedBulkOut);
    }
    QVERIFY(!vp.downloads().empty() || bytes == 0);
    for (const DownloadRecord &d : vp.downloads())
        QVERIFY(!d.ended);

    // The user's files are as they were; nothing of ours is left.
    QVERIFY(readFile(chosen) == sample.encrypted);
    if (failure == "existingFile")
        QCOMPARE(readFile(side), users);
    else if (failure == "existingLink")
        QCOMPARE(QFileInfo(side).symLinkTarget(), elsewhere);
    else
        QVERIFY(!QFileInfo::exists(side));
    QVERIFY(!QFileInfo::exists(elsewhere));
    QVERIFY(ui->widget<QPushButton>("pushButton_34")->isEnabled());
    QVERIFY(ui->widget<QTabWidget>("tabWidget_2")->tabBar()->isEnabled());
}

void TestDownload::duringStream_data()
{
    QTest::addColumn<int>("downloadPort");
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("lockedModelSelectedAfter");
    QTest::newRow("closing the window") << 3 << "close" << false;
    QTest::newRow("selecting a model without settings or fonts") << 3 << "select 1" << true;
    QTest::newRow("selecting a model with settings and fonts") << 1 << "select 3" << false;
}

void TestDownload::duringStream()
{
    QFETCH(int, downloadPort);
    QFETCH(QString, action);
    QFETCH(bool, lockedModelSelectedAfter);
    VirtualPrinter &locked = ui->usb.addPrinter(0x0411, "RM-310", 1);
    VirtualPrinter &extended = ui->usb.addPrinter(0x1401, "VS-608K", 3);
    VirtualPrinter &target = downloadPort == 1 ? locked : extended;
    std::mt19937 random(512);
    const Sample sample = makeSample(random, 512 * 1024 / 16, 0, 0);
    const QString chosen = dir->filePath("big.hex");
    QVERIFY(writeFile(chosen, sample.encrypted));
    QVERIFY(ui->selectPort(downloadPort));

    FileDialogDriver dialog(chosen);
    ui->click("pushButton_34");
    // Held from right after the click started the worker, long before its first percent.
    const QList<WorkerThread *> workers = ui->window.findChildren<WorkerThread *>();
    QCOMPARE(workers.size(), 1);
    StreamHold hold(workers.first());
    QTRY_VERIFY_WITH_TIMEOUT(hold.held() || !workerRunning(), kEventTimeoutMs);
    QVERIFY2(hold.held(), "the stream ended before the test could act");
    QTRY_VERIFY_WITH_TIMEOUT(ui->widget<QProgressBar>("progressBar")->value() > 0, kEventTimeoutMs);
    if (action == "close") {
        ui->window.close();
        QVERIFY(ui->window.isVisible());
        QCOMPARE(ui->boxes.takeOne().text, QStringLiteral("正在下载，请等下载结束后再关闭窗口"));
    } else {
        const QString suffix = "USB00" + action.right(1);
        for (int row = 0; row < ui->list()->count(); ++row) {
            if (ui->list()->item(row)->text().endsWith(suffix))
                ui->list()->setCurrentRow(row);
        }
        QVERIFY(ui->list()->currentItem()->text().endsWith(suffix));
    }
    QVERIFY(!anyPrinterControlUsable());
    QVERIFY(ui->widget<QProgressBar>("progressBar")->isEnabled());

    hold.release();
    QTRY_VERIFY_WITH_TIMEOUT(!workerRunning(), 60000);
    QCOMPARE(ui->boxes.takeOne().title, kDone);
    // One whole stream, nothing else in between.
    QCOMPARE(target.downloads().size(), std::size_t(1));
    QCOMPARE(target.downloads()[0].total, std::uint64_t(sample.plain.size()));
    QVERIFY(received(target) == sample.plain);
    QVERIFY((downloadPort == 1 ? extended : locked).transferLog().empty());

    // The model-support gate's state for the selected model, not everything enabled.
    QCOMPARE(ui->widget<QPushButton>("pushButton_35")->isEnabled(), !lockedModelSelectedAfter);
    QCOMPARE(ui->widget<QTabWidget>("tabWidget_2")->isTabEnabled(0), !lockedModelSelectedAfter);
    QCOMPARE(ui->widget<QPushButton>("pushButton_13")->isEnabled(), !lockedModelSelectedAfter);
    QVERIFY(ui->widget<QPushButton>("pushButton_34")->isEnabled());
    QVERIFY(ui->widget<QTabWidget>("tabWidget_2")->tabBar()->isEnabled());
    if (action == "close") {
        ui->window.close();
        QVERIFY(!ui->window.isVisible());
    }
}

void TestDownload::workerDeletedMidStream()
{
    // The window going away with a stream under way: the worker stops after its chunk, closes the
    // printer and removes the side file, and its deletion waits for all that.
    VirtualPrinter &vp = ui->usb.addPrinter(0x1401, "VS-608K", 3);
    const QString side = dir->filePath("side_decrypted.hex");
    QVERIFY(writeFile(side, QByteArray(512 * 1024, 'x')));
    auto printer = std::make_unique<PrinterHandle>();
    QCOMPARE(CDeviceIOOpera::GetPrinterHandle(3, printer.get()), 0);
    auto *worker = new WorkerThread;
    worker->handOver(std::move(printer), side);
    StreamHold hold(worker);
    worker->start();
    QTRY_VERIFY_WITH_TIMEOUT(hold.held(), kEventTimeoutMs);
    delete worker;
    const std::vector<DownloadRecord> downloads = vp.downloads();
    QCOMPARE(downloads.size(), std::size_t(1));
    QVERIFY(!downloads[0].ended);
    // Held at the first whole percent, six chunks in; the chunk under way was the last.
    QCOMPARE(downloads[0].total, std::uint64_t(6 * 1024));
    QVERIFY(!QFileInfo::exists(side));
}

#include "tst_download.moc"
QObject *createTestDownload() { return new TestDownload; }
