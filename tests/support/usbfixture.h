#pragma once

#include "sim/virtualusb.h"
#include "tests/support/waits.h"
#include "core/usb/deviceioopera.h"

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

// The set frames (class 01) a printer received and the button code 06 that closes a write: what a
// write sends, and nothing that only reads.
inline QStringList setFrames(const vprinter::VirtualPrinter &printer)
{
    QStringList frames;
    for (const QString &f : receivedFrames(printer)) {
        if (f.startsWith("1B FF FE 01") || f == "1B FF FE 00 06 00 1B FE FF")
            frames << f;
    }
    return frames;
}

// Fails the current test when the printers saw the transport misuse the device: an interface
// used without a claim, a claim or descriptor left behind, a kernel driver left detached. A
// descriptor just closed counts as closed however long the printer takes to notice.
inline void verifyNoViolations(const vprinter::VirtualUsb &usb)
{
    QStringList problems;
    for (const std::string &v : usb.violations(kEventTimeoutMs))
        problems << QString::fromStdString(v);
    if (!problems.isEmpty())
        QTest::qFail(qPrintable(problems.join("; ")), __FILE__, __LINE__);
}
