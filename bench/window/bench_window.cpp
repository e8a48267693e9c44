// Constructing and showing the main window against a bare QMainWindow, each in its own child
// process (so that its peak memory is its own), in the same run.
//   bench_window [rounds]
#include "app/mainwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct Figures {
    double medianMs = 0;
    double firstMs = 0;
    long peakKiB = 0;
};

template <typename Window> void measure(int rounds, int resultFd)
{
    int argc = 1;
    char name[] = "bench_window";
    char *argv[] = {name, nullptr};
    QApplication app(argc, argv);
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
    Figures f{times[times.size() / 2], first, 0};
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

} // namespace

int main(int argc, char **argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("QT_LOGGING_RULES", "labelsetup.*=false", 0);
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 30;
    const Figures bare = runChild<QMainWindow>(rounds);
    const Figures ours = runChild<MainWindow>(rounds);
    std::printf("%-12s %12s %12s %12s\n", "window", "median ms", "first ms", "peak KiB");
    std::printf("%-12s %12.3f %12.3f %12ld\n", "QMainWindow", bare.medianMs, bare.firstMs,
                bare.peakKiB);
    std::printf("%-12s %12.3f %12.3f %12ld\n", "MainWindow", ours.medianMs, ours.firstMs,
                ours.peakKiB);
    std::printf("time ratio %.2f (goal <= 3), memory ratio %.2f (goal <= 2)\n",
                ours.medianMs / bare.medianMs, double(ours.peakKiB) / bare.peakKiB);
    return 0;
}
