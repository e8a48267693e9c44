#pragma once

#include "usb/printerhandle.h"

#include <QString>
#include <memory>

class QListWidget;
class QWidget;

// The printer of the selected list row, found for the duration of one click. Construction runs
// the checks every printer slot starts with and shows their boxes itself: no row selected, or no
// printer at the row's port. The destructor closes the handle.
class SelectedPrinter
{
public:
    // `processEventsFirst`: let the event loop run pending events after the empty-list check
    // and before the row is taken (the Bluetooth read does). Queued clicks and selection changes
    // may run then, so the row, its item and its port are taken only afterwards.
    enum Events { TakeRowNow, ProcessEventsFirst };
    SelectedPrinter(QWidget *parent, const QListWidget *list, Events events = TakeRowNow);
    ~SelectedPrinter();
    SelectedPrinter(const SelectedPrinter &) = delete;
    SelectedPrinter &operator=(const SelectedPrinter &) = delete;

    bool isOpen() const { return open_; }
    PrinterHandle *handle() const { return handle_.get(); }
    // The printer as the user is told about it: its row text (brand, product, port).
    const QString &name() const { return name_; }
    // Hands the open record to a new owner (the download worker), who must close it.
    std::unique_ptr<PrinterHandle> release()
    {
        open_ = false;
        return std::move(handle_);
    }

    // The port number from a row text's last three characters; 0 when they are not a number.
    static int portFromRow(const QString &rowText);

private:
    std::unique_ptr<PrinterHandle> handle_;
    QString name_;
    bool open_ = false;
};
