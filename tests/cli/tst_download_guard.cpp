// The download on the command line against virtual printers: what it refuses before any byte
// (and that a refusal sends nothing and touches no file), the manifest, a busy printer, the
// printer after the download (back with its settings, back with the factory ones, restored, not
// back at all, another version), and how many progress lines a log gets.
#include "cli/downloadprogress.h"
#include "core/download/downloadguard.h"
#include "core/profiles/profile.h"
#include "tests/cli/clitest.h"

#include <QDirIterator>
#include <QTest>

using vprinter::RestartPlan;

namespace {

// `size` plain bytes, encrypted with the build's key into `path` (whole blocks only); the plain
// bytes.
QByteArray writeEncrypted(const QString &path, int size)
{
    QByteArray plain(size, '\0');
    for (int i = 0; i < size; ++i)
        plain[i] = char(i * 13 + 5);
    QByteArray encrypted = plain;
    auto *bytes = reinterpret_cast<uint8_t *>(encrypted.data());
    for (int offset = 0; offset + 16 <= encrypted.size(); offset += 16)
        AES128_ECB_encrypt(bytes + offset, kDownloadFileKey, bytes + offset);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(encrypted) != encrypted.size())
        return QByteArray();
    return plain;
}

bool writeText(const QString &path, const QByteArray &text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

QString sha256Of(const QString &path)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(readFile(path), QCryptographicHash::Sha256).toHex());
}

// Every file below `dir` with its contents: what a refusal must leave as it was.
QMap<QString, QByteArray> filesBelow(const QString &dir)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(dir, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (!QFileInfo(path).isFile()) { // a FIFO would block a read
            files[path] = "<special>";
            continue;
        }
        files[path] = QFileInfo(path).size() > 1024 * 1024 ? QByteArray("<large>") : readFile(path);
    }
    return files;
}

QStringList lines(const QString &text) { return text.split('\n', Qt::SkipEmptyParts); }

const QString kVersion = QStringLiteral("V2.3.1 20240315"); // what a virtual printer reports
const QString kNewVersion = QStringLiteral("V2.4.0 20250101");

} // namespace

class TestDownloadGuard : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void refusalsSendNothing_data();
    void refusalsSendNothing();
    void manifest_data();
    void manifest();
    void afterTheDownload_data();
    void afterTheDownload();
    void busyPrinterRefused_data();
    void busyPrinterRefused();
    void progressLinesInALog_data();
    void progressLinesInALog();
    void progressOnATerminal();
    void launcherRestartsAndReports_data();
    void launcherRestartsAndReports();

private:
    QString snapshots() const { return dir.filePath("state/label-printer-setup"); }

    std::unique_ptr<vprinter::VirtualUsb> usb;
    VirtualPrinter *printer = nullptr;
    QTemporaryDir dir;
};

void TestDownloadGuard::init()
{
    QVERIFY(QDir(dir.path()).removeRecursively() && QDir().mkpath(dir.path()));
    qputenv("XDG_STATE_HOME", QFile::encodeName(dir.filePath("state")));
    usb = std::make_unique<vprinter::VirtualUsb>();
    printer = &usb->addPrinter(0x1401, "VS-608K", 3);
}

void TestDownloadGuard::cleanup()
{
    verifyNoViolations(*usb);
    usb.reset();
}

void TestDownloadGuard::refusalsSendNothing_data()
{
    // What the file (or its manifest) is, the options, and a piece of the message that names
    // what was found ({file} is the file's path, {sha} its digest).
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("message");
    QTest::newRow("an empty file") << "empty" << QStringList() << "文件是空的：{file}";
    QTest::newRow("a file over the bound")
        << "large" << QStringList()
        << QStringLiteral("文件太大：{file}（%1 字节，最多 %2 字节）")
               .arg(download::kMaxFileBytes + 1)
               .arg(download::kMaxFileBytes);
    QTest::newRow("no such file") << "missing" << QStringList() << "无法读取文件：{file}";
    QTest::newRow("a directory") << "directory" << QStringList() << "无法读取文件：{file}";
    QTest::newRow("a FIFO") << "fifo" << QStringList() << "无法读取文件：{file}";
    QTest::newRow("a manifest of another model")
        << "wrong model" << QStringList()
        << "文件不适用于此打印机：打印机型号 Orbeck VS-608K，清单中的型号 Zurod RM-310, DVN X1";
    QTest::newRow("a manifest with another checksum")
        << "wrong checksum" << QStringList()
        << "文件的SHA-256与清单不符：文件 {sha}，清单 " + QString(64, 'a');
    QTest::newRow("a manifest with a misspelt key")
        << "misspelt" << QStringList() << "清单无效：{file}.manifest.json（sha265）";
    QTest::newRow("a manifest that is no JSON")
        << "not json" << QStringList() << "清单无效：{file}.manifest.json";
    QTest::newRow("--manifest naming no file")
        << "given missing" << QStringList{"--manifest", "{file}.nothing"}
        << "无法读取清单：{file}.nothing";
}

void TestDownloadGuard::refusalsSendNothing()
{
    QFETCH(QString, kind);
    QFETCH(QStringList, options);
    QFETCH(QString, message);
    const QString file = dir.filePath("fw.hex");
    // The side file's name is taken by the user's own file: nothing may touch it either.
    QVERIFY(writeText(dir.filePath("fw_decrypted.hex"), "the user's own file"));
    if (kind == "empty") {
        QVERIFY(writeText(file, ""));
    } else if (kind == "large") {
        QFile large(file);
        QVERIFY(large.open(QIODevice::WriteOnly) && large.resize(download::kMaxFileBytes + 1));
    } else if (kind == "directory") {
        QVERIFY(QDir().mkpath(file));
    } else if (kind == "fifo") {
        QCOMPARE(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
    } else if (kind != "missing") {
        QVERIFY(!writeEncrypted(file, 3008).isEmpty());
    }
    const QString manifest = file + ".manifest.json";
    if (kind == "wrong model")
        QVERIFY(writeText(manifest, R"({"models": ["Zurod RM-310", "DVN X1"]})"));
    if (kind == "wrong checksum")
        QVERIFY(writeText(manifest, R"({"sha256": ")" + QByteArray(64, 'a') + R"("})"));
    if (kind == "misspelt")
        QVERIFY(writeText(manifest, R"({"models": ["Orbeck VS-608K"], "sha265": "00"})"));
    if (kind == "not json")
        QVERIFY(writeText(manifest, "models: Orbeck VS-608K"));
    const QMap<QString, QByteArray> before = filesBelow(dir.path());

    QStringList arguments = {"--port", "3", "download", "firmware", file};
    for (const QString &option : options)
        arguments << QString(option).replace("{file}", file);
    const Result r = runCli(arguments);
    QCOMPARE(r.exit, int(cli::Refused));
    const QString sha = kind == "wrong checksum" ? sha256Of(file) : QString();
    const QString expected = QString(message).replace("{file}", file).replace("{sha}", sha);
    QVERIFY2(r.err.contains(expected), qPrintable(r.err));
    QCOMPARE(r.out, QString());
    // Not a byte sent, not even a question asked of the printer; every file as it was, and no
    // snapshot taken.
    QVERIFY(printer->transferLog().empty());
    QVERIFY(printer->downloads().empty());
    QCOMPARE(filesBelow(dir.path()), before);
    QVERIFY(QDir(snapshots()).entryList({"*.json"}, QDir::Files).isEmpty()); // no snapshot saved
}

void TestDownloadGuard::manifest_data()
{
    QTest::addColumn<QByteArray>("manifest"); // {sha} is the file's digest
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("exit");
    QTest::addColumn<bool>("streamed");
    QTest::addColumn<QString>("said"); // the outcome line
    QTest::newRow("right model, checksum and a new version")
        << QByteArray(R"({"models": ["DVN X1", "Orbeck VS-608K"], "version": "V2.4.0 20250101",
                         "sha256": "{sha}"})")
        << QStringList() << int(cli::Ok) << true
        << "已核对：打印机 Orbeck VS-608K (USB 1-3) 已回来，版本 V2.4.0 20250101，与清单相符，"
           "设置与下载前相同";
    QTest::newRow("given with --manifest")
        << QByteArray(R"({"models": ["Orbeck VS-608K"], "sha256": "{SHA}"})")
        << QStringList{"--manifest", "elsewhere"} << int(cli::Ok) << true
        << "已核对：打印机 Orbeck VS-608K (USB 1-3) 已回来，版本 V2.4.0 20250101，"
           "设置与下载前相同";
    QTest::newRow("the version the printer has")
        << QByteArray(R"({"models": ["Orbeck VS-608K"], "version": "V2.3.1 20240315"})")
        << QStringList() << int(cli::Ok) << false
        << "已跳过：打印机 Orbeck VS-608K (USB 1-3) 已是版本 V2.3.1 20240315；用 --reinstall "
           "重新安装";
    QTest::newRow("the version the printer has, --reinstall")
        << QByteArray(R"({"version": "V2.3.1 20240315"})") << QStringList{"--reinstall"}
        << int(cli::VersionMismatch) << true
        << "版本不符：打印机 Orbeck VS-608K (USB 1-3) 已回来，但报告的版本是 V2.4.0 20250101，"
           "清单中的是 V2.3.1 20240315";
}

void TestDownloadGuard::manifest()
{
    QFETCH(QByteArray, manifest);
    QFETCH(QStringList, options);
    QFETCH(int, exit);
    QFETCH(bool, streamed);
    QFETCH(QString, said);
    const QString file = dir.filePath("fw.hex");
    const QByteArray plain = writeEncrypted(file, 3008);
    QVERIFY(!plain.isEmpty());
    // An upper-case digest is the same digest.
    manifest.replace("{sha}", sha256Of(file).toLatin1())
        .replace("{SHA}", sha256Of(file).toUpper().toLatin1());
    const QString manifestPath =
        options.contains("--manifest") ? dir.filePath("elsewhere") : file + ".manifest.json";
    QVERIFY(writeText(manifestPath, manifest));
    options.replaceInStrings("elsewhere", manifestPath);
    RestartPlan plan;
    plan.afterDownload = true;
    plan.delayMs = 50;
    plan.newVersion = kNewVersion.toStdString();
    printer->setRestartPlan(plan);

    const Result r = runCli(QStringList{"--port", "3", "download", "firmware", file} + options);
    QCOMPARE(r.exit, exit);
    QVERIFY2(lines(r.out).contains(said), qPrintable(r.out + r.err));
    QCOMPARE(printer->downloads().size(), std::size_t(streamed ? 1 : 0));
    if (!streamed) {
        QVERIFY(
            QDir(snapshots()).entryList({"*.json"}, QDir::Files).isEmpty()); // no snapshot saved
        return;
    }
    QCOMPARE(printer->downloads()[0].total, std::uint64_t(plain.size()));
    // The question's line names the version to come when the manifest has one.
    QCOMPARE(r.out.contains("将安装的版本：V"), manifest.contains("version"));
}

void TestDownloadGuard::afterTheDownload_data()
{
    // "keeps", "factory", "never", "upgrade error" (keeps its settings) or "stays" (no restart)
    QTest::addColumn<QString>("restart");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("exit");
    QTest::addColumn<QStringList>("said"); // the lines after the progress ({snapshot})
    QTest::addColumn<bool>("speedKept");   // the printer afterwards runs at the speed set before
    const QString back = "打印机 Orbeck VS-608K (USB 1-3) 已回来，版本 V2.4.0 20250101";
    QTest::newRow("restarts and keeps its settings")
        << "keeps" << QStringList() << int(cli::Ok)
        << QStringList{"已核对：" + back + "，设置与下载前相同"} << true;
    QTest::newRow("does not restart at all")
        << "stays" << QStringList() << int(cli::Ok)
        << QStringList{"已核对：打印机 Orbeck VS-608K (USB 1-3) 已回来，版本 V2.3.1 20240315，"
                       "设置与下载前相同"}
        << true;
    const QStringList changed = {"  print speed：下载前 4，现在 2",
                                 "  wifi station-name：下载前 Shop-7，现在 Office-WLAN"};
    QTest::newRow("comes back with the factory settings")
        << "factory" << QStringList() << int(cli::SettingsChanged)
        << QStringList{"设置已变：" + back + "，但有 2 项设置与下载前不同："} + changed +
               QStringList{"下载前的设置保存在 {snapshot}"}
        << false;
    QTest::newRow("factory settings, restored")
        << "factory" << QStringList{"--restore-settings"} << int(cli::Ok)
        << QStringList{"已恢复：" + back + "；有变化的设置已按下载前的写回 2 个页面并核对"} +
               changed
        << true;
    QTest::newRow("comes back reporting that the upgrade failed")
        << "upgrade error" << QStringList() << int(cli::TransportFailed)
        << QStringList{"失败：打印机 Orbeck VS-608K (USB 1-3) 已回来（版本 V2.4.0 20250101），"
                       "但报告：升级异常",
                       "下载前的设置保存在 {snapshot}"}
        << true;
    QTest::newRow("never comes back")
        << "never" << QStringList{"--wait", "1"} << int(cli::NotBack)
        << QStringList{"未回来：打印机 Orbeck VS-608K (USB 1-3) 在 1 秒内没有再次应答",
                       "下载前的设置保存在 {snapshot}"}
        << false;
}

void TestDownloadGuard::afterTheDownload()
{
    QFETCH(QString, restart);
    QFETCH(QStringList, options);
    QFETCH(int, exit);
    QFETCH(QStringList, said);
    QFETCH(bool, speedKept);
    const QString file = dir.filePath("fw.hex");
    QVERIFY(!writeEncrypted(file, 3008).isEmpty());
    QCOMPARE(runCli({"--port", "3", "write", "print", "speed=4"}).exit, int(cli::Ok));
    QCOMPARE(runCli({"--port", "3", "write", "wifi", "station-name=Shop-7"}).exit, int(cli::Ok));
    const vprinter::Bytes speed = printer->setting(0x00);
    RestartPlan plan;
    plan.afterDownload = restart != "stays";
    plan.delayMs = 300;
    plan.neverBack = restart == "never";
    plan.factorySettings = restart == "factory";
    plan.statusAfter = restart == "upgrade error" ? 0x0800 : 0;
    plan.newVersion = kNewVersion.toStdString();
    printer->setRestartPlan(plan);

    const Result r = runCli(QStringList{"--port", "3", "download", "firmware", file} + options);
    QCOMPARE(r.exit, exit);
    // The snapshot: one profile of every page, for its owner alone, named by the serial number.
    // (The history's journal shares the folder.)
    const QStringList saved = QDir(snapshots()).entryList({"*.json"}, QDir::Files);
    QCOMPARE(saved.size(), 1);
    const QString snapshot = snapshots() + '/' + saved[0];
    QVERIFY2(saved[0].startsWith("ZR311P3-"), qPrintable(saved[0]));
    QCOMPARE(modeOf(snapshot), 0600);
    QCOMPARE(modeOf(snapshots()), 0700);
    profile::Parsed parsed;
    QVERIFY(!profile::load(snapshot, parsed));
    QCOMPARE(parsed.model, QStringLiteral("Orbeck VS-608K"));
    QCOMPARE(parsed.version, kVersion);
    QCOMPARE(parsed.pages["print"].toObject()["values"].toObject()["speed"].toString(),
             QStringLiteral("4"));

    const QStringList out = lines(r.out);
    const int progressEnd = out.indexOf("100%");
    QVERIFY2(progressEnd > 0, qPrintable(r.out));
    QCOMPARE(out.mid(progressEnd + 1), said.replaceInStrings("{snapshot}", snapshot));
    QCOMPARE(printer->downloads().size(), std::size_t(1));
    QVERIFY(printer->downloads()[0].ended);

    VirtualPrinter *now = usb->find("1-3");
    QCOMPARE(now != nullptr, restart != "never");
    if (now)
        QCOMPARE(now->setting(0x00) == speed, speedKept);
}

void TestDownloadGuard::busyPrinterRefused_data()
{
    QTest::addColumn<quint32>("word");
    QTest::addColumn<bool>("force");
    QTest::addColumn<int>("exit");
    QTest::newRow("paper out and cover open") << quint32(0x82) << false << int(cli::Busy);
    QTest::newRow("printing") << quint32(0x01) << false << int(cli::Busy);
    QTest::newRow("paper out and cover open, --force") << quint32(0x82) << true << int(cli::Ok);
    QTest::newRow("bits that mean nothing") << quint32(0x10000) << false << int(cli::Ok);
    // A status request that stalls: whether it is idle is not known.
    QTest::newRow("no status word") << quint32(0xFFFFFFFF) << false << int(cli::TransportFailed);
    QTest::newRow("no status word, --force") << quint32(0xFFFFFFFF) << true << int(cli::Ok);
}

void TestDownloadGuard::busyPrinterRefused()
{
    QFETCH(quint32, word);
    QFETCH(bool, force);
    QFETCH(int, exit);
    const QString file = dir.filePath("fw.hex");
    QVERIFY(!writeEncrypted(file, 3008).isEmpty());
    if (word == 0xFFFFFFFF)
        printer->setFaults(faultNamed("stallStatus"));
    else
        printer->setStatusWord(word);
    QStringList arguments = {"--port", "3", "download", "firmware", file};
    if (force)
        arguments << "--force";
    const Result r = runCli(arguments);
    QCOMPARE(r.exit, exit);
    if (exit == cli::Ok) {
        QCOMPARE(printer->downloads().size(), std::size_t(1));
        return;
    }
    QStringList conditions;
    for (const StatusCondition &condition : statusConditions(word))
        conditions << condition.text;
    QCOMPARE(r.err, (word == 0xFFFFFFFF
                         ? "无法读取打印机 Orbeck VS-608K (USB 1-3) 的状态，不知道它是否空闲"
                         : "打印机 Orbeck VS-608K (USB 1-3) 报告：" + conditions.join("、")) +
                        "\n用 --force 仍然下载\n");
    // Only the status request: no frame, no stream, no snapshot.
    QVERIFY(printer->bulkOutLog().empty());
    QVERIFY(printer->downloads().empty());
    QVERIFY(QDir(snapshots()).entryList({"*.json"}, QDir::Files).isEmpty()); // no snapshot saved
}

void TestDownloadGuard::progressLinesInALog_data()
{
    QTest::addColumn<int>("size"); // plain bytes
    QTest::addColumn<QStringList>("progress");
    QTest::newRow("one short chunk") << 16 << QStringList{"100%"};
    QTest::newRow("3008 bytes") << 3008 << QStringList{"34%", "68%", "100%"};
    QTest::newRow("100 chunks") << 100 * 1024
                                << QStringList{"1%",  "10%", "20%", "30%", "40%", "50%",
                                               "60%", "70%", "80%", "90%", "100%"};
    QTest::newRow("a thousand chunks and a short one")
        << 1000 * 1024 + 16
        << QStringList{"0%", "10%", "20%", "30%", "40%", "50%", "60%", "70%", "80%", "90%", "100%"};
}

void TestDownloadGuard::progressLinesInALog()
{
    QFETCH(int, size);
    QFETCH(QStringList, progress);
    const QString file = dir.filePath("fw.hex");
    QVERIFY(!writeEncrypted(file, size).isEmpty());
    const Result r = runCli({"--port", "3", "download", "firmware", file});
    QCOMPARE(r.exit, int(cli::Ok));
    QStringList percentages;
    for (const QString &line : lines(r.out)) {
        if (line.endsWith('%'))
            percentages << line;
    }
    QCOMPARE(percentages, progress);
    QCOMPARE(printer->downloads().size(), std::size_t(1));
    QCOMPARE(printer->downloads()[0].total, std::uint64_t(size));

    // However large: at most a line per tenth, for 200 MB sent in 1024-byte chunks too.
    QString log;
    QTextStream stream(&log);
    cli::DownloadProgress lineEach(stream, false);
    const qint64 large = 200LL * 1000 * 1000;
    for (qint64 sent = 1024; sent < large + 1024; sent += 1024)
        lineEach.update(std::min(sent, large), large);
    lineEach.finish();
    stream.flush();
    QCOMPARE(lines(log), (QStringList{"0%", "10%", "20%", "30%", "40%", "50%", "60%", "70%", "80%",
                                      "90%", "100%"}));
}

void TestDownloadGuard::progressOnATerminal()
{
    QString shown;
    QTextStream stream(&shown);
    cli::DownloadProgress line(stream, true);
    const qint64 size = 5000 * 1024;
    for (qint64 sent = 1024; sent <= size; sent += 1024)
        line.update(sent, size);
    line.finish();
    stream.flush();
    // One line, rewritten in place once per percent, ending with every byte sent.
    QCOMPARE(shown.count('\n'), 1);
    QVERIFY(shown.endsWith('\n'));
    QCOMPARE(shown.count('\r'), 101);
    const QString last = shown.section('\r', -1).trimmed();
    QVERIFY2(last.startsWith(QStringLiteral("100% %1 / %1 字节，").arg(size)), qPrintable(last));
    QVERIFY(last.endsWith("KiB/s"));
}

void TestDownloadGuard::launcherRestartsAndReports_data()
{
    QTest::addColumn<QString>("command"); // given to the launcher with --at 0
    QTest::addColumn<int>("exit");
    QTest::addColumn<QString>("said"); // the last line on standard output or error
    QTest::newRow("a restart with a new version")
        << "restart 3 200 factory version V2.4.0 20250101" << int(cli::Ok)
        << "已核对：打印机 Orbeck VS-608K (USB 1-3) 已回来，版本 V2.4.0 20250101，设置与下载前相同";
    QTest::newRow("never back") << "restart 3 never" << int(cli::NotBack) << "下载前的设置保存在 ";
    QTest::newRow("a condition") << "status 3 0x80" << int(cli::Busy) << "用 --force 仍然下载";
}

// The launcher's own commands, with the program itself: what a user trying it out types.
void TestDownloadGuard::launcherRestartsAndReports()
{
    QFETCH(QString, command);
    QFETCH(int, exit);
    QFETCH(QString, said);
    const QString file = dir.filePath("fw.hex");
    QVERIFY(!writeEncrypted(file, 3008).isEmpty());
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("UMOCKDEV_DIR"); // this test's own testbed is not the launcher's
    env.insert("QT_LOGGING_RULES", "labelsetup.*.debug=false");
    env.insert("LC_ALL", "zh_CN.UTF-8"); // the texts as the sources have them
    process.setProcessEnvironment(env);
    process.start(LABELSETUP_LAUNCHER,
                  {"--printer", "1401:3:VS-608K", "--at", "0", command, "--", LABELSETUP_CLI,
                   "--port", "3", "download", "firmware", file, "--wait", "2"});
    QVERIFY(process.waitForFinished(120000));
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    const QString err = QString::fromUtf8(process.readAllStandardError());
    QVERIFY2(process.exitCode() == exit,
             qPrintable(QString::number(process.exitCode()) + '\n' + out + err));
    const QStringList shown = lines(exit == cli::Busy ? err : out);
    QVERIFY2(!shown.isEmpty() && shown.last().startsWith(said), qPrintable(out + err));
}

QTEST_GUILESS_MAIN(TestDownloadGuard)
#include "tst_download_guard.moc"
