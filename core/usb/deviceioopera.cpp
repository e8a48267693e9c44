#include "core/usb/deviceioopera.h"

#include "core/usb/usblog.h"

#include <libusb.h>

#include <QByteArray>
#include <cstdio>
#include <cstring>

Q_LOGGING_CATEGORY(lcUsb, "labelsetup.usb")

namespace {

constexpr uint8_t kVendorRequestType = 0xC1; // device to host, vendor, recipient interface
constexpr uint8_t kStatusRequest = 0xFF;
constexpr uint16_t kStatusLength = 4;
constexpr uint16_t kVendorReplyLength = 255;
constexpr int kVendorRequestAttempts = 4;
constexpr int kBulkTransfer = LIBUSB_TRANSFER_TYPE_BULK;

QString hex(const unsigned char *data, int length)
{
    return QString::fromLatin1(
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), qMax(length, 0)).toHex(' '));
}

// An opened device without any claim, for control requests.
class OpenedDevice
{
public:
    explicit OpenedDevice(libusb_device *device) : result_(libusb_open(device, &device_))
    {
        if (result_ != LIBUSB_SUCCESS)
            device_ = nullptr;
    }
    ~OpenedDevice()
    {
        if (device_)
            libusb_close(device_);
    }
    OpenedDevice(const OpenedDevice &) = delete;
    OpenedDevice &operator=(const OpenedDevice &) = delete;

    int result() const { return result_; }
    libusb_device_handle *get() const { return device_; }

private:
    libusb_device_handle *device_ = nullptr;
    int result_;
};

// The kernel's printer driver is moved aside by hand, once per click, and given back by
// ClosePrinterHandle. libusb's auto-detach would instead hand the interface over twice per
// exchange (and bind usblp even to a printer that had no driver before).
// True when the driver was moved aside.
bool detachKernelDriver(PrinterHandle *handle, libusb_device_handle *device, int interfaceNumber)
{
    const int r = libusb_detach_kernel_driver(device, interfaceNumber);
    if (r != LIBUSB_SUCCESS) {
        qCDebug(lcUsb, "libusb_detach_kernel_driver failed: %s", libusb_error_name(r));
        return false;
    }
    qCDebug(lcUsb, "kernel driver detached from interface %d until the printer is closed",
            interfaceNumber);
    handle->kernelDriverDetached = true;
    handle->detachedInterface = interfaceNumber;
    return true;
}

// One request to find the driver; true when one was bound and is now aside. "usbfs" (another
// program's claim) does not count as a driver.
bool moveKernelDriverAside(PrinterHandle *handle, libusb_device_handle *device, int interfaceNumber)
{
    return libusb_kernel_driver_active(device, interfaceNumber) == 1 &&
           detachKernelDriver(handle, device, interfaceNumber);
}

// A printer unplugged since the detach has nothing to give back: that is not an error.
void giveKernelDriverBack(libusb_device *device, int interfaceNumber)
{
    OpenedDevice opened(device);
    if (opened.result() != LIBUSB_SUCCESS) {
        qCDebug(lcUsb, "kernel driver not given back, libusb_open: %s",
                libusb_error_name(opened.result()));
        return;
    }
    const int r = libusb_attach_kernel_driver(opened.get(), interfaceNumber);
    if (r != LIBUSB_SUCCESS)
        qCDebug(lcUsb, "libusb_attach_kernel_driver: %s", libusb_error_name(r));
}

// An opened device with its claimed interface, released and closed on every way out.
class ClaimedInterface
{
public:
    enum class OnClaimFailure { DetachKernelDriver, JustClose };

    ClaimedInterface(PrinterHandle *handle, OnClaimFailure onClaimFailure)
    {
        if (!handle || !handle->pHandle) {
            qCDebug(lcUsb, "printer_handle == NULL or  printer_handle->pHandle == NULL");
            result_ = CDeviceIOOpera::kTransferFailed;
            return;
        }
        if (handle->notAnswering) {
            qCDebug(lcUsb, "not asked: the printer did not answer an earlier exchange");
            result_ = CDeviceIOOpera::kTransferFailed;
            return;
        }
        handle_ = handle;
        int interfaceNumber = 0;
        if (CDeviceIOOpera::GetUSBDevEndPoint(handle->pHandle, 0, interfaceNumber, in_, out_) !=
            0) {
            qCDebug(lcUsb, "Get Printer EndPoint falied");
            result_ = CDeviceIOOpera::kTransferFailed;
            return;
        }
        const int opened = libusb_open(handle->pHandle, &device_);
        if (opened != LIBUSB_SUCCESS) {
            qCDebug(lcUsb, "libusb_open fail (code=%d)(msg=%s).", opened,
                    libusb_error_name(opened));
            device_ = nullptr;
            result_ = CDeviceIOOpera::kOpenFailed;
            return;
        }
        // Once an exchange of this click has moved the driver aside, the later ones claim
        // straight away: asking for the driver in each of them costs a request per exchange, a
        // tenth of a query's time. Should it have been bound again meanwhile, the claim finds
        // the interface busy and it is moved aside once more.
        const bool movedAsideBefore = handle->kernelDriverDetached;
        if (!movedAsideBefore)
            moveKernelDriverAside(handle, device_, interfaceNumber);
        int claimed = libusb_claim_interface(device_, interfaceNumber);
        if (claimed == LIBUSB_ERROR_BUSY && movedAsideBefore &&
            moveKernelDriverAside(handle, device_, interfaceNumber))
            claimed = libusb_claim_interface(device_, interfaceNumber);
        if (claimed != LIBUSB_SUCCESS) {
            qCDebug(lcUsb, "libusb_claim_interface failed.\n");
            qCDebug(lcUsb, "libusb_claim_interface err is : %s", libusb_error_name(claimed));
            // Aside for the rest of the click like any other detach, not for good.
            if (onClaimFailure == OnClaimFailure::DetachKernelDriver)
                detachKernelDriver(handle, device_, interfaceNumber);
            libusb_close(device_);
            device_ = nullptr;
            result_ = CDeviceIOOpera::kOpenFailed;
            return;
        }
        interface_ = interfaceNumber;
        payloadLogged_ = !handle->payloadNotLogged;
    }

    ~ClaimedInterface()
    {
        if (!device_)
            return;
        libusb_release_interface(device_, interface_);
        libusb_close(device_);
    }

    ClaimedInterface(const ClaimedInterface &) = delete;
    ClaimedInterface &operator=(const ClaimedInterface &) = delete;

    int result() const { return result_; }

    // Writes the request to the bulk OUT endpoint; false on any libusb failure.
    bool write(const unsigned char *request, int length, unsigned int timeoutMs)
    {
        int written = 0;
        const int r = libusb_bulk_transfer(device_, out_, const_cast<unsigned char *>(request),
                                           length, &written, timeoutMs);
        qCDebug(lcUsb, "libusb_bulk_transfer write: %d %d\n", length, written);
        if (payloadLogged_)
            qCDebug(lcUsb).noquote() << "out:" << hex(request, length);
        if (r != LIBUSB_SUCCESS) {
            qCDebug(lcUsb, "libusb_bulk_transfer write failed: %s\n", libusb_error_name(r));
            noteTimeOut(r);
            return false;
        }
        return true;
    }

    // Reads up to `length` bytes from the bulk IN endpoint into `buffer` and their count into
    // `received`; false on any libusb failure.
    bool read(unsigned char *buffer, int length, int &received, unsigned int timeoutMs)
    {
        received = 0;
        const int r = libusb_bulk_transfer(device_, in_, buffer, length, &received, timeoutMs);
        if (r != LIBUSB_SUCCESS) {
            qCDebug(lcUsb, "libusb_bulk_transfer read failed: %s\n", libusb_error_name(r));
            noteTimeOut(r);
            return false;
        }
        qCDebug(lcUsb).noquote() << "in:" << hex(buffer, received);
        return true;
    }

private:
    void noteTimeOut(int r)
    {
        if (r == LIBUSB_ERROR_TIMEOUT)
            handle_->notAnswering = true;
    }

    PrinterHandle *handle_ = nullptr;
    libusb_device_handle *device_ = nullptr;
    int interface_ = 0;
    bool payloadLogged_ = true;
    unsigned char in_ = 0;
    unsigned char out_ = 0;
    int result_ = CDeviceIOOpera::kOk;
};

} // namespace

namespace {

// Finds the one printer of our vendor for which `matches` holds and takes a reference to it.
// 0 when exactly one does, -1 when none, kAmbiguous when several do (nothing is kept then: a
// click must never reach a printer it did not name).
template <typename Match>
int findPrinter(PrinterHandle *handle, libusb_device **devices, int count, Match matches)
{
    if (!handle || !devices || count <= 0)
        return -1;
    libusb_device *found = nullptr;
    int matched = 0;
    for (int i = 0; i < count; ++i) {
        libusb_device_descriptor descriptor;
        if (libusb_get_device_descriptor(devices[i], &descriptor) != LIBUSB_SUCCESS) {
            fprintf(stderr, "Get Device Descriptor Failed");
            continue;
        }
        if (descriptor.idVendor != CDeviceIOOpera::kPrinterVendorId || !matches(devices[i]))
            continue;
        ++matched;
        found = devices[i];
        handle->vendorId = descriptor.idVendor;
        handle->productId = descriptor.idProduct;
    }
    if (matched == 0)
        return -1;
    if (matched > 1) {
        handle->vendorId = handle->productId = 0;
        return CDeviceIOOpera::kAmbiguous;
    }
    handle->pHandle = libusb_ref_device(found);
    return 0;
}

template <typename Find> int openContextAndFind(PrinterHandle *handle, Find find)
{
    if (!handle)
        return -1;
    const int initialised = libusb_init(&handle->context);
    if (initialised != LIBUSB_SUCCESS) {
        handle->context = nullptr;
        return initialised;
    }
    libusb_device **devices = nullptr;
    const ssize_t count = libusb_get_device_list(handle->context, &devices);
    const int found = count > 0 ? find(devices, int(count)) : -1;
    if (devices)
        libusb_free_device_list(devices, 1);
    if (found != 0) {
        libusb_exit(handle->context);
        handle->context = nullptr;
        return found == CDeviceIOOpera::kAmbiguous ? found : -1;
    }
    return 0;
}

} // namespace

int CDeviceIOOpera::GetPrinterHandle(int port, PrinterHandle *handle)
{
    return openContextAndFind(handle, [&](libusb_device **devices, int count) {
        return FindPrinterDevOrder(port, handle, devices, count);
    });
}

int CDeviceIOOpera::GetPrinterHandle(const PrinterIdentity &identity, PrinterHandle *handle)
{
    if (!identity.isValid())
        return -1;
    return openContextAndFind(handle, [&](libusb_device **devices, int count) {
        return findPrinter(handle, devices, count, [&](libusb_device *device) {
            return PrinterIdentity::of(device) == identity;
        });
    });
}

int CDeviceIOOpera::FindPrinterDevOrder(int port, PrinterHandle *handle, libusb_device **devices,
                                        int count)
{
    // A port number is unique only among the ports of one hub: two printers on port 4 of
    // different hubs both match, and then neither is taken.
    return findPrinter(handle, devices, count, [port](libusb_device *device) {
        return libusb_get_port_number(device) == port;
    });
}

void CDeviceIOOpera::ClosePrinterHandle(PrinterHandle *handle)
{
    if (!handle)
        return;
    std::memset(handle->reserved, 0, sizeof handle->reserved - 1);
    // Needs the device reference and the context, so before either is dropped.
    if (handle->kernelDriverDetached && handle->pHandle)
        giveKernelDriverBack(handle->pHandle, handle->detachedInterface);
    handle->kernelDriverDetached = false;
    handle->detachedInterface = 0;
    if (handle->pHandle) {
        libusb_unref_device(handle->pHandle);
        handle->pHandle = nullptr;
    }
    handle->state = 0;
    handle->notAnswering = false;
    if (handle->context) {
        libusb_exit(handle->context);
        handle->context = nullptr;
    }
}

int CDeviceIOOpera::GetUSBDevEndPoint(libusb_device *device, int interfaceSelector,
                                      int &interfaceNumber, unsigned char &inEndpoint,
                                      unsigned char &outEndpoint)
{
    libusb_config_descriptor *config = nullptr;
    const int r = libusb_get_config_descriptor(device, 0, &config);
    if (r != LIBUSB_SUCCESS) {
        fprintf(stderr, "libusb_get_config_descriptor failed: %s\n", libusb_error_name(r));
        return r;
    }
    for (int i = 0; i < config->bNumInterfaces; ++i) {
        const libusb_interface &interface = config->interface[i];
        if (interface.num_altsetting < 1 ||
            interface.altsetting[0].iInterface != interfaceSelector) {
            fprintf(stderr, "interface %d: not the selected interface\n", i);
            continue;
        }
        for (int a = 0; a < interface.num_altsetting; ++a) {
            const libusb_interface_descriptor &setting = interface.altsetting[a];
            if (setting.iInterface != interfaceSelector) {
                fprintf(stderr, "interface %d setting %d: not the selected interface\n", i, a);
                continue;
            }
            for (int e = 0; e < setting.bNumEndpoints; ++e) {
                const libusb_endpoint_descriptor &endpoint = setting.endpoint[e];
                interfaceNumber = setting.bInterfaceNumber;
                if ((endpoint.bmAttributes & 3) != kBulkTransfer)
                    continue;
                if (endpoint.bEndpointAddress & LIBUSB_ENDPOINT_IN)
                    inEndpoint = endpoint.bEndpointAddress;
                else
                    outEndpoint = endpoint.bEndpointAddress;
            }
        }
    }
    libusb_free_config_descriptor(config);
    return 0;
}

int CDeviceIOOpera::PrinterDataIOSwap(PrinterHandle *handle, const unsigned char *request,
                                      int requestLength, unsigned char *reply, int &replyLength)
{
    unsigned char local[kReplyLength] = {};
    ClaimedInterface printer(handle, ClaimedInterface::OnClaimFailure::DetachKernelDriver);
    if (printer.result() != kOk)
        return printer.result();
    if (!printer.write(request, requestLength, kQueryTimeoutMs))
        return kTransferFailed;
    if (!reply)
        return kOk;
    int received = 0;
    if (!printer.read(local, kReplyLength, received, kQueryTimeoutMs))
        return kTransferFailed;
    // What arrived, then zeros, and how much arrived: a reply cut short must not pass for a
    // whole one.
    std::memcpy(reply, local, kReplyLength);
    replyLength = received;
    return kOk;
}

int CDeviceIOOpera::PrinterDataIOButton(PrinterHandle *handle, const unsigned char *request,
                                        int requestLength, unsigned char *, int &)
{
    ClaimedInterface printer(handle, ClaimedInterface::OnClaimFailure::JustClose);
    if (printer.result() != kOk)
        return printer.result();
    return printer.write(request, requestLength, kCommandTimeoutMs) ? kOk : kTransferFailed;
}

int CDeviceIOOpera::PrinterDeviceIOControl(PrinterHandle *handle, const char *requestDescriptor,
                                           int, char *reply, int &replyLength)
{
    if (!handle || !handle->pHandle || !requestDescriptor || !reply || handle->notAnswering)
        return -1;
    const auto byte = [requestDescriptor](int i) { return uint8_t(requestDescriptor[i]); };
    const uint8_t request = byte(0);
    const uint16_t value = uint16_t(byte(1) | byte(2) << 8);
    const uint16_t index = uint16_t(byte(3) | byte(4) << 8);

    OpenedDevice device(handle->pHandle);
    if (device.result() != LIBUSB_SUCCESS)
        return -1;
    // The first attempt succeeds with any byte count; a retry needs bytes, except the last one.
    for (int attempt = 0; attempt < kVendorRequestAttempts; ++attempt) {
        const int r = libusb_control_transfer(device.get(), kVendorRequestType, request, value,
                                              index, reinterpret_cast<unsigned char *>(reply),
                                              kVendorReplyLength, kVendorRequestTimeoutMs);
        const bool first = attempt == 0;
        const bool last = attempt == kVendorRequestAttempts - 1;
        if (r > 0 || (r == 0 && (first || last))) {
            replyLength = r;
            return 0;
        }
        if (r == LIBUSB_ERROR_TIMEOUT) {
            handle->notAnswering = true;
            break;
        }
    }
    return -1;
}

int CDeviceIOOpera::ReadFromControlEndpoint(PrinterHandle *handle, unsigned char *reply,
                                            int &replyLength)
{
    if (!handle || !handle->pHandle || !reply) {
        fprintf(stderr, "Invalid printer handle\n");
        return -1;
    }
    if (handle->notAnswering)
        return LIBUSB_ERROR_TIMEOUT;
    OpenedDevice device(handle->pHandle);
    if (device.result() != LIBUSB_SUCCESS) {
        fprintf(stderr, "libusb_open fail (code=%d)(msg=%s)\n", device.result(),
                libusb_error_name(device.result()));
        return device.result();
    }
    const int r = libusb_control_transfer(device.get(), kVendorRequestType, kStatusRequest, 0, 0,
                                          reply, kStatusLength, kStatusTimeoutMs);
    if (r < 0) {
        fprintf(stderr, "Control transfer failed: %s\n", libusb_error_name(r));
        if (r == LIBUSB_ERROR_TIMEOUT)
            handle->notAnswering = true;
        return r;
    }
    replyLength = r;
    qCDebug(lcUsb).noquote() << "status:" << hex(reply, r);
    return 0;
}
