// The window's checks around a download: the questions before the stream (a busy printer, the
// version the printer already has, the download itself) and the report once the printer has been
// waited for, with the question whether to write changed settings back.
#include "window/app/mainwindow.h"

#include "core/download/downloadfile.h"
#include "core/download/downloadguard.h"
#include "core/download/downloadreport.h"
#include "core/settings/pagereads.h"
#include "ui_mainwindow.h"
#include "window/app/messages.h"
#include "window/app/pendingdownload.h"
#include "window/app/selectedprinter.h"

bool MainWindow::askBeforeDownload(SelectedPrinter &printer, const download::Manifest *manifest,
                                   QString announcement)
{
    // The printer must be idle, or the user must say so a second time.
    const std::optional<QList<StatusCondition>> conditions =
        download::readConditions(printer.handle());
    if (!conditions && !messages::confirm(this, download::statusUnknownText(printer.name())))
        return false;
    if (conditions && !conditions->isEmpty() &&
        !messages::confirm(this, download::busyText(printer.name(), *conditions)))
        return false;
    // A manifest's version is compared before the question; the settings are read and saved only
    // once the user has said yes.
    if (manifest && !manifest->version.isEmpty()) {
        pages::Information information;
        if (pages::readInformation(printer.handle(), information, false).version != 0) {
            messages::connectionFailed(this);
            return false;
        }
        const QString version = information.version.value_or(QString());
        const QString already = download::alreadyInstalledText(printer.name(), version);
        if (download::alreadyInstalled(*manifest, version) &&
            !messages::confirm(this, already + QObject::tr("。再次下载会重新安装同一版本。"))) {
            messages::show(this, download::outcomeWord(download::Outcome::Skipped) +
                                     QObject::tr("：") + already);
            return false;
        }
        announcement += '\n' + download::installsVersion(manifest->version);
    }
    // The last chance to stop: nothing has been sent yet.
    return messages::confirm(this, announcement);
}

// The printer answered again, or did not in time: the outcome, and for changed settings the
// question whether to write back those saved before.
void MainWindow::reportDownload(const std::shared_ptr<Pending> &pending)
{
    PrinterReturn *back = downloadReturn;
    if (!back)
        return;
    downloadReturn = nullptr;
    back->deleteLater();
    form->statusbar->clearMessage();
    download::Report report =
        download::assess(pending->name, pending->printer.identity.path(), pending->before,
                         back->isBack() ? &back->after() : nullptr, back->conditions(),
                         pending->expectedVersion, pending->printer.modelKey, kReturnWaitMs / 1000);
    if (!report.changed.isEmpty() &&
        messages::confirm(this, download::describe(report).join('\n') + QStringLiteral("\n\n") +
                                    QObject::tr("按下载前的设置写回有变化的设置并核对？"))) {
        SelectedPrinter again(pending->printer.identity, pending->rowText);
        download::Restore restore;
        if (again.isOpen())
            restore = download::restoreSettings(again.handle(), pending->before.snapshot,
                                                pending->printer.modelKey);
        else
            restore.failure = QObject::tr("请确保打印机已通过usb进行连接");
        download::restored(report, restore);
    }
    pending->record.versionAfter = report.versionAfter;
    pending->record.outcome = report.outcome;
    download::recordDownload(pending->record);
    setPrinterControlsLocked(false);
    catchUpWithPlugs(); // the list did not change while the download ran
    // A printer that restarted is a new device on the bus, and its old row went with the old one:
    // the printer that came back at that path is the selected printer again.
    if (back->isBack() && form->listWidget->currentRow() == -1) {
        for (int row = 0; row < listedPrinters.size(); ++row) {
            if (listedPrinters[row].identity == pending->printer.identity)
                form->listWidget->setCurrentRow(row);
        }
    }
    const QString text = download::describe(report).join('\n');
    if (download::exitStatus(report.outcome) == 0)
        QMessageBox::information(this, tr("下载成功"), text, QMessageBox::Ok,
                                 QMessageBox::NoButton);
    else
        messages::warn(this, text);
}
