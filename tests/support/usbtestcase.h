#pragma once

#include "tests/support/usbfixture.h"

#include <QObject>
#include <optional>

// A test class whose every test function starts with a fresh set of virtual USB devices and ends
// with the device-side checks: no interface used unclaimed, no claim or descriptor left behind.
class UsbTestCase : public QObject
{
    Q_OBJECT
protected:
    std::optional<vprinter::VirtualUsb> usb;

private slots:
    void init() { usb.emplace(); }
    void cleanup()
    {
        verifyNoViolations(*usb);
        usb.reset();
    }
};
