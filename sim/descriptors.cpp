#include "descriptors.h"

#include <cstdio>

namespace vprinter {

namespace {

std::uint8_t lo(std::uint16_t value) { return std::uint8_t(value & 0xFF); }
std::uint8_t hi(std::uint16_t value) { return std::uint8_t(value >> 8); }

Bytes truncated(Bytes bytes, std::uint16_t maxLength)
{
    if (bytes.size() > maxLength)
        bytes.resize(maxLength);
    return bytes;
}

std::string hexString(const Bytes &bytes)
{
    std::string out;
    char digits[3];
    for (std::uint8_t byte : bytes) {
        std::snprintf(digits, sizeof digits, "%02X", byte);
        out += digits;
    }
    return out;
}

std::string format(const char *pattern, int a, int b = 0)
{
    char text[64];
    std::snprintf(text, sizeof text, pattern, a, b);
    return text;
}

} // namespace

Bytes deviceDescriptor(const UsbDescription &description)
{
    const Identity &id = description.identity;
    return {18,
            0x01, // DEVICE
            0x00,
            0x02, // USB 2.0
            0x00,
            0x00,
            0x00, // class given by the interface
            std::uint8_t(kMaxPacketSize),
            lo(id.vendorId),
            hi(id.vendorId),
            lo(id.productId),
            hi(id.productId),
            0x00,
            0x01, // bcdDevice 1.00
            ManufacturerString,
            ProductString,
            SerialString,
            1}; // one configuration
}

Bytes configurationDescriptor(const UsbDescription &description)
{
    const bool printer = description.interfaceClass == kPrinterClass;
    const std::uint16_t totalLength = 9 + 9 + 7 + 7;
    return {9, 0x02, lo(totalLength), hi(totalLength),
            1,    // one interface
            1,    // bConfigurationValue
            0,    // no configuration string
            0xC0, // self-powered
            50,   // 100 mA
            // interface 0, alternate setting 0, two endpoints, iInterface 0
            9, 0x04, 0, 0, 2, description.interfaceClass, std::uint8_t(printer ? 0x01 : 0x00),
            std::uint8_t(printer ? 0x02 : 0x00), 0,
            // bulk OUT, bulk IN
            7, 0x05, kBulkOutEndpoint, 0x02, lo(kMaxPacketSize), hi(kMaxPacketSize), 0, 7, 0x05,
            kBulkInEndpoint, 0x02, lo(kMaxPacketSize), hi(kMaxPacketSize), 0};
}

Bytes stringDescriptor(const std::string &text, std::uint16_t maxLength)
{
    // bLength is one byte: at most 126 UTF-16 units fit. The texts are ASCII.
    const std::size_t units = text.size() < 126 ? text.size() : 126;
    Bytes out = {std::uint8_t(2 + 2 * units), 0x03};
    for (std::size_t i = 0; i < units; ++i) {
        out.push_back(std::uint8_t(text[i]));
        out.push_back(0);
    }
    return truncated(out, maxLength);
}

Bytes languageTable(std::uint16_t maxLength) { return truncated({4, 0x03, 0x09, 0x04}, maxLength); }

bool parsePlacement(const std::string &sysfsName, Placement &placement)
{
    const std::size_t dash = sysfsName.find('-');
    if (dash == 0 || dash == std::string::npos || dash + 1 >= sysfsName.size())
        return false;
    int bus = 0;
    for (std::size_t i = 0; i < dash; ++i) {
        if (sysfsName[i] < '0' || sysfsName[i] > '9')
            return false;
        bus = bus * 10 + (sysfsName[i] - '0');
    }
    int port = 0;
    bool digitSeen = false;
    for (std::size_t i = dash + 1; i < sysfsName.size(); ++i) {
        const char c = sysfsName[i];
        if (c == '.') {
            if (!digitSeen)
                return false;
            port = 0;
            digitSeen = false;
        } else if (c >= '0' && c <= '9') {
            port = port * 10 + (c - '0');
            digitSeen = true;
        } else {
            return false;
        }
    }
    if (!digitSeen || bus < 1 || bus > 255 || port < 1 || port > 255)
        return false;
    placement.sysfsName = sysfsName;
    placement.bus = bus;
    placement.port = port;
    return true;
}

std::string Placement::sysfsPath() const
{
    // Every hub on the way is a directory level: 1-2.4 lives in 1-2.
    std::string path = format("/sys/devices/usb%d", bus);
    for (std::size_t dot = sysfsName.find('.'); dot != std::string::npos;
         dot = sysfsName.find('.', dot + 1))
        path += "/" + sysfsName.substr(0, dot);
    return path + "/" + sysfsName;
}

std::string Placement::devicePath() const
{
    return format("/dev/bus/usb/%03d/%03d", bus, deviceAddress);
}

std::string sysfsRecord(const UsbDescription &description, const Placement &placement)
{
    Bytes descriptors = deviceDescriptor(description);
    const Bytes configuration = configurationDescriptor(description);
    descriptors.insert(descriptors.end(), configuration.begin(), configuration.end());
    const Identity &id = description.identity;
    char ids[32];
    std::snprintf(ids, sizeof ids, "%04x/%x/100", id.vendorId, id.productId);

    std::string record;
    record += "P: " + placement.sysfsPath().substr(4) + "\n";
    // No "N:" line: that would make umockdev replace the node the device made (see
    // UsbfsDevice::attach) with a plain file.
    record += "E: SUBSYSTEM=usb\n";
    record += "E: DEVTYPE=usb_device\n";
    record += "E: DEVNAME=" + placement.devicePath() + "\n";
    record += format("E: BUSNUM=%03d\n", placement.bus);
    record += format("E: DEVNUM=%03d\n", placement.deviceAddress);
    record += std::string("E: PRODUCT=") + ids + "\n";
    record += format("A: busnum=%d\\n\n", placement.bus);
    record += format("A: devnum=%d\\n\n", placement.deviceAddress);
    record += "A: speed=12\\n\n";
    record += "A: bConfigurationValue=1\\n\n";
    // What the kernel read at enumeration; readable by every user without opening the device.
    char hexIds[16];
    std::snprintf(hexIds, sizeof hexIds, "%04x", id.vendorId);
    record += std::string("A: idVendor=") + hexIds + "\\n\n";
    std::snprintf(hexIds, sizeof hexIds, "%04x", id.productId);
    record += std::string("A: idProduct=") + hexIds + "\\n\n";
    if (!id.brand.empty())
        record += "A: manufacturer=" + id.brand + "\\n\n";
    if (id.productReadable && !id.product.empty())
        record += "A: product=" + id.product + "\\n\n";
    record += "H: descriptors=" + hexString(descriptors) + "\n";
    return record;
}

} // namespace vprinter
