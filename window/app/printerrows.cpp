// The printer list: its rows, and how it follows plugs and unplugs. A row stands for one plugged-in
// printer (its path and its address on the bus); a printer the tool cannot use is listed all the
// same, disabled, with the reason.
#include "window/app/mainwindow.h"

#include "core/printers/printeraccess.h"
#include "core/printers/printerwatcher.h"
#include "ui_mainwindow.h"
#include "window/app/applog.h"
#include "window/app/messages.h"
#include "window/app/selectedprinter.h"

#include <QTimer>

void MainWindow::setFollowingPlugs(bool on)
{
    if (on == isFollowingPlugs())
        return;
    if (!on) {
        delete printerWatcher;
        printerWatcher = nullptr;
        plugsPending = false;
        return;
    }
    printerWatcher = new PrinterWatcher(this);
    if (!printerWatcher->start()) {
        qCDebug(lcApp, "the printer list follows no plugs here: press Get list");
        delete printerWatcher;
        printerWatcher = nullptr;
        return;
    }
    connect(printerWatcher, &PrinterWatcher::devicesChanged, this, &MainWindow::followPlugs);
    connect(
        &ClickTracker::instance(), &ClickTracker::clicksEnded, printerWatcher,
        [this] { catchUpWithPlugs(); }, Qt::QueuedConnection);
}

bool MainWindow::isFollowingPlugs() const { return printerWatcher != nullptr; }

QListWidgetItem *MainWindow::printerItem(const ListedPrinter &printer, const QString &text) const
{
    auto *item = new QListWidgetItem(text);
    SelectedPrinter::setIdentity(item, printer.identity);
    QString tip = QObject::tr("USB 总线 %1，端口路径 %2")
                      .arg(printer.identity.bus)
                      .arg(printer.identity.portPath());
    if (!printer.isReady()) {
        // Nothing can be done with it: it cannot become the selected printer.
        item->setFlags(item->flags() & ~(Qt::ItemIsEnabled | Qt::ItemIsSelectable));
        tip += '\n' + accessReason(printer.access);
    }
    item->setToolTip(tip);
    return item;
}

void MainWindow::showPrinters(const QList<ListedPrinter> &printers)
{
    // A new list: what it said about a printer that left no longer applies.
    form->statusbar->clearMessage();
    form->listWidget->clear();
    listedPrinters = printers;
    const QStringList rows = printerRows(printers);
    for (int i = 0; i < printers.size(); ++i)
        form->listWidget->addItem(printerItem(printers[i], rows[i]));
    offerAccessRemedy();
}

void MainWindow::followPlugs()
{
    if (downloadWorker || downloadReturn || ClickTracker::instance().clickInProgress()) {
        plugsPending = true;
        return;
    }
    plugsPending = false;
    // Only printers not listed yet are opened.
    updatePrinterRows(printerWatcher->printers(listedPrinters));
}

void MainWindow::catchUpWithPlugs()
{
    if (plugsPending && printerWatcher)
        followPlugs();
}

void MainWindow::updatePrinterRows(const QList<ListedPrinter> &attached)
{
    QListWidget *list = form->listWidget;
    const PrinterChanges changes = printerChanges(listedPrinters, attached);
    QString left;
    for (auto row = changes.leftRows.crbegin(); row != changes.leftRows.crend(); ++row) {
        QListWidgetItem *item = list->item(*row);
        if (item == list->currentItem()) {
            left = item->text();
            list->setCurrentRow(-1);
            disableWriteButtons();
        }
        delete list->takeItem(*row);
        listedPrinters.removeAt(*row);
    }
    // Newcomers go to the end; the rows that stay keep their place and their selection, and the
    // model-support gate does not run for them again.
    listedPrinters << changes.arrived;
    const QStringList rows = printerRows(listedPrinters);
    for (int row = 0; row < list->count(); ++row) {
        if (list->item(row)->text() != rows[row])
            list->item(row)->setText(rows[row]);
    }
    for (int row = list->count(); row < listedPrinters.size(); ++row)
        list->addItem(printerItem(listedPrinters[row], rows[row]));
    if (!left.isEmpty())
        form->statusbar->showMessage(QObject::tr("所选的打印机已断开：%1").arg(left));
    offerAccessRemedy();
}

void MainWindow::offerAccessRemedy()
{
    if (remedyOffered)
        return;
    QStringList denied;
    const QStringList rows = printerRows(listedPrinters);
    for (int i = 0; i < listedPrinters.size(); ++i) {
        if (listedPrinters[i].access == PrinterAccess::NoPermission)
            denied << rows[i];
    }
    if (denied.isEmpty())
        return;
    // Once per window: the rows keep saying it.
    remedyOffered = true;
    const QString text = QObject::tr("没有权限打开这些打印机：") + "\n" + denied.join('\n') +
                         "\n\n" + printeraccess::remedy(printeraccess::thisSystem());
    // After the list has changed, not in the middle of it.
    QTimer::singleShot(0, this, [this, text] { messages::show(this, text); });
}
