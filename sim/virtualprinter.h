// A virtual USB label printer as tests see it: thread-safe access to its printer model, its fault
// switches, what it received, and the device-side state that the emulated kernel keeps.
// The emulated device is driven from umockdev's worker thread; every call here takes the device's
// lock, so tests may call them at any time.
#pragma once

#include "printermodel.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vprinter {

class UsbfsDevice;

// Device-side state of the emulated kernel for interface 0 and the device node.
struct DeviceState {
    std::string kernelDriver; // what GETDRIVER reports: "usblp", "usbfs" (claimed) or "" (none)
    bool claimed = false;     // an open file descriptor holds interface 0
    int openFds = 0;          // file descriptors open on the device node now
    int opens = 0;            // successful opens since the device was added
    int claims = 0;           // successful claims (CLAIMINTERFACE or DISCONNECT_CLAIM)
    int releases = 0;         // successful RELEASEINTERFACE
    int disconnects = 0;      // IOCTL DISCONNECT that unbound a driver (detach_kernel_driver)
    int disconnectClaims = 0; // DISCONNECT_CLAIM requests (auto-detach claim)
    int connects = 0;         // IOCTL CONNECT requests (attach_kernel_driver)
    int driverQueries = 0;    // GETDRIVER requests (kernel_driver_active), each a round trip
    // Hand-overs between usblp and the host. On a real machine each one removes or re-creates the
    // printer's /dev/usb/lp node and wakes udev and the print spooler.
    int driverDetaches = 0; // usblp moved off interface 0 (DISCONNECT or DISCONNECT_CLAIM)
    int driverRebinds = 0;  // usblp bound to interface 0 again (CONNECT)
    int statusRequests = 0; // vendor status requests answered or stalled
    int discardedUrbs = 0;  // URBs the host cancelled (a time-out)
    bool unplugged = false;

    int driverHandOvers() const { return driverDetaches + driverRebinds; }
};

class VirtualPrinter
{
public:
    explicit VirtualPrinter(std::shared_ptr<UsbfsDevice> device);
    ~VirtualPrinter();
    VirtualPrinter(const VirtualPrinter &) = delete;
    VirtualPrinter &operator=(const VirtualPrinter &) = delete;

    // Placement: sysfs name ("1-3", "1-2.4"), the port libusb reports, bus and device address.
    std::string sysfsName() const;
    int port() const;
    int busNumber() const;
    int deviceAddress() const;
    std::string devicePath() const; // /dev/bus/usb/BBB/DDD
    Identity identity() const;

    // Runs f on the printer model under the device's lock (for anything not wrapped below).
    void withModel(const std::function<void(PrinterModel &)> &f);

    Bytes setting(std::uint8_t code) const;
    void setSetting(std::uint8_t code, Bytes payload);
    void setStatusWord(std::uint32_t word);
    // What it does after its next download (and each one after that): see RestartPlan.
    void setRestartPlan(const RestartPlan &plan);
    void setVersion(const std::string &text);
    void setResolution(std::uint16_t dotsPerInch, std::uint16_t maxWidthDots);

    // Every bulk OUT transfer the printer accepted, in order, with its exact bytes.
    std::vector<Bytes> bulkOutLog() const;
    std::vector<TransferRecord> transferLog() const;
    std::vector<std::uint8_t> buttonLog() const;   // class 00 action codes, in order
    std::vector<DownloadRecord> downloads() const; // firmware and font streams received
    void clearLogs();

    Faults faults() const;
    void setFaults(const Faults &faults);
    // The switches of `faults` for the nth exchange from now only (1 = the next open of the
    // device), so a test can fail exactly the third query of a page read.
    void setFaultsForExchange(int nth, const Faults &faults);

    // How long the printer takes to answer each exchange, as a real one does (a few to tens of
    // milliseconds): a query's reply arrives that long after its frame; any other frame or
    // download write, and the status request, stay in flight that long. Descriptors are answered
    // at once. The host sees a transfer that has not ended yet; nothing sleeps meanwhile.
    void setLatency(std::chrono::milliseconds latency);
    std::chrono::milliseconds latency() const;

    // The device-side state. Waits (up to waitMs) for descriptors the host has just closed to
    // be noticed, so openFds is settled.
    DeviceState state(int waitMs = 500) const;
    // Transport faults seen by the device (interface used without claiming it, claim not
    // released when the descriptor closed, ...) and, at this moment, descriptors still open,
    // interface still claimed, kernel driver left detached. Waits like state().
    std::vector<std::string> violations(int waitMs = 1000) const;

    UsbfsDevice &device() { return *device_; }

private:
    std::shared_ptr<UsbfsDevice> device_;
};

} // namespace vprinter
