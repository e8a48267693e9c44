#include "core/printers/fleetrun.h"

#include "core/printers/printerslog.h"
#include "core/usb/deviceioopera.h"

#include <QEventLoop>
#include <QPointer>
#include <algorithm>

namespace fleet {

bool Worker::stopRequested() const { return run_.stopping_; }

void Worker::stoppedBefore(const QString &step)
{
    stopped_ = true;
    stoppedBefore_ = step;
}

void Worker::progress(const QString &step, int done, int total)
{
    Run *run = &run_;
    const int index = index_;
    QMetaObject::invokeMethod(
        run, [run, index, step, done, total] { emit run->progressed(index, step, done, total); },
        Qt::QueuedConnection);
}

Run::Run(Job job, int maxJobs, QObject *parent)
    : QObject(parent), job_(std::move(job)), maxJobs_(std::clamp(maxJobs, 1, kMaxJobs))
{
}

Run::~Run()
{
    stopping_ = true;
    for (std::thread &thread : threads_) {
        if (thread.joinable())
            thread.join();
    }
}

int Run::add(const ListedPrinter &printer)
{
    PrinterRun run;
    run.printer = printer;
    runs_.push_back(run);
    threads_.emplace_back();
    const int index = int(runs_.size()) - 1;
    if (stopping_) {
        runs_.back().state = State::NotStarted;
        QMetaObject::invokeMethod(
            this, [this, index] { emit finished(index); }, Qt::QueuedConnection);
    } else {
        startWaiting();
    }
    return index;
}

void Run::stop()
{
    if (stopping_.exchange(true))
        return;
    qCDebug(lcPrinters, "stopping the run: %d printers running", running_);
    for (std::size_t i = 0; i < runs_.size(); ++i) {
        if (runs_[i].state == State::Waiting) {
            runs_[i].state = State::NotStarted;
            emit finished(int(i));
        }
    }
    emitIdleIfSo();
}

bool Run::isIdle() const
{
    return running_ == 0 && std::none_of(runs_.begin(), runs_.end(), [](const PrinterRun &r) {
               return r.state == State::Waiting;
           });
}

std::vector<int> Run::byPath() const
{
    std::vector<int> order(runs_.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = int(i);
    std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
        return pathBefore(at(a).printer.identity, at(b).printer.identity);
    });
    return order;
}

void Run::waitUntilIdle()
{
    if (isIdle())
        return;
    QEventLoop loop;
    connect(this, &Run::idle, &loop, &QEventLoop::quit);
    loop.exec();
}

void Run::startWaiting()
{
    for (std::size_t i = 0; i < runs_.size() && running_ < maxJobs_ && !stopping_; ++i) {
        if (runs_[i].state != State::Waiting)
            continue;
        runs_[i].state = State::Running;
        ++running_;
        const int index = int(i);
        threads_[i] = std::thread(&Run::work, this, index, runs_[i].printer);
        emit started(index);
    }
}

// On the printer's thread: its own record, the job, the record closed, the news queued.
void Run::work(int index, ListedPrinter printer)
{
    PrinterHandle handle;
    bool opened = false;
    if (printer.isReady())
        opened = CDeviceIOOpera::GetPrinterHandle(printer.identity, &handle) == 0;
    Worker worker(*this, index, printer, opened ? &handle : nullptr);
    std::any result = job_(worker);
    if (opened)
        CDeviceIOOpera::ClosePrinterHandle(&handle);
    const State state = worker.stopped_ ? State::Stopped : State::Done;
    QMetaObject::invokeMethod(
        this,
        [this, index, state, stoppedBefore = worker.stoppedBefore_, result = std::move(result)] {
            jobEnded(index, state, stoppedBefore, result);
        },
        Qt::QueuedConnection);
}

void Run::jobEnded(int index, State state, const QString &stoppedBefore, std::any result)
{
    threads_[std::size_t(index)].join(); // it has nothing left to do but return
    PrinterRun &run = runs_[std::size_t(index)];
    run.state = state;
    run.stoppedBefore = stoppedBefore;
    run.result = std::move(result);
    --running_;
    // The next printer starts before this one's line is printed: its first exchange overlaps.
    startWaiting();
    QPointer<Run> alive(this);
    emit finished(index);
    if (alive)
        emitIdleIfSo();
}

void Run::emitIdleIfSo()
{
    if (isIdle())
        emit idle();
}

bool pathBefore(const PrinterIdentity &a, const PrinterIdentity &b)
{
    if (a.bus != b.bus)
        return a.bus < b.bus;
    return std::lexicographical_compare(a.ports.begin(), a.ports.end(), b.ports.begin(),
                                        b.ports.end());
}

} // namespace fleet
