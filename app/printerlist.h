#pragma once

#include <QStringList>

// One row per supported printer plugged in, in discovery order: "<brand> <product> USB00<port>".
QStringList GetPrinterList();

// The row text of a printer; the port number is read back from its last three characters.
QString printerRowText(const QString &brand, const QString &product, int port);
