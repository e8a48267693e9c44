#pragma once

#include "core/history/action.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

// The journal file: SQLite in WAL mode with a busy time-out, so that the window and several
// command-line processes can write at once without losing a row. Its schema carries a version
// (PRAGMA user_version) and is upgraded in place, one step at a time, by whichever process opens
// it first.
namespace history {

// The statements of each schema step, oldest first; the schema's version is their count.
const QList<QStringList> &schemaSteps();
int schemaVersion();

struct Filter {
    QString serial;  // empty: every printer
    QDateTime since; // invalid: from the beginning
    qint64 id = 0;   // 0: every action; else that one only
};

class Journal
{
public:
    // Opens the file, making it (mode 0600) and its folder (mode 0700) when missing, and brings
    // its schema up to date. Null with the reason in `why` when it cannot be used.
    static std::unique_ptr<Journal> open(const QString &path, QString &why);
    ~Journal();
    Journal(const Journal &) = delete;
    Journal &operator=(const Journal &) = delete;

    // One action and its changed keys, in one transaction: all of it or nothing.
    bool append(const Action &action, const QDateTime &time, const QString &user,
                const QString &version, QString &why);
    // Actions newest first, each with its changed keys in their order.
    bool find(const Filter &filter, QList<Entry> &entries, QString &why);

private:
    explicit Journal(const QString &connection) : connection_(connection) {}
    QString connection_;
};

} // namespace history
