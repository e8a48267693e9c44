#include "cli/commandcontext.h"

#include "cli/jsonoutput.h"
#include "cli/listing.h"
#include "core/printers/printeraccess.h"
#include "core/protocol/printerqueries.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QObject>
#include <QSocketNotifier>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace cli {

int fail(Context &c, Exit exit, const QString &message)
{
    // A script that asked for JSON reads its errors as JSON too.
    if (json(c))
        c.err << errorDocument(exit, message);
    else
        c.err << message << '\n';
    return exit;
}

int transportFailed(Context &c)
{
    QString message = QObject::tr("请确保打印机已通过usb进行连接");
    // Once, however many replies came short: the first says what happened.
    if (const std::optional<CutReply> cut = takeCutReply())
        message = QObject::tr("打印机对查询 %1 的回复不完整（只收到 %2 个字节）。")
                      .arg(QString::asprintf("0x%02X", unsigned(cut->code)))
                      .arg(cut->bytes) +
                  message;
    return fail(c, TransportFailed, message);
}

int readFailed(Context &c, const Printer &printer)
{
    if (printer.handle()->notAnswering)
        return fail(c, TransportFailed, QObject::tr("打印机没有应答"));
    return transportFailed(c);
}

namespace {

// Whether --port names this printer: its port number ("4"), its ports from the root hub on any
// bus ("2.4"), or its bus and ports ("1-2.4").
// Every form is read as numbers, so that leading zeros mean the same in each ("05" is port 5).
bool portNames(const QString &port, const ListedPrinter &printer)
{
    if (port.contains(QLatin1Char('-')))
        return PrinterIdentity::parse(port) == printer.identity;
    const std::optional<PrinterIdentity> ports =
        PrinterIdentity::parse(QStringLiteral("1-") + port);
    if (!ports)
        return false;
    if (port.contains(QLatin1Char('.')))
        return ports->ports == printer.identity.ports;
    return ports->ports.size() == 1 && ports->ports.first() == printer.port;
}

bool isPortText(const QString &port)
{
    if (port.contains(QLatin1Char('-')))
        return PrinterIdentity::parse(port).has_value();
    return PrinterIdentity::parse(QStringLiteral("1-") + port).has_value();
}

} // namespace

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

namespace {

// The printer whose serial number is `serial`: every attached printer the user may open is asked
// for its own. One printer or none: a number that names none or several is refused with the
// attached printers' numbers and paths.
int printerOfSerial(Context &c, QList<ListedPrinter> listed, const QString &serial,
                    std::optional<ListedPrinter> &chosen)
{
    if (listed.isEmpty())
        return fail(c, NoSuchPrinter, QObject::tr("没有找到打印机"));
    sortByPath(listed);
    QList<SerialReading> serials;
    QList<ListedPrinter> matching;
    for (const ListedPrinter &p : listed) {
        serials << readSerial(p);
        if (serials.last().serial == serial)
            matching << p;
    }
    if (matching.size() == 1) {
        chosen = matching.first();
        return Ok;
    }
    const QString message = matching.isEmpty()
                                ? QObject::tr("没有序列号为 %1 的打印机。连接的打印机：")
                                : QObject::tr("序列号 %1 对应多台打印机，请用 --port 指定一台：");
    return fail(c, UsageError, message.arg(serial) + attachedLines(listed, serials));
}

} // namespace

// The printer of --port or --serial, or the only one attached.
int choosePrinter(Context &c, Printer &printer)
{
    takeCutReply(); // what an earlier command of this process met is not this one's

    const QList<ListedPrinter> listed = listSupportedPrinters();
    std::optional<ListedPrinter> chosen;
    const bool bySerial = c.parser.isSet(QStringLiteral("serial"));
    if (bySerial && c.parser.isSet(QStringLiteral("port")))
        return fail(c, UsageError, QObject::tr("--port 和 --serial 只能给出一个"));
    if (bySerial) {
        if (const int exit =
                printerOfSerial(c, listed, c.parser.value(QStringLiteral("serial")), chosen))
            return exit;
    } else if (c.parser.isSet(QStringLiteral("port"))) {
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

// Refuses a maintenance command or the status request (`what`) for a model that does not offer
// them: the window disables its functional tab for such a model.
int refuseIfLocked(Context &c, const Printer &printer, const QString &what)
{
    if (modelgate::offerOf(printer.modelKey()).maintenance)
        return Ok;
    return fail(c, Refused, QObject::tr("此机型（%1）不提供“%2”").arg(printer.model(), what));
}

// Asked of every failure, also of a command that takes no --json: optionNames() says what was
// given without isSet()'s warning about an option the command does not know.
bool json(const Context &c) { return c.parser.optionNames().contains(QStringLiteral("json")); }

void printJson(Context &c, const QJsonObject &object)
{
    c.out << QJsonDocument(withSchema(object)).toJson();
}

void printJsonLine(Context &c, const QJsonObject &object)
{
    c.out << QJsonDocument(withSchema(object)).toJson(QJsonDocument::Compact) << '\n';
    c.out.flush();
}

QJsonObject identityJson(const ListedPrinter &printer)
{
    return {{QStringLiteral("path"), printer.identity.path()},
            {QStringLiteral("model"), printer.model()}};
}

QJsonObject identityJson(const Printer &printer) { return identityJson(printer.listed()); }

bool verifying(const Context &c) { return !c.parser.isSet(QStringLiteral("no-verify")); }

namespace {

// SIGINT and SIGTERM end a command that waits for plugs (list --watch, provision) through this
// pipe, and set the flag.
int interruptPipe[2] = {-1, -1};
volatile sig_atomic_t interrupted = 0;

void onInterrupt(int)
{
    const int saved = errno;
    interrupted = 1;
    const char byte = 0;
    if (::write(interruptPipe[1], &byte, 1) < 0) {
    }
    errno = saved;
}

} // namespace

bool interruptedBySignal() { return interrupted; }

bool Interruption::install(QEventLoop &loop)
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

void Interruption::onSignal(const std::function<void()> &handler)
{
    if (!notifier_)
        return;
    QObject::disconnect(notifier_.get(), &QSocketNotifier::activated, nullptr, nullptr);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [handler] {
        char drain[16];
        while (::read(interruptPipe[0], drain, sizeof drain) > 0) {
        }
        handler();
    });
}

Interruption::~Interruption()
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

int Listening::start(Context &c)
{
    if (!watcher.start())
        return fail(c, NoSuchPrinter, QObject::tr("此系统不提供USB热插拔事件"));
    if (!interruption.install(loop))
        return fail(c, NoSuchPrinter, QString::fromLocal8Bit(strerror(errno)));
    attached = watcher.printers({});
    return Ok;
}

void Listening::run(const std::function<void(const PrinterChanges &)> &changed)
{
    const QMetaObject::Connection connection =
        QObject::connect(&watcher, &PrinterWatcher::devicesChanged, &loop,
                         [&] { changed(watcher.changesSince(attached)); });
    loop.exec();
    QObject::disconnect(connection);
}

} // namespace cli
