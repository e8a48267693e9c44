// What the commands that write settings report to a script: --check reads and compares without
// sending a setting (exit 0: nothing would change, 8: something would), and --json gives one
// document with every printer, page and changed key of the result.
#include "tests/cli/clitest.h"

class TestCliCheck : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void checkSendsNoSetting_data();
    void checkSendsNoSetting();
    void checkOfAFailingPrinter();
    void resultDocuments_data();
    void resultDocuments();
    void notKeptInTheDocument();
    void secretsNeverShown();
    void diffAsJson();
    void provisionAsJsonLines();

private:
    std::unique_ptr<vprinter::VirtualUsb> usb;
    VirtualPrinter *first = nullptr;
    VirtualPrinter *second = nullptr;
    QTemporaryDir dir;
    QString profile; // a print page that differs from a printer's own in speed, density, language
    QString own;     // the first printer's own print page
};

namespace {

// The document on standard output; empty when it is not exactly one JSON object.
QJsonObject documentOf(const Result &r)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(r.out.toUtf8(), &error);
    return error.error == QJsonParseError::NoError ? document.object() : QJsonObject();
}

// `object` with `expected`'s keys compared one by one, so that a wrong value names its key.
#define COMPARE_FIELDS(object, expected)                                                           \
    do {                                                                                           \
        const QJsonObject shown_ = (object);                                                       \
        const QJsonObject wanted_ = (expected);                                                    \
        for (const QString &key_ : wanted_.keys()) {                                               \
            if (shown_.value(key_) != wanted_.value(key_))                                         \
                QFAIL(qPrintable(                                                                  \
                    QStringLiteral("%1: %2, expected %3")                                          \
                        .arg(key_,                                                                 \
                             QString(QJsonDocument(QJsonObject{{"v", shown_.value(key_)}})         \
                                         .toJson(QJsonDocument::Compact)),                         \
                             QString(QJsonDocument(QJsonObject{{"v", wanted_.value(key_)}})        \
                                         .toJson(QJsonDocument::Compact)))));                      \
        }                                                                                          \
    } while (false)

// The value at a dotted path of keys and indexes: "printers.0.pages".
QJsonValue at(const QJsonValue &value, const QString &path)
{
    QJsonValue here = value;
    for (const QString &step : path.split('.')) {
        bool index = false;
        const int i = step.toInt(&index);
        here = index ? here.toArray().at(i) : here.toObject().value(step);
    }
    return here;
}

QJsonObject summaryWith(const QJsonObject &counts)
{
    QJsonObject summary{
        {"unchanged", 0}, {"would-write", 0}, {"verified", 0}, {"written-not-verified", 0},
        {"not-kept", 0},  {"skipped", 0},     {"failed", 0}};
    for (auto it = counts.begin(); it != counts.end(); ++it)
        summary.insert(it.key(), it.value());
    return summary;
}

// The three keys the profile changes on a printer as it comes from the factory.
const QJsonArray kProfileChanges = {
    QJsonObject{{"key", "speed"}, {"before", "2"}, {"after", "1"}},
    QJsonObject{{"key", "density"}, {"before", "8"}, {"after", "3"}},
    QJsonObject{{"key", "language"}, {"before", "TSPL"}, {"after", "ZPL"}}};

} // namespace

void TestCliCheck::init()
{
    QVERIFY(QDir(dir.path()).removeRecursively() && QDir().mkpath(dir.path()));
    usb = std::make_unique<vprinter::VirtualUsb>();
    first = &usb->addPrinter(0x1401, "VS-608K", 3);
    second = &usb->addPrinter(0x1401, "VS-608K", 5);
    profile = dir.filePath("profile.json");
    QFile file(profile);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(profileOf(kPrintPage));
    file.close();
    own = dir.filePath("own.json");
    QCOMPARE(runCli({"--port", "3", "backup", own}).exit, int(cli::Ok));
    // The printers' logs from here on: only what the command under test sends.
    first->clearLogs();
    second->clearLogs();
}

void TestCliCheck::cleanup()
{
    verifyNoViolations(*usb);
    usb.reset();
}

void TestCliCheck::checkSendsNoSetting_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exit");
    QTest::addColumn<QString>("out");
    QTest::newRow("write, the value held")
        << QStringList{"--port", "3", "write", "print", "speed=2"} << 0 << "print: 未改变\n";
    QTest::newRow("write, a value to change")
        << QStringList{"--port", "3", "write", "print", "speed=2", "label-gap=5"} << 8
        << "print：将写入（未发送）\n  print label-gap: 2 -> 5\n";
    QTest::newRow("restore, the printer's own profile")
        << QStringList{"--port", "3", "restore", "OWN"} << 0 << "";
    QTest::newRow("restore, another profile")
        << QStringList{"--port", "3", "restore", "PROFILE"} << 8
        << "print：将写入（未发送）\n  print speed: 2 -> 1\n  print density: 8 -> 3\n"
           "  print language: TSPL -> ZPL\n";
    QTest::newRow("restore --all, one printer holds it")
        << QStringList{"restore", "--all", "OWN"} << 8 << "";
    QTest::newRow("restore --all, with --json")
        << QStringList{"restore", "--all", "OWN", "--json"} << 8 << "";
}

// Whatever a check finds, no set frame reaches a printer, and the printers keep their values.
void TestCliCheck::checkSendsNoSetting()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exit);
    QFETCH(QString, out);
    second->setSetting(0x00, {0x04}); // the second printer differs from the first in its speed
    arguments.replaceInStrings("OWN", own).replaceInStrings("PROFILE", profile);
    const QString before =
        runCli({"--port", "3", "read", "print"}).out + runCli({"--port", "5", "read", "print"}).out;
    const Result r = runCli(arguments + QStringList{"--check"});
    QCOMPARE(r.exit, exit);
    QCOMPARE(setFrames(*first), QStringList());
    QCOMPARE(setFrames(*second), QStringList());
    if (!out.isEmpty())
        QCOMPARE(r.out.section('\n', -1 - out.count('\n')), out);
    // The restore of the printer's own profile names each page unchanged.
    if (arguments.contains(own) && exit == 0) {
        for (const QString &line : r.out.split('\n', Qt::SkipEmptyParts))
            QVERIFY2(line.endsWith("未改变"), qPrintable(line));
    }
    QCOMPARE(runCli({"--port", "3", "read", "print"}).out +
                 runCli({"--port", "5", "read", "print"}).out,
             before);
}

// A printer whose replies are cut off cannot be compared: the check fails with the transport's
// status (not 0 or 8), says why, and still sends nothing.
void TestCliCheck::checkOfAFailingPrinter()
{
    first->setFaults(faultNamed("cutRepliesTo=6"));
    Result r = runCli({"--port", "3", "restore", profile, "--check"});
    QCOMPARE(r.exit, int(cli::TransportFailed));
    QVERIFY2(r.err.startsWith("失败"), qPrintable(r.err));
    r = runCli({"--port", "3", "restore", profile, "--check", "--json"});
    first->setFaults({});
    QCOMPARE(r.exit, int(cli::TransportFailed));
    const QJsonObject shown = documentOf(r);
    COMPARE_FIELDS(shown, (QJsonObject{{"check", true}, {"changed", false}, {"exit", 4}}));
    QCOMPARE(at(shown, "printers.0.outcome"), QJsonValue("failed"));
    QVERIFY(at(shown, "printers.0.reason").isString());
    QCOMPARE(setFrames(*first), QStringList());
}

void TestCliCheck::resultDocuments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exit");
    QTest::addColumn<QJsonObject>("document");
    QTest::addColumn<QJsonArray>("printers"); // path, outcome, pages-written of each
    QTest::addColumn<QJsonArray>("changes");  // of the first printer's print page
    // In the page's order of keys, numbers as numbers.
    const QJsonArray gap = {QJsonObject{{"key", "speed"}, {"before", "2"}, {"after", "3"}},
                            QJsonObject{{"key", "label-gap"}, {"before", 2}, {"after", 5}}};
    QTest::newRow("write")
        << QStringList{"--port", "3", "write", "print", "label-gap=5", "speed=3"} << 0
        << QJsonObject{{"command", "write"},
                       {"page", "print"},
                       {"check", false},
                       {"dry-run", false},
                       {"verify", true},
                       {"changed", true},
                       {"exit", 0},
                       {"summary", summaryWith({{"printers", 1}, {"verified", 1}})}}
        << QJsonArray{QJsonArray{"1-3", "verified", 1}} << gap;
    QTest::newRow("write --check")
        << QStringList{"--port", "3", "write", "print", "label-gap=5", "speed=3", "--check"} << 8
        << QJsonObject{{"command", "write"},
                       {"check", true},
                       {"dry-run", false},
                       {"changed", true},
                       {"exit", 8},
                       {"summary", summaryWith({{"printers", 1}, {"would-write", 1}})}}
        << QJsonArray{QJsonArray{"1-3", "would-write", 0}} << gap;
    QTest::newRow("write --no-verify")
        << QStringList{"--port", "3", "write", "print", "label-gap=5", "speed=3", "--no-verify"}
        << 0 << QJsonObject{{"verify", false}, {"exit", 0}}
        << QJsonArray{QJsonArray{"1-3", "written-not-verified", 1}} << gap;
    QTest::newRow("restore") << QStringList{"--port", "3", "restore", "PROFILE"} << 0
                             << QJsonObject{{"command", "restore"},
                                            {"all", false},
                                            {"profile", "PROFILE"},
                                            {"model", "Orbeck VS-608K"},
                                            {"check", false},
                                            {"changed", true},
                                            {"exit", 0}}
                             << QJsonArray{QJsonArray{"1-3", "verified", 1}} << kProfileChanges;
    QTest::newRow("restore --check")
        << QStringList{"--port", "3", "restore", "PROFILE", "--check"} << 8
        << QJsonObject{{"command", "restore"}, {"check", true}, {"changed", true}, {"exit", 8}}
        << QJsonArray{QJsonArray{"1-3", "would-write", 0}} << kProfileChanges;
    QTest::newRow("restore --all")
        << QStringList{"restore", "--all", "PROFILE"} << 0
        << QJsonObject{{"command", "restore"},
                       {"all", true},
                       {"changed", true},
                       {"exit", 0},
                       {"summary", summaryWith({{"printers", 2}, {"verified", 2}})}}
        << QJsonArray{QJsonArray{"1-3", "verified", 1}, QJsonArray{"1-5", "verified", 1}}
        << kProfileChanges;
    QTest::newRow("restore --all --check, nothing to change")
        << QStringList{"restore", "--all", "OWN", "--check"} << 0
        << QJsonObject{{"command", "restore"},
                       {"check", true},
                       {"changed", false},
                       {"exit", 0},
                       {"summary", summaryWith({{"printers", 2}, {"unchanged", 2}})}}
        << QJsonArray{QJsonArray{"1-3", "unchanged", 0}, QJsonArray{"1-5", "unchanged", 0}}
        << QJsonArray();
    QTest::newRow("restore --dry-run: the frames")
        << QStringList{"--port", "3", "restore", "PROFILE", "--dry-run"} << 0
        << QJsonObject{{"check", false}, {"dry-run", true}, {"exit", 0}}
        << QJsonArray{QJsonArray{"1-3", "would-write", 0}} << kProfileChanges;
}

// Each command's document, field by field: what was asked, each printer with its identity and
// outcome, the changed keys with their values before and after (numbers as numbers), the
// summary, and the exit status the program ends with.
void TestCliCheck::resultDocuments()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exit);
    QFETCH(QJsonObject, document);
    QFETCH(QJsonArray, printers);
    QFETCH(QJsonArray, changes);
    arguments.replaceInStrings("OWN", own).replaceInStrings("PROFILE", profile);
    for (auto it = document.begin(); it != document.end(); ++it) {
        if (it.value() == "PROFILE")
            it.value() = profile;
    }
    const Result r = runCli(arguments + QStringList{"--json"});
    QCOMPARE(r.exit, exit);
    QCOMPARE(r.err, QString());
    const QJsonObject shown = documentOf(r);
    QVERIFY2(!shown.isEmpty(), qPrintable(r.out));
    QCOMPARE(shown["schema"], QJsonValue(1));
    COMPARE_FIELDS(shown, document);
    const QJsonArray all = shown["printers"].toArray();
    QCOMPARE(all.size(), printers.size());
    for (int i = 0; i < all.size(); ++i) {
        const QJsonObject printer = all[i].toObject();
        const QJsonArray expected = printers[i].toArray();
        COMPARE_FIELDS(printer, (QJsonObject{{"path", expected[0]},
                                             {"serial", "ZR311P" + expected[0].toString().mid(2)},
                                             {"model", "Orbeck VS-608K"},
                                             {"outcome", expected[1]},
                                             {"pages-written", expected[2]}}));
        QVERIFY(!printer.contains("reason"));
    }
    // The print page: the only one of the profile, one of the printer's own seven.
    const QJsonArray pages = at(all, "0.pages").toArray();
    QCOMPARE(pages.size(), arguments.contains(own) ? 7 : 1);
    COMPARE_FIELDS(pages[0].toObject(), (QJsonObject{{"page", "print"},
                                                     {"outcome", at(printers, "0.1")},
                                                     {"written", at(printers, "0.2") == 1}}));
    QCOMPARE(at(pages, "0.changes").toArray(), changes);
    // A dry run carries the frames it would send; nothing else does.
    const bool dryRun = document.value("dry-run") == true;
    QCOMPARE(pages[0].toObject().contains("frames"), dryRun);
    if (dryRun)
        QVERIFY(at(pages, "0.frames.0").toString().startsWith("1B FF FE 01"));
    // Only what the outcome says reached the printer.
    QCOMPARE(setFrames(*first).isEmpty(), at(printers, "0.2") == 0);
}

// A value the printer did not keep: the page and the printer not-kept, the key with the value
// sent and the value kept, and the exit status 6 in the document as for the program.
void TestCliCheck::notKeptInTheDocument()
{
    vprinter::Faults keeps;
    keeps.keepOldValueOf = 0x00; // takes the speed, keeps 2
    first->setFaults(keeps);
    const Result r = runCli({"--port", "3", "write", "print", "speed=3", "--json"});
    first->setFaults({});
    QCOMPARE(r.exit, int(cli::NotKept));
    const QJsonObject shown = documentOf(r);
    QCOMPARE(shown["exit"], QJsonValue(int(cli::NotKept)));
    const QJsonObject page = at(shown, "printers.0.pages.0").toObject();
    QCOMPARE(at(shown, "printers.0.outcome"), QJsonValue("not-kept"));
    QCOMPARE(page["outcome"], QJsonValue("not-kept"));
    QCOMPARE(page["not-kept"].toArray(),
             (QJsonArray{QJsonObject{{"key", "speed"}, {"sent", "3"}, {"kept", "2"}}}));
}

// A password that changes is named, never shown: not in the document, not in a check's words.
void TestCliCheck::secretsNeverShown()
{
    Result r = runCli({"--port", "3", "write", "wifi", "station-password=hunter22", "--json"});
    QCOMPARE(r.exit, int(cli::Ok));
    QVERIFY(!r.out.contains("hunter22") && !r.out.contains("printer123"));
    QCOMPARE(at(documentOf(r), "printers.0.pages.0.changes").toArray(),
             (QJsonArray{QJsonObject{{"key", "station-password"}, {"secret", true}}}));
    r = runCli({"--port", "3", "write", "wifi", "station-password=other", "--check"});
    QCOMPARE(r.exit, 8);
    QVERIFY(!r.out.contains("other") && !r.out.contains("hunter22"));
}

// diff --json: each differing key with both values (numbers as numbers), and whether they differ.
void TestCliCheck::diffAsJson()
{
    first->setSetting(0x19, {0x28, 0x00}); // label gap 40 dots: 5 mm
    const Result r = runCli({"--port", "3", "diff", own, "--json"});
    QCOMPARE(r.exit, 1);
    const QJsonObject shown = documentOf(r);
    COMPARE_FIELDS(
        shown,
        (QJsonObject{
            {"schema", 1}, {"one", "printer"}, {"other", own}, {"differ", true}, {"exit", 1}}));
    QCOMPARE(shown["differences"].toArray(), (QJsonArray{QJsonObject{{"page", "print"},
                                                                     {"key", "label-gap"},
                                                                     {"one", 5},
                                                                     {"other", 2},
                                                                     {"read-only", false}}}));
}

// provision --json under the launcher: an object a line for each printer as it is handled, then
// the summary.
void TestCliCheck::provisionAsJsonLines()
{
    auto *process = new QProcess(this);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("UMOCKDEV_DIR");
    env.insert("QT_LOGGING_RULES", "labelsetup.*.debug=false");
    env.insert("LC_ALL", "zh_CN.UTF-8");
    process->setProcessEnvironment(env);
    process->start(LABELSETUP_LAUNCHER, {"--commands", "--", LABELSETUP_CLI, "provision", profile,
                                         "--count", "2", "--json"});
    QString err;
    QTRY_VERIFY_WITH_TIMEOUT((err += process->readAllStandardError()).contains("等待插入"), 30000);
    QList<QJsonObject> lines;
    const auto readLines = [&] {
        while (process->canReadLine())
            lines << QJsonDocument::fromJson(process->readLine()).object();
        return lines.size();
    };
    process->write("plug 0411:2:RM-310\nplug 1401:5:VS-608K\nwait 300\nplug 1401:6:VS-608K\n");
    QVERIFY(process->waitForFinished(60000));
    readLines();
    QCOMPARE(process->exitCode(), int(cli::Ok));
    QCOMPARE(lines.size(), 4);
    COMPARE_FIELDS(lines[0], (QJsonObject{{"schema", 1},
                                          {"event", "printer"},
                                          {"path", "1-2"},
                                          {"outcome", "skipped"},
                                          {"reason", "other-model"}}));
    for (int i : {1, 2}) {
        COMPARE_FIELDS(lines[i], (QJsonObject{{"schema", 1},
                                              {"event", "printer"},
                                              {"path", i == 1 ? "1-5" : "1-6"},
                                              {"serial", i == 1 ? "ZR311P5" : "ZR311P6"},
                                              {"outcome", "verified"},
                                              {"pages-written", 1}}));
        QCOMPARE(at(lines[i], "pages.0.changes").toArray(), kProfileChanges);
    }
    COMPARE_FIELDS(
        lines[3],
        (QJsonObject{
            {"schema", 1}, {"event", "summary"}, {"handled", 2}, {"changed", true}, {"exit", 0}}));
    QCOMPARE(at(lines[3], "summary.verified"), QJsonValue(2));
    delete process;
}

QTEST_GUILESS_MAIN(TestCliCheck)
#include "tst_clicheck.moc"
