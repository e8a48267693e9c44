#include "core/history/journal.h"

#include "core/history/historylog.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QObject>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcHistory, "labelsetup.history")

namespace history {

namespace {

// Times sort as text: UTC with milliseconds, always the same width.
const QString kTimeFormat = QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzzZ");

QString errnoText() { return QString::fromLocal8Bit(std::strerror(errno)); }

QString sqlError(const QSqlError &error)
{
    return error.databaseText().isEmpty() ? error.text() : error.databaseText();
}

// Makes the missing folders of `dir`, each readable by its owner only: the journal names every
// printer and what was done to it.
bool makeFolder(const QString &dir, QString &why)
{
    if (QFileInfo(dir).isDir())
        return true;
    const QString parent = QFileInfo(dir).path();
    if (parent != dir && !makeFolder(parent, why))
        return false;
    if (::mkdir(QFile::encodeName(dir).constData(), 0700) != 0 && errno != EEXIST) {
        why = errnoText();
        return false;
    }
    return true;
}

// The file is made with mode 0600 before SQLite opens it; its -wal and -shm files take the same
// mode from it. An existing file of ours is set to 0600 too.
bool makeFile(const QString &path, QString &why)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        why = errnoText();
        return false;
    }
    struct stat status = {};
    const bool regular = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    if (regular && (status.st_mode & 07777) != 0600 && status.st_uid == ::getuid())
        ::fchmod(fd, 0600);
    ::close(fd);
    if (!regular)
        why = QObject::tr("不是普通文件");
    return regular;
}

bool exec(QSqlQuery &query, const QString &statement, QString &why)
{
    if (query.exec(statement))
        return true;
    why = sqlError(query.lastError());
    return false;
}

std::atomic<int> connections{0};

} // namespace

const QList<QStringList> &schemaSteps()
{
    static const QList<QStringList> steps = {
        // 1: an action a row, a changed key a row.
        {QStringLiteral("CREATE TABLE actions (id INTEGER PRIMARY KEY AUTOINCREMENT, time TEXT NOT "
                        "NULL, user TEXT, version TEXT, front_end TEXT, serial TEXT, model TEXT, "
                        "usb_path TEXT, kind TEXT NOT NULL, detail TEXT, outcome TEXT)"),
         QStringLiteral("CREATE TABLE changes (id INTEGER PRIMARY KEY AUTOINCREMENT, action_id "
                        "INTEGER NOT NULL REFERENCES actions(id), page TEXT, key TEXT, "
                        "before TEXT, after TEXT, kept INTEGER)"),
         QStringLiteral("CREATE INDEX changes_by_action ON changes (action_id, id)")},
        // 2: the wire values beside the texts, and a printer's history found without a scan.
        {QStringLiteral("ALTER TABLE changes ADD COLUMN before_wire INTEGER"),
         QStringLiteral("ALTER TABLE changes ADD COLUMN after_wire INTEGER"),
         QStringLiteral("CREATE INDEX actions_by_serial ON actions (serial, id)")},
    };
    return steps;
}

int schemaVersion() { return schemaSteps().size(); }

std::unique_ptr<Journal> Journal::open(const QString &path, QString &why)
{
    if (!makeFolder(QFileInfo(path).path(), why) || !makeFile(path, why))
        return nullptr;
    const QString connection = QStringLiteral("labelsetup-history-%1").arg(++connections);
    std::unique_ptr<Journal> journal(new Journal(connection));
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
    if (!db.isValid()) {
        why = QObject::tr("没有Qt的SQLite驱动");
        return nullptr;
    }
    db.setDatabaseName(path);
    // Another process writing waits for its turn instead of failing.
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
    if (!db.open()) {
        why = sqlError(db.lastError());
        return nullptr;
    }
    // Closing the last connection would copy the WAL into the file with its syncs at the end of
    // every command; an automatic checkpoint does that every 200 pages (some 40 actions) instead,
    // which also bounds what the next process reads from the WAL when it opens the file.
    const QVariant handle = db.driver()->handle();
    if (qstrcmp(handle.typeName(), "sqlite3*") == 0) {
        if (sqlite3 *sqlite = *static_cast<sqlite3 *const *>(handle.constData()))
            sqlite3_db_config(sqlite, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    }
    QSqlQuery q(db);
    // WAL commits need no sync of their own; the file stays whole after a crash of the program
    // (a power cut may lose the last actions, never the journal). The first statement that reads
    // the file says whether it is a database at all.
    if (!exec(q, QStringLiteral("PRAGMA synchronous=NORMAL"), why) ||
        !exec(q, QStringLiteral("PRAGMA wal_autocheckpoint=200"), why) ||
        !exec(q, QStringLiteral("PRAGMA journal_mode=WAL"), why) ||
        !exec(q, QStringLiteral("PRAGMA user_version"), why) || !q.next())
        return nullptr;
    if (q.value(0).toInt() == schemaVersion())
        return journal;
    // Upgraded under the write lock; another process may have done it meanwhile.
    if (!exec(q, QStringLiteral("BEGIN IMMEDIATE"), why))
        return nullptr;
    const auto rollBack = [&] {
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        return nullptr;
    };
    if (!exec(q, QStringLiteral("PRAGMA user_version"), why) || !q.next())
        return rollBack();
    const int version = q.value(0).toInt();
    if (version > schemaVersion()) {
        why = QObject::tr("由较新版本的本工具创建（架构版本 %1）").arg(version);
        return rollBack();
    }
    for (int step = version; step < schemaVersion(); ++step) {
        for (const QString &statement : schemaSteps()[step]) {
            if (!exec(q, statement, why))
                return rollBack();
        }
        qCDebug(lcHistory, "history schema upgraded to %d", step + 1);
    }
    if (!exec(q, QStringLiteral("PRAGMA user_version=%1").arg(schemaVersion()), why) ||
        !exec(q, QStringLiteral("COMMIT"), why))
        return rollBack();
    return journal;
}

Journal::~Journal()
{
    {
        QSqlDatabase db = QSqlDatabase::database(connection_, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connection_);
}

bool Journal::append(const Action &action, const QDateTime &time, const QString &user,
                     const QString &version, QString &why)
{
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    QSqlQuery q(db);
    // The write lock first: a deferred transaction that upgrades to writing while another process
    // writes fails at once instead of waiting.
    if (!exec(q, QStringLiteral("BEGIN IMMEDIATE"), why))
        return false;
    const auto rollBack = [&](const QSqlQuery &failed) {
        why = sqlError(failed.lastError());
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        return false;
    };
    q.prepare(QStringLiteral("INSERT INTO actions (time, user, version, front_end, serial, model, "
                             "usb_path, kind, detail, outcome) VALUES (?,?,?,?,?,?,?,?,?,?)"));
    for (const QVariant &value :
         {QVariant(time.toUTC().toString(kTimeFormat)), QVariant(user), QVariant(version),
          QVariant(action.frontEnd), QVariant(action.serial), QVariant(action.model),
          QVariant(action.usbPath), QVariant(kindName(action.kind)), QVariant(action.detail),
          QVariant(action.outcome)})
        q.addBindValue(value);
    if (!q.exec())
        return rollBack(q);
    const qint64 id = q.lastInsertId().toLongLong();
    QSqlQuery k(db);
    k.prepare(QStringLiteral("INSERT INTO changes (action_id, page, key, before, after, kept, "
                             "before_wire, after_wire) VALUES (?,?,?,?,?,?,?,?)"));
    const auto optional = [](const auto &value) {
        return value ? QVariant::fromValue(*value) : QVariant();
    };
    for (const ChangedKey &key : action.keys) {
        k.addBindValue(id);
        k.addBindValue(key.page);
        k.addBindValue(key.key);
        k.addBindValue(key.before);
        k.addBindValue(key.after);
        k.addBindValue(key.kept ? QVariant(int(*key.kept)) : QVariant());
        k.addBindValue(optional(key.beforeWire));
        k.addBindValue(optional(key.afterWire));
        if (!k.exec())
            return rollBack(k);
    }
    if (!exec(q, QStringLiteral("COMMIT"), why)) {
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        return false;
    }
    return true;
}

bool Journal::find(const Filter &filter, QList<Entry> &entries, QString &why)
{
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    QStringList conditions;
    QVariantList values;
    if (!filter.serial.isEmpty()) {
        conditions << QStringLiteral("serial = ?");
        values << filter.serial;
    }
    if (filter.since.isValid()) {
        conditions << QStringLiteral("time >= ?");
        values << filter.since.toUTC().toString(kTimeFormat);
    }
    if (filter.id > 0) {
        conditions << QStringLiteral("id = ?");
        values << filter.id;
    }
    const QString where =
        conditions.isEmpty() ? QString()
                             : QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    // A printer's actions lie all over the file: mapped for reading, not copied page by page.
    // (Not for recording: mapping the file costs more than the few pages an action writes.)
    QSqlQuery q(db);
    q.exec(QStringLiteral("PRAGMA mmap_size=268435456"));
    // The actions, then their keys: one row a key without the action's columns repeated on each.
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT id, time, user, version, front_end, serial, model, usb_path, "
                             "kind, detail, outcome FROM actions") +
              where + QStringLiteral(" ORDER BY id DESC"));
    for (const QVariant &value : values)
        q.addBindValue(value);
    if (!q.exec()) {
        why = sqlError(q.lastError());
        return false;
    }
    QHash<qint64, int> indexOf;
    while (q.next()) {
        Entry e;
        e.id = q.value(0).toLongLong();
        e.time = QDateTime::fromString(q.value(1).toString(), Qt::ISODateWithMs);
        e.time.setTimeSpec(Qt::UTC);
        e.user = q.value(2).toString();
        e.version = q.value(3).toString();
        e.action.frontEnd = q.value(4).toString();
        e.action.serial = q.value(5).toString();
        e.action.model = q.value(6).toString();
        e.action.usbPath = q.value(7).toString();
        e.kind = q.value(8).toString();
        e.action.kind = kindNamed(e.kind).value_or(Kind::Write);
        e.action.detail = q.value(9).toString();
        e.action.outcome = q.value(10).toString();
        indexOf.insert(e.id, entries.size());
        entries << e;
    }
    if (q.lastError().isValid()) {
        why = sqlError(q.lastError());
        return false;
    }
    if (entries.isEmpty())
        return true;
    QSqlQuery k(db);
    k.setForwardOnly(true);
    k.prepare(QStringLiteral("SELECT action_id, page, key, before, after, kept, before_wire, "
                             "after_wire FROM changes WHERE action_id IN (SELECT id FROM actions") +
              where + QStringLiteral(") ORDER BY action_id, id"));
    for (const QVariant &value : values)
        k.addBindValue(value);
    if (!k.exec()) {
        why = sqlError(k.lastError());
        return false;
    }
    const auto optionalNumber = [](const QVariant &v) {
        return v.isNull() ? std::nullopt : std::optional<qint64>(v.toLongLong());
    };
    while (k.next()) {
        const auto at = indexOf.constFind(k.value(0).toLongLong());
        if (at == indexOf.constEnd())
            continue; // an action recorded since the first query
        ChangedKey key;
        key.page = k.value(1).toString();
        key.key = k.value(2).toString();
        key.before = k.value(3).toString();
        key.after = k.value(4).toString();
        if (!k.value(5).isNull())
            key.kept = k.value(5).toInt() != 0;
        key.beforeWire = optionalNumber(k.value(6));
        key.afterWire = optionalNumber(k.value(7));
        entries[*at].action.keys << key;
    }
    if (k.lastError().isValid()) {
        why = sqlError(k.lastError());
        return false;
    }
    return true;
}

} // namespace history
