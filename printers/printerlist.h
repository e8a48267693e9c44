#pragma once

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

    QString rowText() const;
};

// Every supported printer plugged in, in discovery order.
QList<ListedPrinter> listSupportedPrinters();

// One row per supported printer plugged in, in discovery order: "<brand> <product> USB00<port>".
QStringList GetPrinterList();

// The row text of a printer; the port number is read back from its last three characters.
QString printerRowText(const QString &brand, const QString &product, int port);
