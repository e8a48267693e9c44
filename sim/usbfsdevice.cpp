#include "usbfsdevice.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <linux/usbdevice_fs.h>
#include <pthread.h>
#include <stdexcept>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace vprinter {

namespace {

// Opening this file for writing fails with EACCES even for root (a read-only sysctl), so a
// node that points at it behaves like a device node without access rights.
constexpr const char *kRefusedTarget = "/proc/sys/kernel/ostype";
constexpr const char *kUsblp = "usblp";
constexpr const char *kUsbfs = "usbfs";
constexpr unsigned kSpeedFull = 2; // enum usb_device_speed

void succeed(UMockdevIoctlClient *client, long result = 0)
{
    umockdev_ioctl_client_complete(client, result, 0);
}

void fail(UMockdevIoctlClient *client, int error)
{
    umockdev_ioctl_client_complete(client, -1, error);
}

// Resolves `size` bytes at the address the ioctl argument points to. Returns a new reference.
UMockdevIoctlData *resolveArg(UMockdevIoctlClient *client, std::size_t size)
{
    GError *error = nullptr;
    UMockdevIoctlData *data =
        umockdev_ioctl_data_resolve(umockdev_ioctl_client_get_arg(client), 0, size, &error);
    g_clear_error(&error);
    return data;
}

// The plain value of the ioctl argument (for ioctls that pass no pointer).
unsigned long argValue(UMockdevIoctlClient *client)
{
    unsigned long value = 0;
    UMockdevIoctlData *arg = umockdev_ioctl_client_get_arg(client);
    std::memcpy(&value, arg->data, sizeof value);
    return value;
}

std::uint16_t le16(const std::uint8_t *p) { return std::uint16_t(p[0] | p[1] << 8); }

} // namespace

UsbfsDevice::UsbfsDevice(UsbDescription description, Placement placement, std::string rootDir)
    : description_(std::move(description)), placement_(std::move(placement)),
      rootDir_(std::move(rootDir)),
      fifoPath_(rootDir_ + "/vprinter-node-" + std::to_string(placement_.bus) + "-" +
                std::to_string(placement_.deviceAddress)),
      printerClass_(description_.interfaceClass == kPrinterClass), model_(description_.identity)
{
    if (printerClass_)
        driver_ = kUsblp; // the kernel binds usblp to a printer-class interface on plug-in
}

UsbfsDevice::~UsbfsDevice()
{
    stopTimer();
    for (auto &client : clients_) {
        for (Urb &urb : client->urbs)
            freeUrb(urb);
        g_object_unref(client->client);
    }
    if (handler_)
        g_object_unref(handler_);
    if (fifoFd_ >= 0)
        close(fifoFd_);
}

void UsbfsDevice::attach(UMockdevTestbed *testbed)
{
    // umockdev makes the node a regular file, which is always ready for poll(): libusb would spin
    // while it waits. A FIFO that is kept full while nothing can be reaped (and empty while
    // something can) makes libusb's poll for POLLOUT behave like usbfs.
    unlink(fifoPath_.c_str());
    std::error_code ignored;
    std::filesystem::create_directories(
        std::filesystem::path(rootDir_ + placement_.devicePath()).parent_path(), ignored);
    if (mkfifo(fifoPath_.c_str(), 0666) != 0)
        throw std::runtime_error("cannot create " + fifoPath_ + ": " + std::strerror(errno));
    fifoFd_ = open(fifoPath_.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fifoFd_ < 0 || fcntl(fifoFd_, F_SETPIPE_SZ, 4096) < 0)
        throw std::runtime_error("cannot set up " + fifoPath_ + ": " + std::strerror(errno));
    pointNode(fifoPath_);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        updateFifo();
    }

    handler_ = umockdev_ioctl_base_new();
    // Each closure keeps the device alive until it is disconnected and no longer running.
    signalIds_[0] = g_signal_connect_data(handler_, "handle-ioctl", G_CALLBACK(onIoctl),
                                          new std::shared_ptr<UsbfsDevice>(shared_from_this()),
                                          releaseRef, GConnectFlags(0));
    signalIds_[1] = g_signal_connect_data(
        handler_, "client-connected", G_CALLBACK(onClientConnected),
        new std::shared_ptr<UsbfsDevice>(shared_from_this()), releaseRef, GConnectFlags(0));
    GError *error = nullptr;
    if (!umockdev_testbed_attach_ioctl(testbed, placement_.devicePath().c_str(), handler_,
                                       &error)) {
        std::string message = error ? error->message : "unknown error";
        g_clear_error(&error);
        throw std::runtime_error("cannot attach the ioctl handler: " + message);
    }
}

void UsbfsDevice::detach()
{
    stopTimer(); // it takes the lock
    std::lock_guard<std::mutex> lock(mutex_);
    for (gulong &id : signalIds_) {
        if (handler_ && id != 0)
            g_signal_handler_disconnect(handler_, id);
        id = 0;
    }
}

void UsbfsDevice::releaseRef(gpointer data, GClosure *)
{
    delete static_cast<std::shared_ptr<UsbfsDevice> *>(data);
}

gboolean UsbfsDevice::onIoctl(UMockdevIoctlBase *, UMockdevIoctlClient *client, gpointer self)
{
    (*static_cast<std::shared_ptr<UsbfsDevice> *>(self))->handleIoctl(client);
    return TRUE;
}

void UsbfsDevice::onClientConnected(UMockdevIoctlBase *, UMockdevIoctlClient *client, gpointer self)
{
    (*static_cast<std::shared_ptr<UsbfsDevice> *>(self))->clientConnected(client);
}

void UsbfsDevice::clientConnected(UMockdevIoctlClient *ioctl)
{
    std::lock_guard<std::mutex> lock(mutex_);
    findClient(ioctl);
}

UsbfsDevice::Client *UsbfsDevice::findClient(UMockdevIoctlClient *ioctl)
{
    for (auto &client : clients_) {
        if (client->client == ioctl)
            return client.get();
    }
    // Each open of the node connects one umockdev client.
    auto client = std::make_unique<Client>();
    client->client = UMOCKDEV_IOCTL_CLIENT(g_object_ref(ioctl));
    clients_.push_back(std::move(client));
    return clients_.back().get();
}

int UsbfsDevice::activeClients() const
{
    return int(std::count_if(clients_.begin(), clients_.end(),
                             [](const auto &client) { return client->active; }));
}

void UsbfsDevice::releaseFailedOpens()
{
    int failed = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        dropVanishedClients();
        failed = int(clients_.size()) - activeClients();
    }
    // close(-1) removes one entry for descriptor -1 from the preload of this process and is a
    // harmless EBADF otherwise (also when the failed open happened in another process).
    for (; failed > 0; --failed)
        close(-1);
}

void UsbfsDevice::handleIoctl(UMockdevIoctlClient *ioctl)
{
    std::lock_guard<std::mutex> lock(mutex_);
    dropVanishedClients();
    Client &client = *findClient(ioctl);
    if (!client.active) {
        // A descriptor libusb opened always asks for the capabilities first; a connection that
        // never asks anything comes from an open that failed (see releaseFailedOpens()).
        client.active = true;
        ++counters_.opens;
        model_.beginExchange();
    }
    const unsigned long request = umockdev_ioctl_client_get_request(ioctl);
    const bool reap = request == USBDEVFS_REAPURB || request == USBDEVFS_REAPURBNDELAY;
    if (counters_.unplugged && !reap) {
        fail(ioctl, ENODEV);
        return;
    }

    switch (request) {
    case USBDEVFS_GET_CAPABILITIES:
        if (UMockdevIoctlData *caps = resolveArg(ioctl, sizeof(std::uint32_t))) {
            const std::uint32_t value = USBDEVFS_CAP_ZERO_PACKET | USBDEVFS_CAP_BULK_CONTINUATION |
                                        USBDEVFS_CAP_NO_PACKET_SIZE_LIM |
                                        USBDEVFS_CAP_BULK_SCATTER_GATHER |
                                        USBDEVFS_CAP_REAP_AFTER_DISCONNECT;
            std::memcpy(caps->data, &value, sizeof value);
            succeed(ioctl);
            g_object_unref(caps);
        } else {
            fail(ioctl, EFAULT);
        }
        break;
    case USBDEVFS_SUBMITURB:
        submitUrb(client, ioctl);
        break;
    case USBDEVFS_REAPURB:
    case USBDEVFS_REAPURBNDELAY:
        reapUrb(client, ioctl);
        break;
    case USBDEVFS_DISCARDURB:
        discardUrb(client, ioctl);
        break;
    case USBDEVFS_CLAIMINTERFACE:
        claimInterface(client, ioctl);
        break;
    case USBDEVFS_RELEASEINTERFACE:
        releaseInterface(client, ioctl);
        break;
    case USBDEVFS_DISCONNECT_CLAIM:
        disconnectClaim(client, ioctl);
        break;
    case USBDEVFS_IOCTL:
        driverIoctl(client, ioctl);
        break;
    case USBDEVFS_GETDRIVER:
        getDriver(ioctl);
        break;
    case USBDEVFS_CLEAR_HALT:
    case USBDEVFS_RESETEP:
    case USBDEVFS_RESET:
        succeed(ioctl);
        break;
    case USBDEVFS_SETCONFIGURATION:
        if (UMockdevIoctlData *value = resolveArg(ioctl, sizeof(unsigned))) {
            unsigned configuration = 0;
            std::memcpy(&configuration, value->data, sizeof configuration);
            configuration == 1 ? succeed(ioctl) : fail(ioctl, EINVAL);
            g_object_unref(value);
        } else {
            fail(ioctl, EFAULT);
        }
        break;
    case USBDEVFS_SETINTERFACE:
        if (UMockdevIoctlData *value = resolveArg(ioctl, sizeof(usbdevfs_setinterface))) {
            const auto *set = reinterpret_cast<const usbdevfs_setinterface *>(value->data);
            set->interface == 0 && set->altsetting == 0 ? succeed(ioctl) : fail(ioctl, EINVAL);
            g_object_unref(value);
        } else {
            fail(ioctl, EFAULT);
        }
        break;
    case USBDEVFS_GET_SPEED:
        succeed(ioctl, kSpeedFull);
        break;
    case USBDEVFS_CONNECTINFO:
        if (UMockdevIoctlData *value = resolveArg(ioctl, sizeof(usbdevfs_connectinfo))) {
            auto *info = reinterpret_cast<usbdevfs_connectinfo *>(value->data);
            info->devnum = unsigned(placement_.deviceAddress);
            info->slow = 0;
            succeed(ioctl);
            g_object_unref(value);
        } else {
            fail(ioctl, EFAULT);
        }
        break;
    default:
        fail(ioctl, ENOTTY);
        break;
    }
    updateFifo();
    updateDriverLink();
}

void UsbfsDevice::submitUrb(Client &client, UMockdevIoctlClient *ioctl)
{
    GError *error = nullptr;
    Urb urb;
    urb.urb = umockdev_ioctl_data_resolve(umockdev_ioctl_client_get_arg(ioctl), 0,
                                          sizeof(usbdevfs_urb), &error);
    if (!urb.urb) {
        g_clear_error(&error);
        fail(ioctl, EFAULT);
        return;
    }
    const auto *request = reinterpret_cast<const usbdevfs_urb *>(urb.urb->data);
    urb.clientAddress = urb.urb->client_addr;
    urb.type = request->type;
    urb.endpoint = request->endpoint;
    urb.bufferLength = request->buffer_length;
    if (urb.bufferLength < 0) {
        freeUrb(urb);
        fail(ioctl, EINVAL);
        return;
    }
    if (urb.bufferLength > 0) {
        urb.buffer = umockdev_ioctl_data_resolve(urb.urb, offsetof(usbdevfs_urb, buffer),
                                                 std::size_t(urb.bufferLength), &error);
        if (!urb.buffer) {
            g_clear_error(&error);
            freeUrb(urb);
            fail(ioctl, EFAULT);
            return;
        }
    }

    int refusal = 0;
    bool unplugNow = false;
    if (urb.type == USBDEVFS_URB_TYPE_CONTROL) {
        if ((urb.endpoint & 0x7F) != 0)
            refusal = ENOENT;
        else if (urb.bufferLength < 8)
            refusal = EINVAL;
        else
            runControl(urb);
    } else if (urb.type == USBDEVFS_URB_TYPE_BULK) {
        if (urb.endpoint != kBulkOutEndpoint && urb.endpoint != kBulkInEndpoint) {
            refusal = ENOENT;
        } else if (!interfaceUsable(client, "bulk transfer")) {
            refusal = EBUSY;
        } else if (pullPending_) {
            // in flight until the pull, like the transfer the fault cut off
        } else if (model_.faults().unplugAfterWrites == 0) {
            model_.faults().unplugAfterWrites = -1;
            unplugNow = true; // accepted, then cut off by the unplug
        } else if (urb.endpoint == kBulkOutEndpoint) {
            runBulkOut(urb);
        } else if (urb.bufferLength == 0) {
            urb.done = true; // nothing to wait for
        }
    } else {
        refusal = EINVAL; // the device has no interrupt or isochronous endpoints
    }

    if (refusal != 0) {
        freeUrb(urb);
        fail(ioctl, refusal);
        return;
    }
    client.urbs.push_back(urb);
    if (unplugNow && pullHandler_) {
        pullPending_ = true; // silent until the owner pulls it out
        model_.discardReplies();
        pullHandler_();
    } else if (unplugNow) {
        unplugLocked();
    } else {
        deliverReplies();
    }
    if (model_.takeRestartDue() && restartHandler_)
        restartHandler_();
    succeed(ioctl);
}

void UsbfsDevice::runControl(Urb &urb)
{
    const std::uint8_t *setup = urb.buffer->data;
    const std::uint8_t requestType = setup[0];
    const std::uint8_t request = setup[1];
    const std::uint16_t value = le16(setup + 2);
    const std::uint16_t index = le16(setup + 4);
    const std::uint16_t length =
        std::min<std::uint16_t>(le16(setup + 6), std::uint16_t(urb.bufferLength - 8));

    std::optional<Bytes> answer;
    if (requestType == 0x80 && request == 0x06) { // GET_DESCRIPTOR
        const std::uint8_t type = value >> 8;
        const std::uint8_t descriptorIndex = value & 0xFF;
        const Identity &id = description_.identity;
        if (type == 0x01)
            answer = deviceDescriptor(description_);
        else if (type == 0x02 && descriptorIndex == 0)
            answer = configurationDescriptor(description_);
        else if (type == 0x03 && descriptorIndex == 0)
            answer = languageTable(length);
        else if (type == 0x03 && descriptorIndex == ManufacturerString)
            answer = stringDescriptor(model_.identity().brand, length);
        else if (type == 0x03 && descriptorIndex == ProductString && id.productReadable)
            answer = stringDescriptor(id.product, length);
        else if (type == 0x03 && descriptorIndex == SerialString)
            answer = stringDescriptor(id.serialNumber, length);
    } else if (requestType == 0x80 && request == 0x00) { // GET_STATUS: self-powered
        answer = Bytes{0x01, 0x00};
    } else if (requestType == 0xC1 && request == 0xFF && value == 0 && index == 0) {
        ++counters_.statusRequests;
        answer = model_.statusRequest(length);
        urb.readyAt = Clock::now() + latency_; // the printer's firmware answers this one
    }

    urb.done = true;
    if (!answer) {
        urb.status = -EPIPE; // stall: the device does not know the request
        return;
    }
    const std::size_t n = std::min<std::size_t>(answer->size(), length);
    if (n != 0) // an empty answer has no data to copy
        std::memcpy(urb.buffer->data + 8, answer->data(), n);
    urb.actualLength = int(n);
}

void UsbfsDevice::runBulkOut(Urb &urb)
{
    Bytes data;
    if (urb.buffer)
        data.assign(urb.buffer->data, urb.buffer->data + urb.bufferLength);
    urb.done = true;
    const std::size_t repliesBefore = model_.pendingReplies();
    if (model_.onBulkOut(data)) {
        // A query is taken at once and answered `latency_` later; any other frame (and a write of
        // a download) keeps its transfer in flight for that long, the time the printer takes to
        // act on it.
        if (model_.pendingReplies() > repliesBefore)
            repliesDueAt_ = Clock::now() + latency_;
        else
            urb.readyAt = Clock::now() + latency_;
        urb.actualLength = urb.bufferLength;
        if (model_.faults().unplugAfterWrites > 0 && model_.lastWriteCounts())
            --model_.faults().unplugAfterWrites;
    } else {
        urb.status = -EPROTO;
    }
}

bool UsbfsDevice::interfaceUsable(Client &client, const char *what)
{
    if (client.claimed)
        return true;
    violations_.push_back(std::string(what) + " on interface 0 without claiming it");
    if (!effectiveDriver().empty())
        return false;
    // usbfs claims a free interface on first use.
    client.claimed = true;
    driver_ = kUsbfs;
    return true;
}

void UsbfsDevice::deliverReplies()
{
    if (model_.hasReply() && Clock::now() < repliesDueAt_)
        return; // not answered yet: the timer delivers them
    while (model_.hasReply()) {
        Urb *target = nullptr;
        for (auto &client : clients_) {
            for (Urb &urb : client->urbs) {
                if (!urb.done && urb.type == USBDEVFS_URB_TYPE_BULK &&
                    urb.endpoint == kBulkInEndpoint) {
                    target = &urb;
                    break;
                }
            }
            if (target)
                break;
        }
        if (!target)
            return;
        bool overflow = false;
        const Bytes reply =
            model_.readReply(std::size_t(target->bufferLength), kMaxPacketSize, overflow);
        if (!reply.empty()) // a zero-length packet has no data to copy
            std::memcpy(target->buffer->data, reply.data(), reply.size());
        target->actualLength = int(reply.size());
        target->status = overflow ? -EOVERFLOW : 0;
        target->done = true;
    }
}

void UsbfsDevice::reapUrb(Client &client, UMockdevIoctlClient *ioctl)
{
    const Clock::time_point now = Clock::now();
    auto it = std::find_if(client.urbs.begin(), client.urbs.end(),
                           [now](const Urb &urb) { return urb.ready(now); });
    if (it == client.urbs.end()) {
        fail(ioctl, counters_.unplugged ? ENODEV : EAGAIN);
        return;
    }
    UMockdevIoctlData *pointer = resolveArg(ioctl, sizeof(void *));
    if (!pointer) {
        fail(ioctl, EFAULT);
        return;
    }
    Urb urb = *it;
    client.urbs.erase(it);
    auto *result = reinterpret_cast<usbdevfs_urb *>(urb.urb->data);
    result->status = urb.status;
    result->actual_length = urb.actualLength;
    // Point the caller's pointer at its own URB; completing flushes URB and buffer back.
    if (umockdev_ioctl_data_set_ptr(pointer, 0, urb.urb))
        succeed(ioctl);
    else
        fail(ioctl, EFAULT);
    g_object_unref(pointer);
    freeUrb(urb);
}

void UsbfsDevice::discardUrb(Client &client, UMockdevIoctlClient *ioctl)
{
    const unsigned long address = argValue(ioctl);
    const Clock::time_point now = Clock::now();
    for (Urb &urb : client.urbs) {
        // One whose answer is held back is still in flight for the host.
        if (!urb.ready(now) && urb.clientAddress == address) {
            urb.done = true;
            urb.readyAt = now;
            urb.status = -ENOENT;
            urb.actualLength = 0;
            ++counters_.discardedUrbs;
            succeed(ioctl);
            return;
        }
    }
    fail(ioctl, EINVAL);
}

int UsbfsDevice::claimLocked(Client &client)
{
    if (client.claimed)
        return 0;
    if (!effectiveDriver().empty())
        return EBUSY;
    client.claimed = true;
    driver_ = kUsbfs;
    ++counters_.claims;
    return 0;
}

void UsbfsDevice::claimInterface(Client &client, UMockdevIoctlClient *ioctl)
{
    UMockdevIoctlData *value = resolveArg(ioctl, sizeof(unsigned));
    if (!value) {
        fail(ioctl, EFAULT);
        return;
    }
    unsigned interface = 0;
    std::memcpy(&interface, value->data, sizeof interface);
    g_object_unref(value);
    const int error = interface >= 32 ? EINVAL : interface != 0 ? ENOENT : claimLocked(client);
    error ? fail(ioctl, error) : succeed(ioctl);
}

void UsbfsDevice::releaseInterface(Client &client, UMockdevIoctlClient *ioctl)
{
    UMockdevIoctlData *value = resolveArg(ioctl, sizeof(unsigned));
    if (!value) {
        fail(ioctl, EFAULT);
        return;
    }
    unsigned interface = 0;
    std::memcpy(&interface, value->data, sizeof interface);
    g_object_unref(value);
    if (interface != 0 || !client.claimed) {
        fail(ioctl, EINVAL);
        return;
    }
    // The interface is now free; no driver comes back until the host asks for one (CONNECT).
    client.claimed = false;
    driver_.clear();
    ++counters_.releases;
    succeed(ioctl);
}

void UsbfsDevice::disconnectClaim(Client &client, UMockdevIoctlClient *ioctl)
{
    UMockdevIoctlData *value = resolveArg(ioctl, sizeof(usbdevfs_disconnect_claim));
    if (!value) {
        fail(ioctl, EFAULT);
        return;
    }
    usbdevfs_disconnect_claim request;
    std::memcpy(&request, value->data, sizeof request);
    g_object_unref(value);
    ++counters_.disconnectClaims;
    if (request.interface != 0) {
        fail(ioctl, EINVAL);
        return;
    }
    const std::string bound = effectiveDriver();
    if (!bound.empty()) {
        const std::string named(request.driver, strnlen(request.driver, sizeof request.driver));
        if (((request.flags & USBDEVFS_DISCONNECT_CLAIM_IF_DRIVER) && named != bound) ||
            ((request.flags & USBDEVFS_DISCONNECT_CLAIM_EXCEPT_DRIVER) && named == bound) ||
            model_.faults().refuseClaim) {
            fail(ioctl, EBUSY);
            return;
        }
        for (auto &other : clients_)
            other->claimed = false;
        if (driver_ == kUsblp)
            ++counters_.driverDetaches;
        driver_.clear();
    }
    const int error = claimLocked(client);
    error ? fail(ioctl, error) : succeed(ioctl);
}

void UsbfsDevice::driverIoctl(Client &, UMockdevIoctlClient *ioctl)
{
    UMockdevIoctlData *value = resolveArg(ioctl, sizeof(usbdevfs_ioctl));
    if (!value) {
        fail(ioctl, EFAULT);
        return;
    }
    usbdevfs_ioctl request;
    std::memcpy(&request, value->data, sizeof request);
    g_object_unref(value);
    if (request.ifno != 0) {
        fail(ioctl, EINVAL);
        return;
    }
    const unsigned long code = unsigned(request.ioctl_code);
    if (code == USBDEVFS_DISCONNECT) {
        if (effectiveDriver().empty()) {
            fail(ioctl, ENODATA);
            return;
        }
        // A program that holds the interface elsewhere keeps it (the refuseClaim fault).
        if (!model_.faults().refuseClaim) {
            for (auto &other : clients_)
                other->claimed = false;
            if (driver_ == kUsblp)
                ++counters_.driverDetaches;
            driver_.clear();
            ++counters_.disconnects;
        }
        succeed(ioctl);
    } else if (code == USBDEVFS_CONNECT) {
        ++counters_.connects;
        if (!effectiveDriver().empty()) {
            fail(ioctl, EBUSY);
        } else if (printerClass_) {
            driver_ = kUsblp;
            ++counters_.driverRebinds;
            succeed(ioctl, 1); // a driver was bound
        } else {
            succeed(ioctl, 0); // no driver wants the interface
        }
    } else {
        fail(ioctl, ENOTTY);
    }
}

void UsbfsDevice::getDriver(UMockdevIoctlClient *ioctl)
{
    UMockdevIoctlData *value = resolveArg(ioctl, sizeof(usbdevfs_getdriver));
    if (!value) {
        fail(ioctl, EFAULT);
        return;
    }
    auto *request = reinterpret_cast<usbdevfs_getdriver *>(value->data);
    ++counters_.driverQueries;
    const std::string bound = effectiveDriver();
    if (request->interface != 0 || bound.empty()) {
        fail(ioctl, ENODATA);
    } else {
        std::memset(request->driver, 0, sizeof request->driver);
        std::memcpy(request->driver, bound.data(), bound.size());
        succeed(ioctl);
    }
    g_object_unref(value);
}

std::string UsbfsDevice::effectiveDriver() const
{
    return model_.faults().refuseClaim ? std::string(kUsbfs) : driver_;
}

void UsbfsDevice::setPullHandler(std::function<void()> handler)
{
    std::lock_guard<std::mutex> lock(mutex_);
    pullHandler_ = std::move(handler);
}

void UsbfsDevice::setRestartHandler(std::function<void()> handler)
{
    std::lock_guard<std::mutex> lock(mutex_);
    restartHandler_ = std::move(handler);
}

void UsbfsDevice::unplug()
{
    std::lock_guard<std::mutex> lock(mutex_);
    unplugLocked();
}

void UsbfsDevice::unplugLocked()
{
    if (counters_.unplugged)
        return;
    counters_.unplugged = true;
    for (auto &client : clients_) {
        client->claimed = false;
        const Clock::time_point now = Clock::now();
        for (Urb &urb : client->urbs) {
            if (!urb.ready(now)) {
                urb.done = true;
                urb.readyAt = now;
                urb.status = -ESHUTDOWN;
                urb.actualLength = 0;
            }
        }
    }
    driver_.clear();
    model_.discardReplies();
    // Gone from /dev and from sysfs: opening fails, the next enumeration does not list it.
    std::error_code ignored;
    std::filesystem::remove(rootDir_ + placement_.devicePath(), ignored);
    std::filesystem::remove_all(rootDir_ + placement_.sysfsPath(), ignored);
    std::filesystem::remove(rootDir_ + "/sys/bus/usb/devices/" + placement_.sysfsName, ignored);
    std::filesystem::remove(rootDir_ + "/sys/class/usb/" + placement_.sysfsName, ignored);
    updateFifo();
}

void UsbfsDevice::dropVanishedClients()
{
    for (auto it = clients_.begin(); it != clients_.end();) {
        Client &client = **it;
        if (umockdev_ioctl_client_get_connected(client.client)) {
            ++it;
            continue;
        }
        // Closing the descriptor releases its claim; the kernel binds no driver again.
        if (client.claimed) {
            violations_.push_back(
                "descriptor closed with interface 0 still claimed (not released)");
            driver_.clear();
        }
        for (Urb &urb : client.urbs)
            freeUrb(urb);
        g_object_unref(client.client);
        it = clients_.erase(it);
    }
    updateFifo();
    updateDriverLink();
}

void UsbfsDevice::waitForClosedClients(int waitMs)
{
    releaseFailedOpens();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            dropVanishedClients();
            if (activeClients() == 0)
                return;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

void UsbfsDevice::updateFifo()
{
    if (fifoFd_ < 0)
        return;
    // A reply that fell due since the caller last looked goes out now: left for the timer, a
    // deadline already past would be dropped below and the host would wait in vain.
    deliverReplies();
    const Clock::time_point now = Clock::now();
    scheduleWake(now);
    bool reapable = false;
    for (auto &client : clients_) {
        for (const Urb &urb : client->urbs)
            reapable = reapable || urb.ready(now);
    }
    if (reapable && fifoFull_) {
        char drain[64];
        while (read(fifoFd_, drain, sizeof drain) > 0) {
        }
        fifoFull_ = false;
    } else if (!reapable && !fifoFull_) {
        const char byte = 0;
        fifoFull_ = write(fifoFd_, &byte, 1) == 1;
    }
}

void UsbfsDevice::scheduleWake(Clock::time_point now)
{
    Clock::time_point next = Clock::time_point::max();
    for (auto &client : clients_) {
        for (const Urb &urb : client->urbs) {
            if (urb.done && urb.readyAt > now)
                next = std::min(next, urb.readyAt);
        }
    }
    if (model_.hasReply() && repliesDueAt_ > now)
        next = std::min(next, repliesDueAt_);
    if (next < wakeAt_ || wakeAt_ <= now) {
        wakeAt_ = next;
        timerWake_.notify_one();
    }
}

void UsbfsDevice::runTimer()
{
    std::unique_lock<std::mutex> lock(mutex_);
    while (!timerStopping_) {
        if (wakeAt_ == Clock::time_point::max())
            timerWake_.wait(lock);
        else
            timerWake_.wait_until(lock, wakeAt_);
        if (timerStopping_ || Clock::now() < wakeAt_)
            continue;
        wakeAt_ = Clock::time_point::max();
        deliverReplies();
        updateFifo(); // empties the FIFO for what is now reapable and sets the next wake
    }
}

void UsbfsDevice::stopTimer()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        timerStopping_ = true;
        timerWake_.notify_one();
    }
    if (timer_.joinable())
        timer_.join();
}

void UsbfsDevice::setLatency(std::chrono::milliseconds latency)
{
    std::lock_guard<std::mutex> lock(mutex_);
    latency_ = std::max(latency, std::chrono::milliseconds(0));
    if (latency_.count() > 0 && !timer_.joinable() && !timerStopping_)
        timer_ = std::thread([this] {
            pthread_setname_np(pthread_self(), "vprinter-timer"); // the emulation's, not the host's
            runTimer();
        });
}

std::chrono::milliseconds UsbfsDevice::latency()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return latency_;
}

bool UsbfsDevice::isUnplugged()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return counters_.unplugged;
}

void UsbfsDevice::linkInterface()
{
    std::lock_guard<std::mutex> lock(mutex_);
    interfaceLinked_ = true;
    linkedDriver_ = "-"; // no link yet
    updateDriverLink();
}

void UsbfsDevice::updateDriverLink()
{
    if (!interfaceLinked_ || counters_.unplugged)
        return;
    const std::string driver = effectiveDriver();
    if (driver == linkedDriver_)
        return;
    const std::string interface =
        rootDir_ + placement_.sysfsPath() + "/" + placement_.sysfsName + ":1.0";
    std::error_code ignored;
    std::filesystem::create_directories(interface, ignored);
    const std::string link = interface + "/driver";
    if (driver.empty()) {
        unlink(link.c_str());
    } else {
        const std::string next = link + ".next";
        unlink(next.c_str());
        if (symlink(("/sys/bus/usb/drivers/" + driver).c_str(), next.c_str()) == 0)
            rename(next.c_str(), link.c_str());
    }
    linkedDriver_ = driver;
}

void UsbfsDevice::setNodeOwner(unsigned uid, unsigned gid)
{
    std::lock_guard<std::mutex> lock(mutex_);
    ownerSet_ = true;
    ownerUid_ = uid;
    ownerGid_ = gid;
    applyNodeOwner();
}

void UsbfsDevice::setNodeAccessible(bool accessible)
{
    std::lock_guard<std::mutex> lock(mutex_);
    nodeAccessible_ = accessible;
    applyNodeOwner();
}

void UsbfsDevice::applyNodeOwner()
{
    if (!ownerSet_)
        return;
    // umockdev's socket for the node is plumbing, not the device: the user always reaches it.
    const std::string socket = rootDir_ + "/ioctl" + placement_.devicePath();
    if (chown(socket.c_str(), ownerUid_, ownerGid_) != 0 ||
        chown(fifoPath_.c_str(), nodeAccessible_ ? ownerUid_ : 0,
              nodeAccessible_ ? ownerGid_ : 0) != 0 ||
        chmod(fifoPath_.c_str(), 0600) != 0)
        violations_.push_back("cannot give the node to user " + std::to_string(ownerUid_) + ": " +
                              std::strerror(errno));
}

void UsbfsDevice::pointNode(const std::string &target)
{
    const std::string node = rootDir_ + placement_.devicePath();
    const std::string link = fifoPath_ + ".link";
    unlink(link.c_str());
    if (symlink(target.c_str(), link.c_str()) != 0 || rename(link.c_str(), node.c_str()) != 0)
        throw std::runtime_error("cannot replace " + node + ": " + std::strerror(errno));
}

void UsbfsDevice::withModel(const std::function<void(PrinterModel &)> &f)
{
    std::lock_guard<std::mutex> lock(mutex_);
    f(model_);
    const bool refuse = model_.faults().refuseOpen;
    if (refuse != nodeRefused_ && !counters_.unplugged) {
        pointNode(refuse ? kRefusedTarget : fifoPath_);
        nodeRefused_ = refuse;
    }
    deliverReplies(); // a test may have queued or changed something a waiting read can take
    updateFifo();
    updateDriverLink();
}

DeviceState UsbfsDevice::state(int waitMs)
{
    waitForClosedClients(waitMs);
    std::lock_guard<std::mutex> lock(mutex_);
    dropVanishedClients();
    DeviceState state = counters_;
    state.kernelDriver = effectiveDriver();
    state.openFds = activeClients();
    state.claimed = std::any_of(clients_.begin(), clients_.end(),
                                [](const auto &client) { return client->claimed; });
    return state;
}

std::vector<std::string> UsbfsDevice::violations(int waitMs)
{
    waitForClosedClients(waitMs);
    std::lock_guard<std::mutex> lock(mutex_);
    dropVanishedClients();
    std::vector<std::string> out = violations_;
    if (const int open = activeClients())
        out.push_back(std::to_string(open) + " file descriptor(s) still open on " +
                      placement_.devicePath());
    const bool claimed = std::any_of(clients_.begin(), clients_.end(),
                                     [](const auto &client) { return client->claimed; });
    if (claimed)
        out.push_back("interface 0 still claimed");
    if (printerClass_ && !counters_.unplugged && !claimed && driver_ != kUsblp)
        out.push_back("kernel driver usblp left detached from interface 0");
    return out;
}

void UsbfsDevice::freeUrb(Urb &urb)
{
    if (urb.buffer)
        g_object_unref(urb.buffer);
    if (urb.urb)
        g_object_unref(urb.urb);
    urb.buffer = nullptr;
    urb.urb = nullptr;
}

} // namespace vprinter
