#pragma once

#include "sim/virtualusb.h"
#include "usb/deviceioopera.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTest>
#include <memory>

// A handle found by CDeviceIOOpera::GetPrinterHandle and closed when it goes out of scope.
struct FoundPrinter {
    FoundPrinter() = default;
    explicit FoundPrinter(int port) { result = CDeviceIOOpera::GetPrinterHandle(port, &handle); }
    explicit FoundPrinter(const PrinterIdentity &identity)
    {
        result = CDeviceIOOpera::GetPrinterHandle(identity, &handle);
    }
    ~FoundPrinter()
    {
        if (result == 0)
            CDeviceIOOpera::ClosePrinterHandle(&handle);
    }
    FoundPrinter(const FoundPrinter &) = delete;
    FoundPrinter &operator=(const FoundPrinter &) = delete;

    PrinterHandle handle;
    int result = -1;
};

// The fault switches with only the one of that name turned on ("cutRepliesTo=6" for the cut);
// a name that is no switch (the data rows also name faults of the host side) turns none on.
inline vprinter::Faults faultNamed(const QString &name)
{
    vprinter::Faults faults;
    if (name.startsWith(QLatin1String("cutRepliesTo=")))
        faults.cutRepliesTo = name.section('=', 1).toInt();
    faults.refuseOpen = name == "refuseOpen";
    faults.refuseClaim = name == "refuseClaim";
    faults.failNextWrite = name == "failNextWrite";
    faults.neverAnswer = name == "neverAnswer";
    faults.payload255 = name == "payload255";
    faults.stallStatus = name == "stallStatus";
    faults.shortStatus = name == "shortStatus";
    return faults;
}

inline QByteArray toQByteArray(const vprinter::Bytes &bytes)
{
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), int(bytes.size()));
}

inline vprinter::Bytes toBytes(const QByteArray &bytes)
{
    return vprinter::Bytes(bytes.begin(), bytes.end());
}

// Every frame a printer received, as hex text, for readable comparisons.
inline QStringList receivedFrames(const vprinter::VirtualPrinter &printer)
{
    QStringList frames;
    for (const vprinter::Bytes &bytes : printer.bulkOutLog())
        frames << QString::fromLatin1(toQByteArray(bytes).toHex(' ').toUpper());
    return frames;
}

// Fails the current test when the printers saw the transport misuse the device: an interface
// used without a claim, a claim or descriptor left behind, a kernel driver left detached.
inline void verifyNoViolations(const vprinter::VirtualUsb &usb)
{
    QStringList problems;
    for (const std::string &v : usb.violations())
        problems << QString::fromStdString(v);
    if (!problems.isEmpty())
        QTest::qFail(qPrintable(problems.join("; ")), __FILE__, __LINE__);
}
