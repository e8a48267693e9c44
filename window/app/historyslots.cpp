// The "历史记录…" entry of the profile menu: the selected printer's history, found by the serial
// number it reports, and undoing one of its actions after a question.
#include "window/app/mainwindow.h"

#include "core/history/record.h"
#include "core/history/undo.h"
#include "ui_mainwindow.h"
#include "window/app/messages.h"
#include "window/app/selectedprinter.h"
#include "window/fleet/historydialog.h"

namespace {

// Which printer the selected row is, by serial number; empty after a box said why not.
QString selectedSerial(QWidget *parent, SelectedPrinter &printer)
{
    if (!printer.isOpen())
        return QString();
    const QString serial = history::askSerialNumber(printer.handle());
    if (serial.isEmpty())
        messages::connectionFailed(parent);
    return serial;
}

std::optional<QList<history::Entry>> load(QWidget *parent, const QString &serial)
{
    QString why;
    history::Filter filter;
    filter.serial = serial;
    std::optional<QList<history::Entry>> found = history::entries(filter, why);
    if (!found)
        messages::warn(parent,
                       QObject::tr("无法读取历史记录 %1：%2").arg(history::journalPath(), why));
    return found;
}

// What an undo did: its outcome, each page, and the secrets it could not put back.
QString undoReport(const history::Undone &undone)
{
    QStringList lines{undone.action.outcome};
    lines << profile::pageLines(undone.result);
    for (const QString &skipped : undone.skipped)
        lines << QObject::tr("%1：历史中没有它的值，打印机保留自己的").arg(skipped);
    return lines.join(QLatin1Char('\n'));
}

} // namespace

void MainWindow::showHistory()
{
    QString serial, name;
    {
        SelectedPrinter printer(this, form->listWidget);
        serial = selectedSerial(this, printer);
        name = printer.name();
    }
    if (serial.isEmpty())
        return;
    const std::optional<QList<history::Entry>> entries = load(this, serial);
    if (!entries)
        return;
    HistoryDialog dialog(this, tr("打印机：%1\n序列号：%2").arg(name, serial));
    dialog.setEntries(*entries);
    dialog.undo = [&](const history::Entry &entry) {
        const QString question = tr("把操作 %1（%2 %3）之前的值写回打印机 %4？")
                                     .arg(QString::number(entry.id), history::kindText(entry.kind),
                                          entry.action.detail, name);
        if (!messages::confirm(&dialog, question))
            return;
        SelectedPrinter printer(&dialog, form->listWidget);
        const QString now = selectedSerial(&dialog, printer);
        if (now.isEmpty())
            return;
        const history::Undone undone =
            history::undo(printer.handle(), printer.modelKey(), entry, now, history::kWindow,
                          printer.identity().path());
        if (!undone.ran()) {
            messages::warn(&dialog, undone.refusal);
            return;
        }
        const bool ok =
            profile::succeeded(undone.result, profile::Asked{}) && undone.skipped.isEmpty();
        (ok ? messages::show : messages::warn)(&dialog, undoReport(undone));
        if (const std::optional<QList<history::Entry>> again = load(&dialog, serial))
            dialog.setEntries(*again);
    };
    dialog.exec();
}
