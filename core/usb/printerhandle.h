#pragma once

struct libusb_context;
struct libusb_device;

// The open-printer record of one click. The caller allocates it; CDeviceIOOpera::GetPrinterHandle
// fills it and CDeviceIOOpera::ClosePrinterHandle releases what it holds.
struct PrinterHandle {
    unsigned char reserved[256] = {}; // only cleared on close
    libusb_device *pHandle = nullptr; // the matched printer, holding one device reference
    void *reservedFields[2] = {};     // unused
    int state = 0;                    // set to 0 on close
    libusb_context *context = nullptr;
    int vendorId = 0;
    int productId = 0;

    // Set by the first exchange of the click that found the kernel's printer driver (usblp) on
    // the interface and moved it aside. The driver stays aside for the rest of the click, so the
    // /dev/usb/lp node is not torn down and re-created around every exchange, and the later
    // exchanges do not ask for the driver again; ClosePrinterHandle gives the interface back to it.
    bool kernelDriverDetached = false;
    int detachedInterface = 0;

    // Set by the first exchange of the click that waited out its time-out: a printer that does
    // not answer one exchange is not asked again in this click, so that it costs one time-out,
    // not one for every exchange still to come. Every later exchange fails at once.
    bool notAnswering = false;

    // What is written through this record is not shown in the log, only its length: a download
    // writes the decrypted file.
    bool payloadNotLogged = false;
};
