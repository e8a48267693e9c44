#pragma once

#include "core/usb/printerhandle.h"
#include "core/usb/printeridentity.h"

// The only way to the printer. Static operations over a caller-owned PrinterHandle; every exchange
// opens the device, claims its interface, transfers, releases and closes again. The kernel's
// printer driver is moved aside by the first exchange that finds it bound and stays aside until
// ClosePrinterHandle, so a click hands the interface over at most twice however many exchanges
// it makes.
class CDeviceIOOpera
{
public:
    // Result codes of the exchanges.
    static constexpr int kOk = 0;
    static constexpr int kTransferFailed = 4; // bad record, no endpoint, transfer failure
    static constexpr int kOpenFailed = 5;     // the device could not be opened or claimed

    static constexpr int kPrinterVendorId = 0x5C1E;
    static constexpr int kReplyLength = 264;
    static constexpr unsigned int kQueryTimeoutMs = 3000;
    static constexpr unsigned int kCommandTimeoutMs = 300000;
    static constexpr unsigned int kStatusTimeoutMs = 5000;
    static constexpr unsigned int kVendorRequestTimeoutMs = 2000;

    CDeviceIOOpera() = delete;

    // Several printers answer to one port number (behind different hubs).
    static constexpr int kAmbiguous = -2;

    // 0 when one printer is at that port; -1 when none is (or no USB devices at all);
    // kAmbiguous when several are, and then none is opened; a negative libusb error code when no
    // library context can be created.
    static int GetPrinterHandle(int port, PrinterHandle *handle);
    // The printer with that bus and port path; 0 or -1 (or a libusb error) as above.
    static int GetPrinterHandle(const PrinterIdentity &identity, PrinterHandle *handle);
    // The same on a context the caller keeps (and ends after the last record is closed), so that
    // many records used side by side on their own threads share one library context: 0 or -1.
    static int GetPrinterHandle(libusb_context *shared, const PrinterIdentity &identity,
                                PrinterHandle *handle);
    static int FindPrinterDevOrder(int port, PrinterHandle *handle, libusb_device **devices,
                                   int count);
    // Ends the click (or the download): gives the interface back to the kernel's printer driver
    // when an exchange of this record moved it aside (quietly nothing when the printer has been
    // unplugged), then drops the device reference and the library context. Call it exactly once
    // per successful GetPrinterHandle, on every way out.
    static void ClosePrinterHandle(PrinterHandle *handle);
    static int GetUSBDevEndPoint(libusb_device *device, int interfaceSelector, int &interfaceNumber,
                                 unsigned char &inEndpoint, unsigned char &outEndpoint);

    // Query exchange: write the request, read up to 264 bytes back. A null reply buffer makes it
    // a plain write. The reply buffer must hold 264 bytes: it receives what arrived followed by
    // zeros, and replyLength the number of bytes that arrived.
    static int PrinterDataIOSwap(PrinterHandle *handle, const unsigned char *request,
                                 int requestLength, unsigned char *reply, int &replyLength);
    // Command exchange: write only. The last two arguments are not used.
    static int PrinterDataIOButton(PrinterHandle *handle, const unsigned char *request,
                                   int requestLength, unsigned char *reply, int &replyLength);
    // General vendor request (bmRequestType 0xC1); the descriptor is bRequest, wValue (LE),
    // wIndex (LE). The reply buffer must hold 255 bytes. 0 on success, -1 on failure.
    static int PrinterDeviceIOControl(PrinterHandle *handle, const char *requestDescriptor, int,
                                      char *reply, int &replyLength);
    // The printer's status word: vendor request 0xC1/0xFF, four bytes, no interface claimed.
    // 0 on success, -1 for a bad record, else the libusb error code.
    static int ReadFromControlEndpoint(PrinterHandle *handle, unsigned char *reply,
                                       int &replyLength);
};
