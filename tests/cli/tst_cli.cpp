// The command line against virtual printers, through the real libusb code: every command, the
// exit statuses, refused input that sends nothing, and a profile copied from one printer to
// another that arrives as the same frames the window sends.
#include "cli/cli.h"
#include "crypto/aes.h"
#include "crypto/filedecrypt.h"
#include "settings/settingspage.h"
#include "tests/support/usbfixture.h"
#include "tests/support/windowharness.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>
#include <memory>

using vprinter::VirtualPrinter;

namespace {

struct Result {
    int exit = -1;
    QString out;
    QString err;
};

Result runCli(const QStringList &arguments)
{
    Result r;
    QTextStream out(&r.out);
    QTextStream err(&r.err);
    r.exit = cli::run(arguments, out, err);
    out.flush();
    err.flush();
    return r;
}

// The set frames (class 01) and the closing button code 06 a printer received.
QStringList setFrames(const VirtualPrinter &printer)
{
    QStringList frames;
    for (const QString &f : receivedFrames(printer)) {
        if (f.startsWith("1B FF FE 01") || f == "1B FF FE 00 06 00 1B FE FF")
            frames << f;
    }
    return frames;
}

const char *const kPages[] = {"print",     "distance", "serial",  "wifi",
                              "bluetooth", "wifi-ip",  "ethernet"};

// The pages of a model with every feature: every page and key the command line knows.
std::vector<std::unique_ptr<pages::SettingsPage>> allPages()
{
    return pages::pagesWith(pages::Features::Extended);
}

// What bash offers for a command line typed up to its end, with the build's completion loaded.
QStringList completions(const QString &line)
{
    QProcess bash;
    bash.start("bash", {"-c",
                        "source \"$1\"; COMP_WORDBREAKS=$' \\t\\n\"\\'><=;|&(:'; "
                        "COMP_LINE=$2; COMP_POINT=${#COMP_LINE}; _label_printer_cli; "
                        "printf '%s\\n' \"${COMPREPLY[@]}\"",
                        "bash", LABELSETUP_COMPLETION_FILE, line});
    if (!bash.waitForFinished(60000) || bash.exitCode() != 0)
        return {"bash failed: " + QString::fromLocal8Bit(bash.readAllStandardError())};
    QStringList offered = QString::fromUtf8(bash.readAllStandardOutput()).split('\n');
    offered.removeAll(QString());
    offered.sort();
    return offered;
}

} // namespace

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
    void infoAndStatus();
    void readsEveryPage();
    void writesChangedKeys();
    void refusedInputSendsNothing_data();
    void refusedInputSendsNothing();
    void transportFailure();
    void maintain_data();
    void maintain();
    void profileCopiesOnePrinterToAnother();
    void download_data();
    void download();

private:
    std::unique_ptr<vprinter::VirtualUsb> usb;
    VirtualPrinter *first = nullptr;
    VirtualPrinter *second = nullptr;
    QTemporaryDir dir;
};

void TestCli::init()
{
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
    QCOMPARE(lines, (QStringList{"1\tZurod\tRM-310\t5c1e:0411", "3\tOrbeck\tVS-608K\t5c1e:1401",
                                 "5\tOrbeck\tVS-608K\t5c1e:1401"}));
}

void TestCli::jsonOutput_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("json");
    QTest::newRow("list") << QStringList{"list", "--json"}
                          << QByteArray(R"([{"port":3,"brand":"Orbeck","product":"VS-608K",
                                "vendor-id":"5c1e","product-id":"1401"},{"port":5,"brand":"Orbeck",
                                "product":"VS-608K","vendor-id":"5c1e","product-id":"1401"}])");
    QTest::newRow("info") << QStringList{"--port", "3", "info", "--json"}
                          << QByteArray(R"({"model":"VS-608K","version":"V2.3.1 20240315",
                                "resolution":203,"max-width-mm":72})");
    QTest::newRow("status") << QStringList{"--port", "3", "status", "--json"}
                            << QByteArray(R"({"word":130,"idle":false,"conditions":[
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
    QJsonDocument shown = QJsonDocument::fromJson(r.out.toUtf8());
    if (shown.isArray()) { // discovery order is the bus's
        QVariantList printers = shown.array().toVariantList();
        std::sort(printers.begin(), printers.end(), [](const QVariant &a, const QVariant &b) {
            return a.toMap().value("port").toInt() < b.toMap().value("port").toInt();
        });
        shown = QJsonDocument(QJsonArray::fromVariantList(printers));
    }
    QCOMPARE(shown, QJsonDocument::fromJson(json));
}

void TestCli::helpShowsOnlyItsOwnOptions_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("options");
    QTest::newRow("list") << "list" << QStringList{"--json"};
    QTest::newRow("info") << "info" << QStringList{"--json", "--port"};
    QTest::newRow("status") << "status" << QStringList{"--json", "--port"};
    QTest::newRow("read") << "read" << QStringList{"--json", "--port"};
    QTest::newRow("write") << "write" << QStringList{"--port"};
    QTest::newRow("backup") << "backup" << QStringList{"--port"};
    QTest::newRow("restore") << "restore" << QStringList{"--dry-run", "--force", "--port"};
    QTest::newRow("maintain") << "maintain" << QStringList{"--port"};
    QTest::newRow("download") << "download" << QStringList{"--port"};
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
    QStringList commands = {"list",   "info",    "status",   "read",    "write",
                            "backup", "restore", "maintain", "download"};
    commands.sort();
    QTest::newRow("commands") << "label-printer-cli " << commands;
    QTest::newRow("an option's value") << "label-printer-cli --port " << QStringList();
    QTest::newRow("list's options")
        << "label-printer-cli list --" << QStringList{"--help", "--json"};
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
}

void TestCli::refusedInputSendsNothing_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("file"); // written to profile.json when not empty
    QTest::addColumn<int>("exit");
    QTest::addColumn<QString>("message");
    const QByteArray valid = R"({"format":1,"model":"Orbeck VS-608K","pages":{"print":
        {"values":{"speed":"1","density":"3","label-gap":"2","black-mark-gap":"3",
        "direction":"0","mirror":"normal","print-offset":"0","vertical-offset":"0",
        "print-method":"thermal","paper-type":"label","code-page":"0","language":"ZPL"}}}})";
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

void TestCli::maintain_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("frame");
    QTest::newRow("restart") << "restart"
                             << "1B FF FE 00 02 00 1B FE FF";
    QTest::newRow("paper-empty learning") << "learn-paper-empty"
                                          << "1B FF FE 00 0D 00 1B FE FF";
    QTest::newRow("tear mode") << "tear"
                               << "1B FF FE 01 25 01 03 1B FE FF";
    QTest::newRow("buzzer off") << "buzzer-off"
                                << "1B FF FE 01 23 01 01 1B FE FF";
}

void TestCli::maintain()
{
    QFETCH(QString, action);
    QFETCH(QString, frame);
    const Result r = runCli({"--port", "3", "maintain", action});
    QCOMPARE(r.exit, int(cli::Ok));
    QCOMPARE(receivedFrames(*first), QStringList{frame});
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
    QCOMPARE(r.out.count(QStringLiteral("设置成功")), 7);
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

void TestCli::download_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("failingChunk"); // 0: none
    QTest::addColumn<int>("exit");
    QTest::addColumn<QString>("output");
    QTest::newRow("firmware, 3008 bytes") << "firmware" << 0 << int(cli::Ok) << "34%\n68%\n100%\n";
    QTest::newRow("font, the second chunk fails")
        << "font" << 2 << int(cli::TransportFailed) << "34%\n";
}

void TestCli::download()
{
    QFETCH(QString, kind);
    QFETCH(int, failingChunk);
    QFETCH(int, exit);
    QFETCH(QString, output);
    // 188 whole blocks (3008 bytes: progress 34, 68, 100), encrypted with our own routine and
    // the build's key.
    QByteArray plain(3008, '\0');
    for (int i = 0; i < plain.size(); ++i)
        plain[i] = char(i * 7 + 1);
    QByteArray encrypted = plain;
    auto *bytes = reinterpret_cast<uint8_t *>(encrypted.data());
    for (int offset = 0; offset < encrypted.size(); offset += 16)
        AES128_ECB_encrypt(bytes + offset, kDownloadFileKey, bytes + offset);
    const QString chosen = dir.filePath("image.bin");
    QFile file(chosen);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(encrypted) == encrypted.size());
    file.close();
    if (failingChunk) {
        vprinter::Faults faults;
        faults.failNextWrite = true;
        faults.writesBeforeFailure = failingChunk - 1;
        first->setFaults(faults);
    }

    const Result r = runCli({"--port", "3", "download", kind, chosen});
    QCOMPARE(r.exit, exit);
    QCOMPARE(r.out, output);
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

QTEST_MAIN(TestCli)
#include "tst_cli.moc"
