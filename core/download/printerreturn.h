#pragma once

#include "core/printers/printerlist.h"
#include "core/printers/printerwatcher.h"
#include "core/profiles/snapshot.h"
#include "core/protocol/printerstatus.h"
#include "core/usb/printeridentity.h"

#include <QObject>
#include <QTimer>

// Waits, after a download, for the printer to answer again at the same USB path, and reads what
// it holds then. A printer that restarts leaves the bus and arrives again: the hot-plug events
// say when, so nothing is asked of it meanwhile. One that stays reports "upgrading" while it
// flashes and is asked again a little later. Runs on the caller's event loop; the exchanges
// themselves are short and synchronous.
class PrinterReturn : public QObject
{
    Q_OBJECT

public:
    struct Printer {
        PrinterIdentity identity;
        QString model;        // "<brand> <product>"
        ModelKey modelKey;    // as the model-support gate knows it
        QString serialNumber; // as read before; another number at that path is another printer
    };
    PrinterReturn(const Printer &printer, QObject *parent = nullptr);

    // Starts following plugs now, before the stream, so that a restart is never missed.
    void listen();
    // After the stream: checks at once, then on every plug and when asked to wait, until the
    // printer answers or `timeoutMs` have passed; then finished().
    void wait(int timeoutMs);

    bool isWaiting() const { return waiting_; }
    bool isBack() const { return back_; }
    // What it holds once back: every page its model offers, and its version.
    const profile::Snapshot &after() const { return after_; }
    // The conditions its status word reported when it answered again.
    const QList<StatusCondition> &conditions() const { return conditions_; }

signals:
    void finished();

private:
    void check();
    void finish(bool back);

    Printer printer_;
    PrinterWatcher watcher_;
    bool listening_ = false;
    bool waiting_ = false;
    bool back_ = false;
    QTimer retry_;
    QTimer deadline_;
    QList<ListedPrinter> known_;
    profile::Snapshot after_;
    QList<StatusCondition> conditions_;
};
