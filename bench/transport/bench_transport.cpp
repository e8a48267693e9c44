// One GetPrinterInfo query cycle (open, claim, write, read, release, close) against the virtual
// printer, next to a bare libusb loop doing the same steps with everything known in advance, in
// the same run, pinned to one CPU.
//   bench_transport [cycles]
#include "protocol/frame.h"
#include "protocol/printerqueries.h"
#include "sim/virtualusb.h"
#include "usb/deviceioopera.h"

#include <libusb.h>

#include <QLoggingCategory>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sched.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double microseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::micro>(d).count();
}

struct Figures {
    double median = 0;
    double mean = 0;
};

template <typename Cycle> Figures measure(int cycles, Cycle cycle)
{
    std::vector<double> times;
    times.reserve(std::size_t(cycles));
    for (int i = 0; i < cycles; ++i) {
        const auto start = Clock::now();
        if (!cycle()) {
            std::fprintf(stderr, "cycle %d failed\n", i);
            std::exit(1);
        }
        times.push_back(microseconds(Clock::now() - start));
    }
    Figures f;
    for (double t : times)
        f.mean += t;
    f.mean /= cycles;
    std::sort(times.begin(), times.end());
    f.median = times[times.size() / 2];
    return f;
}

// The same exchange written straight against libusb: device, interface and endpoints known.
bool bareCycle(libusb_device *device)
{
    static const unsigned char query[] = {0x1B, 0xFF, 0xFE, 0x02, 0x00, 0x00, 0x1B, 0xFE, 0xFF};
    unsigned char reply[264];
    libusb_device_handle *handle = nullptr;
    if (libusb_open(device, &handle) != 0)
        return false;
    libusb_set_auto_detach_kernel_driver(handle, 1);
    bool ok = libusb_claim_interface(handle, 0) == 0;
    int done = 0;
    ok = ok && libusb_bulk_transfer(handle, 0x01, const_cast<unsigned char *>(query), sizeof query,
                                    &done, 3000) == 0;
    ok = ok && libusb_bulk_transfer(handle, 0x81, reply, sizeof reply, &done, 3000) == 0;
    libusb_release_interface(handle, 0);
    libusb_close(handle);
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    const int cycles = argc > 1 ? std::atoi(argv[1]) : 1000;
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(0, &one);
    sched_setaffinity(0, sizeof one, &one); // umockdev's handler thread inherits it
    QLoggingCategory::setFilterRules(QStringLiteral("labelsetup.*=false"));

    vprinter::VirtualUsb usb;
    usb.addPrinter(0x0411, "RM-310", 1);

    PrinterHandle printer;
    if (CDeviceIOOpera::GetPrinterHandle(1, &printer) != 0) {
        std::fprintf(stderr, "no virtual printer\n");
        return 1;
    }
    unsigned char result[frame::kResultBufferSize];
    const auto ours = [&] { return GetPrinterInfo(&printer, INFO_PRINT_SPEED, result) == 0; };
    const auto bare = [&] { return bareCycle(printer.pHandle); };

    // Alternate the two in rounds so that drift hits both alike.
    Figures oursTotal, bareTotal;
    const int rounds = 5;
    for (int round = 0; round < rounds; ++round) {
        const Figures b = measure(cycles / rounds, bare);
        const Figures o = measure(cycles / rounds, ours);
        bareTotal.median += b.median / rounds;
        bareTotal.mean += b.mean / rounds;
        oursTotal.median += o.median / rounds;
        oursTotal.mean += o.mean / rounds;
    }
    CDeviceIOOpera::ClosePrinterHandle(&printer);

    std::printf("%-16s %12s %12s\n", "cycle", "median us", "mean us");
    std::printf("%-16s %12.1f %12.1f\n", "bare libusb", bareTotal.median, bareTotal.mean);
    std::printf("%-16s %12.1f %12.1f\n", "GetPrinterInfo", oursTotal.median, oursTotal.mean);
    std::printf("ratio %.3f (goal <= 1.2)\n", oursTotal.median / bareTotal.median);
    return 0;
}
