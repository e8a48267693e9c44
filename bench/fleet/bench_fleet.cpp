// restore --all on printers that take real time to answer: eight virtual printers of one model
// answering each exchange 10 ms late, a profile that differs from them on every page, each written
// page read back. Side by side in one run:
//   - one printer attached (restore --all),
//   - eight printers, --jobs 8 (the goal: at most 1.5 times the one printer),
//   - eight printers, --jobs 1 (one after another: about eight times).
// Wall time of each restore, and CPU time per printer: the whole process (the tool and the
// emulated printers, which run in it) and the tool alone (the process less umockdev's and the
// virtual printers' own threads). The profile alternates between two that differ on every page,
// so that every cycle writes every page of every printer; a cycle whose restore does not end with
// every printer written and verified, or that leaves a device check behind, ends the program.
//   bench_fleet [cycles] [latency-ms]
#include "bench/support/benchcommon.h"
#include "cli/cli.h"
#include "sim/virtualusb.h"
#include "tests/support/fleetprofile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTextStream>
#include <ctime>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

constexpr int kFleet = 8;
constexpr std::uint16_t kProductId = 0x1401; // Orbeck VS-608K: every page
constexpr int kPages = 7;

[[noreturn]] void die(const std::string &why)
{
    std::fprintf(stderr, "%s\n", why.c_str());
    std::exit(1);
}

double cpuMs(clockid_t clock)
{
    timespec t = {};
    clock_gettime(clock, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// The threads of this process other than the calling one: made right after the virtual printers,
// before the tool runs, they are the emulation's (umockdev's worker, the printers' timers).
std::vector<std::string> otherThreads()
{
    std::vector<std::string> ids;
    const std::string self = std::to_string(gettid());
    if (DIR *tasks = opendir("/proc/self/task")) {
        while (dirent *entry = readdir(tasks)) {
            if (entry->d_name[0] != '.' && entry->d_name != self)
                ids.push_back(entry->d_name);
        }
        closedir(tasks);
    }
    return ids;
}

// CPU time of these threads, in ms.
double threadsCpuMs(const std::vector<std::string> &ids)
{
    const double tick = 1000.0 / double(sysconf(_SC_CLK_TCK));
    double total = 0;
    for (const std::string &id : ids) {
        std::ifstream stat("/proc/self/task/" + id + "/stat");
        const std::string text((std::istreambuf_iterator<char>(stat)),
                               std::istreambuf_iterator<char>());
        // After the command's closing parenthesis: the state is field 3, utime 14, stime 15.
        const std::size_t at = text.rfind(')');
        if (at == std::string::npos)
            continue;
        std::istringstream fields(text.substr(at + 2));
        std::string field;
        for (int i = 3; i <= 15 && fields >> field; ++i) {
            if (i == 14 || i == 15)
                total += std::stod(field) * tick;
        }
    }
    return total;
}

// The two profiles: the printers' factory values as a backup reads them, and the same with one
// value changed on every page.
void writeProfiles(const QString &factory, const QString &changed)
{
    vprinter::VirtualUsb usb;
    usb.addPrinter(kProductId, "VS-608K", 1);
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    if (cli::run({"--port", "1", "backup", factory}, outStream, errStream) != 0)
        die("backup failed: " + err.toStdString());
    QFile file(factory);
    if (!file.open(QIODevice::ReadOnly))
        die("cannot read the backup");
    QJsonObject document = QJsonDocument::fromJson(file.readAll()).object();
    if (int(document.value("pages").toObject().size()) != kPages)
        die("the backup holds " + std::to_string(document.value("pages").toObject().size()) +
            " pages");
    document = changeEveryPage(document, false);
    QFile out2(changed);
    if (!out2.open(QIODevice::WriteOnly) || out2.write(QJsonDocument(document).toJson()) <= 0)
        die("cannot write the changed profile");
}

struct Figures {
    double wallMs = 0;
    double cpuPerPrinterMs = 0;  // the process
    double toolPerPrinterMs = 0; // the process less the emulation
};

// `printers` virtual printers answering `latency` late; restore --all (with --jobs when `jobs` > 0)
// alternating the two profiles, `cycles` times after one untimed round. Medians of the cycles.
Figures measure(int printers, int jobs, int cycles, std::chrono::milliseconds latency,
                const QString &factory, const QString &changed)
{
    vprinter::VirtualUsb usb;
    for (int port = 1; port <= printers; ++port)
        usb.addPrinter(kProductId, "VS-608K", port).setLatency(latency);
    const std::vector<std::string> emulation = otherThreads();
    std::vector<double> wall, cpu, tool;
    for (int cycle = -1; cycle < cycles; ++cycle) {
        const QString &file = cycle % 2 == 0 ? factory : changed;
        QStringList arguments{"restore", "--all", file};
        if (jobs > 0)
            arguments << "--jobs" << QString::number(jobs);
        QString out, err;
        QTextStream outStream(&out), errStream(&err);
        const double cpuBefore = cpuMs(CLOCK_PROCESS_CPUTIME_ID);
        const double emulationBefore = threadsCpuMs(emulation);
        const auto start = bench::Clock::now();
        const int exit = cli::run(arguments, outStream, errStream);
        const double wallMs = bench::microseconds(bench::Clock::now() - start) / 1000.0;
        const double cpuUsed = cpuMs(CLOCK_PROCESS_CPUTIME_ID) - cpuBefore;
        const double emulationUsed = threadsCpuMs(emulation) - emulationBefore;
        outStream.flush();
        const QStringList lines = out.split('\n', Qt::SkipEmptyParts);
        int whole = 0;
        for (const QString &line : lines)
            whole += line.split('\t').value(2).contains(QString::number(kPages)) ? 1 : 0;
        if (exit != 0 || lines.size() != printers || whole != printers)
            die("restore --all: exit " + std::to_string(exit) + "\n" + out.toStdString() +
                err.toStdString());
        if (cycle < 0)
            continue;
        wall.push_back(wallMs);
        cpu.push_back(cpuUsed / printers);
        tool.push_back((cpuUsed - emulationUsed) / printers);
    }
    const std::vector<std::string> violations = usb.violations();
    if (!violations.empty())
        die("device check: " + violations.front());
    return {bench::summarise(wall).median, bench::summarise(cpu).median,
            bench::summarise(tool).median};
}

void print(const char *label, const Figures &f, const Figures &reference)
{
    std::printf("%-28s %9.0f ms wall (%5.2fx)   CPU per printer %6.1f ms (%+5.1f %%), tool alone "
                "%6.1f ms (%+5.1f %%)\n",
                label, f.wallMs, f.wallMs / reference.wallMs, f.cpuPerPrinterMs,
                100.0 * (f.cpuPerPrinterMs / reference.cpuPerPrinterMs - 1.0), f.toolPerPrinterMs,
                100.0 * (f.toolPerPrinterMs / reference.toolPerPrinterMs - 1.0));
}

} // namespace

int main(int argc, char **argv)
{
    const int cycles = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const std::chrono::milliseconds latency(argc > 2 ? std::atoi(argv[2]) : 10);
    qputenv("QT_LOGGING_RULES", "*.debug=false");
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString factory = dir.filePath("factory.json");
    const QString changed = dir.filePath("changed.json");
    writeProfiles(factory, changed);

    std::printf("restore --all with verification, %d pages differing, printers answering %lld ms "
                "late; medians of %d cycles\n",
                kPages, static_cast<long long>(latency.count()), cycles);
    const Figures one = measure(1, 0, cycles, latency, factory, changed);
    const Figures parallel = measure(kFleet, kFleet, cycles, latency, factory, changed);
    const Figures serial = measure(kFleet, 1, cycles, latency, factory, changed);
    print("1 printer attached", one, one);
    print("8 printers, --jobs 8", parallel, one);
    print("8 printers, --jobs 1", serial, one);
    std::printf("goal: --jobs 8 at most 1.5x one printer: %s; --jobs 1 / --jobs 8: %.1fx\n",
                parallel.wallMs <= 1.5 * one.wallMs ? "met" : "NOT met",
                serial.wallMs / parallel.wallMs);
    return 0;
}
