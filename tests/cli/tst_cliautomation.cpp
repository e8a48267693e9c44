// The command line as a script or a configuration manager drives it: printers named by their
// serial numbers, list in a fixed order with the serial numbers, JSON documents and JSON errors,
// and the shells' completions of attached printers.
#include "tests/cli/clitest.h"

#include <QFileInfo>
#include <QProcessEnvironment>
#include <QStandardPaths>

class TestCliAutomation : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void listsInPathOrderWithSerials();
    void noPrinterAsJson();
    void documentsCarryTheSchemaAndTypes_data();
    void documentsCarryTheSchemaAndTypes();
    void errorsAsJson_data();
    void errorsAsJson();
    void backupAsJson();
    void maintainAndDownloadAsJson_data();
    void maintainAndDownloadAsJson();
    void serialFindsAMovedPrinter();
    void serialRefused_data();
    void serialRefused();
    void listHeaderOnATerminal();
    void watchAsJsonLines();
    void shellsOfferTheSameWords_data();
    void shellsOfferTheSameWords();
    void completionOffersAttachedPrinters_data();
    void completionOffersAttachedPrinters();

private:
    std::unique_ptr<vprinter::VirtualUsb> usb;
    VirtualPrinter *first = nullptr;
    VirtualPrinter *second = nullptr;
};

namespace {

// A command run under the virtual-printers launcher (its printers, not this test's), with the
// build's command line first on PATH and the texts as the sources have them.
QProcess *launch(const QStringList &launcherOptions, const QStringList &command)
{
    auto *process = new QProcess;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("UMOCKDEV_DIR"); // this test's own testbed is not the launcher's
    env.insert("QT_LOGGING_RULES", "labelsetup.*.debug=false");
    env.insert("LC_ALL", "zh_CN.UTF-8");
    env.insert("PATH", QFileInfo(LABELSETUP_CLI).absolutePath() + ':' + env.value("PATH"));
    process->setProcessEnvironment(env);
    process->start(LABELSETUP_LAUNCHER, launcherOptions + QStringList{"--"} + command);
    return process;
}

// The one JSON object of an error on standard error.
QJsonObject errorObject(const Result &r)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(r.err.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !r.err.endsWith('\n') || r.err.count('\n') != 1)
        return {};
    return document.object();
}

// The completion a shell offers for a line typed up to its end; `launcherOptions` non-empty runs
// the shell under the launcher with those printers.
QStringList offered(const QString &shell, const QString &line, const QStringList &launcherOptions)
{
    QStringList command;
    if (shell == "bash") {
        command = QStringList{"bash",
                              "-c",
                              "source \"$1\"; COMP_WORDBREAKS=$' \\t\\n\"\\'><=;|&(:'; "
                              "COMP_LINE=$2; COMP_POINT=${#COMP_LINE}; _label_printer_cli; "
                              "printf '%s\\n' \"${COMPREPLY[@]}\"",
                              "bash",
                              LABELSETUP_COMPLETION_FILE,
                              line};
    } else if (shell == "zsh") {
        // The completion system's builtins stand in as functions that print what they are
        // given, filtered by what is typed, as compadd filters it.
        command = QStringList{"zsh",
                              "-f",
                              "-c",
                              R"(prefix=${words[CURRENT]}
compset() { [[ $1 == -P ]] && prefix=${prefix#*=} }
compadd() {
    local -a items
    while (( $# )); do
        case $1 in
        (-S) shift 2 ;;
        (-a) items+=(${(P)2}); shift 2 ;;
        (*) items+=($1); shift ;;
        esac
    done
    local item
    for item in $items; do [[ $item == ${prefix}* ]] && print -r -- $item; done
    return 0
}
_files() { print -r -- '(files)' }
source $1)",
                              "zsh",
                              LABELSETUP_ZSH_COMPLETION_FILE};
        QStringList words = line.split(' ');
        // zsh's words and the index of the one being completed, set before the file runs.
        command[3].prepend(
            QStringLiteral("words=(%1); CURRENT=%2\n")
                .arg(words.replaceInStrings("'", "").join("' '").prepend('\'') + '\'')
                .arg(words.size()));
    } else {
        command = QStringList{
            "fish",
            "--no-config",
            "-c",
            "source $argv[1]; complete -C $argv[2] | string replace -r '\\t.*' ''; true",
            LABELSETUP_FISH_COMPLETION_FILE,
            line};
    }
    std::unique_ptr<QProcess> process;
    if (launcherOptions.isEmpty()) {
        process = std::make_unique<QProcess>();
        process->start(command.first(), command.mid(1));
    } else {
        process.reset(launch(launcherOptions, command));
    }
    if (!process->waitForFinished(60000) || process->exitCode() != 0)
        return {shell + " failed: " + QString::fromLocal8Bit(process->readAllStandardError())};
    QStringList words = QString::fromUtf8(process->readAllStandardOutput()).split('\n');
    words.removeAll(QString());
    words.sort();
    return words;
}

// A VS-608K on port 6 that the user may not open.
vprinter::PrinterConfig deniedOnPort6()
{
    vprinter::PrinterConfig denied;
    denied.sysfsName = "1-6";
    denied.identity.productId = 0x1401;
    denied.identity.product = "VS-608K";
    denied.denied = true;
    return denied;
}

} // namespace

void TestCliAutomation::init()
{
    usb = std::make_unique<vprinter::VirtualUsb>();
    first = &usb->addPrinter(0x1401, "VS-608K", 3);
    second = &usb->addPrinter(0x1401, "VS-608K", 5);
}

void TestCliAutomation::cleanup()
{
    verifyNoViolations(*usb);
    usb.reset();
}

// Added out of order: a printer the user may not open, one behind a hub, and one of a model
// whose serial page the window does not offer. Each line and each JSON object in path order,
// with the serial number the printer reports or why there is none.
void TestCliAutomation::listsInPathOrderWithSerials()
{
    const vprinter::PrinterConfig denied = deniedOnPort6();
    usb->addPrinter(denied);
    usb->addPrinter(0x1401, "VS-608K", 10);
    vprinter::PrinterConfig behindHub = denied;
    behindHub.sysfsName = "1-2.4";
    behindHub.denied = false;
    usb->addPrinter(behindHub);
    usb->addPrinter(0x0411, "RM-310", 1);
    second->setSetting(0x10, texts({"OB-0005"}));

    Result r = runCli({"list"});
    QCOMPARE(r.exit, int(cli::Ok));
    QCOMPARE(r.out.split('\n', Qt::SkipEmptyParts),
             (QStringList{"1\tZurod\tRM-310\t5c1e:0411\t1-1\t(此机型不提供序列号)\tready",
                          "4\tOrbeck\tVS-608K\t5c1e:1401\t1-2.4\tZR311P2P4\tready",
                          "3\tOrbeck\tVS-608K\t5c1e:1401\t1-3\tZR311P3\tready",
                          "5\tOrbeck\tVS-608K\t5c1e:1401\t1-5\tOB-0005\tready",
                          "6\tOrbeck\tVS-608K\t5c1e:1401\t1-6\t(没有打开权限)\tno-permission",
                          "10\tOrbeck\tVS-608K\t5c1e:1401\t1-10\tZR311P10\tready"}));

    r = runCli({"list", "--json"});
    QCOMPARE(r.exit, int(cli::Ok));
    const QJsonObject document = QJsonDocument::fromJson(r.out.toUtf8()).object();
    QCOMPARE(document.keys(), (QStringList{"printers", "schema"}));
    QCOMPARE(document["schema"], QJsonValue(1));
    const QJsonArray printers = document["printers"].toArray();
    QCOMPARE(printers.size(), 6);
    QStringList paths;
    for (const QJsonValue &printer : printers)
        paths << printer["path"].toString();
    QCOMPARE(paths, (QStringList{"1-1", "1-2.4", "1-3", "1-5", "1-6", "1-10"}));
    QCOMPARE(printers[3].toObject(), (QJsonObject{{"port", 5},
                                                  {"brand", "Orbeck"},
                                                  {"product", "VS-608K"},
                                                  {"model", "Orbeck VS-608K"},
                                                  {"vendor-id", "5c1e"},
                                                  {"product-id", "1401"},
                                                  {"path", "1-5"},
                                                  {"state", "ready"},
                                                  {"ready", true},
                                                  {"serial", "OB-0005"}}));
    QCOMPARE(printers[4]["serial"], QJsonValue(QJsonValue::Null));
    QCOMPARE(printers[4]["serial-unread"], QJsonValue("没有打开权限"));
    QCOMPARE(printers[4]["ready"], QJsonValue(false));
    QCOMPARE(printers[0]["serial-unread"], QJsonValue("此机型不提供序列号"));
    QCOMPARE(printers[1]["port"], QJsonValue(4));
    // Nothing but queries reached any printer.
    for (VirtualPrinter *printer : usb->devices())
        QCOMPARE(setFrames(*printer), QStringList());
}

// No printer: with --json an empty list and nothing on standard error, which carries only error
// documents.
void TestCliAutomation::noPrinterAsJson()
{
    usb->unplug(*first);
    usb->unplug(*second);
    const Result r = runCli({"list", "--json"});
    QCOMPARE(r.exit, int(cli::Ok));
    QCOMPARE(r.err, QString());
    QCOMPARE(QJsonDocument::fromJson(r.out.toUtf8()).object(),
             (QJsonObject{{"schema", 1}, {"printers", QJsonArray()}}));
}

void TestCliAutomation::documentsCarryTheSchemaAndTypes_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("json");
    QTest::newRow("info") << QStringList{"--serial", "ZR311P3", "info", "--json"}
                          << QByteArray(R"({"schema":1,"model":"VS-608K",
                                "version":"V2.3.1 20240315","resolution":203,"max-width-mm":72})");
    QTest::newRow("status") << QStringList{"--serial", "ZR311P3", "status", "--json"}
                            << QByteArray(R"({"schema":1,"word":0,"idle":true,"conditions":[]})");
    // Number fields as numbers, choices as the words read shows, a selector without an item as
    // null.
    QTest::newRow("read") << QStringList{"--serial", "ZR311P3", "read", "print", "--json"}
                          << QByteArray(R"({"schema":1,"page":"print","values":{
                                "black-mark-gap":3,"code-page":"0","density":"8","direction":"0",
                                "label-gap":2,"language":"TSPL","mirror":"normal",
                                "paper-type":"label","print-method":"thermal","print-offset":-4,
                                "speed":null,"vertical-offset":0}})");
}

void TestCliAutomation::documentsCarryTheSchemaAndTypes()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, json);
    first->setSetting(0x00, {0x7F});       // a speed beyond the selector's list
    first->setSetting(0x1D, {0xE0, 0xFF}); // print offset -32 dots: -4 mm
    const Result r = runCli(arguments);
    QCOMPARE(r.exit, int(cli::Ok));
    QCOMPARE(r.err, QString());
    QJsonParseError error;
    const QJsonDocument shown = QJsonDocument::fromJson(r.out.toUtf8(), &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
    const QJsonObject expected = QJsonDocument::fromJson(json).object();
    QVERIFY(!expected.isEmpty());
    // Field by field, so that a value of the wrong type names itself.
    const QJsonObject object = shown.object();
    QCOMPARE(object.keys(), expected.keys());
    for (const QString &key : expected.keys())
        QCOMPARE(object[key], expected[key]);
}

void TestCliAutomation::errorsAsJson_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exit");
    QTest::newRow("unknown option") << QStringList{"--colour", "info"} << int(cli::UsageError);
    QTest::newRow("unknown command") << QStringList{"reboot"} << int(cli::UsageError);
    QTest::newRow("several printers") << QStringList{"info"} << int(cli::UsageError);
    QTest::newRow("no printer on the port")
        << QStringList{"--port", "7", "info"} << int(cli::NoSuchPrinter);
    QTest::newRow("unknown page") << QStringList{"--port", "3", "read", "nope"}
                                  << int(cli::Refused);
    QTest::newRow("port and serial")
        << QStringList{"--port", "3", "--serial", "ZR311P3", "status"} << int(cli::UsageError);
    QTest::newRow("unknown serial")
        << QStringList{"--serial", "NOPE", "read", "print"} << int(cli::UsageError);
    QTest::newRow("serial with --all")
        << QStringList{"--serial", "ZR311P3", "restore", "--all", "fleet.json"}
        << int(cli::UsageError);
    QTest::newRow("check with a dry run")
        << QStringList{"--port", "3", "restore", "fleet.json", "--check", "--dry-run"}
        << int(cli::UsageError);
    QTest::newRow("transport") << QStringList{"--port", "3", "status"} << int(cli::TransportFailed);
}

// With --json an error is one JSON object on standard error: the schema, the exit status and the
// message the same command says without --json. Nothing goes to standard output.
void TestCliAutomation::errorsAsJson()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exit);
    if (QTest::currentDataTag() == QLatin1String("transport"))
        first->setFaults(faultNamed("stallStatus"));
    const Result plain = runCli(arguments);
    const Result r = runCli(arguments + QStringList{"--json"});
    first->setFaults({});
    QCOMPARE(plain.exit, exit);
    QCOMPARE(r.exit, exit);
    QCOMPARE(r.out, QString());
    const QJsonObject error = errorObject(r);
    QVERIFY2(!error.isEmpty(), qPrintable(r.err));
    QCOMPARE(error.keys(), (QStringList{"error", "exit", "schema"}));
    QCOMPARE(error["schema"], QJsonValue(1));
    QCOMPARE(error["exit"], QJsonValue(exit));
    QVERIFY(plain.err.endsWith('\n'));
    QCOMPARE(error["error"].toString(), plain.err.chopped(1));
}

// backup --json: the file written, the printer it came from, its pages, whether it holds the
// secrets.
void TestCliAutomation::backupAsJson()
{
    QTemporaryDir dir;
    const QString file = dir.filePath("fleet.json");
    const Result r = runCli({"--serial", "ZR311P5", "backup", file, "--no-secrets", "--json"});
    QCOMPARE(r.exit, int(cli::Ok));
    QCOMPARE(r.err, QString());
    const QJsonObject shown = QJsonDocument::fromJson(r.out.toUtf8()).object();
    QCOMPARE(shown.keys(), (QStringList{"file", "pages", "printer", "schema", "secrets"}));
    QCOMPARE(shown["schema"], QJsonValue(1));
    QCOMPARE(shown["file"], QJsonValue(file));
    QCOMPARE(shown["printer"],
             QJsonValue(QJsonObject{{"path", "1-5"}, {"model", "Orbeck VS-608K"}}));
    QCOMPARE(shown["secrets"], QJsonValue(false));
    QCOMPARE(shown["pages"].toArray(), (QJsonArray{"print", "distance", "serial", "wifi",
                                                   "bluetooth", "wifi-ip", "ethernet"}));
    // The file holds the pages the document names.
    const QJsonObject saved = QJsonDocument::fromJson(readFile(file)).object();
    QCOMPARE(saved["pages"].toObject().keys().size(), shown["pages"].toArray().size());
}

void TestCliAutomation::maintainAndDownloadAsJson_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("failingChunk"); // the download write that fails; 0: none
    QTest::addColumn<QByteArray>("json");  // "FILE" stands for the file downloaded
    QTest::newRow("maintain") << QStringList{"maintain", "self-test"} << 0
                              << QByteArray(R"({"schema":1,"action":"self-test",
                                    "printer":{"path":"1-3","model":"Orbeck VS-608K"},"sent":true})");
    QTest::newRow("maintain, told what cannot be undone")
        << QStringList{"maintain", "initialise", "--yes"} << 0
        << QByteArray(R"({"schema":1,"action":"initialise","printer":{"path":"1-3",
              "model":"Orbeck VS-608K"},"sent":true,"warning":
              "即将初始化打印机 Orbeck VS-608K (USB 1-3)。此操作无法撤销。"})");
    QTest::newRow("download") << QStringList{"download", "firmware", "FILE"} << 0
                              << QByteArray(R"({"schema":1,"kind":"firmware","file":"FILE",
                                    "bytes":3008,"printer":{"path":"1-3",
                                    "model":"Orbeck VS-608K"},"sent":true,"outcome":"verified","exit":0})");
    QTest::newRow("download failing at its second chunk")
        << QStringList{"download", "font", "FILE"} << 2 << QByteArray();
}

// One document at the end, and no progress or notice around it; a download that fails is an
// error document instead.
void TestCliAutomation::maintainAndDownloadAsJson()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, failingChunk);
    QFETCH(QByteArray, json);
    QTemporaryDir dir;
    const QString file = dir.filePath("image.bin");
    QVERIFY(!writeEncryptedSample(file).isEmpty());
    arguments.replaceInStrings("FILE", file);
    if (failingChunk) {
        vprinter::Faults faults;
        faults.failNextWrite = true;
        faults.countStreamWritesOnly = true; // the checks before the stream write too
        faults.writesBeforeFailure = failingChunk - 1;
        first->setFaults(faults);
    }
    const Result r = runCli(QStringList{"--port", "3", "--json"} + arguments);
    first->setFaults({});
    if (json.isEmpty()) {
        QCOMPARE(r.exit, int(cli::TransportFailed));
        QCOMPARE(r.out, QString());
        const QJsonObject error = errorObject(r);
        QCOMPARE(error["exit"], QJsonValue(int(cli::TransportFailed)));
        QVERIFY2(error["error"].toString().startsWith("下载失败"), qPrintable(r.err));
        return;
    }
    QCOMPARE(r.exit, int(cli::Ok));
    QCOMPARE(r.err, QString());
    QJsonParseError error;
    const QJsonObject shown = QJsonDocument::fromJson(r.out.toUtf8(), &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    const QJsonObject expected =
        QJsonDocument::fromJson(QByteArray(json).replace("FILE", file.toUtf8())).object();
    QVERIFY(!expected.isEmpty());
    QCOMPARE(shown.keys(), expected.keys());
    for (const QString &key : expected.keys())
        QCOMPARE(shown[key], expected[key]);
    if (arguments.first() == "download")
        QCOMPARE(first->downloads().back().total, uint64_t(3008));
    else
        QVERIFY(!receivedFrames(*first).isEmpty());
}

// A printer named by its serial number is found on the port it was moved to; the command works
// on that printer and on no other.
void TestCliAutomation::serialFindsAMovedPrinter()
{
    first->setSetting(0x10, texts({"OB-MOVED"}));
    Result r = runCli({"--serial", "OB-MOVED", "read", "serial"});
    QCOMPARE(r.exit, int(cli::Ok));
    QVERIFY2(r.out.contains("serial-number=OB-MOVED\n"), qPrintable(r.out));

    usb->unplug(*first);
    vprinter::PrinterConfig moved;
    moved.sysfsName = "1-2.7";
    moved.identity.productId = 0x1401;
    moved.identity.product = "VS-608K";
    moved.identity.serialNumber = "OB-MOVED";
    VirtualPrinter &now = usb->addPrinter(moved);
    r = runCli({"--serial", "OB-MOVED", "write", "print", "speed=3"});
    QCOMPARE(r.exit, int(cli::Ok));
    QVERIFY(!setFrames(now).isEmpty());
    QCOMPARE(setFrames(*second), QStringList());
    r = runCli({"--port", "1-2.7", "read", "print"});
    QVERIFY2(r.out.contains("speed=3\n"), qPrintable(r.out));
}

void TestCliAutomation::serialRefused_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("err");
    QTest::newRow("ambiguous") << QStringList{"--serial", "OB-SAME", "write", "print", "speed=3"}
                               << "序列号 OB-SAME 对应多台打印机，请用 --port 指定一台：\n"
                                  "  1-3  OB-SAME  Orbeck VS-608K\n"
                                  "  1-5  OB-SAME  Orbeck VS-608K\n"
                                  "  1-6  (没有打开权限)  Orbeck VS-608K\n";
    QTest::newRow("unknown") << QStringList{"--serial", "OB-5", "write", "print", "speed=3"}
                             << "没有序列号为 OB-5 的打印机。连接的打印机：\n"
                                "  1-3  OB-SAME  Orbeck VS-608K\n"
                                "  1-5  OB-SAME  Orbeck VS-608K\n"
                                "  1-6  (没有打开权限)  Orbeck VS-608K\n";
    // A value is never taken for the other kind: a path is no serial number.
    QTest::newRow("a path given as serial")
        << QStringList{"--serial", "1-3", "write", "print", "speed=3"}
        << "没有序列号为 1-3 的打印机。连接的打印机：\n"
           "  1-3  OB-SAME  Orbeck VS-608K\n"
           "  1-5  OB-SAME  Orbeck VS-608K\n"
           "  1-6  (没有打开权限)  Orbeck VS-608K\n";
    QTest::newRow("both port and serial")
        << QStringList{"--port", "3", "--serial", "OB-SAME", "write", "print", "speed=3"}
        << "--port 和 --serial 只能给出一个\n";
}

// Refused as a usage error, naming every attached printer with its serial number and path, and
// nothing written to any printer.
void TestCliAutomation::serialRefused()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, err);
    first->setSetting(0x10, texts({"OB-SAME"}));
    second->setSetting(0x10, texts({"OB-SAME"}));
    usb->addPrinter(deniedOnPort6());
    const Result r = runCli(arguments);
    QCOMPARE(r.exit, int(cli::UsageError));
    QCOMPARE(r.err, err);
    QCOMPARE(r.out, QString());
    for (VirtualPrinter *printer : usb->devices())
        QCOMPARE(setFrames(*printer), QStringList());
}

// On a terminal list starts with a header over its columns; in a pipe it does not (the other
// tests read it so).
void TestCliAutomation::listHeaderOnATerminal()
{
    if (QStandardPaths::findExecutable("script").isEmpty())
        QSKIP("script (util-linux) is not installed");
    std::unique_ptr<QProcess> run(
        launch({"--printer", "1401:3:VS-608K"},
               {"script", "-qec", QString(LABELSETUP_CLI) + " list", "/dev/null"}));
    QVERIFY(run->waitForFinished(60000));
    QCOMPARE(run->exitCode(), int(cli::Ok));
    // The shell script starts may warn about the locale on the same terminal: only the lines
    // with columns.
    const QStringList lines = QString::fromUtf8(run->readAllStandardOutput())
                                  .remove('\r')
                                  .split('\n', Qt::SkipEmptyParts)
                                  .filter("\t");
    QCOMPARE(lines, (QStringList{"端口\t品牌\t型号\t厂商:产品ID\tUSB路径\t序列号\t状态",
                                 "3\tOrbeck\tVS-608K\t5c1e:1401\t1-3\tZR311P3\tready"}));
}

// list --watch --json: one object a line and an event, with the columns of list; a printer that
// leaves is named with the serial number it had.
void TestCliAutomation::watchAsJsonLines()
{
    std::unique_ptr<QProcess> watch(launch({"--printer", "1401:3:VS-608K", "--commands"},
                                           {LABELSETUP_CLI, "list", "--watch", "--json"}));
    QList<QJsonObject> events;
    const auto readEvents = [&] {
        while (watch->canReadLine()) {
            QJsonParseError error;
            const QByteArray line = watch->readLine();
            events << QJsonDocument::fromJson(line, &error).object();
            if (error.error != QJsonParseError::NoError)
                qWarning() << "not a JSON line:" << line;
        }
        return events.size();
    };
    QTRY_VERIFY_WITH_TIMEOUT(readEvents() >= 1, 30000);
    watch->write("plug 1401:2.5:VS-608K\nwait 200\nunplug 2.5\n");
    QTRY_VERIFY_WITH_TIMEOUT(readEvents() >= 3, 30000);
    watch->terminate();
    QVERIFY(watch->waitForFinished(30000));
    QCOMPARE(watch->exitCode(), int(cli::Ok));
    readEvents();
    QCOMPARE(events.size(), 3);
    const char *const expected[][3] = {{"present", "1-3", "ZR311P3"},
                                       {"arrived", "1-2.5", "ZR311P2P5"},
                                       {"left", "1-2.5", "ZR311P2P5"}};
    for (int i = 0; i < 3; ++i) {
        const QJsonObject &event = events[i];
        QCOMPARE(event["schema"], QJsonValue(1));
        QCOMPARE(event["event"].toString(), QString(expected[i][0]));
        QCOMPARE(event["path"].toString(), QString(expected[i][1]));
        QCOMPARE(event["serial"].toString(), QString(expected[i][2]));
        QCOMPARE(event["ready"], QJsonValue(true));
        QCOMPARE(event["model"], QJsonValue("Orbeck VS-608K"));
        QVERIFY(QDateTime::fromString(event["time"].toString(), Qt::ISODateWithMs).isValid());
    }
}

void TestCliAutomation::shellsOfferTheSameWords_data()
{
    QTest::addColumn<QString>("shell");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("strip"); // what the shell keeps before a value it offers
    const char *const lines[] = {"label-printer-cli ",
                                 "label-printer-cli list --",
                                 "label-printer-cli --port 3 restore --",
                                 "label-printer-cli --port 3 read ",
                                 "label-printer-cli write wifi ",
                                 "label-printer-cli write print speed=3 language=",
                                 "label-printer-cli maintain ",
                                 "label-printer-cli download "};
    for (const char *shell : {"zsh", "fish"}) {
        for (const char *line : lines) {
            const bool value = QByteArray(line).endsWith("language=");
            QTest::addRow("%s: %s", shell, line)
                << shell << line << (value && QByteArray(shell) == "fish" ? "language=" : "");
        }
    }
}

// zsh and fish offer what bash offers: the three are written from one table.
void TestCliAutomation::shellsOfferTheSameWords()
{
    QFETCH(QString, shell);
    QFETCH(QString, line);
    QFETCH(QString, strip);
    if (QStandardPaths::findExecutable(shell).isEmpty())
        QSKIP("the shell is not installed");
    const QStringList bash = offered("bash", line, {});
    QVERIFY2(bash.size() > 1, qPrintable(bash.join(' ')));
    QStringList words = offered(shell, line, {});
    words.replaceInStrings(QRegularExpression("^" + QRegularExpression::escape(strip)), QString());
    QCOMPARE(words, bash);
}

void TestCliAutomation::completionOffersAttachedPrinters_data()
{
    QTest::addColumn<QString>("shell");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("expected");
    for (const char *shell : {"bash", "zsh", "fish"}) {
        QTest::addRow("%s: paths", shell)
            << shell << "label-printer-cli --port " << QStringList{"1-2.4", "1-3"};
        QTest::addRow("%s: serial numbers", shell)
            << shell << "label-printer-cli info --serial " << QStringList{"ZR311P2P4", "ZR311P3"};
        QTest::addRow("%s: serial numbers typed in part", shell)
            << shell << "label-printer-cli --serial ZR311P2" << QStringList{"ZR311P2P4"};
    }
}

// After --port and --serial the shells offer the attached printers' paths and serial numbers, as
// list shows them; a printer that may not be opened has no serial number to offer.
void TestCliAutomation::completionOffersAttachedPrinters()
{
    QFETCH(QString, shell);
    QFETCH(QString, line);
    QFETCH(QStringList, expected);
    if (QStandardPaths::findExecutable(shell).isEmpty())
        QSKIP("the shell is not installed");
    const QStringList printers = {"--printer", "1401:3:VS-608K", "--printer", "1401:2.4:VS-608K"};
    QCOMPARE(offered(shell, line, printers), expected);
}

QTEST_GUILESS_MAIN(TestCliAutomation)
#include "tst_cliautomation.moc"
