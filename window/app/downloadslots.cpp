// Firmware and font download: the two buttons of the maintenance tab. The slot decrypts the chosen
// file into a side file on the GUI thread and hands the side file and the open printer to a
// WorkerThread, which streams it; while it streams, every control that talks to a printer is
// locked.
#include "window/app/mainwindow.h"

#include "window/app/messages.h"
#include "window/app/selectedprinter.h"
#include "core/download/downloadfile.h"
#include "core/download/workerthread.h"
#include "window/app/maintenancelog.h"
#include "ui_mainwindow.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
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
    if (downloadWorker) // the buttons are locked meanwhile; one stream at a time regardless
        return;
    SelectedPrinter printer(this, form->listWidget);
    if (!printer.isOpen())
        return;

    const QString chosen = QFileDialog::getOpenFileName(nullptr, caption, QString(), filter);
    if (chosen.isEmpty()) {
        qCDebug(lcMaintenance, "No file selected!");
        return;
    }
    const download::Prepared prepared = download::prepareFile(chosen, &QDir::toNativeSeparators);
    if (!prepared.ok()) {
        showDownloadError(prepared.error);
        return;
    }
    const QString &sideFile = prepared.sideFile;
    // The last chance to stop: nothing has been sent yet.
    if (!messages::confirm(this,
                           download::announcement(printer.name(), QDir::toNativeSeparators(chosen),
                                                  prepared.bytes))) {
        QFile::remove(sideFile);
        return;
    }

    setPrinterControlsLocked(true);
    auto *worker = new WorkerThread(this);
    worker->handOver(printer.release(), sideFile);
    downloadWorker = worker;
    connect(worker, &WorkerThread::progressUpdated, this,
            [this](int percentage) { form->progressBar->setValue(percentage); });
    connect(worker, &WorkerThread::errorOccurred, this,
            [this](const QString &message) { showDownloadError(message); });
    connect(worker, &WorkerThread::finished, this, [this, worker] { endDownload(worker); });
    connect(worker, &WorkerThread::finished, worker, &QObject::deleteLater);
    // The model-support gate runs on every selection change, also now; it may enable the font
    // button, which stays locked until the stream has ended. This runs after the gate.
    connect(form->listWidget, &QListWidget::itemSelectionChanged, worker, [this] {
        if (downloadWorker)
            form->pushButton_35->setEnabled(false);
    });
    worker->start();
}

// Runs once per download, after the worker has closed the printer and removed the side file. An
// error box, if any, was already shown: success is claimed only when every byte went out.
void MainWindow::endDownload(WorkerThread *worker)
{
    if (downloadWorker != worker)
        return;
    downloadWorker = nullptr;
    setPrinterControlsLocked(false);
    catchUpWithPlugs(); // the list did not change while the stream ran
    if (!worker->sentEverything()) {
        form->progressBar->setEnabled(false);
        return;
    }
    form->progressBar->setValue(0);
    QMessageBox::information(this, tr("下载成功"), tr("等待打印机指示灯停止闪烁"), QMessageBox::Ok,
                             QMessageBox::NoButton);
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

// Closing the window would end a stream half-way and leave the printer with half an image: the
// close waits for the download.
void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!downloadWorker) {
        QMainWindow::closeEvent(event);
        return;
    }
    event->ignore();
    messages::show(this, QObject::tr("正在下载，请等下载结束后再关闭窗口"));
}
