#include "core/printers/printerwatcher.h"

#include "core/printers/supportedprinters.h"

#include "core/printers/printerslog.h"

#include <QThread>

#include <libusb.h>

Q_LOGGING_CATEGORY(lcPrinters, "labelsetup.printers")

PrinterWatcher::PrinterWatcher(QObject *parent) : QObject(parent) {}

PrinterWatcher::~PrinterWatcher() { stop(); }

void PrinterWatcher::eventArrived()
{
    if (signalQueued_.exchange(true))
        return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            signalQueued_ = false;
            emit devicesChanged();
        },
        Qt::QueuedConnection);
}

bool PrinterWatcher::start()
{
    if (context_)
        return true;
    if (libusb_init(&context_) != LIBUSB_SUCCESS) {
        context_ = nullptr;
        return false;
    }
    if (!libusb_has_capability(LIBUSB_CAP_HAS_HOTPLUG)) {
        qCDebug(lcPrinters, "no USB hot-plug events on this system");
        libusb_exit(context_);
        context_ = nullptr;
        return false;
    }
    libusb_hotplug_callback_handle handle = 0;
    // Runs on the event thread, where libusb allows next to nothing: hand over and return.
    const auto callback = [](libusb_context *, libusb_device *, libusb_hotplug_event,
                             void *watcher) {
        static_cast<PrinterWatcher *>(watcher)->eventArrived();
        return 0;
    };
    const int registered = libusb_hotplug_register_callback(
        context_,
        libusb_hotplug_event(LIBUSB_HOTPLUG_EVENT_DEVICE_ARRIVED |
                             LIBUSB_HOTPLUG_EVENT_DEVICE_LEFT),
        libusb_hotplug_flag(0), supportedprinters::kVendorId, LIBUSB_HOTPLUG_MATCH_ANY,
        LIBUSB_HOTPLUG_MATCH_ANY, callback, this, &handle);
    if (registered != LIBUSB_SUCCESS) {
        qCDebug(lcPrinters, "hot-plug registration failed: %s", libusb_error_name(registered));
        libusb_exit(context_);
        context_ = nullptr;
        return false;
    }
    callback_ = handle;
    stopping_ = false;
    libusb_context *context = context_;
    thread_ = QThread::create([this, context] {
        // Sleeps in poll() until an event arrives or stop() interrupts it.
        while (!stopping_)
            libusb_handle_events_completed(context, nullptr);
    });
    thread_->setObjectName(QStringLiteral("printer watcher"));
    thread_->start();
    return true;
}

void PrinterWatcher::stop()
{
    if (!context_)
        return;
    stopping_ = true;
    libusb_interrupt_event_handler(context_);
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
    libusb_hotplug_deregister_callback(context_, callback_);
    libusb_exit(context_);
    context_ = nullptr;
}

QList<ListedPrinter> PrinterWatcher::printers(const QList<ListedPrinter> &known) const
{
    if (!context_)
        return {};
    // The context follows the events: a printer that left is no longer in its device list.
    return listSupportedPrinters(context_, known);
}

PrinterChanges PrinterWatcher::changesSince(QList<ListedPrinter> &known) const
{
    const QList<ListedPrinter> now = printers(known);
    const PrinterChanges changes = printerChanges(known, now);
    known = now;
    return changes;
}
