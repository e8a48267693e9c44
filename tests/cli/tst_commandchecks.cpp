// What the command line refuses before it sends anything, what it shows of a comparison, and how
// long a printer that never answers holds a command: counted in the exchanges it was asked.
#include "tests/cli/clitest.h"

class TestCommandChecks : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void refusesArguments_data();
    void refusesArguments();
    void diffChecksWhatItCompares_data();
    void diffChecksWhatItCompares();
    void backupOfAModelWithoutPages();
    void failedReadPrintsNothing_data();
    void failedReadPrintsNothing();
    void silentPrinterIsAskedOnce_data();
    void silentPrinterIsAskedOnce();
    void restoreAllGoesOnPastASilentPrinter();
    void maintainAsksFirst_data();
    void maintainAsksFirst();

private:
    QString writeFile(const QString &name, const QByteArray &bytes);

    std::unique_ptr<vprinter::VirtualUsb> usb;
    VirtualPrinter *first = nullptr;  // VS-608K on port 3
    VirtualPrinter *second = nullptr; // VS-608K on port 5
    QTemporaryDir dir;
};

void TestCommandChecks::init()
{
    QVERIFY(QDir(dir.path()).removeRecursively() && QDir().mkpath(dir.path()));
    usb = std::make_unique<vprinter::VirtualUsb>();
    first = &usb->addPrinter(0x1401, "VS-608K", 3);
    second = &usb->addPrinter(0x1401, "VS-608K", 5);
}

void TestCommandChecks::cleanup()
{
    verifyNoViolations(*usb);
    usb.reset();
}

QString TestCommandChecks::writeFile(const QString &name, const QByteArray &bytes)
{
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return QString();
    return file.fileName();
}

void TestCommandChecks::refusesArguments_data()
{
    QTest::addColumn<QStringList>("arguments"); // FILE: a valid profile
    QTest::addColumn<QString>("message");       // how standard error starts
    QTest::newRow("--port with --all")
        << QStringList{"--port", "3", "restore", "--all", "FILE"} << "--port 与 --all 不能同时使用";
    QTest::newRow("--all with --port")
        << QStringList{"restore", "FILE", "--all", "--port", "5"} << "--port 与 --all 不能同时使用";
    QTest::newRow("a second --port")
        << QStringList{"--port", "3", "--port", "5", "info"} << "选项 --port 只能给出一次";
    QTest::newRow("a second --port, the same")
        << QStringList{"--port", "3", "write", "print", "speed=3", "--port", "3"}
        << "选项 --port 只能给出一次";
    QTest::newRow("a second --count")
        << QStringList{"provision", "FILE", "--count", "1", "--count", "2"}
        << "选项 --count 只能给出一次";
    const QList<QStringList> extra = {
        {"list", "x"},
        {"--port", "3", "info", "x"},
        {"--port", "3", "status", "x"},
        {"--port", "3", "read", "print", "x"},
        {"--port", "3", "backup", "FILE2", "x"},
        {"--port", "3", "restore", "FILE", "x"},
        {"provision", "FILE", "x"},
        {"--port", "3", "diff", "FILE", "FILE", "x"},
        {"--port", "3", "maintain", "self-test", "x"},
        {"--port", "3", "download", "firmware", "FILE", "x"},
    };
    for (const QStringList &arguments : extra)
        QTest::addRow("extra argument: %s", qPrintable(arguments.join(' ')))
            << arguments << "多余的参数：x";
}

void TestCommandChecks::refusesArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    const QString file = writeFile("fleet.json", profileOf(kPrintPage));
    arguments.replaceInStrings(QRegularExpression("^FILE$"), file);
    arguments.replaceInStrings(QRegularExpression("^FILE2$"), dir.filePath("new.json"));
    const Result r = runCli(arguments);
    QCOMPARE(r.exit, int(cli::UsageError));
    QVERIFY2(r.err.startsWith(message), qPrintable(r.err));
    QCOMPARE(r.out, QString());
    // Nothing asked of a printer, nothing written.
    QVERIFY(first->bulkOutLog().empty() && second->bulkOutLog().empty());
    QVERIFY(!QFileInfo::exists(dir.filePath("new.json")));
}

void TestCommandChecks::diffChecksWhatItCompares_data()
{
    // A: backup of printer 3, B: of printer 5, each edited as the row says; "--port" rows
    // compare printer 3 with A.
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("editA"); // "from=>to" in A's text
    QTest::addColumn<int>("exit");
    QTest::addColumn<QString>("out"); // the counted differences (before the read-only ones)
    QTest::addColumn<QString>("err");
    const QByteArray other = R"("model": "Orbeck VS-608K"=>"model": "Zurod RM-310")";
    QTest::newRow("printer and a profile of another model")
        << QStringList{"--port", "3", "diff", "A"} << other << int(cli::UsageError) << ""
        << "配置来自另一型号（Zurod RM-310），本打印机是 Orbeck VS-608K；用 --force 仍然比较\n";
    QTest::newRow("two files of two models")
        << QStringList{"diff", "A", "B"} << other << int(cli::UsageError) << ""
        << "两个配置文件的型号不同（Zurod RM-310 和 Orbeck VS-608K）；用 --force 仍然比较\n";
    // Forced, the file is still checked for the printer's model, as restore checks it.
    QTest::newRow("another model, forced")
        << QStringList{"--port", "3", "diff", "A", "--force"}
        << QByteArray(R"("model": "Orbeck VS-608K"=>"model": "Orbeck VS-608")") << int(cli::Ok)
        << ""
        << "";
    QTest::newRow("an unknown page")
        << QStringList{"--port", "3", "diff", "A"} << QByteArray(R"("print": {=>"printer": {)")
        << int(cli::Refused) << ""
        << "未知的页面：printer";
    QTest::newRow("an unknown key, second file")
        << QStringList{"diff", "B", "A"} << QByteArray(R"("speed": =>"sped": )")
        << int(cli::Refused) << ""
        << "页面“print”没有设置项“sped”";
    // The access point's password (none on the printer) differs: shown as such, its values only
    // when asked.
    const QByteArray password = R"("ap-password": "=>"ap-password": "x)";
    QTest::newRow("a secret") << QStringList{"--port", "3", "diff", "A"} << password << 1
                              << "wifi\tap-password\t(不同)\t(不同)\n"
                              << "";
    QTest::newRow("a secret, shown") << QStringList{"--port", "3", "diff", "A", "--show-secrets"}
                                     << password << 1 << "wifi\tap-password\t\tx\n"
                                     << "";
    // 100 dots show as 12 mm, as 96 do: the difference in millimetres, as read shows them.
    QTest::newRow("a wire value, in millimetres")
        << QStringList{"--port", "3", "diff", "A"}
        << QByteArray(R"("label-gap": 16=>"label-gap": 19)") << 1 << "print\tlabel-gap\t2\t2.375\n"
        << "";
}

void TestCommandChecks::diffChecksWhatItCompares()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, editA);
    QFETCH(int, exit);
    QFETCH(QString, out);
    QFETCH(QString, err);
    second->setSetting(0x00, {0x05});
    const QString a = dir.filePath("A.json"), b = dir.filePath("B.json");
    QCOMPARE(runCli({"--port", "3", "backup", a}).exit, int(cli::Ok));
    QCOMPARE(runCli({"--port", "5", "backup", b}).exit, int(cli::Ok));
    const QByteArray from = editA.left(editA.indexOf("=>")),
                     to = editA.mid(editA.indexOf("=>") + 2);
    QByteArray text = readFile(a);
    QVERIFY2(text.contains(from), text.constData());
    QVERIFY(QFile::remove(a));
    QCOMPARE(writeFile("A.json", text.replace(from, to)), a);
    arguments.replaceInStrings(QRegularExpression("^([AB])$"), dir.filePath("\\1.json"));
    first->clearLogs();
    const Result r = runCli(arguments);
    QCOMPARE(r.exit, exit);
    QCOMPARE(r.out.section(QStringLiteral("只读（不计为差异）：\n"), 0, 0), out);
    QVERIFY2(err.isEmpty() ? r.err.isEmpty() : r.err.contains(err), qPrintable(r.err));
    QVERIFY(setFrames(*first).isEmpty());
}

void TestCommandChecks::backupOfAModelWithoutPages()
{
    VirtualPrinter &locked = usb->addPrinter(0x0411, "RM-310", 1);
    const QString file = dir.filePath("locked.json");
    const Result r = runCli({"--port", "1", "backup", file});
    QCOMPARE(r.exit, int(cli::Refused));
    QCOMPARE(r.err, QStringLiteral("此机型（Zurod RM-310）不提供“backup”\n"));
    QVERIFY(!QFileInfo::exists(file));
    QVERIFY(locked.bulkOutLog().empty());
}

void TestCommandChecks::failedReadPrintsNothing_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("info") << QStringList{"info"};
    QTest::newRow("info --json") << QStringList{"info", "--json"};
    QTest::newRow("read") << QStringList{"read", "print"};
    QTest::newRow("read --json") << QStringList{"read", "wifi", "--json"};
}

void TestCommandChecks::failedReadPrintsNothing()
{
    QFETCH(QStringList, arguments);
    vprinter::Faults faults;
    faults.cutRepliesTo = 6; // every reply cut after its length byte
    first->setFaults(faults);
    const Result r = runCli(QStringList{"--port", "3"} + arguments);
    QCOMPARE(r.exit, int(cli::TransportFailed));
    QCOMPARE(r.out, QString());
    // The reply cut short, said once, and what to check; with --json the same message as an
    // error document.
    QString message = r.err;
    if (arguments.contains("--json")) {
        const QJsonObject error = QJsonDocument::fromJson(r.err.toUtf8()).object();
        QCOMPARE(error["exit"], QJsonValue(int(cli::TransportFailed)));
        message = error["error"].toString() + '\n';
    }
    QVERIFY2(message.endsWith("请确保打印机已通过usb进行连接\n"), qPrintable(message));
    QCOMPARE(message.count("回复不完整"), 1);
}

void TestCommandChecks::silentPrinterIsAskedOnce_data()
{
    QTest::addColumn<QStringList>("arguments"); // FILE: a profile of the printer's model
    QTest::newRow("info") << QStringList{"info"};
    QTest::newRow("read") << QStringList{"read", "print"};
    QTest::newRow("write") << QStringList{"write", "print", "speed=3"};
    QTest::newRow("backup") << QStringList{"backup", "NEW"};
    QTest::newRow("restore") << QStringList{"restore", "FILE"};
    QTest::newRow("diff") << QStringList{"diff", "FILE"};
}

void TestCommandChecks::silentPrinterIsAskedOnce()
{
    QFETCH(QStringList, arguments);
    const QString file = writeFile("fleet.json", profileOf(kPrintPage));
    arguments.replaceInStrings(QRegularExpression("^FILE$"), file);
    arguments.replaceInStrings(QRegularExpression("^NEW$"), dir.filePath("new.json"));
    vprinter::Faults faults;
    faults.neverAnswer = true;
    first->setFaults(faults);
    const Result r = runCli(QStringList{"--port", "3"} + arguments);
    QCOMPARE(r.exit, int(cli::TransportFailed));
    QCOMPARE(r.out, QString());
    QCOMPARE(r.err, QStringLiteral("打印机没有应答\n"));
    // Its first query waited out its time-out; nothing more was asked.
    QCOMPARE(first->bulkOutLog().size(), std::size_t(1));
    QVERIFY(!QFileInfo::exists(dir.filePath("new.json")));
}

void TestCommandChecks::restoreAllGoesOnPastASilentPrinter()
{
    VirtualPrinter &third = usb->addPrinter(0x1401, "VS-608K", 7);
    second->setSetting(0x00, {0x05});
    const QString file = dir.filePath("fleet.json");
    QCOMPARE(runCli({"--port", "5", "backup", file}).exit, int(cli::Ok));
    vprinter::Faults faults;
    faults.neverAnswer = true;
    first->setFaults(faults);
    first->clearLogs();
    const Result r = runCli({"restore", "--all", file});
    QCOMPARE(r.exit, int(cli::TransportFailed));
    QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    lines.sort();
    QCOMPARE(lines,
             (QStringList{"1-3\t\t已写入 0 个页面\t失败", "1-5\tZR311P5\t已写入 0 个页面\t未改变",
                          "1-7\tZR311P7\t已写入 7 个页面\t已写入并核对"}));
    QVERIFY2(r.err.contains("1-3: 打印机没有应答\n"), qPrintable(r.err));
    QVERIFY2(r.err.endsWith("3 台打印机：1 台已写入并核对，1 台未改变，1 台失败\n"),
             qPrintable(r.err));
    QCOMPARE(first->bulkOutLog().size(), std::size_t(1));
    QCOMPARE(third.setting(0x00), vprinter::Bytes{0x05});
}

void TestCommandChecks::maintainAsksFirst_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("terminal");
    QTest::addColumn<QString>("answer"); // typed on the terminal
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("exit");
    QTest::addColumn<bool>("sent");
    for (const char *action : {"initialise", "restart"}) {
        QTest::addRow("%s from a script", action)
            << action << false << "" << QStringList() << int(cli::UsageError) << false;
        QTest::addRow("%s from a script, --yes", action)
            << action << false << "" << QStringList{"--yes"} << int(cli::Ok) << true;
        QTest::addRow("%s on a terminal, yes", action) << action << true << "y\n"
                                                       << QStringList() << int(cli::Ok) << true;
        QTest::addRow("%s on a terminal, no", action)
            << action << true << "n\n"
            << QStringList() << int(cli::Refused) << false;
        QTest::addRow("%s on a terminal, nothing typed", action)
            << action << true << "" << QStringList() << int(cli::Refused) << false;
    }
    QTest::newRow("self-test is not asked")
        << "self-test" << true << "" << QStringList() << int(cli::Ok) << true;
}

void TestCommandChecks::maintainAsksFirst()
{
    QFETCH(QString, action);
    QFETCH(bool, terminal);
    QFETCH(QString, answer);
    QFETCH(QStringList, options);
    QFETCH(int, exit);
    QFETCH(bool, sent);
    QString typed = answer;
    QTextStream in(&typed, QIODevice::ReadOnly);
    Result r;
    QTextStream out(&r.out), err(&r.err);
    r.exit = cli::run(QStringList{"--port", "3", "maintain", action} + options, out, err,
                      {&in, terminal});
    out.flush();
    err.flush();
    QCOMPARE(r.exit, exit);
    QCOMPARE(first->bulkOutLog().empty(), !sent);
    const bool asked = terminal && action != "self-test";
    QCOMPARE(r.err.contains("是否继续？[y/N]"), asked);
    if (asked)
        QVERIFY2(
            r.err.startsWith(action == "restart"
                                 ? "即将重启打印机 Orbeck VS-608K (USB 1-3)。"
                                 : "即将初始化打印机 Orbeck VS-608K (USB 1-3)。此操作无法撤销。"),
            qPrintable(r.err));
}

QTEST_MAIN(TestCommandChecks)
#include "tst_commandchecks.moc"
