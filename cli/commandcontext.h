#pragma once

#include "cli/cli.h"
#include "core/printers/modelgate.h"
#include "core/printers/printerlist.h"
#include "core/printers/printerwatcher.h"
#include "core/settings/verify.h"
#include "core/usb/deviceioopera.h"

#include <QCommandLineParser>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QTextStream>
#include <csignal>
#include <memory>
#include <signal.h>

class QJsonDocument;

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
    // Hands the open record over (to a download worker, which closes it).
    std::unique_ptr<PrinterHandle> release()
    {
        open_ = false;
        return std::move(handle_);
    }
    // The model as the model-support gate knows it: "<brand> <product> ".
    QString modelKey() const { return modelgate::modelKey(listed_.rowText()); }
    QString model() const { return listed_.model(); }
    const PrinterIdentity &identity() const { return listed_.identity; }
    // The printer as a notice names it: model and USB path.
    QString name() const { return printerName(listed_.rowText(), listed_.identity); }

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
};

// Says `message` on standard error; returns `exit`.
int fail(Context &c, Exit exit, const QString &message);
// The connection message, exit status TransportFailed.
int transportFailed(Context &c);
// A printer that is attached but cannot be used: why, and for a missing permission what to do.
int unavailable(Context &c, const ListedPrinter &printer);
// The printer of --port, or the only one attached, opened.
int choosePrinter(Context &c, Printer &printer);
// What the window locks for a model (its functional tab, the font download), the command line
// does not offer either.
int refuseIfLocked(Context &c, const Printer &printer, const QString &what);

bool json(const Context &c);
void printJson(Context &c, const QJsonDocument &document);
bool verifying(const Context &c);
// Reports what the printer did not keep, one line per key; the exit status of the page.
int reportVerification(Context &c, const QString &page, const pages::Verification &v);

// Whether SIGINT or SIGTERM arrived while an Interruption was installed.
bool interruptedBySignal();

// For as long as it lives, SIGINT and SIGTERM do not end the program but quit `loop`, once what
// the loop is doing has finished.
class Interruption
{
public:
    // False, with errno, when the pipe cannot be made.
    bool install(QEventLoop &loop);
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
    // Ok, or the exit status once it said why nothing can be listened for.
    int start(Context &c);
};

} // namespace cli
