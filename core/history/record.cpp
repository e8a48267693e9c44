#include "core/history/record.h"

#include "core/base/statedirectory.h"
#include "core/base/version.h"
#include "core/history/historylog.h"
#include "core/profiles/results.h"
#include "core/settings/pageexchange.h"
#include "core/settings/serialport.h"

#include <QCoreApplication>
#include <QDir>
#include <QObject>
#include <memory>
#include <pwd.h>
#include <unistd.h>

namespace history {

namespace {

struct State {
    // Off until a front end turns it on: a library user or a test records nothing unasked.
    Settings settings{false, false};
    std::unique_ptr<Journal> journal;
    QString problem; // set once the journal failed: nothing more is tried in this process
    std::function<void(const QString &)> tell;
};

State &state()
{
    static State s;
    return s;
}

QString userName()
{
    if (const passwd *entry = ::getpwuid(::getuid()))
        return QString::fromLocal8Bit(entry->pw_name);
    return QString::number(::getuid());
}

void turnOff(const QString &why)
{
    State &s = state();
    s.journal.reset();
    s.problem = QObject::tr("历史记录已关闭：%1：%2").arg(journalPath(), why);
    if (s.tell)
        s.tell(s.problem);
    else
        qCWarning(lcHistory).noquote() << s.problem;
}

Journal *journal()
{
    State &s = state();
    if (!s.journal && s.problem.isEmpty()) {
        static const bool closedWithApplication = [] {
            qAddPostRoutine(close);
            return true;
        }();
        Q_UNUSED(closedWithApplication)
        QString why;
        s.journal = Journal::open(journalPath(), why);
        if (!s.journal)
            turnOff(why);
    }
    return s.journal.get();
}

Action masked(Action action)
{
    for (ChangedKey &key : action.keys) {
        if (!isSecret(key.page, key.key))
            continue;
        key.before = key.after = kMasked;
        key.beforeWire = key.afterWire = std::nullopt;
    }
    return action;
}

} // namespace

void configure(const Settings &settings)
{
    State &s = state();
    s.settings = settings;
    s.journal.reset();
    s.problem.clear();
}

const Settings &settings() { return state().settings; }

void close() { state().journal.reset(); }

QString journalPath() { return stateDirectory() + QStringLiteral("/history.sqlite"); }

bool ready() { return state().settings.enabled && journal(); }

bool record(const Action &action)
{
    if (!state().settings.enabled)
        return false;
    Journal *j = journal();
    if (!j)
        return false;
    QString why;
    if (j->append(state().settings.secrets ? action : masked(action),
                  QDateTime::currentDateTimeUtc(), userName(), QStringLiteral(LABELSETUP_VERSION),
                  why))
        return true;
    turnOff(why);
    return false;
}

QString problem() { return state().problem; }

void onProblem(std::function<void(const QString &)> tell) { state().tell = std::move(tell); }

std::optional<QList<Entry>> entries(const Filter &filter, QString &why)
{
    std::unique_ptr<Journal> own;
    Journal *j = state().journal.get();
    if (!j) {
        own = Journal::open(journalPath(), why);
        j = own.get();
    }
    QList<Entry> found;
    if (!j || !j->find(filter, found, why))
        return std::nullopt;
    return found;
}

QString askSerialNumber(PrinterHandle *handle)
{
    serialport::Values values;
    const int r = pages::runQueries(handle, {INFO_SERIAL_NUMBER},
                                    [&](SetInfoType code, const unsigned char *payload) {
                                        serialport::decode(code, payload, values);
                                    });
    return r == 0 ? values.serialNumberText : QString();
}

QList<ChangedKey> changedKeys(const pages::SettingsPage &before, const pages::SettingsPage &after,
                              const pages::Verification *verification)
{
    const pages::KeyValues was = before.values();
    const QMap<QString, qint64> wasWire = before.wireValues(), nowWire = after.wireValues();
    const QStringList writable = after.writableKeys();
    QList<ChangedKey> keys;
    for (const auto &[key, value] : after.values()) {
        if (!writable.contains(key))
            continue;
        QString old;
        for (const auto &[k, v] : was) {
            if (k == key)
                old = v;
        }
        const std::optional<qint64> oldWire =
            wasWire.contains(key) ? std::optional<qint64>(wasWire.value(key)) : std::nullopt;
        const std::optional<qint64> newWire =
            nowWire.contains(key) ? std::optional<qint64>(nowWire.value(key)) : std::nullopt;
        if (old == value && (oldWire == newWire || !oldWire || !newWire))
            continue;
        ChangedKey changed{after.name(), key, old, value, oldWire, newWire, std::nullopt};
        if (verification) {
            bool kept = verification->readResult == 0;
            for (const pages::Mismatch &m : verification->mismatches)
                kept = kept && m.key != key;
            changed.kept = kept;
        }
        keys << changed;
    }
    return keys;
}

bool recordDownload(const QString &frontEnd, const QString &serial, const QString &model,
                    const QString &usbPath, const QString &what, const QString &file,
                    const QString &outcome)
{
    Action action;
    action.frontEnd = frontEnd;
    action.serial = serial;
    action.model = model;
    action.usbPath = usbPath;
    action.kind = Kind::Download;
    action.detail = what + QStringLiteral(": ") + file;
    action.outcome = outcome;
    return record(action);
}

} // namespace history

#include "core/protocol/maintenancecommands.h"

namespace history {

void describeMaintenance(Action &action, const maintenance::Command &command, int result)
{
    action.kind = QLatin1String(command.name) == QLatin1String("initialise") ? Kind::Initialisation
                                                                             : Kind::Maintenance;
    action.detail = QLatin1String(command.name);
    // One frame, no read-back: sent is all that can be said.
    action.outcome =
        result == 0 ? QObject::tr("已发送") : profile::outcomeText(profile::Outcome::Failed);
}

} // namespace history
