#include "core/protocol/maintenancecommands.h"
#include "cli/commandcontext.h"
#include "cli/commands.h"
#include "cli/recording.h"
#include "core/history/record.h"

#include <QJsonObject>
#include <QObject>

namespace cli {

namespace {

// Initialisation erases the printer's settings, a restart drops what it is doing: asked on a
// terminal, and from a script only with --yes.
bool needsConsent(const maintenance::Command &command)
{
    return qstrcmp(command.name, "initialise") == 0 || qstrcmp(command.name, "restart") == 0;
}

// Ok once the user said yes on the terminal.
int ask(Context &c, const maintenance::Command &command, const QString &printer)
{
    QString warning = maintenance::warningFor(command, printer);
    if (warning.isEmpty())
        warning = QObject::tr("即将重启打印机 %1。").arg(printer);
    c.err << warning << ' ' << QObject::tr("是否继续？[y/N] ") << Qt::flush;
    const QString answer = c.input.stream->readLine().trimmed().toLower();
    if (answer == QLatin1String("y") || answer == QLatin1String("yes"))
        return Ok;
    return fail(c, Refused, QObject::tr("已取消，未发送任何命令"));
}

} // namespace

int maintain(Context &c)
{
    if (c.arguments.size() != 1)
        return fail(c, UsageError, c.parser.helpText());
    const maintenance::Command *command = maintenance::commandNamed(c.arguments[0]);
    if (!command)
        return fail(c, Refused, QObject::tr("未知的维护操作：%1").arg(c.arguments[0]));
    const bool consent = !needsConsent(*command) || c.parser.isSet(QStringLiteral("yes"));
    const bool terminal = c.input.terminal && c.input.stream;
    if (!consent && !terminal)
        return fail(c, UsageError,
                    QObject::tr("“%1”无法撤销，须经确认：请在终端上运行，或加上 --yes")
                        .arg(QLatin1String(command->name)));
    Printer printer;
    if (const int exit = choosePrinter(c, printer))
        return exit;
    if (const int refused = refuseIfLocked(c, printer, QStringLiteral("maintain")))
        return refused;
    const QString warning = maintenance::warningFor(*command, printer.name());
    if (!consent) {
        if (const int declined = ask(c, *command, printer.name()))
            return declined;
    } else if (!warning.isEmpty() && !json(c)) {
        // Told with --yes what cannot be undone (with --json in the document).
        c.out << warning << '\n' << Qt::flush;
    }
    // The serial number is asked first: after a restart or an initialisation it may not answer.
    history::Action action =
        actionOn(printer, history::Kind::Maintenance, QLatin1String(command->name));
    const int r = maintenance::send(printer.handle(), *command);
    history::describeMaintenance(action, *command, r);
    history::record(action);
    if (r != 0)
        return transportFailed(c);
    if (json(c)) {
        QJsonObject document{{QStringLiteral("action"), c.arguments[0]},
                             {QStringLiteral("printer"), identityJson(printer)},
                             {QStringLiteral("sent"), true}};
        if (!warning.isEmpty())
            document.insert(QStringLiteral("warning"), warning);
        printJson(c, document);
    }
    return Ok;
}

} // namespace cli
