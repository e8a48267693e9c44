// Constructing and showing the main window against a bare QMainWindow, each in its own child
// process (so that its peak memory is its own), in the same run. "start" counts from before the
// application object to the first shown frame; "next" and "median" are later windows in the same
// process, when fonts and styles are already loaded.
//   bench_window [rounds per process] [processes of each kind]
#include "window/app/mainwindow.h"
#include "window/app/startup.h"
#include "core/base/translation.h"

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <type_traits>
#include <unistd.h>
#include <vector>

namespace {

struct Figures {
    double startMs = 0; // application object, window, first shown frame: what the user waits for
    double medianMs = 0;
    double firstMs = 0;
    long peakKiB = 0;
};

template <typename Window> void measure(int rounds, int resultFd)
{
    int argc = 1;
    char name[] = "bench_window";
    char *argv[] = {name, nullptr};
    QElapsedTimer start;
    start.start();
    QApplication app(argc, argv);
    std::optional<translation::Catalogues> catalogues;
    if (std::is_same_v<Window, MainWindow>) { // as main does
        catalogues.emplace();
        startup::useFormFont();
    }
    double startMs = 0;
    {
        Window window;
        window.show();
        QApplication::processEvents();
        startMs = start.nsecsElapsed() / 1e6;
    }
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer clock;
        clock.start();
        auto window = std::make_unique<Window>();
        window->show();
        QApplication::processEvents();
        times.push_back(clock.nsecsElapsed() / 1e6);
        window.reset();
        QApplication::processEvents();
    }
    const double first = times.front();
    std::sort(times.begin(), times.end());
    Figures f{startMs, times[times.size() / 2], first, 0};
    if (write(resultFd, &f, sizeof f) != sizeof f)
        _exit(2);
    _exit(0);
}

template <typename Window> Figures runChild(int rounds)
{
    int fds[2];
    if (pipe(fds) != 0)
        std::exit(1);
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        measure<Window>(rounds, fds[1]);
    }
    close(fds[1]);
    Figures f;
    if (read(fds[0], &f, sizeof f) != sizeof f)
        std::exit(1);
    close(fds[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    f.peakKiB = usage.ru_maxrss;
    return f;
}

Figures median(std::vector<Figures> all)
{
    const auto middle = [&all](auto field) {
        std::vector<double> values;
        for (const Figures &f : all)
            values.push_back(double(f.*field));
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    };
    Figures f;
    f.startMs = middle(&Figures::startMs);
    f.medianMs = middle(&Figures::medianMs);
    f.firstMs = middle(&Figures::firstMs);
    f.peakKiB = long(middle(&Figures::peakKiB));
    return f;
}

} // namespace

int main(int argc, char **argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("QT_LOGGING_RULES", "labelsetup.*=false", 0);
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 30;
    // Start-up is one sample per process: alternate fresh processes and take the medians.
    const int processes = argc > 2 ? std::atoi(argv[2]) : 9;
    std::vector<Figures> bares, ourss;
    for (int i = 0; i < processes; ++i) {
        bares.push_back(runChild<QMainWindow>(rounds));
        ourss.push_back(runChild<MainWindow>(rounds));
    }
    const Figures bare = median(bares);
    const Figures ours = median(ourss);
    std::printf("%-12s %12s %12s %12s %12s\n", "window", "start ms", "next ms", "median ms",
                "peak KiB");
    for (const auto &[label, f] : {std::pair{"QMainWindow", bare}, std::pair{"MainWindow", ours}})
        std::printf("%-12s %12.3f %12.3f %12.3f %12ld\n", label, f.startMs, f.firstMs, f.medianMs,
                    f.peakKiB);
    std::printf("start-up ratio %.2f (goal <= 3), warm ratio %.1f, memory ratio %.2f (goal <= 2)\n",
                ours.startMs / bare.startMs, ours.medianMs / bare.medianMs,
                double(ours.peakKiB) / bare.peakKiB);
    return 0;
}
