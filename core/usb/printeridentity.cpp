#include "core/usb/printeridentity.h"

#include <QStringList>

#include <libusb.h>

QString PrinterIdentity::portPath() const
{
    QStringList numbers;
    for (std::uint8_t port : ports)
        numbers << QString::number(port);
    return numbers.join(QLatin1Char('.'));
}

QString PrinterIdentity::path() const { return QStringLiteral("%1-%2").arg(bus).arg(portPath()); }

PrinterIdentity PrinterIdentity::of(libusb_device *device)
{
    PrinterIdentity identity;
    // USB 3 allows seven tiers: at most seven port numbers from the root hub.
    std::uint8_t numbers[7] = {};
    const int count = libusb_get_port_numbers(device, numbers, int(sizeof numbers));
    if (count <= 0)
        return identity;
    identity.bus = libusb_get_bus_number(device);
    for (int i = 0; i < count; ++i)
        identity.ports << numbers[i];
    return identity;
}

std::optional<PrinterIdentity> PrinterIdentity::parse(const QString &text)
{
    const int dash = text.indexOf(QLatin1Char('-'));
    if (dash <= 0)
        return std::nullopt;
    auto number = [](const QString &part, int max) -> int {
        bool ok = false;
        const int value = part.toInt(&ok);
        // Digits only: no sign, no blank, no leading "+".
        for (QChar c : part)
            if (!c.isDigit())
                return 0;
        return ok && value >= 1 && value <= max ? value : 0;
    };
    PrinterIdentity identity;
    identity.bus = number(text.left(dash), 255);
    const QStringList parts = text.mid(dash + 1).split(QLatin1Char('.'));
    if (!identity.bus || parts.size() > 7)
        return std::nullopt;
    for (const QString &part : parts) {
        const int port = number(part, 255);
        if (!port)
            return std::nullopt;
        identity.ports << std::uint8_t(port);
    }
    return identity;
}
