#include "printers/printerlist.h"

#include "printers/supportedprinters.h"
#include "usb/deviceioopera.h"

#include <libusb.h>

#include <cstdio>

namespace {

using supportedprinters::kBrands;
using SupportedBrand = supportedprinters::Brand;

static_assert(supportedprinters::kVendorId == CDeviceIOOpera::kPrinterVendorId,
              "the listed printers are the ones the transport opens");

constexpr int kProductStringSize = 256;

bool lists(const SupportedBrand &entry, uint16_t productId)
{
    for (uint16_t id : entry.productIds)
        if (id == productId)
            return true;
    return false;
}

QString productString(libusb_device_handle *device, uint8_t index)
{
    unsigned char text[kProductStringSize] = {};
    const int length = libusb_get_string_descriptor_ascii(device, index, text, sizeof text);
    if (length <= 0)
        return {};
    return QString::fromLatin1(reinterpret_cast<const char *>(text), length);
}

} // namespace

QString printerRowText(const QString &brand, const QString &product, int port)
{
    return QStringLiteral("%1 %2 USB00%3").arg(brand, product, QString::number(port));
}

QString ListedPrinter::rowText() const { return printerRowText(brand, product, port); }

QStringList printerRows(const QList<ListedPrinter> &printers)
{
    QStringList rows;
    for (const ListedPrinter &printer : printers)
        rows << printer.rowText();
    const QStringList plain = rows;
    for (int i = 0; i < rows.size(); ++i) {
        if (plain.count(plain[i]) > 1)
            rows[i] += QStringLiteral(" (%1)").arg(printers[i].identity.path());
    }
    return rows;
}

QStringList GetPrinterList() { return printerRows(listSupportedPrinters()); }

QList<ListedPrinter> listSupportedPrinters()
{
    QList<ListedPrinter> printers;
    // Without a library context there is nothing to list (and nothing to end).
    if (libusb_init(nullptr) != LIBUSB_SUCCESS)
        return printers;
    libusb_device **devices = nullptr;
    const ssize_t count = libusb_get_device_list(nullptr, &devices);
    for (ssize_t i = 0; i < count; ++i) {
        libusb_device_descriptor descriptor;
        if (libusb_get_device_descriptor(devices[i], &descriptor) != LIBUSB_SUCCESS)
            continue;
        for (const SupportedBrand &entry : kBrands) {
            if (!lists(entry, descriptor.idProduct) ||
                descriptor.idVendor != CDeviceIOOpera::kPrinterVendorId)
                continue;
            libusb_device_handle *device = nullptr;
            if (libusb_open(devices[i], &device) != LIBUSB_SUCCESS) {
                fprintf(stderr, "Open Device Failed\n");
                continue;
            }
            printers << ListedPrinter{QString::fromLatin1(entry.brand),
                                      productString(device, descriptor.iProduct),
                                      libusb_get_port_number(devices[i]),
                                      descriptor.idVendor,
                                      descriptor.idProduct,
                                      PrinterIdentity::of(devices[i])};
            libusb_close(device);
        }
    }
    if (devices)
        libusb_free_device_list(devices, 1);
    libusb_exit(nullptr);
    return printers;
}
