// What restore, restore --all and provision say became of each printer, against virtual printers
// in every state a bench meets: the words of the result model, the summary and the exit status,
// and which printers received set frames.
#include "tests/cli/clitest.h"

#include <QTimer>
#include <csignal>

namespace {

// The printer under test, on port 3, beside a printer on port 5 that holds the profile already.
enum class Subject {
    Factory,     // the factory's speed 2 where the profile has 5
    HoldsIt,     // the profile's values already
    KeepsSpeed,  // takes the speed frame but keeps 2
    FailsMidway, // a write fails once every page was read and some were written
    Silent,      // never answers a query
    NoAccess,    // may not be opened
    OtherModel,  // a Zurod RM-310
};

struct Row {
    Subject subject;
    QStringList options; // --no-verify, --dry-run
    QString pages;       // the line's third field, "" when the front end has no line for it
    QString outcome;     // the line's fourth field (the model's name for another model)
    QString restoreExit; // of restore onto the subject alone
    int allExit;         // of restore --all and provision
    QString summary;     // restore --all's and provision's last line on standard error
    bool subjectWritten; // whether a set frame reached the subject
};

// The serial number on the subject's line: not known of a printer that was never read.
QString serialOf(Subject subject)
{
    return subject == Subject::Silent || subject == Subject::NoAccess ? QString()
                                                                      : QStringLiteral("ZR311P3");
}

} // namespace

Q_DECLARE_METATYPE(Subject)

class TestApplyResults : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void restoreOnOnePrinter_data() { outcomes(); }
    void restoreOnOnePrinter();
    void restoreAll_data() { outcomes(); }
    void restoreAll();
    void provision_data() { outcomes(false); }
    void provision();
    void interruptedProvisionIsNotSuccess();
    void modelWithoutPagesIsSkipped();

private:
    // The rows: an outcome a printer can end with. `dryRunAndNoVerify`: the front end offers
    // those options.
    void outcomes(bool dryRunAndNoVerify = true);
    // Puts the subject in its state; the printer that stands for it.
    VirtualPrinter &plugSubject(Subject subject);
    QString subjectLine(const Result &r) const;

    std::unique_ptr<vprinter::VirtualUsb> usb;
    VirtualPrinter *holder = nullptr; // port 5, holds the profile
    QTemporaryDir dir;
    QString file;
};

void TestApplyResults::init()
{
    QVERIFY(QDir(dir.path()).removeRecursively() && QDir().mkpath(dir.path()));
    usb = std::make_unique<vprinter::VirtualUsb>();
    holder = &usb->addPrinter(0x1401, "VS-608K", 5);
    holder->setSetting(0x00, {0x05}); // speed 5
    file = dir.filePath("fleet.json");
    QCOMPARE(runCli({"--port", "5", "backup", file}).exit, int(cli::Ok));
    holder->clearLogs();
}

void TestApplyResults::cleanup()
{
    verifyNoViolations(*usb);
    usb.reset();
}

void TestApplyResults::outcomes(bool dryRunAndNoVerify)
{
    QTest::addColumn<Subject>("subject");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("pages");
    QTest::addColumn<QString>("outcome");
    QTest::addColumn<int>("restoreExit");
    QTest::addColumn<int>("allExit");
    QTest::addColumn<QString>("summary");
    QTest::addColumn<bool>("written");
    const QString two = QStringLiteral("2 台打印机：");
    // Every page of the profile goes out once the printer differs anywhere.
    QTest::newRow("written and verified") << Subject::Factory << QStringList() << "已写入 7 个页面"
                                          << "已写入并核对" << int(cli::Ok) << int(cli::Ok)
                                          << two + "1 台已写入并核对，1 台未改变" << true;
    if (dryRunAndNoVerify) {
        // Not read back: what the printer kept is not known, and not claimed.
        QTest::newRow("no verify")
            << Subject::KeepsSpeed << QStringList{"--no-verify"} << "已写入 7 个页面"
            << "已写入，未核对" << int(cli::Ok) << int(cli::Ok)
            << two + "1 台已写入，未核对，1 台未改变" << true;
        QTest::newRow("dry run") << Subject::Factory << QStringList{"--dry-run"}
                                 << "将写入 7 个页面"
                                 << "将写入（未发送）" << int(cli::Ok) << int(cli::Ok)
                                 << two + "1 台将写入（未发送），1 台未改变" << false;
    }
    QTest::newRow("unchanged") << Subject::HoldsIt << QStringList() << "已写入 0 个页面"
                               << "未改变" << int(cli::Ok) << int(cli::Ok) << two + "2 台未改变"
                               << false;
    QTest::newRow("not kept") << Subject::KeepsSpeed << QStringList() << "已写入 7 个页面"
                              << "写入的值未被保存" << int(cli::NotKept) << int(cli::NotKept)
                              << two + "1 台未改变，1 台写入的值未被保存" << true;
    // The print page's write fails; the pages after it are still written.
    QTest::newRow("failed mid-way")
        << Subject::FailsMidway << QStringList() << "已写入 6 个页面"
        << "失败" << int(cli::TransportFailed) << int(cli::TransportFailed)
        << two + "1 台未改变，1 台失败" << true;
    QTest::newRow("not answering")
        << Subject::Silent << QStringList() << "已写入 0 个页面"
        << "失败" << int(cli::TransportFailed) << int(cli::TransportFailed)
        << two + "1 台未改变，1 台失败" << false;
    QTest::newRow("no access") << Subject::NoAccess << QStringList() << "已写入 0 个页面"
                               << "跳过：没有打开权限" << int(cli::Unavailable)
                               << int(cli::Unavailable) << two + "1 台未改变，1 台跳过" << false;
    // restore --all passes it by; provision names it and goes on.
    QTest::newRow("other model") << Subject::OtherModel << QStringList() << ""
                                 << "Zurod RM-310" << int(cli::Refused) << int(cli::Ok)
                                 << "1 台打印机：1 台未改变" << false;
}

VirtualPrinter &TestApplyResults::plugSubject(Subject subject)
{
    if (subject == Subject::OtherModel)
        return usb->addPrinter(0x0411, "RM-310", 3);
    vprinter::PrinterConfig config;
    config.sysfsName = "1-3";
    config.identity.productId = 0x1401;
    config.identity.product = "VS-608K";
    VirtualPrinter &printer = usb->addPrinter(config);
    vprinter::Faults faults;
    switch (subject) {
    case Subject::NoAccess:
        faults.refuseOpen = true;
        break;
    case Subject::HoldsIt:
        printer.setSetting(0x00, {0x05});
        break;
    case Subject::KeepsSpeed:
        faults.keepOldValueOf = 0x00;
        break;
    case Subject::FailsMidway:
        faults.failNextWrite = true;
        faults.writesBeforeFailure = 40;
        break;
    case Subject::Silent:
        faults.neverAnswer = true;
        break;
    default:
        break;
    }
    printer.setFaults(faults);
    return printer;
}

QString TestApplyResults::subjectLine(const Result &r) const
{
    for (const QString &line : r.out.split('\n')) {
        if (line.startsWith("1-3\t"))
            return line;
    }
    return QString();
}

void TestApplyResults::restoreOnOnePrinter()
{
    QFETCH(Subject, subject);
    QFETCH(QStringList, options);
    QFETCH(QString, outcome);
    QFETCH(QString, pages);
    QFETCH(int, restoreExit);
    QFETCH(bool, written);
    VirtualPrinter &printer = plugSubject(subject);
    const Result r = runCli(QStringList{"--port", "3", "restore", file} + options);
    QCOMPARE(r.exit, restoreExit);
    QCOMPARE(!setFrames(printer).isEmpty(), written);
    switch (subject) {
    case Subject::OtherModel:
        QVERIFY2(r.err.startsWith("配置来自另一型号（Orbeck VS-608K），本打印机是 Zurod RM-310"),
                 qPrintable(r.err));
        return;
    case Subject::NoAccess:
        QVERIFY2(r.err.startsWith("无法使用打印机 1-3"), qPrintable(r.err));
        return;
    case Subject::Silent:
        QCOMPARE(r.out, QString());
        QCOMPARE(r.err, QStringLiteral("打印机没有应答\n"));
        return;
    default:
        break;
    }
    if (options.contains("--dry-run")) {
        // The printer first, then the frames it would be sent.
        const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.first(), "1-3\tZR311P3\t" + pages + '\t' + outcome);
        QVERIFY(lines.size() > 7);
        for (const QString &line : lines.mid(1))
            QVERIFY2(line.contains(QRegularExpression(R"(^[a-z-]+: 1B( [0-9A-F]{2})+$)")),
                     qPrintable(line));
        return;
    }
    // A line a page, each with what became of it.
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 7);
    if (subject == Subject::FailsMidway)
        QCOMPARE(r.err, QStringLiteral("print: 请确保打印机已通过usb进行连接\n"));
    if (subject == Subject::KeepsSpeed && !options.contains("--no-verify"))
        QCOMPARE(r.err, QStringLiteral("print speed：写入 5，打印机保存的是 2\n"));
    QCOMPARE(lines.first(), "print：" + outcome);
    for (const QString &line : lines.mid(1)) {
        if (subject == Subject::HoldsIt)
            QVERIFY2(line.endsWith("：未改变"), qPrintable(line));
        else if (options.contains("--no-verify"))
            QVERIFY2(line.endsWith("：已写入，未核对"), qPrintable(line));
        else // the pages after the one that failed, or not kept, were written and verified
            QVERIFY2(line.endsWith("：已写入并核对"), qPrintable(line));
    }
}

void TestApplyResults::restoreAll()
{
    QFETCH(Subject, subject);
    QFETCH(QStringList, options);
    QFETCH(QString, pages);
    QFETCH(QString, outcome);
    QFETCH(int, allExit);
    QFETCH(QString, summary);
    QFETCH(bool, written);
    VirtualPrinter &printer = plugSubject(subject);
    const Result r = runCli(QStringList{"restore", "--all", file} + options);
    QCOMPARE(r.exit, allExit);
    QCOMPARE(!setFrames(printer).isEmpty(), written);
    QVERIFY(setFrames(*holder).isEmpty());
    QVERIFY2(r.out.contains("1-5\tZR311P5\t已写入 0 个页面\t未改变\n"), qPrintable(r.out));
    // A printer of another model has no line and is not even asked.
    if (subject == Subject::OtherModel) {
        QCOMPARE(subjectLine(r), QString());
        QVERIFY(receivedFrames(printer).isEmpty());
    } else {
        QCOMPARE(subjectLine(r), "1-3\t" + serialOf(subject) + '\t' + pages + '\t' + outcome);
    }
    QVERIFY2(r.err.endsWith(summary + '\n'), qPrintable(r.err));
    if (subject == Subject::Silent)
        QVERIFY2(r.err.contains("1-3: 打印机没有应答\n"), qPrintable(r.err));
    if (subject == Subject::KeepsSpeed && !options.contains("--no-verify"))
        QVERIFY2(r.err.contains("1-3: print speed：写入 5，打印机保存的是 2\n"), qPrintable(r.err));
}

void TestApplyResults::provision()
{
    QFETCH(Subject, subject);
    QFETCH(QString, pages);
    QFETCH(QString, outcome);
    QFETCH(int, allExit);
    QFETCH(QString, summary);
    QFETCH(bool, written);
    // Plugged in once provision listens. Another model's printer does not count: a printer of
    // the model follows it.
    VirtualPrinter *printer = nullptr;
    VirtualPrinter *after = nullptr;
    Result r;
    QTextStream out(&r.out), err(&r.err);
    QTimer::singleShot(0, [&] { printer = &plugSubject(subject); });
    // Once provision has named the printer of another model.
    QTimer next;
    QObject::connect(&next, &QTimer::timeout, [&] {
        if (!r.out.contains("另一型号"))
            return;
        next.stop();
        after = &usb->addPrinter(0x1401, "VS-608K", 7);
    });
    if (subject == Subject::OtherModel)
        next.start(10);
    // Should it ever wait for good, the test ends it as Ctrl+C would.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { std::raise(SIGINT); });
    guard.start(120000);
    r.exit = cli::run({"provision", file, "--count", "1"}, out, err);
    out.flush();
    err.flush();
    QVERIFY(guard.isActive());
    QVERIFY(printer);
    QCOMPARE(r.exit, allExit);
    QCOMPARE(!setFrames(*printer).isEmpty(), written);
    QVERIFY(receivedFrames(*holder).isEmpty()); // attached before the start: left alone
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    if (subject == Subject::OtherModel) {
        QCOMPARE(lines, (QStringList{"1-3\tZurod RM-310\t另一型号，未改动",
                                     "1-7\tZR311P7\t已写入 7 个页面\t已写入并核对"}));
        QVERIFY(after && !setFrames(*after).isEmpty());
        QVERIFY2(r.err.endsWith("2 台打印机：1 台已写入并核对，1 台跳过\n"), qPrintable(r.err));
        return;
    }
    QCOMPARE(lines, QStringList{"1-3\t" + serialOf(subject) + '\t' + pages + '\t' + outcome});
    // One printer handled: the summary counts it alone.
    QString one = summary;
    one.replace("2 台打印机：", "1 台打印机：")
        .replace("，1 台未改变", "")
        .replace("1 台未改变，", "")
        .replace("2 台未改变", "1 台未改变");
    QVERIFY2(r.err.endsWith(one + '\n'), qPrintable(r.err));
}

void TestApplyResults::interruptedProvisionIsNotSuccess()
{
    // Interrupted before any printer was plugged in: it says it handled none, and fails.
    QTimer::singleShot(0, [] { std::raise(SIGINT); });
    const Result r = runCli({"provision", file, "--count", "2"});
    QCOMPARE(r.exit, int(cli::Interrupted));
    QVERIFY2(r.err.endsWith("没有处理任何打印机\n"), qPrintable(r.err));
}

void TestApplyResults::modelWithoutPagesIsSkipped()
{
    // The model-support gate locks the RM-310's settings: it offers no page to restore.
    VirtualPrinter &locked = usb->addPrinter(0x0411, "RM-310", 1);
    QFile empty(dir.filePath("locked.json"));
    QVERIFY(empty.open(QIODevice::WriteOnly) &&
            empty.write(R"({"format":1,"model":"Zurod RM-310","pages":{}})") > 0);
    empty.close();
    const Result r = runCli({"restore", "--all", empty.fileName()});
    QCOMPARE(r.exit, int(cli::Refused));
    QCOMPARE(r.out, QStringLiteral("1-1\t\t已写入 0 个页面\t跳过：此机型不提供\n"));
    QVERIFY2(r.err.endsWith("1 台打印机：1 台跳过\n"), qPrintable(r.err));
    QVERIFY(locked.bulkOutLog().empty());
}

QTEST_MAIN(TestApplyResults)
#include "tst_applyresults.moc"
