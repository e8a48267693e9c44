#include "virtualusb.h"

#include "descriptors.h"
#include "usbfsdevice.h"

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace vprinter {

namespace {

// "ZR31" and the path's numbers: 1-2.4 gives ZR311P2P4, 1-3 gives ZR311P3.
std::string serialNumberFor(const std::string &sysfsName)
{
    std::string serial = "ZR31";
    for (char c : sysfsName)
        serial += (c == '-' || c == '.') ? 'P' : c;
    return serial;
}

// The Wi-Fi and the Bluetooth MAC: 5C:1E, a kind byte, and three bytes of the path's hash.
Bytes macAddressesFor(const std::string &sysfsName)
{
    std::uint32_t hash = 2166136261u; // FNV-1a
    for (char c : sysfsName)
        hash = (hash ^ std::uint8_t(c)) * 16777619u;
    Bytes macs;
    for (std::uint8_t kind : {0x0A, 0x0B})
        macs.insert(macs.end(), {0x5C, 0x1E, kind, std::uint8_t(hash >> 16),
                                 std::uint8_t(hash >> 8), std::uint8_t(hash)});
    return macs;
}

} // namespace

struct VirtualUsb::Testbed {
    UMockdevTestbed *testbed = nullptr;
    std::string root;
    mutable std::mutex mutex;
    std::vector<std::unique_ptr<VirtualPrinter>> devices;
    std::map<int, int> lastAddress;                         // per bus; the root hub has address 1
    std::optional<std::pair<unsigned, unsigned>> nodeOwner; // uid, gid
    std::function<void(const std::string &)> pull;
    // Plugs and pulls, from the owner's thread and from the restart threads, one at a time.
    std::recursive_mutex plugMutex;
    // The restart threads; never held while a device's lock is taken.
    std::mutex restartMutex;
    std::condition_variable restartWake;
    bool closing = false;
    std::vector<std::thread> restarts;
};

VirtualUsb::VirtualUsb() : testbed_(std::make_unique<Testbed>())
{
    // umockdev's worker thread makes the process's first GTask, and initialising that class reads
    // the environment (gettext's getenv) while the testbed, on this thread, sets UMOCKDEV_DIR: a
    // crash in getenv under the sanitizers. The class is initialised here first, on this thread.
    g_type_class_unref(g_type_class_ref(G_TYPE_TASK));
    testbed_->testbed = umockdev_testbed_new();
    if (!testbed_->testbed)
        throw std::runtime_error("cannot create the umockdev testbed");
    gchar *root = umockdev_testbed_get_root_dir(testbed_->testbed);
    testbed_->root = root;
    g_free(root);
    // The ioctl socket of a node lives at <root>/ioctl/dev/bus/usb/BBB/DDD.
    const std::size_t socketPath =
        testbed_->root.size() + std::string("/ioctl/dev/bus/usb/001/001").size();
    if (socketPath >= sizeof(sockaddr_un::sun_path)) {
        g_object_unref(testbed_->testbed);
        throw std::runtime_error("TMPDIR is too long for the testbed's socket paths (" +
                                 testbed_->root + "); use a shorter TMPDIR such as /tmp");
    }
}

VirtualUsb::~VirtualUsb()
{
    {
        std::lock_guard<std::mutex> lock(testbed_->restartMutex);
        testbed_->closing = true;
    }
    testbed_->restartWake.notify_all();
    for (std::thread &restart : testbed_->restarts)
        restart.join();
    for (auto &device : testbed_->devices) {
        device->device().releaseFailedOpens();
        device->device().detach();
    }
    g_object_unref(testbed_->testbed);
}

VirtualPrinter &VirtualUsb::addPrinter(const PrinterConfig &config)
{
    Placement placement;
    if (!parsePlacement(config.sysfsName, placement))
        throw std::invalid_argument("not a USB sysfs name: " + config.sysfsName);
    // A device behind a hub has that hub on the bus too, as on a real machine: libusb finds a
    // device's port path by walking up its parents.
    const std::size_t lastDot = config.sysfsName.rfind('.');
    if (lastDot != std::string::npos) {
        const std::string hub = config.sysfsName.substr(0, lastDot);
        bool present = false;
        {
            std::lock_guard<std::mutex> lock(testbed_->mutex);
            for (const auto &device : testbed_->devices)
                present = present || device->sysfsName() == hub;
        }
        if (!present) {
            PrinterConfig hubConfig;
            hubConfig.sysfsName = hub;
            hubConfig.identity.vendorId = 0x05E3; // a common USB 2.0 hub
            hubConfig.identity.productId = 0x0608;
            hubConfig.identity.product = "USB2.0 Hub";
            hubConfig.interfaceClass = kHubClass;
            addPrinter(hubConfig);
        }
    }

    std::lock_guard<std::recursive_mutex> plugLock(testbed_->plugMutex);
    std::lock_guard<std::mutex> lock(testbed_->mutex);
    for (const auto &device : testbed_->devices) {
        if (device->sysfsName() == config.sysfsName && !device->device().isUnplugged())
            throw std::invalid_argument("two devices at " + config.sysfsName);
    }
    int &lastAddress = testbed_->lastAddress[placement.bus];
    lastAddress = std::max(lastAddress, 1) + 1;
    if (lastAddress > 127)
        throw std::runtime_error("no free USB address on the bus");
    placement.deviceAddress = lastAddress;

    UsbDescription description{config.identity, config.interfaceClass};
    if (description.identity.brand.empty())
        description.identity.brand = PrinterModel::brandForProductId(config.identity.productId);
    // Two printers of one model differ like real ones: a serial number of their own.
    if (description.identity.serialNumber == Identity{}.serialNumber)
        description.identity.serialNumber = serialNumberFor(config.sysfsName);
    // The node and its handler first, then the record, whose "add" uevent announces the device:
    // a program that opens the device as soon as it hears of it finds it answering.
    auto device = std::make_shared<UsbfsDevice>(description, placement, testbed_->root);
    device->attach(testbed_->testbed);
    if (testbed_->nodeOwner)
        device->setNodeOwner(testbed_->nodeOwner->first, testbed_->nodeOwner->second);
    if (config.denied && testbed_->nodeOwner)
        device->setNodeAccessible(false);
    device->withModel([&](PrinterModel &model) {
        model.faults().refuseOpen = config.denied && !testbed_->nodeOwner;
        model.faults().refuseClaim = config.busy;
        model.faults().unplugAfterWrites = config.unplugAfterWrites;
        model.setRestartPlan(config.restart);
        if (config.setUp)
            config.setUp(model);
    });
    device->setLatency(config.latency);
    if (testbed_->pull)
        device->setPullHandler([pull = testbed_->pull, name = config.sysfsName] { pull(name); });
    device->setRestartHandler([this, name = config.sysfsName] {
        std::lock_guard<std::mutex> restartLock(testbed_->restartMutex);
        if (!testbed_->closing)
            testbed_->restarts.emplace_back([this, name] { restart(name); });
    });
    GError *error = nullptr;
    const std::string record = sysfsRecord(description, placement);
    if (!umockdev_testbed_add_from_string(testbed_->testbed, record.c_str(), &error)) {
        std::string message = error ? error->message : "unknown error";
        g_clear_error(&error);
        device->detach();
        throw std::runtime_error("cannot add " + config.sysfsName + ": " + message);
    }
    device->linkInterface();
    testbed_->devices.push_back(std::make_unique<VirtualPrinter>(device));
    testbed_->devices.back()->withModel(
        [&](PrinterModel &model) { model.setSetting(0x3C, macAddressesFor(config.sysfsName)); });
    return *testbed_->devices.back();
}

VirtualPrinter &VirtualUsb::addPrinter(std::uint16_t productId, const std::string &product,
                                       int port)
{
    PrinterConfig config;
    config.sysfsName = "1-" + std::to_string(port);
    config.identity.productId = productId;
    config.identity.product = product;
    return addPrinter(config);
}

VirtualPrinter &VirtualUsb::addDevice(std::uint16_t vendorId, std::uint16_t productId,
                                      const std::string &sysfsName, const std::string &product)
{
    PrinterConfig config;
    config.sysfsName = sysfsName;
    config.identity.vendorId = vendorId;
    config.identity.productId = productId;
    config.identity.product = product;
    config.interfaceClass = kVendorSpecificClass;
    return addPrinter(config);
}

void VirtualUsb::unplug(VirtualPrinter &printer)
{
    std::lock_guard<std::recursive_mutex> plugLock(testbed_->plugMutex);
    if (printer.device().isUnplugged())
        return;
    // The "remove" uevent reads the device from the testbed's sysfs, so it goes out first.
    const std::string path = printer.device().placement().sysfsPath();
    umockdev_testbed_uevent(testbed_->testbed, path.c_str(), "remove");
    printer.device().unplug();
}

VirtualPrinter *VirtualUsb::find(const std::string &sysfsName) const
{
    std::lock_guard<std::mutex> lock(testbed_->mutex);
    for (const auto &device : testbed_->devices) {
        if (device->sysfsName() == sysfsName && !device->device().isUnplugged())
            return device.get();
    }
    return nullptr;
}

void VirtualUsb::setNodeOwner(unsigned uid, unsigned gid)
{
    // The user must reach the testbed (mkdtemp made it for its owner alone), and umockdev's
    // preload makes the sockets of the user's udev monitors in its top folder.
    if (chown(testbed_->root.c_str(), uid, gid) != 0 || chmod(testbed_->root.c_str(), 0755) != 0)
        throw std::runtime_error("cannot give the testbed to user " + std::to_string(uid));
    std::lock_guard<std::mutex> lock(testbed_->mutex);
    testbed_->nodeOwner = std::make_pair(uid, gid);
    for (const auto &device : testbed_->devices)
        device->device().setNodeOwner(uid, gid);
}

void VirtualUsb::setAccessible(VirtualPrinter &printer, bool accessible)
{
    printer.device().setNodeAccessible(accessible);
}

void VirtualUsb::setPullHandler(std::function<void(const std::string &)> pull)
{
    std::lock_guard<std::mutex> lock(testbed_->mutex);
    testbed_->pull = pull;
    for (const auto &device : testbed_->devices) {
        device->device().setPullHandler([pull, name = device->sysfsName()] { pull(name); });
    }
}

std::vector<VirtualPrinter *> VirtualUsb::devices() const
{
    std::lock_guard<std::mutex> lock(testbed_->mutex);
    std::vector<VirtualPrinter *> out;
    for (const auto &device : testbed_->devices)
        out.push_back(device.get());
    return out;
}

std::vector<std::string> VirtualUsb::violations(int waitMs) const
{
    std::vector<std::string> out;
    for (VirtualPrinter *device : devices()) {
        for (const std::string &violation : device->violations(waitMs))
            out.push_back(device->sysfsName() + ": " + violation);
    }
    return out;
}

bool VirtualUsb::sleepUnlessClosing(int ms)
{
    std::unique_lock<std::mutex> lock(testbed_->restartMutex);
    return !testbed_->restartWake.wait_for(lock, std::chrono::milliseconds(ms),
                                           [this] { return testbed_->closing; });
}

void VirtualUsb::restart(const std::string &sysfsName)
{
    VirtualPrinter *old = find(sysfsName);
    if (!old)
        return;
    // Flashing takes a while: the host has taken the end of the stream and closed the device
    // before the printer goes, so the last write never fails for the restart.
    for (int waited = 0; old->state(0).openFds > 0 && waited < 10000; waited += 2) {
        if (!sleepUnlessClosing(2))
            return;
    }
    PrinterConfig config;
    config.sysfsName = sysfsName;
    config.interfaceClass = old->device().description().interfaceClass;
    config.latency = old->latency(); // the same printer, as slow as before
    std::map<std::uint8_t, Bytes> settings;
    Bytes version, resolution;
    old->withModel([&](PrinterModel &model) {
        config.identity = model.identity();
        config.restart = model.restartPlan();
        settings = model.settings();
        version = model.statusInfo(4);
        resolution = model.statusInfo(11);
    });
    unplug(*old);
    if (config.restart.neverBack || !sleepUnlessClosing(config.restart.delayMs))
        return;
    config.setUp = [&](PrinterModel &model) {
        if (!config.restart.factorySettings) {
            for (const auto &[code, payload] : settings)
                model.setSetting(code, payload);
        }
        model.setStatusInfo(4, version);
        model.setStatusInfo(11, resolution);
        if (!config.restart.newVersion.empty())
            model.setVersion(config.restart.newVersion);
        model.setStatusWord(config.restart.statusAfter);
    };
    try {
        addPrinter(config);
    } catch (const std::exception &) {
        // Someone plugged another device in there meanwhile: this printer stays away.
    }
}

std::string VirtualUsb::rootDir() const { return testbed_->root; }

} // namespace vprinter
