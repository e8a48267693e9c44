#pragma once

#include "cli/cli.h"
#include "core/printers/modelgate.h"
#include "core/printers/printerlist.h"
#include "core/printers/printerwatcher.h"
#include "core/usb/deviceioopera.h"

#include <QCommandLineParser>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QTextStream>
#include <csignal>
#include <functional>
#include <memory>
#include <signal.h>

class QJsonObject;

// What every command shares: the printer it works on, failing with an exit status, and waiting
// for plugs until interrupted.
namespace cli {

// The printer a command works on, found on its port for this one command and closed after it.
class Printer
{
public:
    ~Printer()
    {
        if (open_)
            CDeviceIOOpera::ClosePrinterHandle(handle_.get());
    }
    bool open(const ListedPrinter &listed)
    {
        listed_ = listed;
        open_ = CDeviceIOOpera::GetPrinterHandle(listed.identity, handle_.get()) == 0;
        return open_;
    }
    PrinterHandle *handle() { return handle_.get(); }
    const PrinterHandle *handle() const { return handle_.get(); }
    // Hands the open record over (to a download worker, which closes it).
    std::unique_ptr<PrinterHandle> release()
    {
        open_ = false;
        return std::move(handle_);
    }
    ModelKey modelKey() const { return listed_.modelKey(); }
    QString model() const { return listed_.model(); }
    // Its identity: the USB path ("1-2.4").
    QString path() const { return listed_.identity.path(); }
    const PrinterIdentity &identity() const { return listed_.identity; }
    // The printer as a notice names it: model and USB path.
    QString name() const { return printerName(listed_.rowText(), listed_.identity); }
    const ListedPrinter &listed() const { return listed_; }

private:
    std::unique_ptr<PrinterHandle> handle_ = std::make_unique<PrinterHandle>();
    ListedPrinter listed_;
    bool open_ = false;
};

struct Context {
    QCommandLineParser &parser;
    QStringList arguments; // after the command name
    QTextStream &out;
    QTextStream &err;
    Input input = {};
};

// Says `message` on standard error (with --json as an error document); returns `exit`.
int fail(Context &c, Exit exit, const QString &message);
// The connection message, exit status TransportFailed.
int transportFailed(Context &c);
// An exchange with the printer failed: that it stopped answering, or the connection message.
// Exit status TransportFailed.
int readFailed(Context &c, const Printer &printer);
// A printer that is attached but cannot be used: why, and for a missing permission what to do.
int unavailable(Context &c, const ListedPrinter &printer);
// The printer of --port or --serial, or the only one attached, opened.
int choosePrinter(Context &c, Printer &printer);
// Refuses a maintenance command or the status request (`what`) for a model that does not offer
// them: the window disables its functional tab for such a model.
int refuseIfLocked(Context &c, const Printer &printer, const QString &what);

bool json(const Context &c);
// One document with the schema version on standard output; printJsonLine puts it on one line
// (list --watch and provision print one such line an event or a printer).
void printJson(Context &c, const QJsonObject &object);
void printJsonLine(Context &c, const QJsonObject &object);
// The printer as a document names it: USB path and model.
QJsonObject identityJson(const ListedPrinter &printer);
QJsonObject identityJson(const Printer &printer);
bool verifying(const Context &c);
// Whether SIGINT or SIGTERM arrived while an Interruption was installed.
bool interruptedBySignal();

// For as long as it lives, SIGINT and SIGTERM do not end the program but quit `loop`, once what
// the loop is doing has finished.
class Interruption
{
public:
    // False, with errno, when the pipe cannot be made.
    bool install(QEventLoop &loop);
    // From now on each SIGINT or SIGTERM calls `handler` instead (a run over many printers that
    // stops and then waits for its printers to finish their step).
    void onSignal(const std::function<void()> &handler);
    ~Interruption();

private:
    bool installed_ = false;
    struct sigaction oldInt_ = {}, oldTerm_ = {};
    std::unique_ptr<QSocketNotifier> notifier_;
};

// The hot-plug watcher and an event loop that SIGINT and SIGTERM end: what list --watch and
// provision wait in.
struct Listening {
    PrinterWatcher watcher;
    QEventLoop loop;
    Interruption interruption;
    QList<ListedPrinter> attached; // the printers attached, as of the last plug or unplug
    // Ok, with the printers attached now listed (each opened to read its name), or the exit
    // status once it said why nothing can be listened for.
    int start(Context &c);
    // Until the loop ends: on every plug or unplug, `changed` is told what changed.
    void run(const std::function<void(const PrinterChanges &)> &changed);
};

} // namespace cli
