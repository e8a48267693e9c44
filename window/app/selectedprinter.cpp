#include "window/app/selectedprinter.h"

#include "window/app/applog.h"
#include "window/app/messages.h"
#include "core/printers/printerlist.h"
#include "core/usb/deviceioopera.h"

#include <QCoreApplication>
#include <QListWidget>

ClickTracker &ClickTracker::instance()
{
    static ClickTracker tracker;
    return tracker;
}

void ClickTracker::end()
{
    if (--clicks_ == 0)
        emit clicksEnded();
}

SelectedPrinter::SelectedPrinter(QWidget *parent, const QListWidget *list, Events events)
    : handle_(std::make_unique<PrinterHandle>())
{
    ClickTracker::instance().begin();
    if (events == ProcessEventsFirst && list->count() != 0) {
        QCoreApplication::processEvents();
        qCDebug(lcApp, "Current row: %d", list->currentRow());
    }
    open(parent, list, nullptr);
}

SelectedPrinter::SelectedPrinter(QWidget *parent, const QListWidget *list,
                                 const std::optional<PrinterIdentity> &readFrom)
    : handle_(std::make_unique<PrinterHandle>())
{
    ClickTracker::instance().begin();
    open(parent, list, &readFrom);
}

SelectedPrinter::SelectedPrinter(const PrinterIdentity &identity, const QString &rowText)
    : handle_(std::make_unique<PrinterHandle>()), identity_(identity),
      name_(printerName(rowText, identity)), modelKey_(ModelKey::ofRow(rowText))
{
    ClickTracker::instance().begin();
    open_ = CDeviceIOOpera::GetPrinterHandle(identity_, handle_.get()) == 0;
}

void SelectedPrinter::open(QWidget *parent, const QListWidget *list,
                           const std::optional<PrinterIdentity> *readFrom)
{
    if (list->count() == 0 || list->currentRow() == -1) {
        messages::selectPrinterFirst(parent);
        return;
    }
    const QListWidgetItem *item = list->currentItem();
    identity_ = identityOf(item);
    name_ = printerName(item->text(), identity_);
    modelKey_ = ModelKey::ofRow(item->text());
    if (readFrom && (!*readFrom || **readFrom != identity_)) {
        messages::show(parent, QObject::tr("请先从所选打印机读取此页面，再写入。"));
        return;
    }
    // A row of the printer list names its printer by bus and port path; the port number alone
    // is looked up only for a row that carries no path, and never when it is ambiguous.
    const int found =
        identity_.isValid()
            ? CDeviceIOOpera::GetPrinterHandle(identity_, handle_.get())
            : CDeviceIOOpera::GetPrinterHandle(portFromRow(item->text()), handle_.get());
    if (found != 0) {
        messages::connectionFailed(parent);
        return;
    }
    open_ = true;
}

SelectedPrinter::~SelectedPrinter()
{
    if (open_)
        CDeviceIOOpera::ClosePrinterHandle(handle_.get());
    ClickTracker::instance().end();
}

int SelectedPrinter::portFromRow(const QString &rowText)
{
    const QString digits = rowText.right(3);
    qCDebug(lcApp, "temp_data = %s", qUtf8Printable(digits));
    bool ok = false;
    const int port = digits.toInt(&ok, 10);
    return ok ? port : 0;
}

PrinterIdentity SelectedPrinter::identityOf(const QListWidgetItem *item)
{
    return item ? item->data(Qt::UserRole).value<PrinterIdentity>() : PrinterIdentity{};
}

void SelectedPrinter::setIdentity(QListWidgetItem *item, const PrinterIdentity &identity)
{
    item->setData(Qt::UserRole, QVariant::fromValue(identity));
}
