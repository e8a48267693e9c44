// The command line against virtual printers, through the real libusb code: every command, the
// exit statuses, refused input that sends nothing, and a profile copied from one printer to
// another that arrives as the same frames the window sends.
#include "cli/cli.h"
#include "core/crypto/aes.h"
#include "core/crypto/filedecrypt.h"
#include "core/printers/printeraccess.h"
#include "core/settings/settingspage.h"
#include "tests/support/usbfixture.h"
#include "tests/support/windowharness.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstring>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using vprinter::VirtualPrinter;

#include "tests/cli/clitest.h"

class TestCli : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void listsPrinters();
    void jsonOutput_data();
    void jsonOutput();
    void helpShowsOnlyItsOwnOptions_data();
    void helpShowsOnlyItsOwnOptions();
    void helpListsPagesAndKeys_data();
    void helpListsPagesAndKeys();
    void completion_data();
    void completion();
    void choosesThePrinter_data();
    void choosesThePrinter();
    void addressesByPath_data();
    void addressesByPath();
    void lockedModelOffersLess_data();
    void lockedModelOffersLess();
    void infoAndStatus();
    void readsEveryPage();
    void writesChangedKeys();
    void refusedInputSendsNothing_data();
    void refusedInputSendsNothing();
    void transportFailure();
    void cutReplyFailsTheCommand_data();
    void cutReplyFailsTheCommand();
    void maintain_data();
    void maintain();
    void profileCopiesOnePrinterToAnother();
    void verificationCatchesWhatWasNotKept_data();
    void verificationCatchesWhatWasNotKept();
    void diffsPrintersAndFiles_data();
    void diffsPrintersAndFiles();
    void restoresEveryPrinterOfTheModel();
    void selectorBeyondItsListSurvivesBackupAndRestore_data();
    void selectorBeyondItsListSurvivesBackupAndRestore();
    void restoreRefusesAMergedPageBeforeWriting_data();
    void restoreRefusesAMergedPageBeforeWriting();
    void backupFile_data();
    void backupFile();
    void download_data();
    void download();
    void logging_data();
    void logging();
    void listsUnusablePrinters();
    void listWithoutPrinters();
    void unusablePrinterRefused_data();
    void unusablePrinterRefused();
    void deniedToAnUnprivilegedUser_data();
    void deniedToAnUnprivilegedUser();
    void watchReportsPlugsInOrder();
    void provisionsEachNewPrinter();

private:
    std::unique_ptr<vprinter::VirtualUsb> usb;
    VirtualPrinter *first = nullptr;
    VirtualPrinter *second = nullptr;
    QTemporaryDir dir;
};

void TestCli::init()
{
    // Every test starts in an empty directory: backup replaces no file without --force.
    QVERIFY(QDir(dir.path()).removeRecursively() && QDir().mkpath(dir.path()));
    // A download saves the printer's settings first: here, not in the user's state directory.
    qputenv("XDG_STATE_HOME", QFile::encodeName(dir.filePath("state")));
    usb = std::make_unique<vprinter::VirtualUsb>();
    first = &usb->addPrinter(0x1401, "VS-608K", 3);
    second = &usb->addPrinter(0x1401, "VS-608K", 5);
}

void TestCli::cleanup()
{
    verifyNoViolations(*usb);
    usb.reset();
}

void TestCli::listsPrinters()
{
    usb->addPrinter(0x0411, "RM-310", 1);
    const Result r = runCli({"list"});
    QCOMPARE(r.exit, int(cli::Ok));
    QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    lines.sort();
    QCOMPARE(lines, (QStringList{"1\tZurod\tRM-310\t5c1e:0411\t1-1\t(此机型不提供序列号)\tready",
                                 "3\tOrbeck\tVS-608K\t5c1e:1401\t1-3\tZR311P3\tready",
                                 "5\tOrbeck\tVS-608K\t5c1e:1401\t1-5\tZR311P5\tready"}));
}

void TestCli::jsonOutput_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("json");
    QTest::newRow("list")
        << QStringList{"list", "--json"}
        << QByteArray(R"({"schema":1,"printers":[{"port":3,"brand":"Orbeck","product":"VS-608K",
                                "model":"Orbeck VS-608K","vendor-id":"5c1e","product-id":"1401","path":"1-3",
                                "state":"ready","ready":true,"serial":"ZR311P3"},{"port":5,"brand":"Orbeck",
                                "product":"VS-608K","model":"Orbeck VS-608K","vendor-id":"5c1e","product-id":"1401",
                                "path":"1-5","state":"ready","ready":true,"serial":"ZR311P5"}]})");
    QTest::newRow("info") << QStringList{"--port", "3", "info", "--json"}
                          << QByteArray(
                                 R"({"schema":1,"model":"VS-608K","version":"V2.3.1 20240315",
                                "resolution":203,"max-width-mm":72})");
    QTest::newRow("status") << QStringList{"--port", "3", "status", "--json"}
                            << QByteArray(R"({"schema":1,"word":130,"idle":false,"conditions":[
                                  {"name":"paper-out","text":"缺纸"},
                                  {"name":"cover-open","text":"开盖"}]})");
}

void TestCli::jsonOutput()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, json);
    first->setStatusWord(0x0082);
    const Result r = runCli(arguments);
    QCOMPARE(r.exit, int(cli::Ok));
    // The printers in the order of their USB paths.
    QCOMPARE(QJsonDocument::fromJson(r.out.toUtf8()), QJsonDocument::fromJson(json));
}

void TestCli::helpShowsOnlyItsOwnOptions_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("options");
    QTest::newRow("list") << "list" << QStringList{"--json", "--verbose", "--watch"};
    QTest::newRow("info") << "info" << QStringList{"--json", "--port", "--serial", "--verbose"};
    QTest::newRow("status") << "status" << QStringList{"--json", "--port", "--serial", "--verbose"};
    QTest::newRow("read") << "read" << QStringList{"--json", "--port", "--serial", "--verbose"};
    QTest::newRow("write") << "write"
                           << QStringList{"--check",      "--history-secrets", "--json",
                                          "--no-history", "--no-verify",       "--port",
                                          "--quiet",      "--serial",          "--verbose"};
    QTest::newRow("backup") << "backup" << QStringList{"--force", "--json",   "--no-secrets",
                                                       "--port",  "--serial", "--verbose"};
    QTest::newRow("restore") << "restore"
                             << QStringList{"--all",   "--check",           "--dry-run",
                                            "--force", "--history-secrets", "--jobs",
                                            "--json",  "--no-history",      "--no-verify",
                                            "--port",  "--serial",          "--verbose"};
    QTest::newRow("provision") << "provision"
                               << QStringList{"--count", "--history-secrets", "--jobs",
                                              "--json",  "--no-history",      "--verbose"};
    QTest::newRow("diff") << "diff" << QStringList{"--force",  "--json",         "--port",
                                                   "--serial", "--show-secrets", "--verbose"};
    QTest::newRow("maintain") << "maintain" << QStringList{"--json",   "--no-history", "--port",
                                                           "--serial", "--verbose",    "--yes"};
    QTest::newRow("download") << "download"
                              << QStringList{"--all",    "--force",     "--jobs",
                                             "--json",   "--manifest",  "--no-history",
                                             "--port",   "--reinstall", "--restore-settings",
                                             "--serial", "--verbose",   "--wait"};
}

void TestCli::helpShowsOnlyItsOwnOptions()
{
    QFETCH(QString, command);
    QFETCH(QStringList, options);
    const Result r = runCli({command, "--help"});
    QCOMPARE(r.exit, int(cli::Ok));
    // The options section: from "Options:" to the next blank line.
    const QString section = r.out.section("Options:", 1).section("\n\n", 0, 0);
    QStringList shown;
    QRegularExpressionMatchIterator it = QRegularExpression("--[a-z-]+").globalMatch(section);
    while (it.hasNext())
        shown << it.next().captured();
    shown.removeAll("--help");
    shown.removeAll("--help-all");
    shown.sort();
    QCOMPARE(shown, options);
}

void TestCli::helpListsPagesAndKeys_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("read") << "read";
    QTest::newRow("write") << "write";
}

void TestCli::helpListsPagesAndKeys()
{
    QFETCH(QString, command);
    const Result r = runCli({command, "--help"});
    QCOMPARE(r.exit, int(cli::Ok));
    const QStringList lines = r.out.split('\n');
    for (const auto &page : allPages()) {
        const QRegularExpression heading("^  " + page->name() + "($|[ （])");
        int line = 0;
        while (line < lines.size() && !heading.match(lines[line]).hasMatch())
            ++line;
        QVERIFY2(line < lines.size(), qPrintable(page->name()));
        // Each key on a line of its own below the page's, with what it takes.
        for (const pages::KeyDescription &key : page->keys()) {
            const QString where = page->name() + '/' + key.key;
            int at = line + 1;
            while (at < lines.size() && !lines[at].startsWith("    " + key.key + ' '))
                ++at;
            QVERIFY2(at < lines.size(), qPrintable(where));
            QStringList accepted = key.choices;
            if (accepted.size() > 8)
                accepted = QStringList{accepted.first(), accepted.last()};
            if (key.kind == pages::KeyDescription::Kind::Number)
                accepted =
                    QStringList{QString::number(key.range.min), QString::number(key.range.max)};
            for (const QString &value : accepted)
                QVERIFY2(lines[at].contains(value), qPrintable(where + ": " + lines[at]));
        }
    }
    // The examples work as shown (on this test's printer).
    int examples = 0;
    for (const QString &line : lines) {
        if (!line.startsWith("  label-printer-cli "))
            continue;
        QStringList arguments = line.split(' ', Qt::SkipEmptyParts).mid(1);
        arguments[arguments.indexOf("--port") + 1] = "3";
        QVERIFY2(runCli(arguments).exit == cli::Ok, qPrintable(line));
        ++examples;
    }
    QVERIFY(examples > 0);
}

void TestCli::completion_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("offered");
    QStringList commands = {"list",     "info",    "status",    "read", "write",
                            "backup",   "restore", "provision", "diff", "maintain",
                            "download", "history", "undo"};
    commands.sort();
    QTest::newRow("commands") << "label-printer-cli " << commands;
    QTest::newRow("an option's value") << "label-printer-cli --port " << QStringList();
    QTest::newRow("list's options")
        << "label-printer-cli list --" << QStringList{"--help", "--json", "--verbose", "--watch"};
    QStringList names;
    for (const auto &page : allPages())
        names << page->name();
    names.sort();
    QTest::newRow("read: pages") << "label-printer-cli --port 3 read " << names;
    for (const auto &page : allPages()) {
        QStringList keys;
        for (const QString &key : page->writableKeys())
            keys << key + '=';
        keys.sort();
        QTest::addRow("write %s: keys", qPrintable(page->name()))
            << "label-printer-cli write " + page->name() + ' ' << keys;
    }
    QStringList languages;
    for (const pages::KeyDescription &key : allPages().front()->keys()) {
        if (key.key == "language")
            languages = key.choices;
    }
    languages.sort();
    QTest::newRow("write print language=: values")
        << "label-printer-cli write print speed=3 language=" << languages;
}

void TestCli::completion()
{
    QFETCH(QString, line);
    QFETCH(QStringList, offered);
    QCOMPARE(completions(line), offered);
}

void TestCli::choosesThePrinter_data()
{
    QTest::addColumn<int>("printers");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exit");
    QTest::newRow("several printers need --port")
        << 2 << QStringList{"info"} << int(cli::UsageError);
    QTest::newRow("no printer on that port")
        << 2 << QStringList{"--port", "7", "info"} << int(cli::NoSuchPrinter);
    QTest::newRow("port not a number")
        << 2 << QStringList{"--port", "x", "info"} << int(cli::UsageError);
    QTest::newRow("the only printer") << 1 << QStringList{"info"} << int(cli::Ok);
    QTest::newRow("no printer at all") << 0 << QStringList{"info"} << int(cli::NoSuchPrinter);
    QTest::newRow("unknown command") << 1 << QStringList{"reboot"} << int(cli::UsageError);
    QTest::newRow("unknown option") << 1 << QStringList{"--colour", "info"} << int(cli::UsageError);
    QTest::newRow("option of another command")
        << 1 << QStringList{"list", "--force"} << int(cli::UsageError);
    QTest::newRow("help of a command") << 1 << QStringList{"restore", "--help"} << int(cli::Ok);
}

void TestCli::choosesThePrinter()
{
    QFETCH(int, printers);
    QFETCH(QStringList, arguments);
    QFETCH(int, exit);
    if (printers < 2)
        usb->unplug(*second);
    if (printers < 1)
        usb->unplug(*first);
    const Result r = runCli(arguments);
    QCOMPARE(r.exit, exit);
    QCOMPARE(r.err.isEmpty(), exit == cli::Ok);
}

void TestCli::addressesByPath_data()
{
    QTest::addColumn<QString>("port");
    QTest::addColumn<int>("exit");
    QTest::addColumn<int>("reached"); // 0: behind the hub, 1: on the root hub, -1: neither
    QTest::newRow("port number of both") << "4" << int(cli::UsageError) << -1;
    QTest::newRow("bus and path") << "1-2.4" << int(cli::Ok) << 0;
    QTest::newRow("path on its bus") << "2.4" << int(cli::Ok) << 0;
    QTest::newRow("root-hub port by path") << "1-4" << int(cli::Ok) << 1;
    QTest::newRow("path nobody is on") << "1-2.5" << int(cli::NoSuchPrinter) << -1;
    QTest::newRow("not a path") << "1-2..4" << int(cli::UsageError) << -1;
}

void TestCli::addressesByPath()
{
    QFETCH(QString, port);
    QFETCH(int, exit);
    QFETCH(int, reached);
    VirtualPrinter *hubbed[2] = {};
    int i = 0;
    for (const char *path : {"1-2.4", "1-4"}) {
        vprinter::PrinterConfig config;
        config.sysfsName = path;
        config.identity.productId = 0x1401;
        config.identity.product = "VS-608K";
        hubbed[i++] = &usb->addPrinter(config);
    }
    const Result r = runCli({"--port", port, "write", "print", "speed=5"});
    QCOMPARE(r.exit, exit);
    if (port == "4") // the refusal names every printer it could be
        QVERIFY2(r.err.contains("1-2.4") && r.err.contains("1-4"), qPrintable(r.err));
    for (int p = 0; p < 2; ++p)
        QCOMPARE(setFrames(*hubbed[p]).isEmpty(), p != reached);
    QVERIFY(setFrames(*first).isEmpty() && setFrames(*second).isEmpty());
}

void TestCli::lockedModelOffersLess_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exit");
    QTest::newRow("status") << QStringList{"status"} << int(cli::Refused);
    QTest::newRow("maintain") << QStringList{"maintain", "self-test"} << int(cli::Refused);
    QTest::newRow("a settings page") << QStringList{"read", "print"} << int(cli::Refused);
    QTest::newRow("info") << QStringList{"info"} << int(cli::Ok);
}

void TestCli::lockedModelOffersLess()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exit);
    VirtualPrinter &locked = usb->addPrinter(0x0411, "RM-310", 1);
    const Result r = runCli(QStringList{"--port", "1"} + arguments);
    QCOMPARE(r.exit, exit);
    if (exit != cli::Ok)
        QVERIFY(locked.buttonLog().empty() && locked.state().statusRequests == 0);
}

void TestCli::infoAndStatus()
{
    first->setStatusWord(0x0082);
    Result r = runCli({"--port", "3", "info"});
    QCOMPARE(r.exit, int(cli::Ok));
    QCOMPARE(r.out, QStringLiteral("model=VS-608K\nversion=V2.3.1 20240315\nresolution=203\n"
                                   "max-width-mm=72\n"));
    r = runCli({"--port", "3", "status"});
    QCOMPARE(r.exit, int(cli::Ok));
    QCOMPARE(r.out, QStringLiteral("缺纸\n开盖\n"));
}

void TestCli::readsEveryPage()
{
    first->setSetting(0x19, {0x64, 0x00}); // 100 dots: 12 mm
    for (const char *page : kPages) {
        const Result r = runCli({"--port", "3", "read", page, "--json"});
        QCOMPARE(r.exit, int(cli::Ok));
        const QJsonObject json = QJsonDocument::fromJson(r.out.toUtf8()).object();
        QCOMPARE(json.value("page").toString(), QString(page));
        QVERIFY2(!json.value("values").toObject().isEmpty(), page);
    }
    const Result r = runCli({"--port", "3", "read", "print"});
    QVERIFY(r.out.contains("\nlabel-gap=12\n"));
    QVERIFY(r.out.startsWith("speed=2\n"));
}

void TestCli::writesChangedKeys()
{
    first->setSetting(0x19, {0x64, 0x00}); // 100 dots: a gap the write leaves alone
    const Result r = runCli({"--port", "3", "write", "print", "speed=7", "vertical-offset=-3",
                             "language=AUTO", "print-method=transfer"});
    QCOMPARE(r.exit, int(cli::Ok));
    QCOMPARE(first->setting(0x00), vprinter::Bytes{0x07});
    QCOMPARE(first->setting(0x1E), (vprinter::Bytes{0xE8, 0xFF}));
    QCOMPARE(first->setting(0x02), vprinter::Bytes{0x20});
    QCOMPARE(first->setting(0x41), vprinter::Bytes{0x01});
    QCOMPARE(first->setting(0x19), (vprinter::Bytes{0x64, 0x00}));
    QVERIFY(setFrames(*first).endsWith("1B FF FE 00 06 00 1B FE FF"));
    // What changed, old and new, in the order given; a key written with its own value is not.
    QCOMPARE(r.out, QStringLiteral("print speed: 2 -> 7\nprint vertical-offset: 0 -> -3\n"
                                   "print language: TSPL -> AUTO\n"
                                   "print print-method: thermal -> transfer\n"));
    const Result quiet = runCli({"--port", "3", "write", "print", "speed=1", "--quiet"});
    QCOMPARE(quiet.exit, int(cli::Ok));
    QCOMPARE(quiet.out, QString());
    QCOMPARE(first->setting(0x00), vprinter::Bytes{0x01});
}

void TestCli::refusedInputSendsNothing_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("file"); // written to profile.json when not empty
    QTest::addColumn<int>("exit");
    QTest::addColumn<QString>("message");
    const QByteArray valid = profileOf(kPrintPage);
    QTest::newRow("unknown page")
        << QStringList{"read", "usb"} << QByteArray() << int(cli::Refused)
        << QString("未知的页面：usb（可选：%1）").arg(pages::pageNames().join(", "));
    QTest::newRow("unknown key") << QStringList{"write", "print", "colour=red"} << QByteArray()
                                 << int(cli::Refused)
                                 << QString("页面“print”没有设置项“colour”（可选：%1）")
                                        .arg(allPages().front()->writableKeys().join(", "));
    QTest::newRow("read-only key")
        << QStringList{"write", "serial", "serial-number=X"} << QByteArray() << int(cli::Refused)
        << "“serial-number”只能读取，不能修改";
    QTest::newRow("speed beyond the model's list")
        << QStringList{"write", "print", "speed=8"} << QByteArray() << int(cli::Refused)
        << "“speed”的值无效：8（可选：0, 1, 2, 3, 4, 5, 6, 7）";
    QTest::newRow("gap that would wrap")
        << QStringList{"write", "print", "label-gap=8192"} << QByteArray() << int(cli::Refused)
        << "“label-gap”须为 0 到 8191 之间的整数。未发送任何设置。";
    QTest::newRow("not key=value") << QStringList{"write", "wifi", "mode"} << QByteArray()
                                   << int(cli::UsageError) << "参数“mode”不是 key=value 形式";
    QTest::newRow("AP mode without its address")
        << QStringList{"write", "wifi", "mode=AP"} << QByteArray() << int(cli::Refused)
        << "AP模式需要填写AP_IP地址。未发送任何设置。";
    QTest::newRow("subnet mask with a hole")
        << QStringList{"write", "wifi-ip", "mask=255.0.255.0"} << QByteArray() << int(cli::Refused)
        << "“mask”不是有效的子网掩码：须为连续的1再接连续的0";
    QTest::newRow("TCP port 0") << QStringList{"write", "ethernet", "tcp-port=0"} << QByteArray()
                                << int(cli::Refused)
                                << "“tcp-port”须为 1 到 65535 之间的整数。未发送任何设置。";
    QTest::newRow("a FIFO, not a regular file")
        << QStringList{"restore", "fifo"} << QByteArray() << int(cli::Refused) << "不是普通文件：";
    QTest::newRow("access-point address checked in station mode")
        << QStringList{"write", "wifi", "ap-ip=300.1.1.1", "ap-name=Shop"} << QByteArray()
        << int(cli::Refused) << "“ap-ip”须为完整的IP地址";
    QTest::newRow("access-point name not sent in station mode")
        << QStringList{"write", "wifi", "ap-name=Shop"} << QByteArray() << int(cli::Refused)
        << "“ap-name”只在 mode=AP 时发送给打印机。未发送任何设置。";
    QTest::newRow("key given twice")
        << QStringList{"write", "print", "speed=5", "speed=6"} << QByteArray() << int(cli::Refused)
        << "设置项“speed”给出了两次。未发送任何设置。";
    QTest::newRow("unknown action") << QStringList{"maintain", "explode"} << QByteArray()
                                    << int(cli::Refused) << "未知的维护操作：explode";
    QTest::newRow("malformed file")
        << QStringList{"restore", "profile.json"} << QByteArray("{\"format\":1,")
        << int(cli::Refused) << "文件不是有效的打印机配置：unterminated object";
    QTest::newRow("truncated file") << QStringList{"restore", "profile.json"}
                                    << valid.left(valid.size() / 2) << int(cli::Refused) << "";
    QTest::newRow("another model's file")
        << QStringList{"restore", "profile.json"}
        << QByteArray(valid).replace("Orbeck VS-608K", "DVN DN810QX PRO") << int(cli::Refused)
        << "配置来自另一型号（DVN DN810QX PRO），本打印机是 Orbeck VS-608K；用 --force 仍然写入";
    QTest::newRow("a value out of range in the file")
        << QStringList{"restore", "profile.json"}
        << QByteArray(valid).replace("\"vertical-offset\":\"0\"", "\"vertical-offset\":\"5000\"")
        << int(cli::Refused) << "print.vertical-offset";
    QTest::newRow("an unknown format") << QStringList{"restore", "profile.json"}
                                       << QByteArray(valid).replace("\"format\":1", "\"format\":2")
                                       << int(cli::Refused) << "文件不是有效的打印机配置：format";
    // Wire values are whole numbers within their field's wire range.
    const struct {
        const char *name;
        const char *wire;
        const char *key;
    } wires[] = {
        {"fractional wire value", R"("label-gap":16.5)", "label-gap"},
        {"negative wire value of an unsigned field", R"("label-gap":-16)", "label-gap"},
        {"wire value beyond 16 bits", R"("label-gap":65536)", "label-gap"},
        {"wire value beyond 64 bits", R"("print-offset":1e19)", "print-offset"},
        {"wire value as text", R"("label-gap":"16")", "label-gap"},
        {"selector wire value beyond its byte", R"("speed":256)", "speed"},
        {"wire value of a text field", R"("language":1)", "language"},
    };
    for (const auto &row : wires)
        QTest::newRow(row.name)
            << QStringList{"restore", "profile.json"} << withWire(row.wire) << int(cli::Refused)
            << QStringLiteral("文件不是有效的打印机配置：print.wire.%1").arg(row.key);
}

void TestCli::refusedInputSendsNothing()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, file);
    QFETCH(int, exit);
    QFETCH(QString, message);
    if (!file.isEmpty()) {
        QFile f(dir.filePath("profile.json"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(file);
        arguments.last() = f.fileName();
    }
    if (arguments.last() == "fifo") {
        arguments.last() = dir.filePath("fifo");
        QCOMPARE(mkfifo(QFile::encodeName(arguments.last()).constData(), 0600), 0);
    }
    const Result r = runCli(QStringList{"--port", "3"} + arguments);
    QCOMPARE(r.exit, exit);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QCOMPARE(setFrames(*first), QStringList());
    QCOMPARE(first->buttonLog(), std::vector<uint8_t>());
}

void TestCli::transportFailure()
{
    vprinter::Faults faults;
    faults.failNextWrite = true;
    // Listing the printers opens each once; then come the distance read's four queries.
    first->setFaultsForExchange(3, faults);
    Result r = runCli({"--port", "3", "read", "distance"});
    QCOMPARE(r.exit, int(cli::TransportFailed));
    QCOMPARE(r.err, QStringLiteral("请确保打印机已通过usb进行连接\n"));
    first->setFaultsForExchange(6, faults); // the list, four queries, then the first command
    r = runCli({"--port", "3", "write", "distance", "head-to-tear=30"});
    QCOMPARE(r.exit, int(cli::TransportFailed));
    QCOMPARE(first->setting(0x36), (vprinter::Bytes{30, 0})); // the others still went out
}

void TestCli::cutReplyFailsTheCommand_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("cutTo");
    QTest::addColumn<int>("exchange"); // 0: every exchange; n: only the nth open of the printer
    QTest::newRow("read, nothing arrives") << QStringList{"read", "distance"} << 0 << 0;
    QTest::newRow("read, 4 bytes") << QStringList{"read", "distance"} << 4 << 0;
    QTest::newRow("read, up to the length byte") << QStringList{"read", "distance"} << 6 << 0;
    QTest::newRow("read, half of each 2-byte payload") << QStringList{"read", "distance"} << 7 << 0;
    QTest::newRow("info, the resolution cut") << QStringList{"info"} << 8 << 3;
    QTest::newRow("status, no byte") << QStringList{"status"} << 0 << 0;
    // The list opens the printer once; the write's read asks four queries.
    QTest::newRow("write whose third query is cut")
        << QStringList{"write", "distance", "head-to-tear=30"} << 6 << 4;
    QTest::newRow("restore whose print read is cut")
        << QStringList{"restore", "profile.json"} << 6 << 5;
}

void TestCli::cutReplyFailsTheCommand()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, cutTo);
    QFETCH(int, exchange);
    QFile file(dir.filePath("profile.json"));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(profileOf(kPrintPage)) > 0);
    file.close();
    if (arguments.last() == "profile.json")
        arguments.last() = file.fileName();
    vprinter::Faults faults;
    faults.cutRepliesTo = cutTo;
    if (exchange == 0)
        first->setFaults(faults);
    else
        first->setFaultsForExchange(exchange, faults);

    const Result r = runCli(QStringList{"--port", "3"} + arguments);
    QCOMPARE(r.exit, int(cli::TransportFailed));
    QVERIFY2(r.err.endsWith("请确保打印机已通过usb进行连接\n"), qPrintable(r.err));
    QCOMPARE(setFrames(*first), QStringList());
}

void TestCli::maintain_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("frame");
    QTest::addColumn<QString>("said"); // on standard output before it is sent
    QTest::newRow("restart") << "restart"
                             << "1B FF FE 00 02 00 1B FE FF"
                             << "";
    QTest::newRow("initialisation, which cannot be undone")
        << "initialise"
        << "1B FF FE 00 05 00 1B FE FF"
        << "即将初始化打印机 Orbeck VS-608K (USB 1-3)。此操作无法撤销。\n";
    QTest::newRow("paper-empty learning") << "learn-paper-empty"
                                          << "1B FF FE 00 0D 00 1B FE FF"
                                          << "";
    QTest::newRow("tear mode") << "tear"
                               << "1B FF FE 01 25 01 03 1B FE FF"
                               << "";
    QTest::newRow("buzzer off") << "buzzer-off"
                                << "1B FF FE 01 23 01 01 1B FE FF"
                                << "";
}

void TestCli::maintain()
{
    QFETCH(QString, action);
    QFETCH(QString, frame);
    QFETCH(QString, said);
    const Result r = runCli({"--port", "3", "maintain", action, "--yes"});
    QCOMPARE(r.exit, int(cli::Ok));
    QCOMPARE(r.out, said);
    // The serial number the history records first, then the action's one frame.
    QCOMPARE(receivedFrames(*first), (QStringList{"1B FF FE 02 10 00 1B FE FF", frame}));
}

void TestCli::profileCopiesOnePrinterToAnother()
{
    // The first printer differs from the factory settings the second keeps.
    first->setSetting(0x19, {0x64, 0x00});             // 100 dots, shown as 12 mm
    first->setSetting(0x1D, {0xF4, 0xFF});             // -12 dots, shown as -1 mm
    first->setSetting(0x30, {0x02});                   // access point
    first->setSetting(0x0E, {0x03, 0x01, 0x01, 0x01}); // 19200 baud
    first->setSetting(0x28, {0, 10, 0, 0, 7, 255, 0, 0, 0, 10, 0, 0, 1, 10, 0, 0, 2});
    first->setSetting(0x2B, vprinter::Bytes{'L', 'a', 'b', 0});
    const QString file = dir.filePath("fleet.json");
    QCOMPARE(runCli({"--port", "3", "backup", file}).exit, int(cli::Ok));
    const QByteArray serialBefore = toQByteArray(second->setting(0x10));

    Result r = runCli({"--port", "5", "restore", file});
    QCOMPARE(r.exit, int(cli::Ok));
    QCOMPARE(r.out.count(QStringLiteral("已写入并核对")), 7);
    // Its own serial number stays.
    QCOMPARE(toQByteArray(second->setting(0x10)), serialBefore);
    const QStringList restored = setFrames(*second);

    for (const char *page : kPages) {
        const Result a = runCli({"--port", "3", "read", page});
        const Result b = runCli({"--port", "5", "read", page});
        QStringList left = a.out.split('\n'), right = b.out.split('\n');
        // The serial number, the device information and the MAC addresses are each printer's own.
        for (QStringList *lines : {&left, &right})
            lines->erase(std::remove_if(lines->begin(), lines->end(),
                                        [](const QString &l) {
                                            return l.startsWith("serial-number=") ||
                                                   l.contains("mac=");
                                        }),
                         lines->end());
        QCOMPARE(right, left);
    }

    // The window writing the same values sends the same frames.
    second->clearLogs();
    QVERIFY(qobject_cast<QApplication *>(QCoreApplication::instance()));
    {
        MainWindow window;
        MessageBoxCatcher boxes;
        auto *list = window.findChild<QListWidget *>("listWidget");
        window.findChild<QPushButton *>("pushButton_6")->click();
        for (int row = 0; row < list->count(); ++row) {
            if (list->item(row)->text().endsWith("USB005"))
                list->setCurrentRow(row);
        }
        const char *readThenWrite[][2] = {
            {"pushButton_13", "pushButton_14"}, {"pushButton_31", "pushButton_30"},
            {"pushButton_27", "pushButton_28"}, {"pushButton_17", "pushButton_18"},
            {"pushButton_23", "pushButton_24"}, {"pushButton_25", "pushButton_26"},
            {"pushButton_33", "pushButton_32"}};
        for (const auto &buttons : readThenWrite) {
            window.findChild<QPushButton *>(buttons[0])->click();
            window.findChild<QPushButton *>(buttons[1])->click();
        }
        for (const CaughtBox &box : boxes.boxes())
            QVERIFY2(box.text == "获取成功" || box.text == "设置成功", qPrintable(box.text));
    }
    QStringList sortedRestore = restored, sortedWindow = setFrames(*second);
    QCOMPARE(sortedWindow.size(), restored.size());
    sortedRestore.sort();
    sortedWindow.sort();
    QCOMPARE(sortedWindow, sortedRestore);
}

void TestCli::selectorBeyondItsListSurvivesBackupAndRestore_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<int>("index");
    QTest::newRow("print speed 9 of 0 to 7") << "print"
                                             << "speed" << 0x00 << QByteArray::fromHex("09") << 9;
    QTest::newRow("baud rate index 20 of 17")
        << "serial"
        << "baud-rate" << 0x0E << QByteArray::fromHex("14000000") << 20;
    QTest::newRow("pairing mode 255") << "bluetooth"
                                      << "pairing" << 0x2F << QByteArray::fromHex("FF") << 255;
}

void TestCli::selectorBeyondItsListSurvivesBackupAndRestore()
{
    QFETCH(QString, page);
    QFETCH(QString, key);
    QFETCH(int, code);
    QFETCH(QByteArray, stored);
    QFETCH(int, index);
    first->setSetting(uint8_t(code), toBytes(stored));
    const QString file = dir.filePath("beyond.json");
    QCOMPARE(runCli({"--port", "3", "backup", file}).exit, int(cli::Ok));
    QFile saved(file);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QJsonObject json =
        QJsonDocument::fromJson(saved.readAll()).object()["pages"].toObject()[page].toObject();
    QCOMPARE(json["values"].toObject()[key].toString(), QString());
    QCOMPARE(json["wire"].toObject()[key].toDouble(), double(index));

    // Onto the same printer, and onto another of its model that holds a value of the list.
    for (VirtualPrinter *printer : {first, second}) {
        const Result r = runCli({"--port", QString::number(printer->port()), "restore", file});
        QCOMPARE(r.exit, int(cli::Ok));
        QCOMPARE(toQByteArray(printer->setting(uint8_t(code))), stored);
    }
}

void TestCli::restoreRefusesAMergedPageBeforeWriting_data()
{
    QTest::addColumn<bool>("dryRun");
    QTest::newRow("restore") << false;
    QTest::newRow("dry run") << true;
}

void TestCli::restoreRefusesAMergedPageBeforeWriting()
{
    QFETCH(bool, dryRun);
    // A 200-byte network name and no password: valid alone, too long beside this printer's
    // 100-byte password. The print page before it is fine.
    first->setSetting(
        0x26, toBytes("Office" + QByteArray(1, '\0') + QByteArray(100, 'p') + QByteArray(1, '\0')));
    const QByteArray wifi = R"("wifi":{"values":{"mode":"STA","station-name":")" +
                            QByteArray(200, 's') +
                            R"(","ap-name":"","ap-password":"","ap-ip":"","tcp-port":"9100"}})";
    QFile file(dir.filePath("merge.json"));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(profileOf(kPrintPage + "," + wifi)) > 0);
    file.close();

    QStringList arguments = {"--port", "3", "restore", file.fileName()};
    if (dryRun)
        arguments << "--dry-run";
    const Result r = runCli(arguments);
    QCOMPARE(r.exit, int(cli::Refused));
    QVERIFY2(r.err.contains("wifi.station-password"), qPrintable(r.err));
    QCOMPARE(r.out, QString());
    QCOMPARE(setFrames(*first), QStringList());
}

void TestCli::download_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("failingChunk"); // 0: none
    QTest::addColumn<int>("exit");
    QTest::addColumn<QString>("output");
    QTest::newRow("firmware, 3008 bytes")
        << "firmware" << 0 << int(cli::Ok)
        << "34%\n68%\n100%\n已核对：打印机 Orbeck VS-608K (USB 1-3) 已回来，版本 V2.3.1 20240315，"
           "设置与下载前相同\n";
    QTest::newRow("font, the second chunk fails")
        << "font" << 2 << int(cli::TransportFailed) << "34%\n";
    // Every row says first what it is about to do.
}

void TestCli::download()
{
    QFETCH(QString, kind);
    QFETCH(int, failingChunk);
    QFETCH(int, exit);
    QFETCH(QString, output);
    const QString chosen = dir.filePath("image.bin");
    const QByteArray plain = writeEncryptedSample(chosen);
    QVERIFY(!plain.isEmpty());
    if (failingChunk) {
        vprinter::Faults faults;
        faults.failNextWrite = true;
        faults.writesBeforeFailure = failingChunk - 1;
        faults.countStreamWritesOnly = true; // not the queries before the stream
        first->setFaults(faults);
    }

    const Result r = runCli({"--port", "3", "download", kind, chosen});
    QCOMPARE(r.exit, exit);
    QCOMPARE(r.out, QStringLiteral("即将向打印机 Orbeck VS-608K (USB 1-3) 下载 %1（3008 字节）。"
                                   "在打印机指示灯停止闪烁之前，请勿拔下打印机。\n")
                            .arg(chosen) +
                        output);
    QVERIFY(!QFile::exists(downloadSideFilePath(chosen)));
    const std::vector<vprinter::DownloadRecord> downloads = first->downloads();
    QCOMPARE(downloads.size(), size_t(1));
    if (exit == cli::Ok) {
        QCOMPARE(downloads[0].total, uint64_t(plain.size()));
        QCOMPARE(QString::fromStdString(downloads[0].sha256),
                 QString(QCryptographicHash::hash(plain, QCryptographicHash::Sha256).toHex()));
    } else {
        QVERIFY(r.err.startsWith("下载失败"));
        QCOMPARE(downloads[0].writes, std::vector<size_t>{1024}); // nothing after the failure
    }
}

void TestCli::backupFile_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<bool>("existing"); // someone's file of that name is there before
    QTest::addColumn<int>("exit");
    QTest::addColumn<bool>("secrets"); // the file holds the passwords and the PIN
    QTest::newRow("a new file") << QStringList() << false << int(cli::Ok) << true;
    QTest::newRow("an existing file is left alone")
        << QStringList() << true << int(cli::Refused) << false;
    QTest::newRow("--force replaces it") << QStringList{"--force"} << true << int(cli::Ok) << true;
    QTest::newRow("--no-secrets") << QStringList{"--no-secrets"} << false << int(cli::Ok) << false;
}

void TestCli::backupFile()
{
    QFETCH(QStringList, options);
    QFETCH(bool, existing);
    QFETCH(int, exit);
    QFETCH(bool, secrets);
    first->setSetting(0x26, texts({"Shop", "station-secret"}));
    first->setSetting(0x27, texts({"Shop-AP", "ap-secret", "192.168.4.1"}));
    first->setSetting(0x2E, texts({"pin-secret"}));
    QTemporaryDir here;
    const QString path = here.filePath("backup.json");
    const QByteArray theirs = "someone's own file\n";
    QFile file(path);
    if (existing)
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(theirs) == theirs.size());
    file.close();

    const Result r = runCli(QStringList{"--port", "3", "backup"} + options + QStringList{path});
    QCOMPARE(r.exit, exit);
    // Nothing half-written or temporary is left beside it.
    QCOMPARE(QDir(here.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{"backup.json"});
    const QByteArray written = readFile(path);
    if (exit != cli::Ok) {
        QCOMPARE(r.err, QStringLiteral("文件已存在：%1。用 --force 替换它\n").arg(path));
        QCOMPARE(written, theirs);
        return;
    }
    QCOMPARE(modeOf(path), 0600);
    QVERIFY(written.contains("\"station-name\": \"Shop\""));
    for (const char *secret : {"\"station-password\"", "\"ap-password\"", "\"pin\"", "secret"})
        QVERIFY2(written.contains(secret) == secrets, secret);
    if (secrets)
        return;

    // Restored on another printer: the station's name arrives; its own passwords and PIN stay,
    // and so does its TCP port once that is taken out of the file too (alone, empty, it would be
    // refused).
    QByteArray edited = written;
    edited.replace("\"tcp-port\": \"9100\",", "");
    QVERIFY(edited != written);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(edited) > 0);
    file.close();
    second->setSetting(0x29, {0xF0, 0x23}); // 9200
    const vprinter::Bytes accessPoint = second->setting(0x27), pin = second->setting(0x2E);
    QCOMPARE(runCli({"--port", "5", "restore", path}).exit, int(cli::Ok));
    QCOMPARE(second->setting(0x26), texts({"Shop", "printer123"}));
    QCOMPARE(second->setting(0x27), accessPoint);
    QCOMPARE(second->setting(0x2E), pin);
    QCOMPARE(second->setting(0x29), (vprinter::Bytes{0xF0, 0x23}));
}

void TestCli::logging_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("rules"); // QT_LOGGING_RULES
    QTest::addColumn<bool>("diagnostics");
    QTest::addColumn<bool>("data");
    QTest::newRow("by default") << QStringList() << "" << false << false;
    QTest::newRow("--verbose") << QStringList{"--verbose"} << "" << true << false;
    QTest::newRow("--verbose and a rule for everything")
        << QStringList{"--verbose"} << "*.debug=true" << true << false;
    QTest::newRow("a rule naming the data")
        << QStringList() << "labelsetup.download.data.debug=true" << false << true;
}

void TestCli::logging()
{
    QFETCH(QStringList, options);
    QFETCH(QString, rules);
    QFETCH(bool, diagnostics);
    QFETCH(bool, data);
    QTemporaryDir here;
    const QString chosen = here.filePath("image.hex");
    const QByteArray plain = writeEncryptedSample(chosen);
    QVERIFY(!plain.isEmpty());

    // The program itself, on this test's virtual printers.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LD_PRELOAD", "libumockdev-preload.so.0");
    environment.insert("ASAN_OPTIONS",
                       environment.value("ASAN_OPTIONS") + ":verify_asan_link_order=0");
    environment.remove("QT_LOGGING_CONF");
    environment.insert("QT_LOGGING_RULES", rules);
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(LABELSETUP_CLI,
                  QStringList{"--port", "3", "download", "firmware", chosen} + options);
    QVERIFY(program.waitForFinished(120000));
    const QString err = QString::fromUtf8(program.readAllStandardError());
    QVERIFY2(program.exitStatus() == QProcess::NormalExit && program.exitCode() == 0,
             qPrintable(err.right(2000)));
    QCOMPARE(first->downloads().size(), size_t(1));
    QCOMPARE(first->downloads()[0].total, uint64_t(plain.size()));

    QCOMPARE(err.contains("libusb_bulk_transfer write:"), diagnostics);
    // A piece of the second chunk, as any hex line would show it.
    const QByteArray piece = plain.mid(1024, 24);
    QCOMPARE(err.contains(piece.toHex()) || err.contains(piece.toHex(' '), Qt::CaseInsensitive),
             data);
    QCOMPARE(err.contains("Read buffer:"), data);
}

// The printers cannot be opened or are held: listed with their state, in text and in JSON.
void TestCli::listsUnusablePrinters()
{
    vprinter::PrinterConfig config;
    config.sysfsName = "1-6";
    config.identity.productId = 0x1401;
    config.identity.product = "VS-608K";
    config.denied = true;
    usb->addPrinter(config);
    config.sysfsName = "1-7";
    config.denied = false;
    config.busy = true;
    usb->addPrinter(config);
    Result r = runCli({"list"});
    QCOMPARE(r.exit, int(cli::Ok));
    QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    lines.sort();
    QCOMPARE(lines,
             (QStringList{"3\tOrbeck\tVS-608K\t5c1e:1401\t1-3\tZR311P3\tready",
                          "5\tOrbeck\tVS-608K\t5c1e:1401\t1-5\tZR311P5\tready",
                          "6\tOrbeck\tVS-608K\t5c1e:1401\t1-6\t(没有打开权限)\tno-permission",
                          "7\tOrbeck\tVS-608K\t5c1e:1401\t1-7\t(正被其他程序使用)\tin-use"}));
    r = runCli({"list", "--json"});
    QCOMPARE(r.exit, int(cli::Ok));
    QMap<QString, QString> states;
    for (const QJsonValue &printer :
         QJsonDocument::fromJson(r.out.toUtf8()).object()["printers"].toArray()) {
        QCOMPARE(printer["product-id"].toString(), QStringLiteral("1401"));
        states[printer["path"].toString()] = printer["state"].toString();
    }
    QCOMPARE(states,
             (QMap<QString, QString>{
                 {"1-3", "ready"}, {"1-5", "ready"}, {"1-6", "no-permission"}, {"1-7", "in-use"}}));
}

void TestCli::listWithoutPrinters()
{
    usb->unplug(*first);
    usb->unplug(*second);
    Result r = runCli({"list"});
    QCOMPARE(r.exit, int(cli::Ok));
    QCOMPARE(r.out, QString());
    QCOMPARE(r.err, QStringLiteral("没有找到打印机\n"));
    r = runCli({"list", "--json"});
    QCOMPARE(r.exit, int(cli::Ok));
    QCOMPARE(QJsonDocument::fromJson(r.out.toUtf8()).object()["printers"], QJsonArray());
}

void TestCli::unusablePrinterRefused_data()
{
    QTest::addColumn<bool>("denied");
    QTest::addColumn<QStringList>("arguments");
    for (bool denied : {true, false}) {
        const char *why = denied ? "no permission" : "in use";
        QTest::addRow("info, %s", why) << denied << QStringList{"info"};
        QTest::addRow("status, %s", why) << denied << QStringList{"status"};
        QTest::addRow("write, %s", why) << denied << QStringList{"write", "print", "speed=2"};
        QTest::addRow("maintain, %s", why) << denied << QStringList{"maintain", "self-test"};
    }
}

void TestCli::unusablePrinterRefused()
{
    QFETCH(bool, denied);
    QFETCH(QStringList, arguments);
    vprinter::Faults faults;
    (denied ? faults.refuseOpen : faults.refuseClaim) = true;
    first->setFaults(faults);
    const Result r = runCli(QStringList{"--port", "3"} + arguments);
    QCOMPARE(r.exit, int(cli::Unavailable));
    QVERIFY2(r.err.startsWith(denied ? "无法使用打印机 1-3（Orbeck VS-608K）：没有打开权限\n"
                                     : "无法使用打印机 1-3（Orbeck VS-608K）：正被其他程序使用\n"),
             qPrintable(r.err));
    QCOMPARE(r.err.contains(printeraccess::remedy(printeraccess::thisSystem())), denied);
    QVERIFY(first->bulkOutLog().empty());
    QCOMPARE(first->state().statusRequests, 0);
    first->setFaults({});
}

namespace {

// A command run under the virtual-printers launcher, as the given user, with its standard
// input taken by the launcher's commands.
QProcess *launch(QObject *parent, const QStringList &launcherOptions, const QStringList &command)
{
    auto *process = new QProcess(parent);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("UMOCKDEV_DIR"); // this test's own testbed is not the launcher's
    env.insert("QT_LOGGING_RULES", "labelsetup.*.debug=false");
    env.insert("LC_ALL", "zh_CN.UTF-8"); // the texts as the sources have them
    process->setProcessEnvironment(env);
    process->start(LABELSETUP_LAUNCHER, launcherOptions + QStringList{"--"} + command);
    return process;
}

} // namespace

void TestCli::deniedToAnUnprivilegedUser_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exit");
    QTest::addColumn<QString>("out");
    QTest::newRow("list") << QStringList{"list"} << int(cli::Ok)
                          << "3\tOrbeck\tVS-608K\t5c1e:1401\t1-3\tZR311P3\tready\n"
                             "5\tOrbeck\tVS-608K\t5c1e:1401\t1-5\t(没有打开权限)\tno-permission\n";
    QTest::newRow("info") << QStringList{"--port", "5", "info"} << int(cli::Unavailable) << "";
    QTest::newRow("the other printer") << QStringList{"--port", "3", "info"} << int(cli::Ok)
                                       << "model=VS-608K\nversion=V2.3.1 20240315\n"
                                          "resolution=203\nmax-width-mm=72\n";
}

// The tool runs as an unprivileged user who owns the printers' nodes, as at the seat, except
// the node of port 5, which stays root's: the real permission check refuses the open.
void TestCli::deniedToAnUnprivilegedUser()
{
    if (geteuid() != 0)
        QSKIP("only root can run the tool as another user");
    QFETCH(QStringList, arguments);
    QFETCH(int, exit);
    QFETCH(QString, out);
    std::unique_ptr<QProcess> tool(launch(nullptr,
                                          {"--user", "nobody", "--printer", "1401:3:VS-608K",
                                           "--printer", "1401:5:VS-608K", "--at", "0", "deny 5"},
                                          QStringList{LABELSETUP_CLI} + arguments));
    QVERIFY(tool->waitForFinished(60000));
    const QString err = QString::fromUtf8(tool->readAllStandardError());
    QCOMPARE(tool->exitCode(), exit);
    QStringList lines = QString::fromUtf8(tool->readAllStandardOutput()).split('\n');
    lines.sort();
    QStringList expected = out.split('\n');
    expected.sort();
    QCOMPARE(lines, expected);
    if (exit == cli::Unavailable)
        QVERIFY2(err.contains("没有打开权限"), qPrintable(err));
}

// list --watch under plugs and unplugs timed by the launcher: one line per event, in order.
void TestCli::watchReportsPlugsInOrder()
{
    std::unique_ptr<QProcess> watch(launch(nullptr, {"--printer", "0411:1:RM-310", "--commands"},
                                           {LABELSETUP_CLI, "list", "--watch"}));
    QStringList lines;
    const auto readLines = [&] {
        while (watch->canReadLine())
            lines << QString::fromUtf8(watch->readLine()).trimmed();
        return lines.size();
    };
    // At least, then checked below: a count polled for equality can be jumped over.
    QTRY_VERIFY_WITH_TIMEOUT(readLines() >= 1, 30000);
    watch->write("plug 1401:5:VS-608K\nwait 200\nunplug 5\nwait 200\n"
                 "plug 1401:5:VS-608K denied\nwait 200\nplug 0411:2.4:RM-310\nwait 200\n"
                 "unplug 1\n");
    QTRY_VERIFY_WITH_TIMEOUT(readLines() >= 6, 30000);
    watch->terminate(); // the launcher hands it on: the watch ends as when interrupted
    QVERIFY(watch->waitForFinished(30000));
    QCOMPARE(watch->exitCode(), int(cli::Ok));
    readLines();
    QStringList events;
    for (const QString &line : lines) {
        const QStringList fields = line.split('\t');
        // When, what, then the columns of list: port, brand, product, IDs, path, serial, state.
        QCOMPARE(fields.size(), 9);
        QVERIFY2(QDateTime::fromString(fields[0], Qt::ISODateWithMs).isValid(), qPrintable(line));
        events << QStringList{fields[1], fields[6], fields[3], fields[4], fields[8]}.join(' ');
    }
    QCOMPARE(
        events,
        (QStringList{"present 1-1 Zurod RM-310 ready", "arrived 1-5 Orbeck VS-608K ready",
                     "left 1-5 Orbeck VS-608K ready", "arrived 1-5 Orbeck VS-608K no-permission",
                     "arrived 1-2.4 Zurod RM-310 ready", "left 1-1 Zurod RM-310 ready"}));
}

// provision under the launcher, printers plugged in one after another while it waits: the printer
// attached before it started and the one of another model are left alone, the one pulled out
// while it is written fails without disturbing the others, and it ends after three printers of
// the profile's model with the first failure's status.
void TestCli::provisionsEachNewPrinter()
{
    second->setSetting(0x00, {0x05}); // speed 5 in the profile, the factory's 2 elsewhere
    const QString file = dir.filePath("fleet.json");
    QCOMPARE(runCli({"--port", "5", "backup", file}).exit, int(cli::Ok));
    // Then whether each printer holds the profile's values (diff: 0 equal, 1 different).
    const QString script = R"(cli=$1; file=$2
"$cli" provision "$file" --count 3; status=$?
for port in 3 5 7; do "$cli" --port $port diff "$file" >/dev/null; echo "diff $port $?"; done
exit $status)";
    std::unique_ptr<QProcess> run(launch(nullptr,
                                         {"--log", "--printer", "1401:3:VS-608K", "--commands"},
                                         {"bash", "-c", script, "bash", LABELSETUP_CLI, file}));
    QString err;
    const auto waiting = [&] {
        err += QString::fromUtf8(run->readAllStandardError());
        return err.contains("等待插入型号为 Orbeck VS-608K 的打印机");
    };
    QTRY_VERIFY_WITH_TIMEOUT(waiting(), 30000);
    QStringList lines;
    const auto readLines = [&] {
        while (run->canReadLine())
            lines << QString::fromUtf8(run->readLine()).trimmed();
        return lines.size();
    };
    // One at a time, each once the one before has its line. The printer on port 6 is pulled
    // out, hot-plug event and all, while the transfer after its 45th frame is in flight: part-way
    // through the writes, once the first page went out.
    const char *const plugs[] = {"plug 0411:2:RM-310\n", "plug 1401:5:VS-608K\n",
                                 "plug 1401:6:VS-608K unplug-after 45\n", "plug 1401:7:VS-608K\n"};
    for (int i = 0; i < 4; ++i) {
        run->write(plugs[i]);
        // At least: the last lines and the launcher's log may arrive between two polls.
        QTRY_VERIFY_WITH_TIMEOUT(readLines() >= i + 1, 30000);
    }
    QVERIFY(run->waitForFinished(60000));
    err += QString::fromUtf8(run->readAllStandardError());
    QCOMPARE(run->exitCode(), int(cli::TransportFailed));
    readLines();
    QVERIFY2(lines.size() > 7, qPrintable(lines.join('\n')));
    QCOMPARE(lines.mid(0, 7), (QStringList{"1-2\tZurod RM-310\t另一型号，未改动",
                                           "1-5\tZR311P5\t已写入 7 个页面\t已写入并核对",
                                           "1-6\tZR311P6\t已写入 1 个页面\t失败",
                                           "1-7\tZR311P7\t已写入 7 个页面\t已写入并核对",
                                           "diff 3 1", "diff 5 0", "diff 7 0"}));
    QVERIFY2(err.contains("virtual-printers: pulled 1-6 out"), qPrintable(err));
    // The launcher's log, a section a printer: what the printer received. No set frame reached
    // the printer attached before the start, nothing at all the one of another model.
    QMap<QString, QStringList> received;
    QString section;
    for (const QString &line : lines.mid(7)) {
        const QRegularExpressionMatch header =
            QRegularExpression(R"(on port \d+ \(([0-9.-]+)\): \d+ transfers$)").match(line);
        if (header.hasMatch())
            section = header.captured(1);
        else if (line.startsWith("OUT"))
            received[section] << line.section(':', 1).trimmed();
    }
    QVERIFY2(lines.contains("Zurod RM-310 (5C1E:0411) on port 2 (1-2): 0 transfers"),
             qPrintable(lines.join('\n')));
    QVERIFY(!received.value("1-3").isEmpty()); // diff read it
    for (const QString &frame : received.value("1-3"))
        QVERIFY2(!frame.startsWith("1B FF FE 01"), qPrintable(frame));
}

QTEST_MAIN(TestCli)
void TestCli::verificationCatchesWhatWasNotKept_data()
{
    QTest::addColumn<QStringList>("arguments"); // after --port 3; "FILE": a backup of printer 5
    QTest::addColumn<int>("exit");
    QTest::newRow("write") << QStringList{"write", "print", "speed=7", "density=9"}
                           << int(cli::NotKept);
    QTest::newRow("write without verifying")
        << QStringList{"write", "print", "speed=7", "--no-verify"} << int(cli::Ok);
    QTest::newRow("restore") << QStringList{"restore", "FILE"} << int(cli::NotKept);
}

void TestCli::verificationCatchesWhatWasNotKept()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exit);
    second->setSetting(0x00, {0x07}); // speed 7 in the backup
    const QString file = dir.filePath("printer5.json");
    QCOMPARE(runCli({"--port", "5", "backup", file}).exit, int(cli::Ok));
    arguments.replaceInStrings("FILE", file);
    vprinter::Faults keeps;
    keeps.keepOldValueOf = 0x00; // takes the speed, keeps 2
    first->setFaults(keeps);
    const Result r = runCli(QStringList{"--port", "3"} + arguments);
    QCOMPARE(r.exit, exit);
    QCOMPARE(first->setting(0x00), vprinter::Bytes{0x02});
    if (exit == cli::NotKept) // that key only; the density the printer kept is no mismatch
        QCOMPARE(r.err, QStringLiteral("print speed：写入 7，打印机保存的是 2\n"));
}

void TestCli::diffsPrintersAndFiles_data()
{
    QTest::addColumn<QStringList>("arguments"); // A: backup of printer 3, B: of printer 5
    QTest::addColumn<int>("exit");
    QTest::addColumn<QString>("out"); // the differing lines, before the read-only ones
    QTest::newRow("two equal files") << QStringList{"diff", "A", "A"} << 0 << "";
    QTest::newRow("two files") << QStringList{"diff", "A", "B"} << 1 << "print\tspeed\t2\t5\n";
    QTest::newRow("printer and its own backup")
        << QStringList{"--port", "3", "diff", "A"} << 0 << "";
    QTest::newRow("printer and another's backup")
        << QStringList{"--port", "3", "diff", "B"} << 1 << "print\tspeed\t2\t5\n";
}

void TestCli::diffsPrintersAndFiles()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exit);
    QFETCH(QString, out);
    second->setSetting(0x00, {0x05});
    QCOMPARE(runCli({"--port", "3", "backup", dir.filePath("A.json")}).exit, int(cli::Ok));
    QCOMPARE(runCli({"--port", "5", "backup", dir.filePath("B.json")}).exit, int(cli::Ok));
    arguments.replaceInStrings(QRegularExpression("^([AB])$"), dir.filePath("\\1.json"));
    const Result r = runCli(arguments);
    QCOMPARE(r.exit, exit);
    const QStringList parts = r.out.split(QStringLiteral("只读（不计为差异）：\n"));
    QCOMPARE(parts.first(), out);
    // Serial numbers and MACs differ between two printers, but apart and never as a difference.
    const bool twoPrinters = arguments.contains(dir.filePath("B.json"));
    QCOMPARE(parts.size(), twoPrinters ? 2 : 1);
    if (twoPrinters)
        QVERIFY2(parts.last().contains("serial\tserial-number\tZR311P"), qPrintable(r.out));
}

void TestCli::restoresEveryPrinterOfTheModel()
{
    VirtualPrinter &third = usb->addPrinter(0x1401, "VS-608K", 7);
    VirtualPrinter &other = usb->addPrinter(0x0411, "RM-310", 1);
    second->setSetting(0x00, {0x05});
    const QString file = dir.filePath("fleet.json");
    QCOMPARE(runCli({"--port", "5", "backup", file}).exit, int(cli::Ok));
    vprinter::Faults failing;
    failing.failNextWrite = true;
    failing.writesBeforeFailure = 40; // every page read, some written, then a write fails
    third.setFaults(failing);
    other.clearLogs();
    const Result r = runCli({"restore", "--all", file});
    QCOMPARE(r.exit, int(cli::TransportFailed));
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3);
    for (const QString &line : lines) {
        const QStringList cells = line.split('\t');
        QCOMPARE(cells.size(), 4);
        const bool failed = cells[0] == "1-7";
        // The printer the profile was taken from holds it already.
        const bool holdsIt = cells[0] == "1-5";
        QCOMPARE(cells[3], failed    ? QStringLiteral("失败")
                           : holdsIt ? QStringLiteral("未改变")
                                     : QStringLiteral("已写入并核对"));
        QVERIFY2(cells[1].startsWith("ZR311P"), qPrintable(line));
    }
    QCOMPARE(first->setting(0x00), vprinter::Bytes{0x05});
    QVERIFY(receivedFrames(other).isEmpty()); // another model is left alone
    // The serial number on the line is the one the merge read: the serial page (its last query,
    // 0x10) is read once, and once more to verify it.
    QCOMPARE(receivedFrames(*first).filter(QRegularExpression("^1B FF FE 02 10 ")).size(), 2);
}

#include "tst_cli.moc"
