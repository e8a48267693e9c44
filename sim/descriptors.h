// USB descriptors of the virtual devices and the sysfs record that umockdev turns into a device.
#pragma once

#include "printermodel.h"

#include <cstdint>
#include <string>

namespace vprinter {

constexpr std::uint8_t kBulkOutEndpoint = 0x01;
constexpr std::uint8_t kBulkInEndpoint = 0x81;
constexpr std::uint16_t kMaxPacketSize = 64;
constexpr std::uint8_t kPrinterClass = 0x07;
constexpr std::uint8_t kVendorSpecificClass = 0xFF;
constexpr std::uint8_t kHubClass = 0x09; // no printer driver; nothing of ours opens it

// String descriptor indexes of the device descriptor.
enum StringIndex : std::uint8_t { ManufacturerString = 1, ProductString = 2, SerialString = 3 };

struct UsbDescription {
    Identity identity;
    std::uint8_t interfaceClass = kPrinterClass;
};

// The 18-byte device descriptor.
Bytes deviceDescriptor(const UsbDescription &description);
// The whole first configuration: one interface (number 0, iInterface 0) with a bulk OUT and a
// bulk IN endpoint.
Bytes configurationDescriptor(const UsbDescription &description);
// A string descriptor of an ASCII text (UTF-16LE, at most 126 characters), truncated to
// maxLength; string 0 is the language table (US English).
Bytes stringDescriptor(const std::string &text, std::uint16_t maxLength);
Bytes languageTable(std::uint16_t maxLength);

// Where a device sits: its sysfs name ("1-3", "1-2.4") gives bus and port.
struct Placement {
    std::string sysfsName;
    int bus = 1;
    int port = 0;
    int deviceAddress = 0;
    std::string sysfsPath() const;  // /sys/devices/usb1/1-2/1-2.4
    std::string devicePath() const; // /dev/bus/usb/001/005
};

// Parses a sysfs name of the form <bus>-<port>[.<port>...]; false when it is not one.
bool parsePlacement(const std::string &sysfsName, Placement &placement);

// The umockdev_testbed_add_from_string record of one device. Adding it announces the device (an
// "add" uevent), so its node must be ready before.
std::string sysfsRecord(const UsbDescription &description, const Placement &placement);

} // namespace vprinter
