// restore --all side by side on printers that take real time to answer: the same outcomes and
// the same frames on every printer as one printer after another, every line whole, nothing of one
// printer reaching another; --jobs refused when out of range.
#include "core/profiles/apply.h"
#include "tests/cli/clitest.h"
#include "tests/support/fleetprofile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>
#include <algorithm>
#include <atomic>
#include <csignal>
#include <thread>

using namespace std::chrono_literals;

namespace {

constexpr std::uint16_t kModel = 0x1401; // Orbeck VS-608K: every page
constexpr int kFailingPort = 6;
constexpr int kOtherModelPort = 4;

// Each printer keeps a Wi-Fi password of its own, which the profile leaves out: the Wi-Fi page
// written to it carries that password, so a frame meant for another printer shows.
QByteArray passwordOf(int port) { return "pw-" + QByteArray::number(port) + "-x"; }

// A profile of the model that differs from the factory values on every page and leaves the
// station password out.
QByteArray fleetProfile(const QString &dir)
{
    vprinter::VirtualUsb usb;
    usb.addPrinter(kModel, "VS-608K", 1);
    const QString path = dir + "/factory.json";
    if (runCli({"--port", "1", "backup", path}).exit != 0)
        return QByteArray();
    QJsonObject document = QJsonDocument::fromJson(readFile(path)).object();
    document = changeEveryPage(document, true);
    return QJsonDocument(document).toJson();
}

// Eight printers on ports 1 to 8, answering a few milliseconds late so that they really overlap:
// one of another model, one whose write fails part-way through its pages.
void attachFleet(vprinter::VirtualUsb &usb)
{
    for (int port = 1; port <= 8; ++port) {
        VirtualPrinter &printer = port == kOtherModelPort ? usb.addPrinter(0x0411, "RM-310", port)
                                                          : usb.addPrinter(kModel, "VS-608K", port);
        printer.setLatency(3ms);
        printer.setSetting(0x26, texts({"Office-WLAN", passwordOf(port).constData()}));
        if (port == kFailingPort) {
            vprinter::Faults faults;
            faults.failNextWrite = true;
            faults.writesBeforeFailure = 60; // past the reads, among the writes
            printer.setFaults(faults);
        }
    }
}

struct FleetRun {
    Result result;
    std::map<int, std::vector<vprinter::Bytes>> frames; // port -> every bulk OUT, in order
    QStringList foreign; // frames that carry another printer's password
};

FleetRun restoreAll(const QString &profile, const QString &jobs)
{
    FleetRun run;
    vprinter::VirtualUsb usb;
    attachFleet(usb);
    run.result = runCli({"restore", "--all", "--jobs", jobs, profile});
    for (VirtualPrinter *printer : usb.devices()) {
        run.frames[printer->port()] = printer->bulkOutLog();
        for (const vprinter::Bytes &frame : printer->bulkOutLog()) {
            const QByteArray bytes = toQByteArray(frame);
            if (bytes.contains("pw-") && !bytes.contains(passwordOf(printer->port())))
                run.foreign << printer->sysfsName().c_str() + QString(": ") + bytes.toHex(' ');
        }
    }
    const std::vector<std::string> violations = usb.violations();
    for (const std::string &violation : violations)
        run.foreign << QString::fromStdString("device check: " + violation);
    return run;
}

// The writes a printer received, page by page: each run of frames that are not queries (the
// page's set frames), ended by the queries of its read-back.
QList<QList<QByteArray>> pageWrites(const std::vector<vprinter::Bytes> &frames)
{
    QList<QList<QByteArray>> pages;
    bool inPage = false;
    for (const vprinter::Bytes &frame : frames) {
        const bool query = frame.size() > 3 && frame[3] == 0x02;
        if (!query && !inPage)
            pages.append(QList<QByteArray>());
        if (!query)
            pages.last() << toQByteArray(frame);
        inPage = !query;
    }
    return pages;
}

QStringList sortedLines(const QString &text)
{
    QStringList lines = text.split('\n', Qt::SkipEmptyParts);
    lines.sort();
    return lines;
}

} // namespace

class TestCliFleet : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sameOutcomesAsOneAtATime();
    void linesAppearAsPrintersFinish();
    void interruptedBetweenPages();
    void provisionWritesPrintersSideBySide();
    void downloadsToEveryPrinter();
    void downloadToSeveralModelsRefused();
    void jobsOutOfRangeRefused_data();
    void jobsOutOfRangeRefused();

private:
    QTemporaryDir dir;
    QString profilePath;
};

void TestCliFleet::initTestCase()
{
    profilePath = dir.filePath("fleet.json");
    const QByteArray profile = fleetProfile(dir.path());
    QVERIFY(!profile.isEmpty());
    QFile file(profilePath);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(profile) == profile.size());
}

void TestCliFleet::sameOutcomesAsOneAtATime()
{
    const FleetRun oneAtATime = restoreAll(profilePath, "1");
    const FleetRun sideBySide = restoreAll(profilePath, "8");

    QVERIFY2(oneAtATime.foreign.isEmpty(), qPrintable(oneAtATime.foreign.join('\n')));
    QVERIFY2(sideBySide.foreign.isEmpty(), qPrintable(sideBySide.foreign.join('\n')));
    // The failing printer fails the run, as one after another.
    QCOMPARE(oneAtATime.result.exit, int(cli::TransportFailed));
    QCOMPARE(sideBySide.result.exit, oneAtATime.result.exit);

    // A line a printer of the model, each whole: its own path first, then the fields of a line.
    const QStringList lines = sortedLines(sideBySide.result.out);
    QCOMPARE(lines, sortedLines(oneAtATime.result.out));
    QStringList paths;
    for (const QString &line : lines) {
        const QStringList fields = line.split('\t');
        QVERIFY2(fields.size() == 4 && QRegularExpression("^1-[1-8]$").match(fields[0]).hasMatch(),
                 qPrintable(line));
        QVERIFY2(line.count(QRegularExpression("\\b1-[1-8]\\b")) == 1, qPrintable(line));
        paths << fields[0];
    }
    QCOMPARE(paths, (QStringList{"1-1", "1-2", "1-3", "1-5", "1-6", "1-7", "1-8"}));
    QCOMPARE(sortedLines(sideBySide.result.err), sortedLines(oneAtATime.result.err));
    for (const QString &line : lines) {
        if (line.startsWith(QStringLiteral("1-%1\t").arg(kFailingPort)))
            QVERIFY2(!line.endsWith(profile::outcomeText(profile::Outcome::Verified)),
                     qPrintable(line));
        else
            QVERIFY2(line.endsWith(profile::outcomeText(profile::Outcome::Verified)),
                     qPrintable(line));
    }

    // Every printer received exactly the frames it receives when it is the only one at work; the
    // other model nothing at all.
    for (int port = 1; port <= 8; ++port) {
        QCOMPARE(sideBySide.frames.at(port).size(), oneAtATime.frames.at(port).size());
        QVERIFY2(sideBySide.frames.at(port) == oneAtATime.frames.at(port),
                 qPrintable(QString("port %1").arg(port)));
    }
    QVERIFY(sideBySide.frames.at(kOtherModelPort).empty());
    QVERIFY(sideBySide.frames.at(1).size() > 50);
}

// The slow printer is first by path but last to finish: its line comes last.
void TestCliFleet::linesAppearAsPrintersFinish()
{
    vprinter::VirtualUsb usb;
    for (int port = 1; port <= 3; ++port)
        usb.addPrinter(kModel, "VS-608K", port).setLatency(port == 1 ? 25ms : 0ms);
    const Result r = runCli({"restore", "--all", profilePath});
    QCOMPARE(r.exit, int(cli::Ok));
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3);
    QVERIFY2(lines.last().startsWith("1-1\t"), qPrintable(r.out));
    verifyNoViolations(usb);
}

// SIGINT while two of five printers are being written: each finishes the page in flight and
// stops before the next, whole pages only; the three not started receive nothing; every printer's
// state is reported.
void TestCliFleet::interruptedBetweenPages()
{
    const auto attach = [](vprinter::VirtualUsb &usb, std::chrono::milliseconds latency) {
        for (int port = 1; port <= 5; ++port)
            usb.addPrinter(kModel, "VS-608K", port).setLatency(latency);
    };
    std::map<int, QList<QList<QByteArray>>> whole;
    {
        vprinter::VirtualUsb usb;
        attach(usb, 0ms);
        QCOMPARE(runCli({"restore", "--all", "--jobs", "1", profilePath}).exit, int(cli::Ok));
        for (VirtualPrinter *printer : usb.devices())
            whole[printer->port()] = pageWrites(printer->bulkOutLog());
    }
    QCOMPARE(whole[1].size(), int(pages::pageNames().size()));

    vprinter::VirtualUsb usb;
    attach(usb, 8ms);
    VirtualPrinter *first = usb.find("1-1");
    VirtualPrinter *second = usb.find("1-2");
    // Interrupted once the first of them has a page's write under way.
    std::atomic<bool> finished{false};
    std::thread interrupter([&] {
        while (!finished && pageWrites(first->bulkOutLog()).isEmpty() &&
               pageWrites(second->bulkOutLog()).isEmpty())
            std::this_thread::sleep_for(1ms);
        if (!finished)
            ::kill(::getpid(), SIGINT);
    });
    const Result r = runCli({"restore", "--all", "--jobs", "2", profilePath});
    finished = true;
    interrupter.join();

    QCOMPARE(r.exit, int(cli::Interrupted));
    QVERIFY2(r.err.contains("正在停止"), qPrintable(r.err));
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    for (int port = 1; port <= 5; ++port) {
        VirtualPrinter &printer = *usb.find("1-" + std::to_string(port));
        const QString path = QStringLiteral("1-%1").arg(port);
        const QStringList own = lines.filter(QRegularExpression("^" + path + "\t"));
        if (port > 2) {
            QCOMPARE(own.size(), 1);
            QVERIFY2(own[0].endsWith("\t跳过：已停止，未发送任何内容"), qPrintable(own[0]));
            QVERIFY(printer.bulkOutLog().empty());
            continue;
        }
        // Whole pages, the same as an uninterrupted run's first ones.
        const QList<QList<QByteArray>> written = pageWrites(printer.bulkOutLog());
        QVERIFY(written.size() < whole[port].size());
        QCOMPARE(written, whole[port].mid(0, written.size()));
        const QString next = pages::pageNames().value(written.size());
        QCOMPARE(own.size(), 1);
        QVERIFY2(
            own[0].endsWith(QStringLiteral("\t已写入 %1 个页面\t已停止，未写入 %2 及之后的页面")
                                .arg(written.size())
                                .arg(next)),
            qPrintable(own[0]));
    }
    verifyNoViolations(usb);
}

// The command the launcher runs: its child process.
pid_t childOf(qint64 launcher)
{
    QFile children(QStringLiteral("/proc/%1/task/%1/children").arg(launcher));
    if (!children.open(QIODevice::ReadOnly))
        return 0;
    return pid_t(QString::fromLatin1(children.readAll()).split(' ').value(0).toInt());
}

// A printer plugged in while a slow one is being written is written at once and done first;
// SIGINT then stops the slow one after its page in flight, and the run says so.
void TestCliFleet::provisionWritesPrintersSideBySide()
{
    QProcess run;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("UMOCKDEV_DIR"); // a testbed of this test's would not be the launcher's
    env.insert("QT_LOGGING_RULES", "labelsetup.*.debug=false");
    env.insert("LC_ALL", "zh_CN.UTF-8"); // the texts as the sources have them
    run.setProcessEnvironment(env);
    run.start(LABELSETUP_LAUNCHER, {"--printer", "1401:3:VS-608K", "--commands", "--",
                                    LABELSETUP_CLI, "provision", profilePath});
    QString err;
    const auto said = [&](const QString &text) {
        err += QString::fromUtf8(run.readAllStandardError());
        return err.contains(text);
    };
    QTRY_VERIFY_WITH_TIMEOUT(said("等待插入型号为 Orbeck VS-608K 的打印机"), kEventTimeoutMs);
    QStringList lines;
    const auto readLines = [&] {
        while (run.canReadLine())
            lines << QString::fromUtf8(run.readLine()).trimmed();
        return lines.size();
    };
    // The slow one answers a tenth of a second late: its seven pages take many seconds.
    run.write("plug 1401:5:VS-608K\nlatency 5 100\n");
    QTRY_VERIFY_WITH_TIMEOUT(said("virtual-printers: latency 5 100"), kEventTimeoutMs);
    run.write("plug 1401:6:VS-608K\n");
    QTRY_VERIFY_WITH_TIMEOUT(readLines() >= 1, kEventTimeoutMs);
    QCOMPARE(lines.first(), "1-6\tZR311P6\t已写入 7 个页面\t已写入并核对");

    const pid_t cli = childOf(run.processId());
    QVERIFY(cli > 0);
    QCOMPARE(::kill(cli, SIGINT), 0);
    QVERIFY(run.waitForFinished(kEventTimeoutMs));
    readLines();
    err += QString::fromUtf8(run.readAllStandardError());
    QCOMPARE(run.exitCode(), int(cli::Interrupted));
    QCOMPARE(lines.size(), 2);
    QVERIFY2(
        QRegularExpression("^1-5\tZR311P5\t已写入 [0-6] 个页面\t已停止，未写入 \\S+ 及之后的页面$")
            .match(lines[1])
            .hasMatch(),
        qPrintable(lines.join('\n')));
    QVERIFY2(err.contains("正在停止"), qPrintable(err));
    QVERIFY2(err.contains("2 台打印机："), qPrintable(err));
}

// The same stream, whole, to every printer at once; nothing of the decrypted file left behind.
void TestCliFleet::downloadsToEveryPrinter()
{
    QTemporaryDir files;
    const QString file = files.filePath("fw.hex");
    const QByteArray plain = writeEncryptedSample(file);
    QVERIFY(!plain.isEmpty());
    vprinter::VirtualUsb usb;
    for (int port = 1; port <= 3; ++port)
        usb.addPrinter(kModel, "VS-608K", port).setLatency(1ms);
    const Result r = runCli({"download", "--all", "firmware", file});
    QVERIFY2(r.exit == int(cli::Ok), qPrintable(r.out + r.err));
    // Each printer's lines whole: its announcement right before its outcome.
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 6);
    for (int i = 0; i < lines.size(); i += 2) {
        const QString path = QRegularExpression("\\(USB (1-\\d)\\)").match(lines[i]).captured(1);
        QVERIFY2(lines[i].startsWith("即将向打印机 Orbeck VS-608K (USB " + path + ")"),
                 qPrintable(r.out));
        QCOMPARE(lines[i + 1], "已核对：打印机 Orbeck VS-608K (USB " + path +
                                   ") 已回来，版本 V2.3.1 20240315，设置与下载前相同");
    }
    const QByteArray sha = QCryptographicHash::hash(plain, QCryptographicHash::Sha256).toHex();
    for (VirtualPrinter *printer : usb.devices()) {
        const std::vector<vprinter::DownloadRecord> downloads = printer->downloads();
        QCOMPARE(int(downloads.size()), 1);
        QVERIFY(downloads[0].ended);
        QCOMPARE(downloads[0].total, std::uint64_t(plain.size()));
        QCOMPARE(QByteArray::fromStdString(downloads[0].sha256), sha);
    }
    // The document: every printer by USB path, each with its outcome.
    const Result j = runCli({"download", "--all", "--json", "firmware", file});
    QVERIFY2(j.exit == int(cli::Ok), qPrintable(j.out + j.err));
    const QJsonArray printers = QJsonDocument::fromJson(j.out.toUtf8())["printers"].toArray();
    QCOMPARE(printers.size(), 3);
    for (int i = 0; i < printers.size(); ++i) {
        QCOMPARE(printers[i]["printer"]["path"].toString(), QStringLiteral("1-%1").arg(i + 1));
        QCOMPARE(printers[i]["outcome"].toString(), "verified");
        QCOMPARE(printers[i]["sent"].toBool(), true);
    }
    QCOMPARE(QDir(files.path()).entryList(QDir::Files), QStringList{"fw.hex"});
    verifyNoViolations(usb);
}

void TestCliFleet::downloadToSeveralModelsRefused()
{
    QTemporaryDir files;
    const QString file = files.filePath("fw.hex");
    QVERIFY(!writeEncryptedSample(file).isEmpty());
    vprinter::VirtualUsb usb;
    usb.addPrinter(kModel, "VS-608K", 1);
    usb.addPrinter(0x0411, "RM-310", 2);
    const Result r = runCli({"download", "--all", "firmware", file});
    QCOMPARE(r.exit, int(cli::Refused));
    QVERIFY2(r.err.contains("download --all"), qPrintable(r.err));
    for (VirtualPrinter *printer : usb.devices())
        QVERIFY(printer->bulkOutLog().empty());
    QCOMPARE(QDir(files.path()).entryList(QDir::Files), QStringList{"fw.hex"});
}

void TestCliFleet::jobsOutOfRangeRefused_data()
{
    QTest::addColumn<QString>("jobs");
    QTest::newRow("none") << "0";
    QTest::newRow("more than eight") << "9";
    QTest::newRow("not a number") << "x";
    QTest::newRow("negative") << "-2";
}

void TestCliFleet::jobsOutOfRangeRefused()
{
    QFETCH(QString, jobs);
    vprinter::VirtualUsb usb;
    VirtualPrinter &printer = usb.addPrinter(kModel, "VS-608K", 1);
    const Result r = runCli({"restore", "--all", "--jobs", jobs, profilePath});
    QCOMPARE(r.exit, int(cli::UsageError));
    QCOMPARE(r.err, QStringLiteral("--jobs 须为 1 到 8 之间的整数：%1\n").arg(jobs));
    QVERIFY(r.out.isEmpty());
    QVERIFY(printer.bulkOutLog().empty());
}

QTEST_GUILESS_MAIN(TestCliFleet)
#include "tst_cli_fleet.moc"
