// The history's journal on its own: several processes writing at once, an older schema upgraded in
// place, journals that cannot be used, private files, masked secrets and finding a printer's
// actions.
#include "core/history/record.h"

#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int modeOf(const QString &path)
{
    struct stat status = {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? int(status.st_mode & 07777)
                                                                     : -1;
}

history::Action actionOf(const QString &serial, const QString &page, const QString &key,
                         const QString &before, const QString &after)
{
    history::Action action;
    action.frontEnd = history::kCommandLine;
    action.serial = serial;
    action.model = QStringLiteral("Orbeck VS-608K");
    action.usbPath = QStringLiteral("1-3");
    action.detail = page;
    action.outcome = QStringLiteral("written and verified");
    action.keys << history::ChangedKey{page, key, before, after, std::nullopt, std::nullopt, true};
    return action;
}

// Statements on the journal file through a connection of the test's own.
class RawFile
{
public:
    explicit RawFile(const QString &path)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kName);
        db.setDatabaseName(path);
        db.open();
    }
    ~RawFile()
    {
        QSqlDatabase::database(kName, false).close();
        QSqlDatabase::removeDatabase(kName);
    }
    // The rows of a query, columns joined by '|'.
    QStringList rows(const QString &statement)
    {
        QSqlQuery q(QSqlDatabase::database(kName));
        QStringList out;
        if (!q.exec(statement))
            return {QStringLiteral("failed: ") + statement};
        while (q.next()) {
            QStringList columns;
            for (int i = 0; q.value(i).isValid(); ++i)
                columns << q.value(i).toString();
            out << columns.join(QLatin1Char('|'));
        }
        return out;
    }
    bool exec(const QString &statement)
    {
        return QSqlQuery(QSqlDatabase::database(kName)).exec(statement);
    }

private:
    static inline const QString kName = QStringLiteral("test-raw");
};

} // namespace

class TestJournal : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void threeWritersLoseNothing();
    void upgradesAnOlderSchemaInPlace();
    void journalThatCannotBeUsed_data();
    void journalThatCannotBeUsed();
    void filesArePrivate();
    void secrets_data();
    void secrets();
    void findsActionsOfOnePrinter();

private:
    QString path() const { return history::journalPath(); }
    std::unique_ptr<QTemporaryDir> state;
};

void TestJournal::init()
{
    state = std::make_unique<QTemporaryDir>();
    qputenv("XDG_STATE_HOME", QFile::encodeName(state->path()));
    history::configure({true, false});
}

void TestJournal::cleanup()
{
    history::close();
    state.reset();
}

void TestJournal::threeWritersLoseNothing()
{
    constexpr int kEach = 200;
    const QString go = state->path() + QStringLiteral("/go");
    QProcess writers[2];
    const QStringList serials = {QStringLiteral("CLI-A"), QStringLiteral("CLI-B")};
    for (int i = 0; i < 2; ++i) {
        writers[i].setProcessChannelMode(QProcess::ForwardedChannels);
        writers[i].start(QStringLiteral(LABELSETUP_HISTORY_WRITER),
                         {history::kCommandLine, serials[i], QString::number(kEach), go});
        QVERIFY(writers[i].waitForStarted());
    }
    QFile(go).open(QIODevice::WriteOnly);
    // The window's share, at the same time.
    int lost = 0;
    for (int n = 0; n < kEach; ++n) {
        history::Action action =
            actionOf(QStringLiteral("WINDOW"), QStringLiteral("print"), QStringLiteral("key0"),
                     QStringLiteral("%1-0-before").arg(n), QStringLiteral("%1-0-after").arg(n));
        action.frontEnd = history::kWindow;
        action.detail = QString::number(n);
        for (int k = 1; k < 3; ++k)
            action.keys << history::ChangedKey{QStringLiteral("print"),
                                               QStringLiteral("key%1").arg(k),
                                               QStringLiteral("%1-%2-before").arg(n).arg(k),
                                               QStringLiteral("%1-%2-after").arg(n).arg(k),
                                               std::nullopt,
                                               std::nullopt,
                                               true};
        lost += history::record(action) ? 0 : 1;
    }
    QCOMPARE(lost, 0);
    QCOMPARE(history::problem(), QString());
    for (QProcess &writer : writers) {
        QVERIFY(writer.waitForFinished(300000));
        QCOMPARE(writer.exitStatus(), QProcess::NormalExit);
        QCOMPARE(writer.exitCode(), 0);
    }
    history::close();

    RawFile raw(path());
    QCOMPARE(raw.rows("SELECT count(*) FROM actions"), QStringList{"600"});
    QCOMPARE(raw.rows("SELECT count(*) FROM changes"), QStringList{"1800"});
    // Every action of every writer once, and its three keys its own.
    QCOMPARE(raw.rows("SELECT serial, front_end, count(DISTINCT detail) FROM actions GROUP BY "
                      "serial ORDER BY serial"),
             (QStringList{"CLI-A|cli|200", "CLI-B|cli|200", "WINDOW|window|200"}));
    QCOMPARE(raw.rows("SELECT count(*) FROM changes c JOIN actions a ON a.id = c.action_id "
                      "WHERE c.before != a.detail || '-' || substr(c.key, 4) || '-before' "
                      "OR c.after != a.detail || '-' || substr(c.key, 4) || '-after'"),
             QStringList{"0"});
    QCOMPARE(raw.rows("SELECT count(*) FROM (SELECT action_id FROM changes GROUP BY action_id "
                      "HAVING count(*) = 3)"),
             QStringList{"600"});
}

void TestJournal::upgradesAnOlderSchemaInPlace()
{
    history::close();
    QVERIFY(QDir().mkpath(QFileInfo(path()).path()));
    {
        RawFile raw(path());
        for (const QString &statement : history::schemaSteps().first())
            QVERIFY(raw.exec(statement));
        QVERIFY(raw.exec("PRAGMA user_version=1"));
        QVERIFY(raw.exec("INSERT INTO actions (time, kind, serial, detail) VALUES "
                         "('2026-01-02T03:04:05.000Z', 'write', 'OLD1', 'print')"));
        QVERIFY(raw.exec("INSERT INTO changes (action_id, page, key, before, after, kept) VALUES "
                         "(1, 'print', 'speed', '1', '2', 1)"));
    }
    QVERIFY(history::record(actionOf("NEW1", "print", "density", "3", "4")));
    history::close();

    RawFile raw(path());
    QCOMPARE(raw.rows("PRAGMA user_version"),
             QStringList{QString::number(history::schemaVersion())});
    QCOMPARE(raw.rows("SELECT a.serial, c.key, c.before, c.after, c.before_wire IS NULL FROM "
                      "actions a JOIN changes c ON c.action_id = a.id ORDER BY a.id"),
             (QStringList{"OLD1|speed|1|2|1", "NEW1|density|3|4|1"}));
    // A printer's actions are found through an index, not by reading every row.
    const QString plan =
        raw.rows("EXPLAIN QUERY PLAN SELECT id FROM actions WHERE serial = 'x' ORDER BY id DESC")
            .join(' ');
    QVERIFY2(plan.contains("INDEX actions_by_serial"), qPrintable(plan));
}

void TestJournal::journalThatCannotBeUsed_data()
{
    QTest::addColumn<QString>("fault");
    QTest::newRow("corrupt file") << "corrupt";
    QTest::newRow("state folder is a file") << "folder is a file";
    QTest::newRow("made by a newer version") << "newer";
    if (::geteuid() != 0) // the superuser writes anywhere
        QTest::newRow("folder without write permission") << "read-only folder";
}

void TestJournal::journalThatCannotBeUsed()
{
    QFETCH(QString, fault);
    history::close();
    const QString folder = QFileInfo(path()).path();
    QByteArray garbage(4096, 'x');
    if (fault == "corrupt") {
        QVERIFY(QDir().mkpath(folder));
        QFile file(path());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(garbage);
    } else if (fault == "folder is a file") {
        QFile file(folder);
        QVERIFY(file.open(QIODevice::WriteOnly));
    } else if (fault == "newer") {
        QVERIFY(QDir().mkpath(folder));
        RawFile raw(path());
        QVERIFY(raw.exec("CREATE TABLE future (x)"));
        QVERIFY(
            raw.exec(QStringLiteral("PRAGMA user_version=%1").arg(history::schemaVersion() + 1)));
    } else {
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    }
    QStringList told;
    history::onProblem([&](const QString &problem) { told << problem; });
    QVERIFY(!history::record(actionOf("S1", "print", "speed", "1", "2")));
    QVERIFY(!history::record(actionOf("S1", "print", "speed", "2", "3")));
    history::onProblem(nullptr);
    // Said once, naming the file.
    QCOMPARE(told.size(), 1);
    QVERIFY2(told.first().contains(path()), qPrintable(told.first()));
    QCOMPARE(history::problem(), told.first());
    if (fault == "corrupt") {
        QFile file(path());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), garbage); // left as it was
    }
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void TestJournal::filesArePrivate()
{
    QVERIFY(history::record(actionOf("S1", "print", "speed", "1", "2")));
    QCOMPARE(modeOf(path()), 0600);
    QCOMPARE(modeOf(QFileInfo(path()).path()), 0700);
    QVERIFY(QFileInfo::exists(path() + "-wal"));
    QCOMPARE(modeOf(path() + "-wal"), 0600);
}

void TestJournal::secrets_data()
{
    QTest::addColumn<bool>("keepSecrets");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("stored"); // before and after as the journal holds them
    QTest::newRow("Wi-Fi password masked") << false << "wifi"
                                           << "station-password"
                                           << "(changed)|(changed)";
    QTest::newRow("access point password masked") << false << "wifi"
                                                  << "ap-password"
                                                  << "(changed)|(changed)";
    QTest::newRow("PIN masked") << false << "bluetooth"
                                << "pin"
                                << "(changed)|(changed)";
    QTest::newRow("network name in clear") << false << "wifi"
                                           << "station-name"
                                           << "old|new";
    QTest::newRow("password kept when asked") << true << "wifi"
                                              << "station-password"
                                              << "old|new";
    QTest::newRow("PIN kept when asked") << true << "bluetooth"
                                         << "pin"
                                         << "old|new";
}

void TestJournal::secrets()
{
    QFETCH(bool, keepSecrets);
    QFETCH(QString, page);
    QFETCH(QString, key);
    QFETCH(QString, stored);
    history::configure({true, keepSecrets});
    QVERIFY(history::record(actionOf("S1", page, key, "old", "new")));
    history::close();
    RawFile raw(path());
    QCOMPARE(raw.rows("SELECT before, after FROM changes"), QStringList{stored});
    const QString everything = raw.rows("SELECT * FROM changes").join(' ');
    QCOMPARE(everything.contains("old"), stored.contains("old"));
}

void TestJournal::findsActionsOfOnePrinter()
{
    QVERIFY(history::record(actionOf("S1", "print", "speed", "1", "2")));
    QVERIFY(history::record(actionOf("S2", "print", "speed", "5", "6")));
    history::Action two = actionOf("S1", "distance", "gap-to-head", "3", "4");
    two.keys << history::ChangedKey{"distance", "exit-to-head", "7", "8", 56, 64, false};
    QVERIFY(history::record(two));
    QString why;
    history::Filter filter;
    filter.serial = "S1";
    const std::optional<QList<history::Entry>> found = history::entries(filter, why);
    QVERIFY2(found, qPrintable(why));
    QCOMPARE(found->size(), 2);
    // Newest first, each with its keys in their order.
    QCOMPARE(found->at(0).action.detail, QString("distance"));
    QCOMPARE(found->at(0).action.keys.size(), 2);
    const history::ChangedKey &second = found->at(0).action.keys.at(1);
    QCOMPARE(second.key, QString("exit-to-head"));
    QCOMPARE(second.beforeWire, std::optional<qint64>(56));
    QCOMPARE(second.kept, std::optional<bool>(false));
    QCOMPARE(found->at(1).action.keys.at(0).after, QString("2"));
    QVERIFY(found->at(0).id > found->at(1).id);
    QVERIFY(qAbs(found->at(0).time.secsTo(QDateTime::currentDateTimeUtc())) < 3600);
    QVERIFY(!found->at(0).user.isEmpty());

    filter.since = QDateTime::currentDateTimeUtc().addDays(1);
    QCOMPARE(history::entries(filter, why)->size(), 0);
    history::Filter one;
    one.id = found->at(1).id;
    QCOMPARE(history::entries(one, why)->value(0).action.serial, QString("S1"));
}

QTEST_GUILESS_MAIN(TestJournal)
#include "tst_journal.moc"
