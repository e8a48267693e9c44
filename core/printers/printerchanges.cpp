#include "core/printers/printerchanges.h"

#include <algorithm>

namespace {

bool contains(const QList<ListedPrinter> &printers, const ListedPrinter &printer)
{
    return std::any_of(printers.begin(), printers.end(),
                       [&](const ListedPrinter &p) { return p.sameDevice(printer); });
}

} // namespace

PrinterChanges printerChanges(const QList<ListedPrinter> &last, const QList<ListedPrinter> &now)
{
    PrinterChanges changes;
    for (int row = 0; row < last.size(); ++row) {
        if (!contains(now, last[row])) {
            changes.leftRows << row;
            changes.left << last[row];
        }
    }
    for (const ListedPrinter &printer : now) {
        if (!contains(last, printer))
            changes.arrived << printer;
    }
    return changes;
}
