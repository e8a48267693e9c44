#include "app/selectedprinter.h"

#include "app/applog.h"
#include "app/messages.h"
#include "usb/deviceioopera.h"

#include <QCoreApplication>
#include <QListWidget>

SelectedPrinter::SelectedPrinter(QWidget *parent, const QListWidget *list, Events events)
    : handle_(std::make_unique<PrinterHandle>())
{
    if (events == ProcessEventsFirst && list->count() != 0) {
        QCoreApplication::processEvents();
        qCDebug(lcApp, "Current row: %d", list->currentRow());
    }
    if (list->count() == 0 || list->currentRow() == -1) {
        messages::selectPrinterFirst(parent);
        return;
    }
    name_ = list->currentItem()->text();
    const int port = portFromRow(name_);
    if (CDeviceIOOpera::GetPrinterHandle(port, handle_.get()) != 0) {
        messages::connectionFailed(parent);
        return;
    }
    open_ = true;
}

SelectedPrinter::~SelectedPrinter()
{
    if (open_)
        CDeviceIOOpera::ClosePrinterHandle(handle_.get());
}

int SelectedPrinter::portFromRow(const QString &rowText)
{
    const QString digits = rowText.right(3);
    qCDebug(lcApp, "temp_data = %s", qUtf8Printable(digits));
    bool ok = false;
    const int port = digits.toInt(&ok, 10);
    return ok ? port : 0;
}
