#pragma once

#include "usb/printeridentity.h"

#include <QStringList>

#include <QList>
#include <cstdint>

// A supported printer plugged in.
struct ListedPrinter {
    QString brand;
    QString product; // the iProduct string; empty when it cannot be read
    int port = 0;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    PrinterIdentity identity; // bus and port path: what every click addresses it by

    QString rowText() const;
};

// The rows of these printers, in their order: each printer's row text, followed by its USB path
// where another printer's row would read the same ("Orbeck VS-608K USB004 (1-2.4)").
QStringList printerRows(const QList<ListedPrinter> &printers);

// Every supported printer plugged in, in discovery order.
QList<ListedPrinter> listSupportedPrinters();

// One row per supported printer plugged in, in discovery order: "<brand> <product> USB00<port>",
// told apart by their paths where two would read the same.
QStringList GetPrinterList();

// The row text of a printer; the port number is read back from its last three characters.
QString printerRowText(const QString &brand, const QString &product, int port);
