#include "cli/cli.h"

#include "base/logging.h"
#include "cli/pagehelp.h"
#include "download/downloadfile.h"
#include "download/workerthread.h"
#include "printers/modelgate.h"
#include "printers/printeraccess.h"
#include "printers/printerlist.h"
#include "printers/printerwatcher.h"
#include "profiles/apply.h"
#include "profiles/compare.h"
#include "profiles/profile.h"
#include "profiles/snapshot.h"
#include "protocol/maintenancecommands.h"
#include "protocol/printerstatus.h"
#include "settings/pageexchange.h"
#include "settings/pagereads.h"
#include "settings/refusaltext.h"
#include "settings/settingspage.h"
#include "settings/verify.h"
#include "usb/deviceioopera.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QObject>
#include <QSaveFile>
#include <QSocketNotifier>
#include <QTextStream>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <unistd.h>

namespace cli {

namespace {

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

int fail(Context &c, Exit exit, const QString &message)
{
    c.err << message << '\n';
    return exit;
}

int transportFailed(Context &c)
{
    return fail(c, TransportFailed, QObject::tr("请确保打印机已通过usb进行连接"));
}

// Whether --port names this printer: its port number ("4"), its ports from the root hub on any
// bus ("2.4"), or its bus and ports ("1-2.4").
bool portNames(const QString &port, const ListedPrinter &printer)
{
    if (port.contains(QLatin1Char('-')))
        return PrinterIdentity::parse(port) == printer.identity;
    if (port.contains(QLatin1Char('.')))
        return port == printer.identity.portPath();
    return port == QString::number(printer.port);
}

bool isPortText(const QString &port)
{
    if (port.contains(QLatin1Char('-')))
        return PrinterIdentity::parse(port).has_value();
    return PrinterIdentity::parse(QStringLiteral("1-") + port).has_value();
}

// A printer that is attached but cannot be used: why, and for a missing permission what to do.
int unavailable(Context &c, const ListedPrinter &printer)
{
    QString message = QObject::tr("无法使用打印机 %1（%2 %3）：%4")
                          .arg(printer.identity.path(), printer.brand, printer.product,
                               accessReason(printer.access));
    if (printer.access == PrinterAccess::NoPermission)
        message += '\n' + printeraccess::remedy(printeraccess::thisSystem());
    return fail(c, Unavailable, message);
}

// The printer of --port, or the only one attached.
int choosePrinter(Context &c, Printer &printer)
{
    const QList<ListedPrinter> listed = listSupportedPrinters();
    std::optional<ListedPrinter> chosen;
    if (c.parser.isSet(QStringLiteral("port"))) {
        const QString port = c.parser.value(QStringLiteral("port"));
        if (!isPortText(port))
            return fail(c, UsageError,
                        QObject::tr("端口须为端口号或USB路径（如 4、2.4、1-2.4）：%1").arg(port));
        QList<ListedPrinter> matching;
        for (const ListedPrinter &p : listed) {
            if (portNames(port, p))
                matching << p;
        }
        if (matching.isEmpty())
            return fail(c, NoSuchPrinter, QObject::tr("端口 %1 上没有打印机").arg(port));
        // A port number is unique only among the ports of one hub: never guess.
        if (matching.size() > 1) {
            QString message =
                QObject::tr("端口 %1 对应多台打印机，请用USB路径指定一台：").arg(port);
            for (const ListedPrinter &p : matching)
                message +=
                    QStringLiteral("\n  %1  %2 %3").arg(p.identity.path(), p.brand, p.product);
            return fail(c, UsageError, message);
        }
        chosen = matching.first();
    } else if (listed.isEmpty()) {
        return fail(c, NoSuchPrinter, QObject::tr("没有找到打印机"));
    } else if (listed.size() > 1) {
        return fail(c, UsageError, QObject::tr("连接了多台打印机，请用 --port 指定一台"));
    } else {
        chosen = listed.first();
    }
    if (!chosen->isReady())
        return unavailable(c, *chosen);
    if (!printer.open(*chosen))
        return fail(c, NoSuchPrinter, QObject::tr("请确保打印机已通过usb进行连接"));
    return Ok;
}

std::unique_ptr<pages::SettingsPage> pageOf(Context &c, const QString &name,
                                            const QString &modelKey, int &exit)
{
    exit = Ok;
    QString error;
    std::unique_ptr<pages::SettingsPage> page = profile::profilePage(name, modelKey, error);
    if (!page)
        exit = fail(c, Refused, error);
    return page;
}

// The printer, and the page the first argument names for its model.
std::unique_ptr<pages::SettingsPage> choosePage(Context &c, Printer &printer, int &exit)
{
    exit = choosePrinter(c, printer);
    if (exit != Ok)
        return nullptr;
    return pageOf(c, c.arguments[0], printer.modelKey(), exit);
}

bool json(const Context &c) { return c.parser.isSet(QStringLiteral("json")); }

void printJson(Context &c, const QJsonDocument &document) { c.out << document.toJson(); }

void printValues(Context &c, const pages::SettingsPage &page)
{
    if (json(c)) {
        printJson(c, QJsonDocument(QJsonObject{
                         {QStringLiteral("page"), page.name()},
                         {QStringLiteral("values"), profile::pageToJson(page).value("values")}}));
        return;
    }
    for (const auto &[key, value] : page.values())
        c.out << key << '=' << value << '\n';
}

QString listLine(const ListedPrinter &p)
{
    return QStringLiteral("%1\t%2\t%3\t%4\t%5\t%6")
        .arg(QString::number(p.port), p.brand, p.product,
             QString::asprintf("%04x:%04x", p.vendorId, p.productId), p.identity.path(),
             accessName(p.access));
}

QJsonObject listJson(const ListedPrinter &p)
{
    return {{QStringLiteral("port"), p.port},
            {QStringLiteral("brand"), p.brand},
            {QStringLiteral("product"), p.product},
            {QStringLiteral("vendor-id"), QString::asprintf("%04x", p.vendorId)},
            {QStringLiteral("product-id"), QString::asprintf("%04x", p.productId)},
            {QStringLiteral("path"), p.identity.path()},
            {QStringLiteral("state"), accessName(p.access)}};
}

// One line of `list --watch`: when, what happened, and to which printer.
void printEvent(Context &c, const char *event, const ListedPrinter &p)
{
    const QString time = QDateTime::currentDateTime().toString(Qt::ISODateWithMs);
    if (c.parser.isSet(QStringLiteral("json"))) {
        QJsonObject object = listJson(p);
        object.insert(QStringLiteral("time"), time);
        object.insert(QStringLiteral("event"), QLatin1String(event));
        c.out << QJsonDocument(object).toJson(QJsonDocument::Compact) << '\n';
    } else {
        c.out << time << '\t' << event << '\t' << p.identity.path() << '\t' << p.brand << '\t'
              << p.product << '\t' << accessName(p.access) << '\n';
    }
    c.out.flush();
}

// SIGINT and SIGTERM end a command that waits for plugs (list --watch, provision) through this
// pipe, and set the flag.
int interruptPipe[2] = {-1, -1};
volatile sig_atomic_t interrupted = 0;

void onInterrupt(int)
{
    const int saved = errno;
    interrupted = 1;
    const char byte = 0;
    if (write(interruptPipe[1], &byte, 1) < 0) {
    }
    errno = saved;
}

// For as long as it lives, SIGINT and SIGTERM do not end the program but quit `loop`, once what
// the loop is doing has finished.
class Interruption
{
public:
    // False, with errno, when the pipe cannot be made.
    bool install(QEventLoop &loop)
    {
        if (interruptPipe[0] < 0 && pipe2(interruptPipe, O_CLOEXEC | O_NONBLOCK) != 0)
            return false;
        interrupted = 0;
        struct sigaction interrupt = {};
        interrupt.sa_handler = onInterrupt;
        sigaction(SIGINT, &interrupt, &oldInt_);
        sigaction(SIGTERM, &interrupt, &oldTerm_);
        installed_ = true;
        notifier_ = std::make_unique<QSocketNotifier>(interruptPipe[0], QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, &loop, &QEventLoop::quit);
        return true;
    }
    ~Interruption()
    {
        if (!installed_)
            return;
        notifier_.reset();
        char drain[16];
        while (::read(interruptPipe[0], drain, sizeof drain) > 0) {
        }
        sigaction(SIGINT, &oldInt_, nullptr);
        sigaction(SIGTERM, &oldTerm_, nullptr);
    }

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
    int start(Context &c)
    {
        if (!watcher.start())
            return fail(c, NoSuchPrinter, QObject::tr("此系统不提供USB热插拔事件"));
        if (!interruption.install(loop))
            return fail(c, NoSuchPrinter, QString::fromLocal8Bit(strerror(errno)));
        return Ok;
    }
};

// Prints the printers attached now, then every arrival and departure, until interrupted.
int watch(Context &c)
{
    Listening listening;
    if (const int exit = listening.start(c))
        return exit;
    PrinterWatcher &watcher = listening.watcher;
    QEventLoop &loop = listening.loop;

    QList<ListedPrinter> known = watcher.printers({});
    for (const ListedPrinter &p : known)
        printEvent(c, "present", p);
    if (known.isEmpty()) {
        c.err << QObject::tr("没有找到打印机") << '\n';
        c.err.flush();
    }
    QObject::connect(&watcher, &PrinterWatcher::devicesChanged, &loop, [&] {
        const QList<ListedPrinter> now = watcher.printers(known);
        for (const ListedPrinter &p : known) {
            if (std::none_of(now.begin(), now.end(),
                             [&](const ListedPrinter &n) { return n.sameDevice(p); }))
                printEvent(c, "left", p);
        }
        for (const ListedPrinter &p : now) {
            if (std::none_of(known.begin(), known.end(),
                             [&](const ListedPrinter &k) { return k.sameDevice(p); }))
                printEvent(c, "arrived", p);
        }
        known = now;
    });
    loop.exec();
    return Ok;
}

int list(Context &c)
{
    if (!c.arguments.isEmpty())
        return fail(c, UsageError, c.parser.helpText());
    if (c.parser.isSet(QStringLiteral("watch")))
        return watch(c);
    const QList<ListedPrinter> printers = listSupportedPrinters();
    if (printers.isEmpty())
        c.err << QObject::tr("没有找到打印机") << '\n';
    if (c.parser.isSet(QStringLiteral("json"))) {
        QJsonArray array;
        for (const ListedPrinter &p : printers)
            array.append(listJson(p));
        c.out << QJsonDocument(array).toJson();
        return Ok;
    }
    for (const ListedPrinter &p : printers)
        c.out << listLine(p) << '\n';
    return Ok;
}

// What the window locks for a model (its functional tab, the font download), the command line
// does not offer either.
int refuseIfLocked(Context &c, const Printer &printer, const QString &what)
{
    if (!modelgate::isLocked(printer.modelKey()))
        return Ok;
    return fail(c, Refused, QObject::tr("此机型（%1）不提供“%2”").arg(printer.model(), what));
}

int info(Context &c)
{
    Printer printer;
    if (const int exit = choosePrinter(c, printer))
        return exit;
    pages::Information information;
    const int r = pages::readInformation(printer.handle(), information).firstFailure();
    if (json(c)) {
        const auto number = [](const std::optional<int> &value) {
            return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
        };
        const auto text = [](const std::optional<QString> &value) {
            return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
        };
        printJson(c, QJsonDocument(QJsonObject{
                         {QStringLiteral("model"), text(information.model)},
                         {QStringLiteral("version"), text(information.version)},
                         {QStringLiteral("resolution"), number(information.resolution)},
                         {QStringLiteral("max-width-mm"), number(information.maxWidthMm)},
                     }));
        return r == 0 ? Ok : transportFailed(c);
    }
    c.out << "model=" << information.model.value_or(QString()) << '\n'
          << "version=" << information.version.value_or(QString()) << '\n'
          << "resolution="
          << (information.resolution ? QString::number(*information.resolution) : QString()) << '\n'
          << "max-width-mm="
          << (information.maxWidthMm ? QString::number(*information.maxWidthMm) : QString())
          << '\n';
    return r == 0 ? Ok : transportFailed(c);
}

int status(Context &c)
{
    Printer printer;
    if (const int exit = choosePrinter(c, printer))
        return exit;
    if (const int refused = refuseIfLocked(c, printer, QStringLiteral("status")))
        return refused;
    unsigned char reply[4] = {};
    int length = sizeof reply;
    if (CDeviceIOOpera::ReadFromControlEndpoint(printer.handle(), reply, length) != 0)
        return transportFailed(c);
    const std::optional<unsigned int> word = statusWordFromBytes(reply, length);
    if (!word)
        return transportFailed(c);
    if (json(c)) {
        QJsonArray conditions;
        for (const StatusCondition &condition : statusConditions(*word))
            conditions.append(QJsonObject{{QStringLiteral("name"), condition.name},
                                          {QStringLiteral("text"), condition.text}});
        printJson(c, QJsonDocument(QJsonObject{{QStringLiteral("word"), qint64(*word)},
                                               {QStringLiteral("idle"), conditions.isEmpty()},
                                               {QStringLiteral("conditions"), conditions}}));
        return Ok;
    }
    const QString text = checkPrinterStatus(*word);
    c.out << (text.isEmpty() ? QObject::tr("空闲中") + '\n' : text);
    return Ok;
}

int read(Context &c)
{
    if (c.arguments.size() != 1)
        return fail(c, UsageError, c.parser.helpText());
    Printer printer;
    int exit = Ok;
    std::unique_ptr<pages::SettingsPage> page = choosePage(c, printer, exit);
    if (!page)
        return exit;
    const int r = page->read(printer.handle());
    printValues(c, *page);
    return r == 0 ? Ok : transportFailed(c);
}

// Applies key=value arguments to the page; an exit status and message when one is refused.
// A key given twice is refused: which of the two was meant cannot be known.
int applyAssignments(Context &c, const QStringList &assignments, pages::SettingsPage &page)
{
    QStringList keys;
    for (const QString &assignment : assignments) {
        const int equals = assignment.indexOf(QLatin1Char('='));
        if (equals <= 0)
            return fail(c, UsageError, QObject::tr("参数“%1”不是 key=value 形式").arg(assignment));
        const QString key = assignment.left(equals);
        if (keys.contains(key))
            return fail(c, Refused, QObject::tr("设置项“%1”给出了两次。未发送任何设置。").arg(key));
        keys << key;
        if (const std::optional<QString> error = page.set(key, assignment.mid(equals + 1)))
            return fail(c, Refused, *error);
        if (const std::optional<pages::Refusal> refusal = page.checkValue(key))
            return fail(c, Refused, pages::refusalText(refusal->field, *refusal));
    }
    return Ok;
}

// A changed key whose value no frame of the write carries (the access point's name in station
// mode): the write would say it set what it did not send.
std::optional<QString> keyNotSent(const pages::SettingsPage &written,
                                  const pages::SettingsPage &asRead, const QStringList &keys)
{
    const QList<QByteArray> frames = pages::framesOf(written);
    for (const QString &key : keys) {
        const QString readValue = pages::valueOf(asRead, key);
        if (pages::valueOf(written, key) == readValue)
            continue;
        std::unique_ptr<pages::SettingsPage> reverted = written.clone();
        reverted->set(key, readValue);
        if (pages::framesOf(*reverted) == frames)
            return key;
    }
    return std::nullopt;
}

bool verifying(const Context &c) { return !c.parser.isSet(QStringLiteral("no-verify")); }

// Reports what the printer did not keep, one line per key; the exit status of the page.
int reportVerification(Context &c, const QString &page, const pages::Verification &v)
{
    if (v.readResult != 0)
        return fail(c, TransportFailed, page + ": " + QObject::tr("请确保打印机已通过usb进行连接"));
    for (const pages::Mismatch &m : v.mismatches)
        c.err << QObject::tr("%1 %2：写入 %3，打印机保存的是 %4")
                     .arg(page, m.key, m.expected, m.found)
              << '\n';
    return v.mismatches.isEmpty() ? Ok : NotKept;
}

int write(Context &c)
{
    if (c.arguments.size() < 2)
        return fail(c, UsageError, c.parser.helpText());
    Printer printer;
    int exit = Ok;
    std::unique_ptr<pages::SettingsPage> page = choosePage(c, printer, exit);
    if (!page)
        return exit;
    const QStringList assignments = c.arguments.mid(1);
    QStringList keys;
    for (const QString &assignment : assignments)
        keys << assignment.section(QLatin1Char('='), 0, 0);
    // Keys, choices and every value given are checked before the printer is asked anything.
    {
        std::unique_ptr<pages::SettingsPage> check =
            pages::pageNamed(page->name(), printer.modelKey());
        if (const int refused = applyAssignments(c, assignments, *check))
            return refused;
    }
    if (page->read(printer.handle()) != 0)
        return transportFailed(c);
    const std::unique_ptr<pages::SettingsPage> asRead = page->clone();
    if (const int refused = applyAssignments(c, assignments, *page))
        return refused;
    if (const std::optional<pages::Refusal> refusal = page->validate())
        return fail(c, Refused, pages::refusalText(refusal->field, *refusal));
    if (const std::optional<QString> unsent = keyNotSent(*page, *asRead, keys))
        return fail(c, Refused,
                    QObject::tr("“%1”在这些设置下不会发送给打印机。未发送任何设置。").arg(*unsent));
    if (page->write(printer.handle()) != 0)
        return transportFailed(c);
    if (verifying(c)) {
        const int kept = reportVerification(
            c, page->name(), pages::verifyWritten(printer.handle(), *page, printer.modelKey()));
        if (kept != Ok)
            return kept;
    }
    if (!c.parser.isSet(QStringLiteral("quiet"))) {
        for (const QString &key : keys) {
            const QString old = pages::valueOf(*asRead, key), now = pages::valueOf(*page, key);
            if (old != now)
                c.out << page->name() << ' ' << key << ": " << old << " -> " << now << '\n';
        }
    }
    return Ok;
}

int fileExists(Context &c, const QString &path)
{
    return fail(c, Refused, QObject::tr("文件已存在：%1。用 --force 替换它").arg(path));
}

int backup(Context &c)
{
    if (c.arguments.size() != 1)
        return fail(c, UsageError, c.parser.helpText());
    const QString path = c.arguments[0];
    const bool replace = c.parser.isSet(QStringLiteral("force"));
    // Said before the printer is asked anything; the save itself makes sure.
    if (!replace && (QFileInfo::exists(path) || QFileInfo(path).isSymLink()))
        return fileExists(c, path);
    Printer printer;
    if (const int exit = choosePrinter(c, printer))
        return exit;
    const profile::Snapshot snapshot =
        profile::readSnapshot(printer.handle(), printer.modelKey(), profile::Version::Read);
    if (!snapshot.complete())
        return transportFailed(c);
    const QByteArray json =
        QJsonDocument(profile::document(printer.model(), snapshot.version, snapshot.pages,
                                        !c.parser.isSet(QStringLiteral("no-secrets"))))
            .toJson();
    switch (profile::save(path, json, replace)) {
    case profile::Saved::Ok:
        return Ok;
    case profile::Saved::Exists:
        return fileExists(c, path);
    case profile::Saved::Failed:
        break;
    }
    return fail(c, Refused, QObject::tr("无法写入文件：%1").arg(path));
}

// A profile file, read and checked as a whole.
int readProfile(Context &c, const QString &path, profile::Parsed &parsed)
{
    if (const std::optional<QString> error = profile::load(path, parsed))
        return fail(c, Refused, *error);
    return Ok;
}

// Every page of the file checked for this model before anything is sent: its pages, keys and
// values. Whether each page is valid as a whole is checked once it is merged with the printer's
// own values, which a key the file leaves out keeps.
int checkProfileFor(Context &c, const profile::Parsed &parsed, const QString &modelKey)
{
    if (const std::optional<QString> error = profile::checkFor(parsed.pages, modelKey))
        return fail(c, Refused, *error);
    return Ok;
}

struct Restored {
    int exit = Ok;
    int written = 0; // pages written
    QString serial;  // the serial number, when asked for and read
};

// How a restore goes: a line a page, each written page read back, or only the frames printed.
struct RestoreMode {
    bool pageLines = false;
    bool verify = true;
    bool dryRun = false;
    bool serialNumber = false; // the printer's serial number for its line
};

RestoreMode restoreMode(const Context &c, bool pageLines)
{
    return {pageLines, verifying(c), c.parser.isSet(QStringLiteral("dry-run"))};
}

// The profile onto one printer: every page read and merged with the file and each merged page
// checked again (the printer's values the file does not carry may make it invalid) before the
// first write, so that a restore writes all of its pages or none; then each page written and,
// unless told not to, read back.
Restored restoreOnto(Context &c, Printer &printer, const profile::Parsed &parsed,
                     const RestoreMode &mode)
{
    Restored done;
    const profile::Merged merged =
        profile::mergeWithPrinter(printer.handle(), parsed.pages, printer.modelKey());
    // From the serial page as read, also when a later page's read failed.
    if (mode.serialNumber)
        done.serial = profile::serialNumber(printer.handle(), merged, printer.modelKey());
    if (merged.readResult != 0) {
        done.exit = fail(c, TransportFailed,
                         merged.failedPage + ": " + QObject::tr("请确保打印机已通过usb进行连接"));
        return done;
    }
    if (merged.refusal) {
        done.exit = fail(c, Refused, *merged.refusal);
        return done;
    }
    if (mode.dryRun) {
        for (const auto &page : merged.merged) {
            for (const QByteArray &frame : pages::framesOf(*page))
                c.out << page->name() << ": " << frame.toHex(' ').toUpper() << '\n';
        }
        return done;
    }
    const std::vector<profile::PageResult> results =
        profile::applyMerged(printer.handle(), merged, printer.modelKey(), mode.verify, false);
    done.written = profile::pagesWritten(results);
    for (const profile::PageResult &r : results) {
        if (mode.pageLines)
            c.out << r.page << ": "
                  << (r.result == 0 ? QObject::tr("设置成功")
                                    : QObject::tr("请确保打印机已通过usb进行连接"))
                  << '\n';
        if (r.result != 0) {
            done.exit = TransportFailed;
            continue;
        }
        const int kept = reportVerification(c, r.page, r.verification);
        if (done.exit == Ok)
            done.exit = kept;
    }
    return done;
}

// The profile onto one listed printer of its model, and the printer's line: USB path, serial
// number, pages written, outcome (restore --all and provision). The printer's exit status.
int restoreListed(Context &c, const ListedPrinter &listed, const profile::Parsed &parsed,
                  const RestoreMode &mode)
{
    Printer printer;
    Restored done;
    if (!listed.isReady()) {
        done.exit = unavailable(c, listed);
    } else if (!printer.open(listed)) {
        done.exit =
            fail(c, TransportFailed,
                 listed.identity.path() + ": " + QObject::tr("请确保打印机已通过usb进行连接"));
    } else {
        RestoreMode listedMode = mode;
        listedMode.serialNumber = true;
        done = restoreOnto(c, printer, parsed, listedMode);
    }
    const profile::Outcome outcome = done.exit == Ok        ? profile::Outcome::Kept
                                     : done.exit == NotKept ? profile::Outcome::NotKept
                                                            : profile::Outcome::Failed;
    c.out << profile::printerLine(listed.identity.path(), done.serial, done.written,
                                  profile::outcomeText(outcome))
                 .join(QLatin1Char('\t'))
          << '\n';
    c.out.flush();
    c.err.flush();
    return done.exit;
}

int restoreAll(Context &c, const profile::Parsed &parsed)
{
    const QList<ListedPrinter> ofModel = printersOfModel(listSupportedPrinters(), parsed.model);
    if (ofModel.isEmpty())
        return fail(c, NoSuchPrinter, QObject::tr("没有型号为 %1 的打印机").arg(parsed.model));
    if (const int refused = checkProfileFor(c, parsed, parsed.model + QLatin1Char(' ')))
        return refused;
    int result = Ok;
    for (const ListedPrinter &listed : ofModel) {
        const int exit = restoreListed(c, listed, parsed, restoreMode(c, false));
        if (result == Ok)
            result = exit;
    }
    return result;
}

int restore(Context &c)
{
    if (c.arguments.size() != 1)
        return fail(c, UsageError, c.parser.helpText());
    profile::Parsed parsed;
    if (const int exit = readProfile(c, c.arguments[0], parsed))
        return exit;
    if (c.parser.isSet(QStringLiteral("all")))
        return restoreAll(c, parsed);
    Printer printer;
    if (const int exit = choosePrinter(c, printer))
        return exit;
    if (parsed.model != printer.model() && !c.parser.isSet(QStringLiteral("force")))
        return fail(c, Refused,
                    QObject::tr("配置来自另一型号（%1），本打印机是 %2；用 --force 仍然写入")
                        .arg(parsed.model, printer.model()));
    if (const int refused = checkProfileFor(c, parsed, printer.modelKey()))
        return refused;
    return restoreOnto(c, printer, parsed, restoreMode(c, true)).exit;
}

// Waits for printers to be plugged in and restores the profile onto each new one of its model,
// a line a printer, until interrupted or until --count printers of the model were handled
// (failed ones too). The printers attached when it starts are left as they are; so is a printer
// of another model (a line says so; it does not count). Each printer is finished before an
// interruption takes effect. Exit status: the first failure's, as restore --all.
int provision(Context &c)
{
    if (c.arguments.size() != 1)
        return fail(c, UsageError, c.parser.helpText());
    int count = 0; // 0: until interrupted
    if (c.parser.isSet(QStringLiteral("count"))) {
        const QString value = c.parser.value(QStringLiteral("count"));
        bool number = false;
        count = value.toInt(&number);
        if (!number || count < 1)
            return fail(c, UsageError, QObject::tr("--count 须为正整数：%1").arg(value));
    }
    profile::Parsed parsed;
    if (const int exit = readProfile(c, c.arguments[0], parsed))
        return exit;
    if (const int refused = checkProfileFor(c, parsed, parsed.model + QLatin1Char(' ')))
        return refused;

    Listening listening;
    if (const int exit = listening.start(c))
        return exit;
    PrinterWatcher &watcher = listening.watcher;
    QEventLoop &loop = listening.loop;
    // Listed (which opens them to read their names) but never written.
    QList<ListedPrinter> known = watcher.printers({});
    c.err << QObject::tr("等待插入型号为 %1 的打印机；已连接的打印机不会改动").arg(parsed.model)
          << '\n';
    c.err.flush();

    int handled = 0;
    int result = Ok;
    const auto done = [&] { return interrupted || (count > 0 && handled >= count); };
    QObject::connect(&watcher, &PrinterWatcher::devicesChanged, &loop, [&] {
        // Plugs while a printer is being written come as the next signal.
        const QList<ListedPrinter> now = watcher.printers(known);
        for (const ListedPrinter &p : now) {
            if (done())
                break;
            if (std::any_of(known.begin(), known.end(),
                            [&](const ListedPrinter &k) { return k.sameDevice(p); }))
                continue;
            if (p.model() != parsed.model) {
                c.out << p.identity.path() << '\t' << p.model() << '\t'
                      << QObject::tr("另一型号，未改动") << '\n';
                c.out.flush();
                continue;
            }
            const int exit = restoreListed(c, p, parsed, RestoreMode{});
            ++handled;
            if (result == Ok)
                result = exit;
        }
        known = now;
        if (done())
            loop.quit();
    });
    loop.exec();
    return result;
}

// Two profiles' values side by side: one line per key that differs (page, key, one value, the
// other). Read-only keys (serial number, device information, MACs) are listed apart and never
// count as a difference.
int compareProfiles(Context &c, const QJsonObject &one, const QJsonObject &other,
                    const QString &modelKey)
{
    const QList<profile::Difference> found = profile::differences(one, other, modelKey);
    auto print = [&](bool readOnly) {
        for (const profile::Difference &d : found) {
            if (d.readOnly == readOnly)
                c.out << d.page << '\t' << d.key << '\t' << d.one << '\t' << d.other << '\n';
        }
    };
    print(false);
    if (found.size() > 0 &&
        !std::all_of(found.begin(), found.end(), [](const auto &d) { return !d.readOnly; })) {
        c.out << QObject::tr("只读（不计为差异）：") << '\n';
        print(true);
    }
    return profile::differ(found) ? 1 : Ok;
}

int diff(Context &c)
{
    if (c.arguments.isEmpty() || c.arguments.size() > 2)
        return fail(c, UsageError, c.parser.helpText());
    profile::Parsed one;
    if (const int exit = readProfile(c, c.arguments[0], one))
        return exit;
    if (c.arguments.size() == 2) {
        profile::Parsed other;
        if (const int exit = readProfile(c, c.arguments[1], other))
            return exit;
        return compareProfiles(c, one.pages, other.pages, one.model + QLatin1Char(' '));
    }
    Printer printer;
    if (const int exit = choosePrinter(c, printer))
        return exit;
    const profile::Snapshot mine =
        profile::readSnapshot(printer.handle(), printer.modelKey(), profile::Version::Skip);
    if (!mine.complete())
        return transportFailed(c);
    return compareProfiles(c, mine.pagesJson(), one.pages, printer.modelKey());
}

int maintain(Context &c)
{
    if (c.arguments.size() != 1)
        return fail(c, UsageError, c.parser.helpText());
    const maintenance::Command *command = maintenance::commandNamed(c.arguments[0]);
    if (!command)
        return fail(c, Refused, QObject::tr("未知的维护操作：%1").arg(c.arguments[0]));
    Printer printer;
    if (const int exit = choosePrinter(c, printer))
        return exit;
    if (const int refused = refuseIfLocked(c, printer, QStringLiteral("maintain")))
        return refused;
    // A script is not asked, but told what cannot be undone.
    const QString warning = maintenance::warningFor(*command, printer.name());
    if (!warning.isEmpty())
        c.out << warning << '\n' << Qt::flush;
    return maintenance::send(printer.handle(), *command) == 0 ? Ok : transportFailed(c);
}

// The progress of a download: a bar on a terminal, whole percentages a line otherwise.
void showProgress(Context &c, int percentage, bool terminal)
{
    if (!terminal) {
        c.out << percentage << "%\n";
    } else {
        constexpr int kWidth = 40;
        const int done = percentage * kWidth / 100;
        c.out << "\r[" << QString(done, QLatin1Char('#'))
              << QString(kWidth - done, QLatin1Char(' ')) << "] " << percentage << '%';
        if (percentage == 100)
            c.out << '\n';
    }
    c.out.flush();
}

int download(Context &c)
{
    if (c.arguments.size() != 2 || !QStringList{"firmware", "font"}.contains(c.arguments[0]))
        return fail(c, UsageError, c.parser.helpText());
    const QString chosen = c.arguments[1];
    Printer printer;
    if (const int exit = choosePrinter(c, printer))
        return exit;
    // The font download is not offered for locked models, as in the window.
    if (c.arguments[0] == QLatin1String("font") && modelgate::isLocked(printer.modelKey()))
        return fail(c, Refused, QObject::tr("此机型不提供字库下载"));

    const download::Prepared prepared = download::prepareFile(chosen);
    if (!prepared.ok())
        return fail(c, Refused, prepared.error);
    const QString &sideFile = prepared.sideFile;
    c.out << download::announcement(printer.name(), chosen, prepared.bytes) << '\n' << Qt::flush;

    // The same worker as the window's: it stops at the first failed chunk, closes the printer
    // and removes the side file however the stream ends.
    const auto *outFile = qobject_cast<QFile *>(c.out.device());
    const bool terminal = outFile && isatty(outFile->handle());
    WorkerThread worker;
    worker.handOver(printer.release(), sideFile);
    QEventLoop loop;
    QObject::connect(&worker, &WorkerThread::progressUpdated, &loop,
                     [&](int percentage) { showProgress(c, percentage, terminal); });
    QObject::connect(&worker, &WorkerThread::errorOccurred, &loop,
                     [&](const QString &message) { c.err << message << '\n'; });
    QObject::connect(&worker, &WorkerThread::finished, &loop, &QEventLoop::quit,
                     Qt::QueuedConnection);
    worker.start();
    loop.exec();
    worker.wait();
    return worker.sentEverything() ? Ok : TransportFailed;
}

struct Command {
    const char *name;
    const char *synopsis;
    const char *description; // translated in the QObject context
    int (*run)(Context &);
    QString (*moreHelp)(); // what the command's --help adds after its options; may be null
};

QStringList maintenanceNames()
{
    int count = 0;
    const maintenance::Command *all = maintenance::commands(&count);
    QStringList names;
    for (int i = 0; i < count; ++i)
        names << QLatin1String(all[i].name);
    return names;
}

QString readHelp()
{
    return pagesHelp() + '\n' + QObject::tr("例如：") +
           QStringLiteral("\n  label-printer-cli --port 1 read print\n"
                          "  label-printer-cli --port 1 read wifi --json\n");
}

QString writeHelp()
{
    return pagesHelp() + '\n' + QObject::tr("例如：") +
           QStringLiteral("\n  label-printer-cli --port 1 write print speed=3 label-gap=2 "
                          "language=TSPL\n"
                          "  label-printer-cli --port 1 write wifi mode=AP ap-name=Shop-7 "
                          "ap-ip=192.168.4.1\n");
}

QString provisionHelp()
{
    return QObject::tr(
               "只处理启动后插入的打印机，已连接的打印机不会改动。每台该型号的打印机输出一行："
               "USB路径、序列号、写入的页面数和核对结果，与 restore --all 相同；"
               "另一型号的打印机输出一行（USB路径和型号）并保持不变，不计入 --count。"
               "写入中被拔出或无法使用的打印机记为失败，其他打印机照常处理。") +
           '\n' +
           QObject::tr("--count N：处理完 N 台该型号的打印机（包括失败的）后结束；"
                       "没有 --count 时一直等待，直到被中断（Ctrl+C、SIGTERM），"
                       "正在写入的打印机先写完。") +
           '\n' +
           QObject::tr(
               "退出状态：处理过的打印机全部写入并核对成功时为 0，否则为第一个失败的状态。") +
           '\n' + QObject::tr("例如：") +
           QStringLiteral("\n  label-printer-cli provision fleet.json --count 20\n");
}

QString maintainHelp()
{
    return QObject::tr("操作：") + '\n' + maintenanceNames().join(QStringLiteral(", ")) + '\n';
}

const Command kCommands[] = {
    {"list", "[--json] [--watch]",
     QT_TRANSLATE_NOOP("QObject",
                       "列出连接的打印机：端口、品牌、型号、厂商和产品ID、USB路径和状态"),
     list, nullptr},
    {"info", "", QT_TRANSLATE_NOOP("QObject", "读取打印机的资讯（型号、版本等）"), info, nullptr},
    {"status", "", QT_TRANSLATE_NOOP("QObject", "读取并解码打印机状态"), status, nullptr},
    {"read", "PAGE", QT_TRANSLATE_NOOP("QObject", "读取一个设置页面，每行一个 key=value"), read,
     readHelp},
    {"write", "PAGE key=value...",
     QT_TRANSLATE_NOOP("QObject", "读取页面，修改给出的设置项，再写入"), write, writeHelp},
    {"backup", "FILE", QT_TRANSLATE_NOOP("QObject", "把本机型的所有设置页面保存到一个JSON文件"),
     backup, nullptr},
    {"restore", "FILE", QT_TRANSLATE_NOOP("QObject", "先检查整个文件，再把其中的页面写入打印机"),
     restore, nullptr},
    {"provision", "FILE [--count N]",
     QT_TRANSLATE_NOOP("QObject", "等待打印机插入，把配置写入每台新插入的该型号打印机并核对"),
     provision, provisionHelp},
    {"diff", "FILE [FILE]",
     QT_TRANSLATE_NOOP("QObject", "比较打印机与配置文件，或两个配置文件；有差异时退出状态为 1"),
     diff, nullptr},
    {"maintain", "ACTION", QT_TRANSLATE_NOOP("QObject", "执行一个维护操作"), maintain,
     maintainHelp},
    {"download", "firmware|font FILE",
     QT_TRANSLATE_NOOP("QObject", "解密固件或字库文件并下载到打印机"), download, nullptr},
};

// The options and the commands that take each: a command's --help shows only its own, and a
// command refuses the others. One line an option.
struct Option {
    const char *name;
    const char *valueName;   // empty for a switch
    const char *description; // translated in the QObject context
    const char *commands;    // the commands that take it, separated by blanks
};

const Option kOptions[] = {
    {"port", "PORT", QT_TRANSLATE_NOOP("QObject", "打印机的USB端口号或USB路径（如 4、2.4、1-2.4）"),
     "info status read write backup restore diff maintain download"},
    {"json", "", QT_TRANSLATE_NOOP("QObject", "以JSON输出"), "list info status read"},
    {"watch", "", QT_TRANSLATE_NOOP("QObject", "列出后继续报告每次插入和拔出，直到被中断"), "list"},
    {"force", "",
     QT_TRANSLATE_NOOP("QObject", "restore：也写入另一型号的配置；backup：替换已有的文件"),
     "restore backup"},
    {"no-secrets", "", QT_TRANSLATE_NOOP("QObject", "backup：不保存Wi-Fi密码和蓝牙PIN码"),
     "backup"},
    {"verbose", "", QT_TRANSLATE_NOOP("QObject", "在标准错误上输出诊断信息"),
     "list info status read write backup restore provision diff maintain download"},
    {"dry-run", "", QT_TRANSLATE_NOOP("QObject", "只打印将要发送的帧"), "restore"},
    {"quiet", "", QT_TRANSLATE_NOOP("QObject", "不列出修改了的设置项"), "write"},
    {"no-verify", "", QT_TRANSLATE_NOOP("QObject", "写入后不读回核对"), "write restore"},
    {"all", "", QT_TRANSLATE_NOOP("QObject", "写入所有该型号的打印机"), "restore"},
    {"count", "N", QT_TRANSLATE_NOOP("QObject", "处理完 N 台该型号的打印机（包括失败的）后结束"),
     "provision"},
};

bool takes(const Option &option, const char *command)
{
    return QString::fromLatin1(option.commands)
        .split(QLatin1Char(' '))
        .contains(QLatin1String(command));
}

QCommandLineOption qtOption(const Option &option)
{
    return QCommandLineOption(QLatin1String(option.name), QObject::tr(option.description),
                              QLatin1String(option.valueName));
}

const Command *commandNamed(const QString &name)
{
    for (const Command &command : kCommands) {
        if (name == QLatin1String(command.name))
            return &command;
    }
    return nullptr;
}

// The help without a command: its options, then the commands, each with what it does.
QString overallHelp()
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QObject::tr("标签机设置工具"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("command"), QObject::tr("下列命令之一"));
    int width = 0;
    for (const Command &command : kCommands)
        width = std::max(width, int(qstrlen(command.name)));
    QString text = parser.helpText() + '\n' + QObject::tr("命令：") + '\n';
    for (const Command &command : kCommands)
        text += QStringLiteral("  %1  %2\n")
                    .arg(QString::fromLatin1(command.name), -width)
                    .arg(QObject::tr(command.description));
    return text + '\n' + QObject::tr("“label-printer-cli 命令 --help”说明一个命令及其选项。") +
           '\n';
}

} // namespace

QList<CommandOptions> commandOptions()
{
    QList<CommandOptions> all;
    for (const Command &command : kCommands) {
        CommandOptions entry{QLatin1String(command.name), {QStringLiteral("--help")}, {}};
        for (const Option &option : kOptions) {
            if (!takes(option, command.name))
                continue;
            const QString name = QStringLiteral("--") + QLatin1String(option.name);
            entry.options << name;
            if (*option.valueName)
                entry.valueOptions << name;
        }
        all << entry;
    }
    return all;
}

int run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    QStringList withProgram = arguments;
    withProgram.prepend(QStringLiteral("label-printer-cli"));

    // Every option of every command first, to find the command.
    QCommandLineParser overall;
    overall.addHelpOption();
    overall.addVersionOption();
    for (const Option &option : kOptions)
        overall.addOption(qtOption(option));
    if (!overall.parse(withProgram))
        return err << overall.errorText() << '\n', UsageError;
    if (overall.isSet(QStringLiteral("version"))) {
        out << "label-printer-cli " << QCoreApplication::applicationVersion() << '\n';
        return Ok;
    }
    const QStringList positional = overall.positionalArguments();
    const Command *command = commandNamed(positional.value(0));
    if (!command) {
        if (overall.isSet(QStringLiteral("help"))) {
            out << overallHelp();
            return Ok;
        }
        err << (positional.isEmpty() ? QObject::tr("缺少命令")
                                     : QObject::tr("未知的命令：%1").arg(positional.first()))
            << '\n'
            << overallHelp();
        return UsageError;
    }

    // Then the command's own options only.
    QCommandLineParser parser;
    parser.setApplicationDescription(QObject::tr(command->description));
    parser.addHelpOption();
    for (const Option &option : kOptions) {
        if (takes(option, command->name))
            parser.addOption(qtOption(option));
    }
    parser.addPositionalArgument(QLatin1String(command->name), QLatin1String(command->synopsis),
                                 QStringLiteral("%1 %2").arg(command->name, command->synopsis));
    if (!parser.parse(withProgram))
        return err << parser.errorText() << '\n', UsageError;
    if (parser.isSet(QStringLiteral("help"))) {
        out << parser.helpText();
        if (command->moreHelp)
            out << '\n' << command->moreHelp();
        return Ok;
    }
    if (parser.isSet(QStringLiteral("verbose")))
        logging::configure(true);
    Context context{parser, parser.positionalArguments().mid(1), out, err};
    return command->run(context);
}

} // namespace cli
