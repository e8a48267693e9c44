// Timing and the bare libusb reference cycle shared by the USB benchmarks.
#pragma once

#include <libusb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sched.h>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double microseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::micro>(d).count();
}

struct Figures {
    double median = 0;
    double mean = 0;
};

// Median and mean of the times of some cycles (at least one).
inline Figures summarise(std::vector<double> times)
{
    Figures f;
    for (double t : times)
        f.mean += t;
    f.mean /= double(times.size());
    std::sort(times.begin(), times.end());
    f.median = times[times.size() / 2];
    return f;
}

// Runs `cycle` `cycles` times; a failed cycle ends the program, so no figure hides a failure.
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
    return summarise(std::move(times));
}

// Both sides on one CPU: umockdev's handler thread inherits it, and latency doubles when the
// two sides of an exchange run on different CPUs.
inline void pinToOneCpu()
{
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(0, &one);
    sched_setaffinity(0, sizeof one, &one);
}

// How a bare cycle treats the kernel's printer driver on interface 0.
enum class Driver {
    // libusb's auto-detach: detached at the claim and re-bound at the release, around every
    // exchange, as every exchange used to.
    HandedOverEachCycle,
    // Moved aside by hand before the claim and left aside: the first exchange of a click that
    // keeps the driver aside until it ends (bareGiveDriverBack), as the transport does.
    MovedAsideHere,
    // Already moved aside by an earlier exchange of the click.
    AlreadyAside,
};

// One exchange written straight against libusb, with device, interface and endpoints known in
// advance: open, claim (moving the kernel driver as `driver` says), the transfers, release, close.
template <typename Transfers>
bool bareCycle(libusb_device *device, Transfers transfers,
               Driver driver = Driver::HandedOverEachCycle)
{
    libusb_device_handle *handle = nullptr;
    if (libusb_open(device, &handle) != 0)
        return false;
    if (driver == Driver::HandedOverEachCycle)
        libusb_set_auto_detach_kernel_driver(handle, 1);
    // A printer without a driver bound has nothing to move aside.
    const int detached =
        driver == Driver::MovedAsideHere ? libusb_detach_kernel_driver(handle, 0) : 0;
    const bool aside = detached == 0 || detached == LIBUSB_ERROR_NOT_FOUND;
    const bool ok = aside && libusb_claim_interface(handle, 0) == 0 && transfers(handle);
    libusb_release_interface(handle, 0);
    libusb_close(handle);
    return ok;
}

// Ends a click whose first exchange moved the driver aside: binds it to the interface again.
inline bool bareGiveDriverBack(libusb_device *device)
{
    libusb_device_handle *handle = nullptr;
    if (libusb_open(device, &handle) != 0)
        return false;
    const bool ok = libusb_attach_kernel_driver(handle, 0) == 0;
    libusb_close(handle);
    return ok;
}

// A query cycle: write the query frame given, read 264 bytes.
inline bool bareQueryCycle(libusb_device *device, unsigned char *query, int length,
                           Driver driver = Driver::HandedOverEachCycle)
{
    return bareCycle(
        device,
        [=](libusb_device_handle *handle) {
            unsigned char reply[264];
            int done = 0;
            return libusb_bulk_transfer(handle, 0x01, query, length, &done, 3000) == 0 &&
                   libusb_bulk_transfer(handle, 0x81, reply, sizeof reply, &done, 3000) == 0;
        },
        driver);
}

// A query cycle: write the 9-byte class-02 frame, read 264 bytes.
inline bool bareQueryCycle(libusb_device *device, unsigned char code,
                           Driver driver = Driver::HandedOverEachCycle)
{
    unsigned char query[] = {0x1B, 0xFF, 0xFE, 0x02, code, 0x00, 0x1B, 0xFE, 0xFF};
    return bareQueryCycle(device, query, sizeof query, driver);
}

// The cycles of one click as the transport runs them: the first moves the driver aside, the
// others find it aside, and the end of the click binds it again.
template <typename Cycle> bool bareClick(libusb_device *device, int cycles, Cycle cycle)
{
    bool ok = true;
    for (int i = 0; i < cycles && ok; ++i)
        ok = cycle(i, i == 0 ? Driver::MovedAsideHere : Driver::AlreadyAside);
    return bareGiveDriverBack(device) && ok;
}

// A download cycle: one bulk write of `length` bytes (0 ends a stream).
inline bool bareWriteCycle(libusb_device *device, unsigned char *chunk, int length,
                           Driver driver = Driver::HandedOverEachCycle)
{
    return bareCycle(
        device,
        [=](libusb_device_handle *handle) {
            int done = 0;
            return libusb_bulk_transfer(handle, 0x01, chunk, length, &done, 300000) == 0;
        },
        driver);
}

} // namespace bench
