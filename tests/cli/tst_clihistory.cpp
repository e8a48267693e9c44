// The command line's history against virtual printers: what write and maintain record, secrets
// masked, a journal that cannot be used never stopping a write, the history's filters, and undo on
// the same printer and refused on another.
#include "core/history/record.h"
#include "tests/cli/clitest.h"

#include <QFile>

namespace {

const QString kFirstSerial = QStringLiteral("ZR311P3");  // the VS-608K on port 3
const QString kSecondSerial = QStringLiteral("ZR311P5"); // the VS-608K on port 5

// The actions of a history document, checked to carry the schema version.
QJsonArray actionsOf(const QString &out)
{
    const QJsonObject document = QJsonDocument::fromJson(out.toUtf8()).object();
    return document.value("schema").toInt() == 1 ? document.value("actions").toArray()
                                                 : QJsonArray();
}

QJsonArray historyOf(const QString &serial)
{
    const Result r = runCli({"history", "--serial", serial, "--json"});
    return r.exit == cli::Ok ? actionsOf(r.out) : QJsonArray();
}

// "page key: before -> after kept" of each changed key of an action.
QStringList keyLines(const QJsonObject &action)
{
    QStringList lines;
    for (const QJsonValue &k : action.value("keys").toArray()) {
        const QJsonObject key = k.toObject();
        lines << QStringLiteral("%1 %2: %3 -> %4 %5")
                     .arg(key.value("page").toString(), key.value("key").toString(),
                          key.value("before").toString(), key.value("after").toString(),
                          key.value("kept").isNull()   ? "unverified"
                          : key.value("kept").toBool() ? "kept"
                                                       : "not kept");
    }
    return lines;
}

} // namespace

class TestCliHistory : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void writesAreRecorded_data();
    void writesAreRecorded();
    void profilesAreRecorded_data();
    void profilesAreRecorded();
    void maintenanceIsRecorded_data();
    void maintenanceIsRecorded();
    void journalFaultsDoNotStopTheWrite_data();
    void journalFaultsDoNotStopTheWrite();
    void filters_data();
    void filters();
    void undoRestoresTheSamePrinter();
    void undoRefused_data();
    void undoRefused();

private:
    std::unique_ptr<vprinter::VirtualUsb> usb;
    VirtualPrinter *first = nullptr;
    VirtualPrinter *second = nullptr;
    std::unique_ptr<QTemporaryDir> state;
};

void TestCliHistory::init()
{
    state = std::make_unique<QTemporaryDir>();
    qputenv("XDG_STATE_HOME", QFile::encodeName(state->path()));
    usb = std::make_unique<vprinter::VirtualUsb>();
    first = &usb->addPrinter(0x1401, "VS-608K", 3);
    second = &usb->addPrinter(0x1401, "VS-608K", 5);
}

void TestCliHistory::cleanup()
{
    verifyNoViolations(*usb);
    usb.reset();
    state.reset();
}

void TestCliHistory::writesAreRecorded_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("keys"); // as recorded; empty: nothing recorded
    QTest::newRow("print page, verified")
        << QStringList{"write", "print", "speed=7", "density=9"}
        << QStringList{"print speed: 2 -> 7 kept", "print density: 8 -> 9 kept"};
    QTest::newRow("without a read-back") << QStringList{"write", "print", "speed=7", "--no-verify"}
                                         << QStringList{"print speed: 2 -> 7 unverified"};
    QTest::newRow("network name in clear")
        << QStringList{"write", "wifi", "station-name=Shop-7"}
        << QStringList{"wifi station-name: Office-WLAN -> Shop-7 kept"};
    QTest::newRow("password masked")
        << QStringList{"write", "wifi", "station-password=NewSecret1"}
        << QStringList{"wifi station-password: (changed) -> (changed) kept"};
    QTest::newRow("password kept when asked")
        << QStringList{"write", "wifi", "station-password=NewSecret1", "--history-secrets"}
        << QStringList{"wifi station-password: printer123 -> NewSecret1 kept"};
    QTest::newRow("--no-history") << QStringList{"write", "print", "speed=7", "--no-history"}
                                  << QStringList();
}

void TestCliHistory::writesAreRecorded()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, keys);
    const Result r = runCli(QStringList{"--port", "3"} + arguments);
    QCOMPARE(r.exit, int(cli::Ok));
    QCOMPARE(r.err, QString());
    const QJsonArray actions = historyOf(kFirstSerial);
    QCOMPARE(actions.size(), keys.isEmpty() ? 0 : 1);
    QVERIFY(historyOf(kSecondSerial).isEmpty());
    if (keys.isEmpty())
        return;
    const QJsonObject action = actions.first().toObject();
    QCOMPARE(action.value("action").toString(), QString("write"));
    QCOMPARE(action.value("detail").toString(), arguments[1]);
    QCOMPARE(action.value("frontEnd").toString(), QString("cli"));
    QCOMPARE(action.value("model").toString(), QString("Orbeck VS-608K"));
    QCOMPARE(action.value("usbPath").toString(), QString("1-3"));
    QCOMPARE(action.value("version").toString(), QCoreApplication::applicationVersion().isEmpty()
                                                     ? action.value("version").toString()
                                                     : QCoreApplication::applicationVersion());
    QVERIFY(!action.value("outcome").toString().isEmpty());
    QCOMPARE(keyLines(action), keys);
    // A masked secret is nowhere in the file.
    if (!arguments.contains("--history-secrets")) {
        QFile journal(history::journalPath());
        QVERIFY(journal.open(QIODevice::ReadOnly));
        QByteArray bytes = journal.readAll();
        QFile wal(history::journalPath() + "-wal");
        if (wal.open(QIODevice::ReadOnly))
            bytes += wal.readAll();
        QVERIFY(!bytes.contains("NewSecret1"));
        QVERIFY(!bytes.contains("printer123"));
    }
}

void TestCliHistory::profilesAreRecorded_data()
{
    QTest::addColumn<QStringList>("arguments"); // the profile file follows
    QTest::addColumn<QStringList>("recorded");  // serial numbers with an action, sorted
    QTest::newRow("restore") << QStringList{"--port", "3", "restore"} << QStringList{kFirstSerial};
    QTest::newRow("restore --all")
        << QStringList{"restore", "--all"} << QStringList{kFirstSerial, kSecondSerial};
    QTest::newRow("dry run: nothing done, nothing recorded")
        << QStringList{"restore", "--all", "--dry-run"} << QStringList{};
}

void TestCliHistory::profilesAreRecorded()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, recorded);
    const QString file = state->filePath("fleet.json");
    QFile profile(file);
    QVERIFY(profile.open(QIODevice::WriteOnly));
    profile.write(profileOf(kPrintPage)); // speed 1, density 3, language ZPL
    profile.close();
    const Result r = runCli(arguments << file);
    QCOMPARE(r.exit, int(cli::Ok));
    const Result listed = runCli({"history", "--json"});
    QStringList serials;
    for (const QJsonValue &value : actionsOf(listed.out)) {
        const QJsonObject action = value.toObject();
        serials << action.value("serial").toString();
        QCOMPARE(action.value("action").toString(), QString("restore"));
        QCOMPARE(action.value("detail").toString(), QFileInfo(file).absoluteFilePath());
        QCOMPARE(keyLines(action),
                 (QStringList{"print speed: 2 -> 1 kept", "print density: 8 -> 3 kept",
                              "print language: TSPL -> ZPL kept"}));
    }
    serials.sort(); // the printers are written in the bus's order
    QCOMPARE(serials, recorded);
}

void TestCliHistory::maintenanceIsRecorded_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    QTest::newRow("buzzer off") << "buzzer-off"
                                << "maintenance";
    QTest::newRow("initialisation") << "initialise"
                                    << "initialisation";
}

void TestCliHistory::maintenanceIsRecorded()
{
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QCOMPARE(runCli({"--port", "5", "maintain", name, "--yes"}).exit, int(cli::Ok));
    const QJsonArray actions = historyOf(kSecondSerial);
    QCOMPARE(actions.size(), 1);
    QCOMPARE(actions.first().toObject().value("action").toString(), kind);
    QCOMPARE(actions.first().toObject().value("detail").toString(), name);
    QCOMPARE(actions.first().toObject().value("keys").toArray().size(), 0);
}

void TestCliHistory::journalFaultsDoNotStopTheWrite_data()
{
    QTest::addColumn<QString>("fault");
    QTest::newRow("corrupt journal") << "corrupt";
    QTest::newRow("state folder cannot be made") << "folder is a file";
}

void TestCliHistory::journalFaultsDoNotStopTheWrite()
{
    QFETCH(QString, fault);
    const QString folder = QFileInfo(history::journalPath()).path();
    if (fault == "corrupt") {
        QVERIFY(QDir().mkpath(folder));
        QFile file(history::journalPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(8192, '\x5a'));
    } else {
        QFile file(folder);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    const Result r = runCli({"--port", "3", "write", "print", "speed=7"});
    QCOMPARE(r.exit, int(cli::Ok));
    QCOMPARE(first->setting(0x00), vprinter::Bytes{0x07});
    QCOMPARE(r.out, QString("print speed: 2 -> 7\n"));
    // One warning, naming the file.
    QCOMPARE(r.err.count('\n'), 1);
    QVERIFY2(r.err.contains(history::journalPath()), qPrintable(r.err));
}

void TestCliHistory::filters_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exit");
    QTest::addColumn<QStringList>("serials"); // of the actions listed, newest first
    QTest::newRow("everything") << QStringList{} << int(cli::Ok)
                                << QStringList{kSecondSerial, kFirstSerial, kFirstSerial};
    QTest::newRow("by serial number") << QStringList{"--serial", kFirstSerial} << int(cli::Ok)
                                      << QStringList{kFirstSerial, kFirstSerial};
    QTest::newRow("by port") << QStringList{"--port", "5"} << int(cli::Ok)
                             << QStringList{kSecondSerial};
    QTest::newRow("since a past date") << QStringList{"--since", "2000-01-01"} << int(cli::Ok)
                                       << QStringList{kSecondSerial, kFirstSerial, kFirstSerial};
    QTest::newRow("since tomorrow")
        << QStringList{"--since", QDate::currentDate().addDays(2).toString(Qt::ISODate)}
        << int(cli::Ok) << QStringList{};
    QTest::newRow("serial and port") << QStringList{"--serial", kFirstSerial, "--port", "3"}
                                     << int(cli::UsageError) << QStringList{};
    QTest::newRow("not a date") << QStringList{"--since", "yesterday"} << int(cli::UsageError)
                                << QStringList{};
}

void TestCliHistory::filters()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exit);
    QFETCH(QStringList, serials);
    QCOMPARE(runCli({"--port", "3", "write", "print", "speed=7"}).exit, int(cli::Ok));
    QCOMPARE(runCli({"--port", "3", "write", "distance", "gap-to-head=9"}).exit, int(cli::Ok));
    QCOMPARE(runCli({"--port", "5", "write", "print", "density=3"}).exit, int(cli::Ok));
    const Result r = runCli(QStringList{"history", "--json"} + arguments);
    QCOMPARE(r.exit, exit);
    QStringList listed;
    for (const QJsonValue &action : actionsOf(r.out))
        listed << action.toObject().value("serial").toString();
    QCOMPARE(listed, serials);
    if (exit != cli::Ok)
        return;
    // The plain listing: a line an action, an indented line a changed key.
    const Result plain = runCli(QStringList{"history"} + arguments);
    QCOMPARE(plain.exit, int(cli::Ok));
    QCOMPARE(
        plain.out.split('\n', Qt::SkipEmptyParts).filter(QRegularExpression("^\\d+\\t")).size(),
        serials.size());
    QCOMPARE(plain.out.split('\n', Qt::SkipEmptyParts).filter(QRegularExpression("^    ")).size(),
             serials.size());
}

void TestCliHistory::undoRestoresTheSamePrinter()
{
    first->setSetting(0x33, {0x64, 0x00}); // exit to head: 100 dots, shown as 12 mm
    QCOMPARE(runCli({"--port", "3", "write", "print", "speed=7", "density=9"}).exit, int(cli::Ok));
    QCOMPARE(runCli({"--port", "3", "write", "distance", "exit-to-head=20"}).exit, int(cli::Ok));
    QCOMPARE(first->setting(0x33), (vprinter::Bytes{0xA0, 0x00}));
    const QJsonArray before = historyOf(kFirstSerial);
    QCOMPARE(before.size(), 2);
    const qint64 print = before.at(1).toObject().value("id").toVariant().toLongLong();
    const qint64 distance = before.at(0).toObject().value("id").toVariant().toLongLong();

    Result r = runCli({"--port", "3", "undo", QString::number(print)});
    QCOMPARE(r.exit, int(cli::Ok));
    QCOMPARE(first->setting(0x00), vprinter::Bytes{0x02});
    QCOMPARE(first->setting(0x13), vprinter::Bytes{0x08});
    // The wire value read goes back, not 12 mm typed anew (96 dots).
    r = runCli({"--port", "3", "undo", QString::number(distance)});
    QCOMPARE(r.exit, int(cli::Ok));
    QCOMPARE(first->setting(0x33), (vprinter::Bytes{0x64, 0x00}));

    const QJsonArray after = historyOf(kFirstSerial);
    QCOMPARE(after.size(), 4);
    const QJsonObject undo = after.at(1).toObject();
    QCOMPARE(undo.value("action").toString(), QString("undo"));
    QCOMPARE(undo.value("detail").toString(), QString::number(print));
    QCOMPARE(keyLines(undo),
             (QStringList{"print speed: 7 -> 2 kept", "print density: 9 -> 8 kept"}));
    QVERIFY(historyOf(kSecondSerial).isEmpty());
    QVERIFY(setFrames(*second).isEmpty());
}

void TestCliHistory::undoRefused_data()
{
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("action"); // "write", "maintain" or a number
    QTest::addColumn<int>("exit");
    QTest::addColumn<QStringList>("named"); // in the message
    QTest::newRow("another printer")
        << "5"
        << "write" << int(cli::Refused) << QStringList{kFirstSerial, kSecondSerial};
    QTest::newRow("an action that changed no setting")
        << "3"
        << "maintain" << int(cli::Refused) << QStringList{};
    QTest::newRow("no such action") << "3"
                                    << "99" << int(cli::Refused) << QStringList{"99"};
    QTest::newRow("not a number") << "3"
                                  << "one" << int(cli::UsageError) << QStringList{};
}

void TestCliHistory::undoRefused()
{
    QFETCH(QString, port);
    QFETCH(QString, action);
    QFETCH(int, exit);
    QFETCH(QStringList, named);
    if (action == "write")
        QCOMPARE(runCli({"--port", "3", "write", "print", "speed=7"}).exit, int(cli::Ok));
    if (action == "maintain")
        QCOMPARE(runCli({"--port", "3", "maintain", "buzzer-off"}).exit, int(cli::Ok));
    const QString id =
        action == "write" || action == "maintain"
            ? QString::number(
                  historyOf(kFirstSerial).first().toObject().value("id").toVariant().toLongLong())
            : action;
    first->clearLogs();
    second->clearLogs();
    const Result r = runCli({"--port", port, "undo", id});
    QCOMPARE(r.exit, exit);
    for (const QString &name : named)
        QVERIFY2(r.err.contains(name), qPrintable(r.err));
    // Nothing written to either printer, nothing recorded.
    QVERIFY(setFrames(*first).isEmpty());
    QVERIFY(setFrames(*second).isEmpty());
    QCOMPARE(first->setting(0x00), vprinter::Bytes{action == "write" ? uint8_t(7) : uint8_t(2)});
    QCOMPARE(historyOf(kFirstSerial).size(), action == "write" || action == "maintain" ? 1 : 0);
    QVERIFY(historyOf(kSecondSerial).isEmpty());
}

QTEST_GUILESS_MAIN(TestCliHistory)
#include "tst_clihistory.moc"
