// The emulated kernel side of one USB device node: answers the usbfs ioctls that libusb issues
// (through a umockdev ioctl handler on umockdev's worker thread), keeps interface 0's claim and
// driver binding, queues URBs, and records transport faults. Internal to the virtual printer.
#pragma once

#include "descriptors.h"
#include "printermodel.h"
#include "virtualprinter.h"

#include <umockdev.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vprinter {

class UsbfsDevice : public std::enable_shared_from_this<UsbfsDevice>
{
public:
    UsbfsDevice(UsbDescription description, Placement placement, std::string rootDir);
    ~UsbfsDevice();

    // Makes the node a FIFO that does not make libusb busy-poll and attaches the ioctl handler.
    // Call after the device's sysfs record is in the testbed.
    void attach(UMockdevTestbed *testbed);
    // Stops answering: disconnects the ioctl handler (before the testbed goes away).
    void detach();
    void unplug();
    // After the device's record is in the testbed: its interface 0 appears in sysfs, with a
    // "driver" link that follows the driver holding the interface, as the kernel shows it.
    void linkInterface();
    bool isUnplugged();
    // The device node belongs to this user (as the udev rule's ACL gives it to the user at the
    // seat), or to root alone when not accessible; either way nobody else may open it.
    void setNodeOwner(unsigned uid, unsigned gid);
    void setNodeAccessible(bool accessible);
    // With a handler, the unplugAfterWrites fault does not pull the device out by itself: the
    // transfer it cuts off stays in flight, the device stops answering, and the handler runs (on
    // umockdev's worker thread, under the device's lock: it may only hand the news on), so that
    // the testbed's owner pulls the device out with VirtualUsb::unplug, "remove" uevent included.
    void setPullHandler(std::function<void()> handler);
    // How long the printer takes to answer each frame and status request (see
    // VirtualPrinter::setLatency). The answer is held back, never slept on: umockdev's one worker
    // thread serves every device.
    void setLatency(std::chrono::milliseconds latency);
    std::chrono::milliseconds latency();
    // Runs (like the pull handler: on umockdev's worker thread, under the lock) when a download
    // has ended and the printer's restart plan asks for a restart; the owner restarts it.
    void setRestartHandler(std::function<void()> handler);

    const Placement &placement() const { return placement_; }
    const UsbDescription &description() const { return description_; }

    // Everything below takes the lock.
    void withModel(const std::function<void(PrinterModel &)> &f);
    // Drops what opens that failed (refuseOpen) left behind: umockdev's preload connects its
    // ioctl socket even when the open fails and keeps it, under descriptor -1, until close(-1).
    // Its table has room for 50 descriptors; the 51st aborts the process.
    void releaseFailedOpens();
    DeviceState state(int waitMs);
    std::vector<std::string> violations(int waitMs);

private:
    using Clock = std::chrono::steady_clock;

    struct Urb {
        UMockdevIoctlData *urb = nullptr;    // the resolved struct usbdevfs_urb
        UMockdevIoctlData *buffer = nullptr; // its resolved buffer (null when empty)
        unsigned long clientAddress = 0;
        unsigned char type = 0;
        unsigned char endpoint = 0;
        int bufferLength = 0;
        int status = 0;
        int actualLength = 0;
        bool done = false;
        Clock::time_point readyAt; // done, but the host may reap it only from then on
        bool ready(Clock::time_point now) const { return done && readyAt <= now; }
    };
    struct Client {
        UMockdevIoctlClient *client = nullptr;
        bool active = false; // has issued an ioctl: a descriptor that really opened
        bool claimed = false;
        std::deque<Urb> urbs; // in submission order; done ones can be reaped
    };

    static gboolean onIoctl(UMockdevIoctlBase *, UMockdevIoctlClient *client, gpointer self);
    static void onClientConnected(UMockdevIoctlBase *, UMockdevIoctlClient *client, gpointer self);
    static void releaseRef(gpointer data, GClosure *);

    void handleIoctl(UMockdevIoctlClient *client);
    void clientConnected(UMockdevIoctlClient *client);
    Client *findClient(UMockdevIoctlClient *client); // adds a client seen for the first time
    int activeClients() const;

    void submitUrb(Client &client, UMockdevIoctlClient *ioctl);
    void reapUrb(Client &client, UMockdevIoctlClient *ioctl);
    void discardUrb(Client &client, UMockdevIoctlClient *ioctl);
    void claimInterface(Client &client, UMockdevIoctlClient *ioctl);
    void releaseInterface(Client &client, UMockdevIoctlClient *ioctl);
    void disconnectClaim(Client &client, UMockdevIoctlClient *ioctl);
    void driverIoctl(Client &client, UMockdevIoctlClient *ioctl);
    void getDriver(UMockdevIoctlClient *ioctl);

    void runControl(Urb &urb);
    void runBulkOut(Urb &urb);
    bool interfaceUsable(Client &client, const char *what);
    void deliverReplies();
    void unplugLocked();
    void dropVanishedClients();
    void waitForClosedClients(int waitMs);
    void updateFifo();
    void scheduleWake(Clock::time_point now);
    void runTimer();
    void stopTimer();
    void updateDriverLink();
    void applyNodeOwner();
    void pointNode(const std::string &target);
    std::string effectiveDriver() const;
    int claimLocked(Client &client);
    static void freeUrb(Urb &urb);

    const UsbDescription description_;
    const Placement placement_;
    const std::string rootDir_;
    const std::string fifoPath_;
    const bool printerClass_;

    std::mutex mutex_;
    PrinterModel model_;
    std::vector<std::unique_ptr<Client>> clients_;
    std::string driver_; // kernel driver bound to interface 0
    DeviceState counters_;
    std::vector<std::string> violations_;
    bool nodeRefused_ = false;
    bool interfaceLinked_ = false;
    std::string linkedDriver_;
    bool ownerSet_ = false;
    unsigned ownerUid_ = 0;
    unsigned ownerGid_ = 0;
    bool nodeAccessible_ = true;
    int fifoFd_ = -1;
    bool fifoFull_ = false;
    UMockdevIoctlBase *handler_ = nullptr;
    gulong signalIds_[2] = {0, 0};
    std::function<void()> pullHandler_;
    std::function<void()> restartHandler_;
    bool pullPending_ = false; // the handler ran: every bulk transfer waits for the pull

    // The answer delay: answers held back are released by a timer thread of this device, which
    // then empties the FIFO so that the waiting host wakes.
    std::chrono::milliseconds latency_{0};
    Clock::time_point repliesDueAt_; // queued replies go to a bulk IN from then on
    Clock::time_point wakeAt_ = Clock::time_point::max();
    std::condition_variable timerWake_;
    std::thread timer_;
    bool timerStopping_ = false;
};

} // namespace vprinter
