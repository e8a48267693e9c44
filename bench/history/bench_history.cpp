// What the history costs, each side by side with its reference in the same run:
//
// 1. A verified `write print` of the VS-608K, the whole program each time, with the history on and
//    with --no-history, alternating. Goal: recording costs at most 5 %.
// 2. `history --serial S` over a journal of 100,000 actions of 50 printers (two changed keys
//    each), against the sqlite3 shell running the same query on the same file. Goal: at most twice
//    the shell's time (the serial number's index, not a scan).
//
//     bench_history [ROUNDS]
// It runs itself under the virtual-printer launcher, which attaches the printers.
#include "bench/support/benchcommon.h"
#include "core/history/journal.h"
#include "core/history/record.h"

#include <QCoreApplication>
#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

// The processor time (user and system) of the last program run: on a machine shared with other
// work, steadier than the wall-clock time.
double lastProcessorTime = 0;

// Runs a program with its output thrown away; true when it exited with 0.
bool run(const std::vector<std::string> &arguments)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char *> argv;
    for (const std::string &a : arguments)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    struct rusage usage = {};
    const bool ended = spawned == 0 && wait4(pid, &status, 0, &usage) == pid;
    lastProcessorTime = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e6 +
                        double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
    return ended && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct Sides {
    double one, other;       // wall-clock medians
    double oneCpu, otherCpu; // processor-time medians
};

// Alternates the two sides `rounds` times; the medians of each.
template <typename A, typename B> Sides sideBySide(int rounds, A a, B b)
{
    std::vector<double> one, other, oneCpu, otherCpu;
    for (int i = 0; i < rounds; ++i) {
        one.push_back(bench::measure(1, [&] { return a(i); }).median);
        oneCpu.push_back(lastProcessorTime);
        other.push_back(bench::measure(1, [&] { return b(i); }).median);
        otherCpu.push_back(lastProcessorTime);
    }
    return {median(one), median(other), median(oneCpu), median(otherCpu)};
}

const char kSelect[] =
    "SELECT a.id, a.time, a.user, a.version, a.front_end, a.serial, a.model, a.usb_path, a.kind, "
    "a.detail, a.outcome, c.page, c.key, c.before, c.after, c.kept, c.before_wire, c.after_wire, "
    "c.id FROM actions a LEFT JOIN changes c ON c.action_id = a.id WHERE a.serial = '%1' "
    "ORDER BY a.id DESC, c.id;";

// 100,000 actions of 50 printers, two changed keys each, in the journal's own schema.
bool fillJournal(const QString &path, int actions, int printers)
{
    QString why;
    if (!history::Journal::open(path, why)) {
        std::fprintf(stderr, "journal: %s\n", qPrintable(why));
        return false;
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "fill");
    db.setDatabaseName(path);
    if (!db.open())
        return false;
    QSqlQuery q(db);
    q.exec("BEGIN");
    QSqlQuery action(db), key(db);
    action.prepare("INSERT INTO actions (id, time, user, version, front_end, serial, model, "
                   "usb_path, kind, detail, outcome) VALUES (?, ?, 'tech', '0.1.0', 'cli', ?, "
                   "'Orbeck VS-608K', '1-3', 'write', 'print', 'written and verified')");
    key.prepare("INSERT INTO changes (action_id, page, key, before, after, kept) VALUES "
                "(?, 'print', ?, ?, ?, 1)");
    const QDateTime start = QDateTime::currentDateTimeUtc().addDays(-100);
    for (int i = 1; i <= actions; ++i) {
        action.addBindValue(i);
        action.addBindValue(start.addSecs(i * 60).toString("yyyy-MM-ddTHH:mm:ss.zzzZ"));
        action.addBindValue(QStringLiteral("ZR31%1").arg(i % printers, 4, 10, QLatin1Char('0')));
        if (!action.exec())
            return false;
        for (const char *name : {"speed", "density"}) {
            key.addBindValue(i);
            key.addBindValue(QLatin1String(name));
            key.addBindValue(QString::number(i % 7));
            key.addBindValue(QString::number(i % 5));
            if (!key.exec())
                return false;
        }
    }
    return q.exec("COMMIT");
}

} // namespace

int main(int argc, char *argv[])
{
    if (!std::getenv("UMOCKDEV_DIR")) { // not yet under the launcher
        std::vector<char *> args{const_cast<char *>(LABELSETUP_LAUNCHER), const_cast<char *>("--"),
                                 argv[0]};
        if (argc > 1)
            args.push_back(argv[1]);
        args.push_back(nullptr);
        execv(LABELSETUP_LAUNCHER, args.data());
        std::perror("bench_history: launcher");
        return 1;
    }
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 40;
    bench::pinToOneCpu();
    QTemporaryDir state;
    qputenv("XDG_STATE_HOME", QFile::encodeName(state.path()));
    const std::string cli = LABELSETUP_CLI;

    // 1. A verified write of the print page, whole program, on the printer of port 3. Every write
    //    changes the speed, so that each is really written and read back.
    int speed = 0;
    const auto write = [&](bool history) {
        std::vector<std::string> args{
            cli, "--port", "3", "write", "print", "speed=" + std::to_string(++speed % 2 + 3)};
        if (!history)
            args.push_back("--no-history");
        return run(args);
    };
    for (int warm = 0; warm < 3; ++warm)
        if (!write(true) || !write(false))
            return std::fprintf(stderr, "write failed\n"), 1;
    const Sides w = sideBySide(
        rounds, [&](int) { return write(true); }, [&](int) { return write(false); });
    std::printf("write print, verified, history on:   median %.0f us (processor %.0f us) over %d "
                "runs\n",
                w.one, w.oneCpu, rounds);
    std::printf("write print, verified, --no-history: median %.0f us (processor %.0f us) over %d "
                "runs\n",
                w.other, w.otherCpu, rounds);
    std::printf("recording costs %.1f %% (processor time %.1f %%; goal at most 5 %%)\n",
                (w.one - w.other) / w.other * 100, (w.oneCpu - w.otherCpu) / w.otherCpu * 100);

    // 2. A printer's history out of 100,000 actions of 50 printers.
    constexpr int kActions = 100000, kPrinters = 50;
    const QString path = history::journalPath();
    QFile::remove(path);
    if (!fillJournal(path, kActions, kPrinters))
        return std::fprintf(stderr, "could not fill the journal\n"), 1;
    const std::string file = QFile::encodeName(path).toStdString();
    const auto serialOf = [](int i) {
        return QStringLiteral("ZR31%1").arg(i % kPrinters, 4, 10, QLatin1Char('0')).toStdString();
    };
    const auto ours = [&](int i) { return run({cli, "history", "--serial", serialOf(i)}); };
    const auto shell = [&](int i) {
        return run(
            {"sqlite3", file,
             QString::fromLatin1(kSelect).arg(QString::fromStdString(serialOf(i))).toStdString()});
    };
    for (int warm = 0; warm < 3; ++warm)
        if (!ours(warm) || !shell(warm))
            return std::fprintf(stderr, "history or sqlite3 failed\n"), 1;
    const Sides h = sideBySide(rounds, ours, shell);
    std::printf("history --serial S (%d actions of %d printers): median %.0f us (processor %.0f "
                "us) over %d runs\n",
                kActions, kPrinters, h.one, h.oneCpu, rounds);
    std::printf("sqlite3 shell, the same query on the same file:    median %.0f us (processor %.0f "
                "us) over %d runs\n",
                h.other, h.otherCpu, rounds);
    std::printf("ratio: %.2f (processor time %.2f; goal at most 2)\n", h.one / h.other,
                h.oneCpu / h.otherCpu);
    return 0;
}
