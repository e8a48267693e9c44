// Firmware download figures, each against a reference in the same run, pinned to one CPU:
// 1. Streaming a 4 MiB side file with the download worker (open, claim, one 1024-byte write,
//    release, close per chunk, then the zero-length end) next to a bare libusb loop doing the
//    same chunk cycles, alternating in rounds.
// 2. Peak memory of the tool (the real window in a child process, driven like a user) while it
//    decrypts and streams a 64 MiB file, against the same tool idle just before.
//   bench_download [stream MiB, default 4] [memory MiB, default 64] [rounds, default 3]
#include "window/app/mainwindow.h"
#include "bench/support/benchcommon.h"
#include "core/download/workerthread.h"
#include "sim/virtualusb.h"
#include "tests/support/filedialogdriver.h"
#include "tests/support/messageboxcatcher.h"
#include "core/usb/deviceioopera.h"

#include <libusb.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QListWidget>
#include <QLoggingCategory>
#include <QPushButton>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kChunk = 1024;

bool writeRandomFile(const QString &path, qint64 size)
{
    std::mt19937 random(42);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray block(1 << 20, '\0');
    for (qint64 done = 0; done < size; done += block.size()) {
        for (char &c : block)
            c = char(random() & 0xFF);
        const qint64 n = std::min<qint64>(block.size(), size - done);
        if (file.write(block.constData(), n) != n)
            return false;
    }
    return true;
}

// The same chunk cycles written straight against libusb: device, interface, endpoint known.
bool bareStream(libusb_device *device, qint64 size)
{
    unsigned char chunk[kChunk] = {};
    const auto cycle = [&](int length) { return bench::bareWriteCycle(device, chunk, length); };
    for (qint64 sent = 0; sent < size; sent += kChunk) {
        if (!cycle(int(std::min<qint64>(kChunk, size - sent))))
            return false;
    }
    return size % kChunk != 0 || cycle(0);
}

bool workerStream(int port, const QString &sideFile)
{
    auto printer = std::make_unique<PrinterHandle>();
    if (CDeviceIOOpera::GetPrinterHandle(port, printer.get()) != 0)
        return false;
    WorkerThread worker;
    worker.handOver(std::move(printer), sideFile);
    worker.start();
    worker.wait();
    return worker.sentEverything();
}

long statusKb(const char *field)
{
    FILE *status = std::fopen("/proc/self/status", "r");
    char line[256];
    long kb = -1;
    const std::size_t length = std::strlen(field);
    while (status && std::fgets(line, sizeof line, status)) {
        if (std::strncmp(line, field, length) == 0)
            kb = std::atol(line + length + 1);
    }
    if (status)
        std::fclose(status);
    return kb;
}

// The tool itself: the window, "获取列表", the printer, "下载固件", the file, until the end.
int runTool(const char *encryptedFile)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qunsetenv("QT_QPA_PLATFORMTHEME");
    int argc = 1;
    char name[] = "bench_download";
    char *argv[] = {name, nullptr};
    QApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("labelsetup.*=false"));
    MainWindow window;
    window.show();
    window.findChild<QPushButton *>("pushButton_6")->click();
    auto *list = window.findChild<QListWidget *>("listWidget");
    if (list->count() != 1) {
        std::fprintf(stderr, "tool: no printer listed\n");
        return 1;
    }
    list->setCurrentRow(0);
    QApplication::processEvents();

    const long idleKb = statusKb("VmRSS:");
    // Start the high-water mark afresh at the idle size (Linux 4.0 and later).
    FILE *clear = std::fopen("/proc/self/clear_refs", "w");
    const bool reset = clear && std::fputs("5", clear) >= 0 && std::fclose(clear) == 0;
    MessageBoxCatcher boxes;
    FileDialogDriver dialog(QString::fromLocal8Bit(encryptedFile));
    QElapsedTimer clock;
    clock.start();
    window.findChild<QPushButton *>("pushButton_34")->click();
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (window.findChildren<WorkerThread *>().isEmpty() &&
            (!boxes.boxes().isEmpty() || clock.elapsed() > 60000))
            loop.quit();
    });
    poll.start(50);
    loop.exec();
    if (boxes.boxes().isEmpty()) {
        std::fprintf(stderr, "tool: the file dialog did not take the file\n");
        return 1;
    }
    const double seconds = clock.elapsed() / 1000.0;
    const long peakKb = statusKb("VmHWM:");
    std::printf("tool idle %ld KiB, peak while downloading %ld KiB%s: %+.1f MiB (goal <= +8), "
                "%.1f s, box \"%s\"\n",
                idleKb, peakKb, reset ? "" : " (peak since start-up)", (peakKb - idleKb) / 1024.0,
                seconds, qPrintable(boxes.boxes().last().title));
    return boxes.boxes().last().title == QStringLiteral("下载成功") ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--tool") == 0)
        return runTool(argv[2]);
    const qint64 streamSize = qint64(argc > 1 ? std::atoi(argv[1]) : 4) << 20;
    const qint64 memorySize = qint64(argc > 2 ? std::atoi(argv[2]) : 64) << 20;
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 3;
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(0, &one);
    sched_setaffinity(0, sizeof one, &one); // umockdev's handler thread and the child inherit it
    QLoggingCategory::setFilterRules(QStringLiteral("labelsetup.*=false"));
    QTemporaryDir dir;
    vprinter::VirtualUsb usb;
    vprinter::VirtualPrinter &printer = usb.addPrinter(0x1401, "VS-608K", 3);

    PrinterHandle bare;
    if (!dir.isValid() || CDeviceIOOpera::GetPrinterHandle(3, &bare) != 0) {
        std::fprintf(stderr, "no virtual printer\n");
        return 1;
    }
    const QString side = dir.filePath("stream_decrypted.hex");
    std::vector<double> ours, reference;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer clock;
        clock.start();
        if (!bareStream(bare.pHandle, streamSize))
            return 1;
        reference.push_back(clock.nsecsElapsed() / 1e9);
        if (!writeRandomFile(side, streamSize))
            return 1;
        clock.restart();
        if (!workerStream(3, side))
            return 1;
        ours.push_back(clock.nsecsElapsed() / 1e9);
        printer.clearLogs();
    }
    CDeviceIOOpera::ClosePrinterHandle(&bare);
    std::sort(ours.begin(), ours.end());
    std::sort(reference.begin(), reference.end());
    const double o = ours[ours.size() / 2], r = reference[reference.size() / 2];
    std::printf("stream of %lld KiB, %d rounds, median s: bare libusb %.3f, worker %.3f, "
                "ratio %.3f (goal <= 1.2)\n",
                streamSize >> 10, rounds, r, o, o / r);
    std::fflush(stdout);

    if (memorySize <= 0)
        return 0;
    const QString encrypted = dir.filePath("large.hex");
    if (!writeRandomFile(encrypted, memorySize))
        return 1;
    const pid_t child = fork();
    if (child == 0) {
        execl("/proc/self/exe", argv[0], "--tool", qPrintable(encrypted), nullptr);
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    const auto downloads = printer.downloads();
    const bool whole = downloads.size() == 1 && downloads[0].ended &&
                       downloads[0].total == std::uint64_t(memorySize);
    std::printf("printer received %s\n", whole ? "the whole stream" : "NOT the whole stream");
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 && whole ? 0 : 1;
}
