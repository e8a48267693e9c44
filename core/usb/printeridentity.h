#pragma once

#include <QMetaType>
#include <QString>
#include <QVector>

#include <cstdint>
#include <optional>

struct libusb_device;

// Which printer: its bus and the port numbers from the root hub down, as libusb gives them. A
// port number alone names no printer (it is unique only among the ports of one hub); the path is
// the same for as long as the printer stays in that socket, unplugs and re-plugs included, while
// the device address changes on every plug.
struct PrinterIdentity {
    int bus = 0;
    QVector<std::uint8_t> ports; // root hub's port first; empty: no printer

    bool isValid() const { return bus > 0 && !ports.isEmpty(); }
    // The port the printer itself is plugged into (the last number of the path).
    int port() const { return ports.isEmpty() ? 0 : ports.last(); }
    // "1-2.4": bus 1, port 2 of the root hub, port 4 of the hub behind it (the kernel's name).
    QString path() const;
    // The ports alone: "2.4".
    QString portPath() const;

    static PrinterIdentity of(libusb_device *device);
    // "1-2.4" (bus and ports); nothing when the text is not such a path.
    static std::optional<PrinterIdentity> parse(const QString &text);

    bool operator==(const PrinterIdentity &other) const
    {
        return bus == other.bus && ports == other.ports;
    }
    bool operator!=(const PrinterIdentity &other) const { return !(*this == other); }
};

Q_DECLARE_METATYPE(PrinterIdentity)
