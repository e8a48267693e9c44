// A umockdev testbed with virtual label printers (and other USB devices) on chosen ports.
//
// Create it before the code under test calls libusb_init; the process must run with umockdev's
// preload library (tests link it, the launcher sets LD_PRELOAD for its child). The testbed
// directory lives under $TMPDIR, which must be short (unix socket paths are limited to 108 bytes).
//
//     vprinter::VirtualUsb usb;
//     auto &printer = usb.addPrinter(0x0411, "RM-310", 1);   // Zurod RM-310 on port 1
//     ... run the code under test ...
//     QVERIFY(usb.violations().empty());
#pragma once

#include "virtualprinter.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vprinter {

struct PrinterConfig {
    std::string sysfsName = "1-1"; // <bus>-<port>, or behind hubs <bus>-<port>.<port>...
    Identity identity;             // vendor and product ID, strings
    // 0x07: printer class, bound to the kernel's usblp driver until claimed. Any other class
    // (0xFF for addDevice) has no kernel driver.
    std::uint8_t interfaceClass = 0x07;
    // Plugged in already denied (see setAccessible; without a node owner, the refuseOpen fault)
    // or held by another program (the refuseClaim fault), before anyone hears of it.
    bool denied = false;
    bool busy = false;
    // >= 0: the unplugAfterWrites fault, set before anyone hears of the printer.
    int unplugAfterWrites = -1;
    // The answer delay of each exchange (VirtualPrinter::setLatency), from the start.
    std::chrono::milliseconds latency{0};
    // What it does after a download (see RestartPlan), set before anyone hears of the printer.
    RestartPlan restart;
    // Runs on the printer model before anyone hears of the printer (a restarted printer takes
    // its settings and version over this way).
    std::function<void(PrinterModel &)> setUp;
};

class VirtualUsb
{
public:
    // Throws std::runtime_error when the testbed cannot be set up.
    VirtualUsb();
    ~VirtualUsb();
    VirtualUsb(const VirtualUsb &) = delete;
    VirtualUsb &operator=(const VirtualUsb &) = delete;

    VirtualPrinter &addPrinter(const PrinterConfig &config);
    // A printer of vendor 0x5C1E with the given product ID and iProduct string on port `port`
    // of bus 1 (sysfs name 1-<port>).
    VirtualPrinter &addPrinter(std::uint16_t productId, const std::string &product, int port);
    // A device with a vendor-specific interface and no kernel driver; it still answers like a
    // printer if spoken to.
    VirtualPrinter &addDevice(std::uint16_t vendorId, std::uint16_t productId,
                              const std::string &sysfsName, const std::string &product);

    // Pulls the device out: a "remove" uevent (libusb's hot-plug LEFT), then transfers in flight
    // end with -ESHUTDOWN, every later request on an open descriptor fails with ENODEV, opening
    // fails, and no libusb context lists it any more. Another device may then be plugged in at the
    // same place. Adding a device sends an "add" uevent (ARRIVED) once it answers.
    void unplug(VirtualPrinter &printer);
    // The device plugged in at that sysfs name now, if any.
    VirtualPrinter *find(const std::string &sysfsName) const;

    // Device nodes as a udev rule with uaccess makes them: owned by this user (the one at the
    // seat), devices plugged in later too. setAccessible(false) gives a node back to root alone,
    // so that a program running as that user may not open it (LIBUSB_ERROR_ACCESS) while root
    // still may. Only the owner of the testbed (root) can do this.
    void setNodeOwner(unsigned uid, unsigned gid);
    void setAccessible(VirtualPrinter &printer, bool accessible);

    // Makes the unplugAfterWrites fault of every printer (also those added later) a pull-out by
    // this owner: the transfer the fault cuts off stays in flight and `pull` is called with the
    // printer's sysfs name, on umockdev's worker thread under the device's lock, where it may
    // only hand the news on; the owner then calls unplug() on its own thread, which sends the
    // "remove" uevent as a real pull does. Without it the device pulls itself out, unannounced.
    void setPullHandler(std::function<void(const std::string &sysfsName)> pull);

    // A printer whose restart plan falls due (a download ended) is restarted by a thread of this
    // testbed: once the host has closed the device, it is pulled out ("remove" uevent) and, unless
    // it never comes back, plugged in again at the same place after the plan's delay, as a new
    // VirtualPrinter (find() returns it) with the old one's settings (or the factory ones) and
    // version (or the plan's new one). The old one keeps its logs and downloads.
    std::vector<VirtualPrinter *> devices() const;
    // The violations of every device, each prefixed with its sysfs name.
    std::vector<std::string> violations(int waitMs = 1000) const;
    std::string rootDir() const;

private:
    void restart(const std::string &sysfsName); // on a restart thread
    bool sleepUnlessClosing(int ms);            // false when the testbed is going away
    struct Testbed;
    std::unique_ptr<Testbed> testbed_;
};

} // namespace vprinter
