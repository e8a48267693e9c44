#include "core/printers/printerlist.h"

#include "core/printers/modelkey.h"
#include "core/printers/supportedprinters.h"
#include "core/usb/deviceioopera.h"

#include <QFile>
#include <QObject>

#include <libusb.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <unistd.h>

namespace {

using SupportedBrand = supportedprinters::Brand;

static_assert(supportedprinters::kVendorId == CDeviceIOOpera::kPrinterVendorId,
              "the listed printers are the ones the transport opens");

constexpr int kProductStringSize = 256;

QString productString(libusb_device_handle *device, uint8_t index)
{
    unsigned char text[kProductStringSize] = {};
    const int length = libusb_get_string_descriptor_ascii(device, index, text, sizeof text);
    if (length <= 0)
        return {};
    return QString::fromLatin1(reinterpret_cast<const char *>(text), length);
}

// The kernel's view of a device, readable without opening it.
QString sysfsPath(const PrinterIdentity &identity)
{
    return QStringLiteral("/sys/bus/usb/devices/") + identity.path();
}

QString sysfsAttribute(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(file.read(kProductStringSize - 1)).trimmed();
}

// The driver holding the printer's interface 0: "usblp", "usbfs" (a program claimed it through
// the USB file system) or empty.
QString interfaceDriver(const PrinterIdentity &identity)
{
    const QString device = sysfsPath(identity);
    QString configuration = sysfsAttribute(device + QStringLiteral("/bConfigurationValue"));
    if (configuration.isEmpty())
        configuration = QStringLiteral("1");
    const QByteArray link = QStringLiteral("%1/%2:%3.0/driver")
                                .arg(device, identity.path(), configuration)
                                .toLocal8Bit();
    char target[512];
    const ssize_t length = readlink(link.constData(), target, sizeof target - 1);
    if (length <= 0)
        return {};
    return QString::fromLocal8Bit(target, int(length)).section(QLatin1Char('/'), -1);
}

std::optional<ListedPrinter> examine(libusb_device *device,
                                     const libusb_device_descriptor &descriptor,
                                     const SupportedBrand &entry)
{
    ListedPrinter printer{QString::fromLatin1(entry.brand),
                          {},
                          libusb_get_port_number(device),
                          descriptor.idVendor,
                          descriptor.idProduct,
                          PrinterIdentity::of(device)};
    printer.address = libusb_get_device_address(device);
    libusb_device_handle *handle = nullptr;
    const int opened = libusb_open(device, &handle);
    if (opened == LIBUSB_SUCCESS) {
        printer.product = productString(handle, descriptor.iProduct);
        libusb_close(handle);
        // Opening succeeds while another program holds the interface; a click would not.
        if (interfaceDriver(printer.identity) == QLatin1String("usbfs"))
            printer.access = PrinterAccess::InUse;
        return printer;
    }
    if (opened != LIBUSB_ERROR_ACCESS && opened != LIBUSB_ERROR_BUSY) {
        fprintf(stderr, "Open Device Failed\n");
        return std::nullopt; // gone meanwhile, or not a device we can tell anything about
    }
    printer.access =
        opened == LIBUSB_ERROR_ACCESS ? PrinterAccess::NoPermission : PrinterAccess::InUse;
    printer.product = sysfsAttribute(sysfsPath(printer.identity) + QStringLiteral("/product"));
    return printer;
}

const SupportedBrand *brandOf(const libusb_device_descriptor &descriptor)
{
    if (descriptor.idVendor != CDeviceIOOpera::kPrinterVendorId)
        return nullptr;
    return supportedprinters::brandOf(descriptor.idProduct);
}

} // namespace

QString accessName(PrinterAccess access)
{
    switch (access) {
    case PrinterAccess::NoPermission:
        return QStringLiteral("no-permission");
    case PrinterAccess::InUse:
        return QStringLiteral("in-use");
    case PrinterAccess::Ready:
        break;
    }
    return QStringLiteral("ready");
}

QString accessReason(PrinterAccess access)
{
    switch (access) {
    case PrinterAccess::NoPermission:
        return QObject::tr("没有打开权限");
    case PrinterAccess::InUse:
        return QObject::tr("正被其他程序使用");
    case PrinterAccess::Ready:
        break;
    }
    return {};
}

QString printerRowText(const QString &brand, const QString &product, int port)
{
    return QStringLiteral("%1 %2 USB00%3").arg(brand, product, QString::number(port));
}

QString ListedPrinter::rowText() const { return printerRowText(brand, product, port); }

ModelKey ListedPrinter::modelKey() const { return ModelKey::ofRow(rowText()); }

QString ListedPrinter::model() const { return modelKey().name(); }

QList<ListedPrinter> printersOfModel(const QList<ListedPrinter> &printers, const QString &model)
{
    QList<ListedPrinter> ofModel;
    for (const ListedPrinter &p : printers) {
        if (p.model() == model)
            ofModel << p;
    }
    return ofModel;
}

QString printerName(const QString &rowText, const PrinterIdentity &identity)
{
    if (!identity.isValid())
        return rowText;
    return QStringLiteral("%1 (USB %2)").arg(ModelKey::ofRow(rowText).name(), identity.path());
}

QStringList printerRows(const QList<ListedPrinter> &printers)
{
    QStringList rows;
    for (const ListedPrinter &printer : printers)
        rows << printer.rowText();
    const QStringList plain = rows;
    for (int i = 0; i < rows.size(); ++i) {
        if (plain.count(plain[i]) > 1)
            rows[i] += QStringLiteral(" (%1)").arg(printers[i].identity.path());
        if (!printers[i].isReady())
            rows[i] += QStringLiteral(" - ") + accessReason(printers[i].access);
    }
    return rows;
}

QStringList GetPrinterList() { return printerRows(listSupportedPrinters()); }

QList<ListedPrinter> listSupportedPrinters()
{
    libusb_context *context = nullptr;
    // Without a library context there is nothing to list (and nothing to end).
    if (libusb_init(&context) != LIBUSB_SUCCESS)
        return {};
    const QList<ListedPrinter> printers = listSupportedPrinters(context, {});
    libusb_exit(context);
    return printers;
}

QList<ListedPrinter> listSupportedPrinters(libusb_context *context,
                                           const QList<ListedPrinter> &known)
{
    QList<ListedPrinter> printers;
    libusb_device **devices = nullptr;
    const ssize_t count = libusb_get_device_list(context, &devices);
    for (ssize_t i = 0; i < count; ++i) {
        libusb_device_descriptor descriptor;
        if (libusb_get_device_descriptor(devices[i], &descriptor) != LIBUSB_SUCCESS)
            continue;
        const SupportedBrand *entry = brandOf(descriptor);
        if (!entry)
            continue;
        ListedPrinter plugged;
        plugged.identity = PrinterIdentity::of(devices[i]);
        plugged.address = libusb_get_device_address(devices[i]);
        const auto seen = std::find_if(known.begin(), known.end(), [&](const ListedPrinter &p) {
            return p.sameDevice(plugged);
        });
        if (seen != known.end())
            printers << *seen;
        else if (const std::optional<ListedPrinter> printer =
                     examine(devices[i], descriptor, *entry))
            printers << *printer;
    }
    if (devices)
        libusb_free_device_list(devices, 1);
    return printers;
}
