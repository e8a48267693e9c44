#pragma once

#include "core/printers/printerlist.h"

#include <QList>

// What changed between two lists of the printers attached. A printer is known by its identity
// (ListedPrinter::sameDevice): one pulled out and plugged in again between the two lists both
// left and arrived, and a printer whose name or state alone changed did neither.
struct PrinterChanges {
    QList<int> leftRows;          // where the printers that left stand in the last list, ascending
    QList<ListedPrinter> left;    // those printers, in the last list's order
    QList<ListedPrinter> arrived; // the printers new in the new list, in its order

    bool isEmpty() const { return left.isEmpty() && arrived.isEmpty(); }
};

PrinterChanges printerChanges(const QList<ListedPrinter> &last, const QList<ListedPrinter> &now);
