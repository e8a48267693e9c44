// What following plugs costs the window, and how soon a plugged-in printer is a row.
//
// Idle: the same window over the same span with nothing plugged in, once without listening for
// plugs (the reference) and once listening: CPU time and wake-ups (voluntary context switches) of
// all the process's threads. Plug: from the start of plugging a virtual printer in until its row
// is in the list, and from the start of pulling it out until its row is gone (each also with the
// share the virtual printer's own plugging and pulling takes).
//   bench_hotplug [idle seconds] [plugs]
#include "window/app/mainwindow.h"
#include "sim/virtualusb.h"

#include "bench/support/benchcommon.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QListWidget>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>

namespace {

struct Cost {
    double cpuMs = 0;
    long wakeUps = 0;
};

// Every thread of the process, those that ended included.
long voluntarySwitches()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_nvcsw;
}

double cpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

// The window's event loop with nothing to do for `seconds`.
Cost idle(int seconds)
{
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    const double cpu = cpuMs();
    const long switches = voluntarySwitches();
    loop.exec();
    return {cpuMs() - cpu, voluntarySwitches() - switches};
}

// Runs the event loop until the list has `rows` rows; the time it took in microseconds.
double untilRows(QListWidget *list, int rows, QElapsedTimer &since)
{
    QEventLoop loop;
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, &loop, &QEventLoop::quit);
    auto check = [&] {
        if (list->count() == rows)
            loop.quit();
    };
    const auto inserted = QObject::connect(list->model(), &QAbstractItemModel::rowsInserted, check);
    const auto removed = QObject::connect(list->model(), &QAbstractItemModel::rowsRemoved, check);
    giveUp.start(10000);
    if (list->count() != rows)
        loop.exec();
    const double us = since.nsecsElapsed() / 1e3;
    QObject::disconnect(inserted);
    QObject::disconnect(removed);
    if (list->count() != rows) {
        std::fprintf(stderr, "the list did not follow (%d rows, expected %d)\n", list->count(),
                     rows);
        std::exit(1);
    }
    return us;
}

void printFigures(const char *what, std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    double mean = 0;
    for (double t : times)
        mean += t;
    mean /= double(times.size());
    std::printf("%-22s median %8.2f ms   mean %8.2f ms   max %8.2f ms   (%zu plugs)\n", what,
                times[times.size() / 2] / 1e3, mean / 1e3, times.back() / 1e3, times.size());
}

} // namespace

int main(int argc, char **argv)
{
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
    const int plugs = argc > 2 ? std::atoi(argv[2]) : 20;
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && !qEnvironmentVariableIsSet("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_LOGGING_RULES", "labelsetup.*.debug=false");
    bench::pinToOneCpu();
    vprinter::VirtualUsb usb;
    QApplication app(argc, argv);

    MainWindow window;
    window.show();
    QApplication::processEvents();
    if (!window.isFollowingPlugs()) {
        std::fprintf(stderr, "no hot-plug events here\n");
        return 1;
    }
    // Each after a second to settle: threads just started are asleep by then.
    window.setFollowingPlugs(false);
    idle(1);
    const Cost off = idle(seconds);
    window.setFollowingPlugs(true);
    idle(1);
    const Cost on = idle(seconds);
    std::printf("idle %d s, nothing plugged   CPU time    wake-ups\n", seconds);
    std::printf("  not listening (ref.)     %7.1f ms  %8ld\n", off.cpuMs, off.wakeUps);
    std::printf("  listening                %7.1f ms  %8ld\n", on.cpuMs, on.wakeUps);

    auto *list = window.findChild<QListWidget *>(QStringLiteral("listWidget"));
    std::vector<double> plugIn, plugging, pullOut, pulling;
    for (int i = 0; i < plugs; ++i) {
        QElapsedTimer since;
        since.start();
        vprinter::VirtualPrinter &printer = usb.addPrinter(0x1401, "VS-608K", 3);
        plugging.push_back(since.nsecsElapsed() / 1e3);
        plugIn.push_back(untilRows(list, 1, since));
        since.restart();
        usb.unplug(printer);
        pulling.push_back(since.nsecsElapsed() / 1e3);
        pullOut.push_back(untilRows(list, 0, since));
    }
    printFigures("plug in -> row", plugIn);
    printFigures("  of which plugging", plugging);
    printFigures("pull out -> row gone", pullOut);
    printFigures("  of which pulling", pulling);
    return 0;
}
