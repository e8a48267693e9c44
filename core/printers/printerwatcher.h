#pragma once

#include "core/printers/printerchanges.h"
#include "core/printers/printerlist.h"

#include <QObject>
#include <atomic>

class QThread;
struct libusb_context;

// Tells when a printer of the supported vendor is plugged in or pulled out, through libusb's
// hot-plug events on a library context of its own, kept for as long as the watcher lives. A
// thread of its own waits for the events, asleep while nothing happens: nothing is polled and no
// device is opened. Reading what changed is the receiver's business (printers()), on its own
// thread, outside the library's callback.
class PrinterWatcher : public QObject
{
    Q_OBJECT

public:
    explicit PrinterWatcher(QObject *parent = nullptr);
    ~PrinterWatcher() override;
    PrinterWatcher(const PrinterWatcher &) = delete;
    PrinterWatcher &operator=(const PrinterWatcher &) = delete;

    // Starts listening; false where the system offers no hot-plug events (or no USB at all).
    bool start();
    void stop();
    bool isListening() const { return context_ != nullptr; }
    // The context it listens on (null when not listening). Records opened on it while a printer
    // may come or go are safe where a context made just then is not: this system's libusb drops
    // a device that leaves while a context is being made, without releasing it.
    libusb_context *context() const { return context_; }

    // The supported printers attached now; only those not in `known` are opened.
    QList<ListedPrinter> printers(const QList<ListedPrinter> &known) const;
    // What changed since `known`, which becomes the printers attached now.
    PrinterChanges changesSince(QList<ListedPrinter> &known) const;

signals:
    // Something was plugged in or pulled out. Several events in a row give one signal.
    void devicesChanged();

private:
    void eventArrived(); // on the event thread

    libusb_context *context_ = nullptr;
    int callback_ = 0;
    QThread *thread_ = nullptr;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> signalQueued_{false};
};
