#pragma once

#include "core/printers/printerlist.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <optional>

class QTextStream;

// How the command line shows attached printers: in the order of their USB paths, with the serial
// number each reports, in the columns `list` and `list --watch` share.
namespace cli {

// A printer's serial number as the printer reports it, or why it was not read.
struct SerialReading {
    std::optional<QString> serial;
    QString whyNot; // when there is no serial number
};

// Asks the printer for its serial number: only a printer the user may open, of a model that
// offers the serial page.
SerialReading readSerial(const ListedPrinter &printer);

// Sorted by bus, then by the port numbers from the root hub down (1-2.4 before 1-10).
void sortByPath(QList<ListedPrinter> &printers);

// The columns of a printer: port, brand, product, vendor:product ID, USB path, serial number
// (or why none, in parentheses), state.
QString listColumns(const ListedPrinter &printer, const SerialReading &serial);
// The header over those columns, for a terminal.
QString listHeader();
QJsonObject listJson(const ListedPrinter &printer, const SerialReading &serial);

// Whether `out` writes to a terminal.
bool isTerminal(const QTextStream &out);

// The attached printers as a usage message lists them: a line each with path, serial number (or
// why none) and model.
QString attachedLines(const QList<ListedPrinter> &printers, const QList<SerialReading> &serials);

} // namespace cli
