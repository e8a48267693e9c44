#pragma once

#include "core/printers/modelkey.h"
#include "core/usb/printeridentity.h"

#include <QStringList>

#include <QList>
#include <cstdint>

struct libusb_context;

// Whether the tool can talk to a listed printer.
enum class PrinterAccess {
    Ready,        // opened for the listing; a click may use it
    NoPermission, // the device node may not be opened by this user
    InUse,        // another program holds the printer's interface
};

// A supported printer plugged in.
struct ListedPrinter {
    QString brand;
    QString product; // the iProduct string (from sysfs when it cannot be opened); may be empty
    int port = 0;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    PrinterIdentity identity; // bus and port path: what every click addresses it by
    PrinterAccess access = PrinterAccess::Ready;
    int address = 0; // the device address on its bus: new on every plug

    QString rowText() const;
    // The model as the row names it.
    ModelKey modelKey() const;
    // The model as profiles name it: "<brand> <product>".
    QString model() const;
    bool isReady() const { return access == PrinterAccess::Ready; }
    // The same plugged-in device: same path and not re-plugged since.
    bool sameDevice(const ListedPrinter &other) const
    {
        return identity == other.identity && address == other.address;
    }
};

// Those of `printers` whose model() is `model`, in their order.
QList<ListedPrinter> printersOfModel(const QList<ListedPrinter> &printers, const QString &model);

// "ready", "no-permission", "in-use": the state as scripts read it.
QString accessName(PrinterAccess access);
// Why the printer cannot be used, in the user's language; empty for a ready printer.
QString accessReason(PrinterAccess access);

// The rows of these printers, in their order: each printer's row text, followed by its USB path
// where another printer's row would read the same ("Orbeck VS-608K USB004 (1-2.4)"), and by the
// reason for a printer that cannot be used.
QStringList printerRows(const QList<ListedPrinter> &printers);

// Every supported printer plugged in, in discovery order, also those that cannot be opened.
QList<ListedPrinter> listSupportedPrinters();

// The supported printers `context` knows now, in its order. A printer in `known` (the same
// device, see sameDevice) is taken from there without being opened; only the others are opened.
QList<ListedPrinter> listSupportedPrinters(libusb_context *context,
                                           const QList<ListedPrinter> &known);

// One row per supported printer plugged in, in discovery order: "<brand> <product> USB00<port>",
// told apart by their paths where two would read the same.
QStringList GetPrinterList();

// The row text of a printer; the port number is read back from its last three characters.
QString printerRowText(const QString &brand, const QString &product, int port);

// A printer as a question or a notice names it: the model of its row and its USB path
// ("Orbeck VS-608K (USB 1-2.4)"); the row text itself when no path is known.
QString printerName(const QString &rowText, const PrinterIdentity &identity);
