#pragma once

#include "core/printers/printerlist.h"

#include <QObject>
#include <QString>
#include <any>
#include <atomic>
#include <deque>
#include <functional>
#include <thread>
#include <vector>

struct PrinterHandle;

// One job on many printers side by side. Printers on a bus are independent devices, and a real
// printer takes milliseconds to answer each frame: one after another, a bench of eight costs eight
// times one. A run works on up to a given number of printers at once, each on a thread of its own
// with its own printer record on a library context of its own. (One context shared by the threads
// costs more: libusb lets one thread at a time handle its events and wakes every other waiting
// thread at each completed transfer; eight printers side by side then spent a fifth more processor
// time each.) The run lives on the thread
// that made it (the command line's or the window's) and reports there, through queued signals:
// whoever prints a printer's result line prints it whole, however many printers finish at once.
namespace fleet {

// Where one printer's job got to.
enum class State {
    Waiting,    // added; starts as soon as a place is free
    Running,    // its job runs
    Done,       // its job ran to its end (the job's result says how that went)
    Stopped,    // the run was stopped while its job ran: the job ended between two steps
    NotStarted, // the run was stopped before its turn: nothing was sent to the printer
};

class Run;

// What a job has on its printer's thread.
class Worker
{
public:
    const ListedPrinter &printer() const { return printer_; }
    // The printer's own record; null when the printer is not ready
    // (no permission, held by another program) or could not be opened.
    PrinterHandle *handle() const { return handle_; }
    // Whether the run is being stopped. A job asks between two steps (two pages, two chunks) and
    // then says before which step it stopped and returns: the step in flight is always finished,
    // and no step is begun half.
    bool stopRequested() const;
    void stoppedBefore(const QString &step);
    // The step about to begin and how many of `total` are done: Run::progressed on the run's
    // thread (the window's progress row of this printer).
    void progress(const QString &step, int done, int total);

private:
    friend class Run;
    Worker(Run &run, int index, const ListedPrinter &printer, PrinterHandle *handle)
        : run_(run), index_(index), printer_(printer), handle_(handle)
    {
    }

    Run &run_;
    const int index_;
    const ListedPrinter printer_;
    PrinterHandle *const handle_;
    QString stoppedBefore_;
    bool stopped_ = false;
};

struct PrinterRun {
    ListedPrinter printer;
    State state = State::Waiting;
    QString stoppedBefore; // with State::Stopped: the step that was not begun
    std::any result;       // what the job returned (Done or Stopped)
};

class Run : public QObject
{
    Q_OBJECT

public:
    static constexpr int kMaxJobs = 8;
    // Runs on a printer's thread; what it returns is kept as PrinterRun::result.
    using Job = std::function<std::any(Worker &)>;

    // At most `maxJobs` printers at once (1 to kMaxJobs).
    explicit Run(Job job, int maxJobs = kMaxJobs, QObject *parent = nullptr);
    // Stops the run and waits for the jobs in flight to finish their step.
    ~Run() override;
    Run(const Run &) = delete;
    Run &operator=(const Run &) = delete;

    // Adds a printer; its job starts when a place is free. Its index: the order of adding. A
    // printer added to a stopped run is not started.
    int add(const ListedPrinter &printer);
    // Stops the run: the printers not started stay untouched, each running job finishes its step
    // and stops.
    void stop();
    bool isStopping() const { return stopping_; }
    // Nothing runs and nothing waits.
    bool isIdle() const;
    int maxJobs() const { return maxJobs_; }

    int count() const { return int(runs_.size()); }
    const PrinterRun &at(int index) const { return runs_[std::size_t(index)]; }
    // The indices in the order of the printers' USB paths (bus, then ports from the root).
    std::vector<int> byPath() const;

    // Waits in an event loop of its own until the run is idle.
    void waitUntilIdle();

signals:
    void started(int index);
    void progressed(int index, const QString &step, int done, int total);
    // The printer's job ended, or it will not start: at(index) is final.
    void finished(int index);
    // The last running job ended and none waits.
    void idle();

private:
    friend class Worker;
    void startWaiting();
    void work(int index, ListedPrinter printer);
    void jobEnded(int index, State state, const QString &stoppedBefore, std::any result);
    void emitIdleIfSo();

    const Job job_;
    const int maxJobs_;
    std::deque<PrinterRun> runs_;
    std::deque<std::thread> threads_; // one per printer; joined when its job has ended
    int running_ = 0;
    std::atomic<bool> stopping_{false};
};

// "1-2.4" before "1-10": bus, then the ports from the root hub down, as numbers.
bool pathBefore(const PrinterIdentity &a, const PrinterIdentity &b);

} // namespace fleet
