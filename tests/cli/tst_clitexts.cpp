// What the command line says, as a script reads it, against virtual printers: the status word
// from however many bytes the printer sends, the remedy for a printer without permission, help
// and refusal texts in both languages, and a reply cut short said once.
#include "core/base/translation.h"
#include "tests/cli/clitest.h"

class TestCliTexts : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void statusFromShortAnswers_data();
    void statusFromShortAnswers();
    void listSaysWhatToDoAboutPermission_data();
    void listSaysWhatToDoAboutPermission();
    void textsAScriptReads_data();
    void textsAScriptReads();
    void helpExplainsValues_data();
    void helpExplainsValues();
    void cutReplySaidOnce_data();
    void cutReplySaidOnce();

private:
    std::unique_ptr<vprinter::VirtualUsb> usb;
    VirtualPrinter *first = nullptr;
    QTemporaryDir dir;
};

void TestCliTexts::init()
{
    usb = std::make_unique<vprinter::VirtualUsb>();
    first = &usb->addPrinter(0x1401, "VS-608K", 3);
}

void TestCliTexts::cleanup()
{
    verifyNoViolations(*usb);
    usb.reset();
}

void TestCliTexts::statusFromShortAnswers_data()
{
    QTest::addColumn<int>("bytes");
    QTest::addColumn<int>("exit");
    QTest::addColumn<QString>("out");
    QTest::addColumn<qint64>("word"); // in --json; -1: no output
    // The printer's word is 0x01084082: paper out, cover open, print deleted, and bits the
    // first two bytes do not hold. Bytes it does not send count as zero.
    QTest::newRow("0 bytes: no status") << 0 << int(cli::TransportFailed) << "" << qint64(-1);
    QTest::newRow("1 byte") << 1 << int(cli::Ok) << "缺纸\n开盖\n" << qint64(0x82);
    QTest::newRow("2 bytes") << 2 << int(cli::Ok) << "缺纸\n开盖\n打印删除\n" << qint64(0x4082);
    QTest::newRow("3 bytes") << 3 << int(cli::Ok) << "缺纸\n开盖\n打印删除\n" << qint64(0x84082);
    QTest::newRow("4 bytes") << 4 << int(cli::Ok) << "缺纸\n开盖\n打印删除\n" << qint64(0x01084082);
}

void TestCliTexts::statusFromShortAnswers()
{
    QFETCH(int, bytes);
    QFETCH(int, exit);
    QFETCH(QString, out);
    QFETCH(qint64, word);
    first->setStatusWord(0x01084082);
    vprinter::Faults faults;
    faults.cutRepliesTo = bytes;
    first->setFaults(faults);

    Result r = runCli({"--port", "3", "status"});
    QCOMPARE(r.exit, exit);
    QCOMPARE(r.out, out);
    QCOMPARE(r.err, exit == cli::Ok ? QString() : QString("请确保打印机已通过usb进行连接\n"));
    r = runCli({"--port", "3", "status", "--json"});
    QCOMPARE(r.exit, exit);
    if (word < 0) {
        QCOMPARE(r.out, QString());
        return;
    }
    QCOMPARE(QJsonDocument::fromJson(r.out.toUtf8()).object().value("word").toDouble(),
             double(word));
}

void TestCliTexts::listSaysWhatToDoAboutPermission_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("denied"); // "open", "claim" or "" (every printer usable)
    QTest::newRow("text, no permission") << QStringList{"list"} << "open";
    QTest::newRow("JSON, no permission") << QStringList{"list", "--json"} << "open";
    QTest::newRow("in use: no remedy to give") << QStringList{"list"} << "claim";
    QTest::newRow("every printer usable") << QStringList{"list"} << "";
}

// The list names the state; what to do about a missing permission is said once on standard
// error, as info says it, however many printers lack it.
void TestCliTexts::listSaysWhatToDoAboutPermission()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, denied);
    VirtualPrinter &other = usb->addPrinter(0x1401, "VS-608K", 5);
    vprinter::Faults faults;
    faults.refuseOpen = denied == "open";
    faults.refuseClaim = denied == "claim";
    first->setFaults(faults);
    other.setFaults(faults);
    const Result r = runCli(arguments);
    QCOMPARE(r.exit, int(cli::Ok));
    const QString state = denied == "open"    ? "no-permission"
                          : denied == "claim" ? "in-use"
                                              : "ready";
    QCOMPARE(r.out.count(state), 2);
    const QString remedy = printeraccess::remedy(printeraccess::thisSystem());
    QVERIFY(!remedy.isEmpty());
    QCOMPARE(r.err.count(remedy), denied == "open" ? 1 : 0);
    if (denied == "open")
        QCOMPARE(r.err, remedy + '\n');
    // The remedy is the one info gives for the same printer.
    if (denied == "open")
        QVERIFY(runCli({"--port", "3", "info"}).err.contains(remedy));
}

void TestCliTexts::textsAScriptReads_data()
{
    QTest::addColumn<bool>("english");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("file"); // profile.json when not empty
    QTest::addColumn<int>("exit");
    QTest::addColumn<QString>("err");
    const QByteArray format2 = profileOf(kPrintPage).replace("\"format\":1", "\"format\":2");
    const QByteArray noFormat = profileOf(kPrintPage).replace("\"format\":1,", "");
    const QByteArray textFormat =
        profileOf(kPrintPage).replace("\"format\":1", "\"format\":\"1.0\"");
    for (bool english : {false, true}) {
        const char *language = english ? "en" : "zh";
        QTest::addRow("access point address in station mode, %s", language)
            << english << QStringList{"write", "wifi", "ap-ip=192.168.4.9"} << QByteArray()
            << int(cli::Refused)
            << (english ? R"("ap-ip" is sent to the printer only with mode=AP. Nothing was sent.)"
                        : "“ap-ip”只在 mode=AP 时发送给打印机。未发送任何设置。");
        QTest::addRow("station password in AP mode, %s", language)
            << english
            << QStringList{"write", "wifi", "mode=AP", "ap-ip=192.168.4.9",
                           "station-password=secret"}
            << QByteArray() << int(cli::Refused)
            << (english
                    ? R"("station-password" is sent to the printer only with mode=STA. Nothing was sent.)"
                    : "“station-password”只在 mode=STA 时发送给打印机。未发送任何设置。");
        QTest::addRow("a newer format, %s", language)
            << english << QStringList{"restore", "profile.json"} << format2 << int(cli::Refused)
            << (english ? "The file is not a valid printer profile: its format is 2, this program "
                          "reads format 1"
                        : "文件不是有效的打印机配置：format 为 2，应为 1");
        QTest::addRow("no format, %s", language)
            << english << QStringList{"restore", "profile.json"} << noFormat << int(cli::Refused)
            << (english ? "The file is not a valid printer profile: its format is (none), this "
                          "program reads format 1"
                        : "文件不是有效的打印机配置：format 为 （无），应为 1");
        QTest::addRow("a format as text, %s", language)
            << english << QStringList{"restore", "profile.json"} << textFormat << int(cli::Refused)
            << (english
                    ? R"(The file is not a valid printer profile: its format is "1.0", this program reads format 1)"
                    : R"(文件不是有效的打印机配置：format 为 "1.0"，应为 1)");
    }
}

// Refusals a script reads, word for word, in Chinese and in English.
void TestCliTexts::textsAScriptReads()
{
    QFETCH(bool, english);
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, file);
    QFETCH(int, exit);
    QFETCH(QString, err);
    if (!file.isEmpty()) {
        QFile profile(dir.filePath("profile.json"));
        QVERIFY(profile.open(QIODevice::WriteOnly) && profile.write(file) == file.size());
        arguments.last() = profile.fileName();
    }
    std::unique_ptr<translation::Catalogues> catalogues;
    if (english)
        catalogues = std::make_unique<translation::Catalogues>(QLocale(QLocale::English));
    const Result r = runCli(QStringList{"--port", "3"} + arguments);
    catalogues.reset();
    QCOMPARE(r.exit, exit);
    QCOMPARE(r.err, err + '\n');
    QCOMPARE(setFrames(*first), QStringList());
}

void TestCliTexts::helpExplainsValues_data()
{
    QTest::addColumn<bool>("english");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("accepted"); // what the key's line says it takes
    QTest::newRow("mask") << false << "mask"
                          << "连续的子网掩码，如 255.255.255.0";
    QTest::newRow("mask, en") << true << "mask"
                              << "a contiguous netmask such as 255.255.255.0";
    QTest::newRow("address") << false << "gateway"
                             << "IP地址，如 192.168.1.100";
    QTest::newRow("parity") << false << "parity"
                            << "0, 1, 2（0 无校验，1 奇校验，2 偶校验）";
    QTest::newRow("parity, en") << true << "parity"
                                << "0, 1, 2 (0 none, 1 odd, 2 even)";
    QTest::newRow("PIN")
        << false << "pin"
        << "4 到 16 位数字：蓝牙配对的PIN码最多 16 个字节，配对的设备只提供数字键盘，"
           "少于 4 位起不到保护作用";
    QTest::newRow("network name, en") << true << "station-name"
                                      << "text, at most 32 bytes";
}

// `write --help` says what each key takes in words a user can act on.
void TestCliTexts::helpExplainsValues()
{
    QFETCH(bool, english);
    QFETCH(QString, key);
    QFETCH(QString, accepted);
    std::unique_ptr<translation::Catalogues> catalogues;
    if (english)
        catalogues = std::make_unique<translation::Catalogues>(QLocale(QLocale::English));
    const Result r = runCli({"write", "--help"});
    catalogues.reset();
    QCOMPARE(r.exit, int(cli::Ok));
    const QRegularExpression line("^    " + key + " +(.*)$", QRegularExpression::MultilineOption);
    QRegularExpressionMatchIterator found = line.globalMatch(r.out);
    QVERIFY2(found.hasNext(), qPrintable(r.out));
    while (found.hasNext())
        QCOMPARE(found.next().captured(1), accepted);
}

void TestCliTexts::cutReplySaidOnce_data()
{
    QTest::addColumn<bool>("verbose");
    QTest::newRow("without --verbose") << false;
    QTest::newRow("with --verbose") << true;
}

// Every query of a page read comes back cut short: the command's own message says so once,
// naming the first; the protocol's line for each is there only with --verbose.
void TestCliTexts::cutReplySaidOnce()
{
    QFETCH(bool, verbose);
    vprinter::Faults faults;
    faults.cutRepliesTo = 5;
    first->setFaults(faults);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LD_PRELOAD", "libumockdev-preload.so.0");
    environment.insert("ASAN_OPTIONS",
                       environment.value("ASAN_OPTIONS") + ":verify_asan_link_order=0");
    environment.remove("QT_LOGGING_CONF");
    environment.remove("QT_LOGGING_RULES");
    environment.insert("LC_ALL", "C.UTF-8"); // not Chinese: the English catalogue
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(LABELSETUP_CLI, QStringList{"--port", "3", "read", "print"} +
                                      (verbose ? QStringList{"--verbose"} : QStringList()));
    QVERIFY(program.waitForFinished(120000));
    const QString err = QString::fromUtf8(program.readAllStandardError());
    QCOMPARE(program.exitCode(), int(cli::TransportFailed));
    const QString said = "The printer's reply to query 0x00 was cut short (only 5 bytes arrived). "
                         "Make sure the printer has been connected by usb\n";
    QVERIFY2(err.endsWith(said), qPrintable(err.right(1000)));
    QCOMPARE(err.count("cut short (only"), 1);
    const int protocolLines =
        err.count(QRegularExpression("labelsetup\\.protocol.*reply cut short"));
    if (verbose)
        QVERIFY2(protocolLines >= 11, qPrintable(err.right(1000))); // every query of the page
    else
        QVERIFY2(err == said, qPrintable(err.right(1000)));
    QCOMPARE(protocolLines > 0, verbose);
}

QTEST_GUILESS_MAIN(TestCliTexts)
#include "tst_clitexts.moc"
