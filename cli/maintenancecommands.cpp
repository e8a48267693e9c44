#include "cli/commandcontext.h"
#include "cli/commands.h"
#include "core/protocol/maintenancecommands.h"

#include <QObject>

namespace cli {

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

} // namespace cli
