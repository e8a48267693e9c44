// Firmware and font download: the two buttons of the maintenance tab. The slot checks the chosen
// file and its manifest, decrypts the file into a side file on the GUI thread, asks (see
// downloadchecks.cpp), saves the printer's settings and hands the side file and the open printer
// to a WorkerThread, which streams it; then the printer is waited for and compared with what was
// saved. Until then every control that talks to a printer is locked.
#include "window/app/mainwindow.h"

#include "core/download/downloadfile.h"
#include "core/download/downloadguard.h"
#include "core/download/downloadreport.h"
#include "core/download/printerreturn.h"
#include "core/download/settingssnapshot.h"
#include "core/download/workerthread.h"
#include "core/history/action.h"
#include "core/settings/pagereads.h"
#include "ui_mainwindow.h"
#include "window/app/maintenancelog.h"
#include "window/app/messages.h"
#include "window/app/pendingdownload.h"
#include "window/app/selectedprinter.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QScopeGuard>
#include <QTabBar>

Q_LOGGING_CATEGORY(lcMaintenance, "labelsetup.maintenance")

namespace {
constexpr int kSettingsTab = 0;
} // namespace

void MainWindow::on_pushButton_34_clicked()
{
    downloadFile(QStringLiteral("HEX File"), QStringLiteral("HEX Files (*.hex);;All Files (*)"));
}

void MainWindow::on_pushButton_35_clicked()
{
    downloadFile(QStringLiteral("BIN File"), QStringLiteral("BIN Files (*.bin);;All Files (*)"));
}

void MainWindow::showDownloadError(const QString &text)
{
    QMessageBox::critical(this, tr("错误"), text, QMessageBox::Ok, QMessageBox::NoButton);
}

void MainWindow::downloadFile(const QString &caption, const QString &filter)
{
    if (downloadWorker || downloadReturn) // the buttons are locked meanwhile; one at a time
        return;
    SelectedPrinter printer(this, form->listWidget);
    if (!printer.isOpen())
        return;
    const QString rowText = form->listWidget->currentItem()->text();

    const QString chosen = QFileDialog::getOpenFileName(nullptr, caption, QString(), filter);
    if (chosen.isEmpty()) {
        qCDebug(lcMaintenance, "No file selected!");
        return;
    }
    const QString shown = QDir::toNativeSeparators(chosen);
    const QString model = printer.modelKey().name();
    std::optional<download::Manifest> manifest;
    std::optional<QString> refused = download::checkFile(chosen, shown, QString(), manifest);
    if (!refused && manifest)
        refused = download::checkModel(*manifest, model);
    if (refused) {
        showDownloadError(*refused);
        return;
    }
    const download::Prepared prepared = download::prepareFile(chosen, &QDir::toNativeSeparators);
    if (!prepared.ok()) {
        showDownloadError(prepared.error);
        return;
    }
    const QString &sideFile = prepared.sideFile;
    // Whatever stops the download from here on, the side file goes; the worker removes it once it
    // has it.
    bool handedOver = false;
    const auto removeSideFile = qScopeGuard([&] {
        if (!handedOver)
            QFile::remove(sideFile);
    });
    if (!askBeforeDownload(printer, manifest ? &*manifest : nullptr,
                           download::announcement(printer.name(), shown, prepared.bytes)))
        return;
    auto pending = std::make_shared<Pending>();
    pending->before = download::readBefore(printer.handle(), printer.modelKey());
    pending->record.frontEnd = history::kWindow;
    pending->record.when = QDateTime::currentDateTime();
    std::optional<QString> unsaved;
    if (pending->before.snapshot.complete())
        unsaved = download::saveSnapshot(pending->before, model, pending->record.when);
    if (!pending->before.snapshot.complete() || unsaved) {
        if (unsaved)
            showDownloadError(*unsaved);
        else
            messages::connectionFailed(this);
        return;
    }

    pending->printer = {printer.identity(), model, printer.modelKey(),
                        pending->before.serialNumber};
    pending->name = printer.name();
    pending->rowText = rowText;
    pending->expectedVersion = manifest ? manifest->version : QString();
    download::Record &record = pending->record;
    record.printerPath = printer.identity().path();
    record.serialNumber = pending->before.serialNumber;
    record.model = model;
    record.kind =
        caption == QLatin1String("HEX File") ? QStringLiteral("firmware") : QStringLiteral("font");
    record.file = chosen;
    record.sha256 = download::sha256Of(chosen);
    record.versionBefore = pending->before.snapshot.version;
    record.snapshotPath = pending->before.path;

    setPrinterControlsLocked(true);
    // Plugs are followed from before the first byte: a printer that restarts is seen to go.
    downloadReturn = new PrinterReturn(pending->printer, this);
    downloadReturn->listen();
    auto *worker = new WorkerThread(this);
    worker->handOver(printer.release(), sideFile);
    handedOver = true;
    downloadWorker = worker;
    connect(worker, &WorkerThread::progressUpdated, this,
            [this](int percentage) { form->progressBar->setValue(percentage); });
    connect(worker, &WorkerThread::errorOccurred, this,
            [this](const QString &message) { showDownloadError(message); });
    connect(worker, &WorkerThread::finished, this,
            [this, worker, pending] { endDownload(worker, pending); });
    connect(worker, &WorkerThread::finished, worker, &QObject::deleteLater);
    // The model-support gate runs on every selection change, also now; it may enable the font
    // button, which stays locked until the download has ended. This runs after the gate.
    connect(form->listWidget, &QListWidget::itemSelectionChanged, downloadReturn, [this] {
        if (downloadWorker || downloadReturn)
            form->pushButton_35->setEnabled(false);
    });
    worker->start();
}

// Runs once per download, after the worker has closed the printer and removed the side file. An
// error box, if any, was already shown. When every byte went out, the printer is waited for.
void MainWindow::endDownload(WorkerThread *worker, const std::shared_ptr<Pending> &pending)
{
    if (downloadWorker != worker)
        return;
    downloadWorker = nullptr;
    if (!worker->sentEverything()) {
        delete downloadReturn;
        downloadReturn = nullptr;
        pending->record.outcome = download::Outcome::Failed;
        download::recordDownload(pending->record);
        setPrinterControlsLocked(false);
        form->progressBar->setEnabled(false);
        catchUpWithPlugs(); // the list did not change while the stream ran
        form->statusbar->showMessage(
            QObject::tr("下载前的设置保存在 %1").arg(pending->before.path));
        return;
    }
    form->progressBar->setValue(0);
    // The printer flashes what it received and may restart meanwhile.
    form->statusbar->showMessage(tr("等待打印机指示灯停止闪烁") + QStringLiteral("  ") +
                                 QObject::tr("正在等待打印机 %1 重新应答（最多 %2 秒）……")
                                     .arg(pending->name)
                                     .arg(kReturnWaitMs / 1000));
    connect(downloadReturn, &PrinterReturn::finished, this,
            [this, pending] { reportDownload(pending); });
    downloadReturn->wait(kReturnWaitMs);
}

// Locked: the download buttons, the information and list buttons, the profile menu, and the two
// settings tabs (the tab bar as a whole and the tabs' contents, which the model-support gate cannot
// re-enable). Unlocked: what the gate last decided for the selected model comes back; the gate
// gives the font button the same state as the settings tabs, whose own state the lock never
// touches.
void MainWindow::setPrinterControlsLocked(bool locked)
{
    for (QWidget *w : std::initializer_list<QWidget *>{
             form->pushButton_34, form->pushButton, form->pushButton_6, form->tabWidget_2->tabBar(),
             form->scrollArea_3, form->scrollArea_2})
        w->setEnabled(!locked);
    profileMenu->setEnabled(!locked);
    form->pushButton_35->setEnabled(!locked && form->tabWidget_2->isTabEnabled(kSettingsTab));
    if (locked)
        form->progressBar->setEnabled(true);
}

// Closing the window would end a stream half-way and leave the printer with half an image, or
// leave nobody to report how it came back: the close waits for the download.
void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!downloadWorker && !downloadReturn) {
        QMainWindow::closeEvent(event);
        return;
    }
    event->ignore();
    messages::show(this, QObject::tr("正在下载，请等下载结束后再关闭窗口"));
}
