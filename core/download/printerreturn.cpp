#include "core/download/printerreturn.h"

#include "core/download/downloadguard.h"
#include "core/download/downloadlog.h"
#include "core/download/settingssnapshot.h"
#include "core/usb/deviceioopera.h"

#include <algorithm>

namespace {

// How soon a printer that is attached but not ready yet (flashing, or not answering) is asked
// again; and, where the system reports no plugs, how soon the bus is looked at again.
constexpr int kAskAgainMs = 250;
constexpr int kLookAgainMs = 500;

bool upgrading(const QList<StatusCondition> &conditions)
{
    return std::any_of(conditions.begin(), conditions.end(),
                       [](const StatusCondition &c) { return qstrcmp(c.name, "upgrading") == 0; });
}

} // namespace

PrinterReturn::PrinterReturn(const Printer &printer, QObject *parent)
    : QObject(parent), printer_(printer)
{
    retry_.setSingleShot(true);
    deadline_.setSingleShot(true);
    connect(&retry_, &QTimer::timeout, this, &PrinterReturn::check);
    connect(&deadline_, &QTimer::timeout, this, [this] { finish(false); });
    connect(&watcher_, &PrinterWatcher::devicesChanged, this, [this] {
        if (waiting_)
            check();
    });
}

void PrinterReturn::listen() { listening_ = watcher_.start(); }

void PrinterReturn::wait(int timeoutMs)
{
    waiting_ = true;
    deadline_.start(std::max(0, timeoutMs));
    check();
}

void PrinterReturn::check()
{
    if (!waiting_)
        return;
    retry_.stop();
    known_ = listening_ ? watcher_.printers(known_) : listSupportedPrinters();
    const auto listed = std::find_if(known_.begin(), known_.end(), [this](const ListedPrinter &p) {
        return p.identity == printer_.identity;
    });
    if (listed == known_.end()) {
        // Away (restarting): its arrival is an event; without events, look again later.
        if (!listening_)
            retry_.start(kLookAgainMs);
        return;
    }
    if (!listed->isReady() || listed->model() != printer_.model) {
        retry_.start(kAskAgainMs);
        return;
    }
    PrinterHandle handle;
    // On the watcher's context when there is one: the printer is opened every quarter of a second
    // while it restarts, and a context made as it leaves would keep its device for good.
    const int opened = listening_ ? CDeviceIOOpera::GetPrinterHandle(watcher_.context(),
                                                                     printer_.identity, &handle)
                                  : CDeviceIOOpera::GetPrinterHandle(printer_.identity, &handle);
    if (opened != 0) {
        retry_.start(kAskAgainMs);
        return;
    }
    const std::optional<QList<StatusCondition>> conditions = download::readConditions(&handle);
    // A printer that does not answer the status request is judged by its pages alone.
    bool answered = !conditions || !upgrading(*conditions);
    download::Before now;
    if (answered) {
        now = download::readBefore(&handle, printer_.modelKey);
        answered = now.snapshot.complete() &&
                   (printer_.serialNumber.isEmpty() || now.serialNumber.isEmpty() ||
                    now.serialNumber == printer_.serialNumber);
    }
    CDeviceIOOpera::ClosePrinterHandle(&handle);
    if (!answered) {
        qCDebug(lcDownload, "the printer is attached but not answering yet");
        retry_.start(kAskAgainMs);
        return;
    }
    after_ = std::move(now.snapshot);
    conditions_ = conditions.value_or(QList<StatusCondition>());
    finish(true);
}

void PrinterReturn::finish(bool back)
{
    if (!waiting_)
        return;
    waiting_ = false;
    back_ = back;
    retry_.stop();
    deadline_.stop();
    watcher_.stop();
    emit finished();
}
