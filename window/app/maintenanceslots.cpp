// The sixteen maintenance buttons: each sends the one frame of its row in the command table.
#include "window/app/mainwindow.h"

#include "window/app/messages.h"
#include "window/app/selectedprinter.h"
#include "core/protocol/maintenancecommands.h"
#include "ui_mainwindow.h"

void MainWindow::runMaintenanceCommand(const char *button)
{
    const maintenance::Command *command = maintenance::commandForButton(QLatin1String(button));
    SelectedPrinter printer(this, form->listWidget);
    if (!command || !printer.isOpen())
        return;
    const QString warning = maintenance::warningFor(*command, printer.name());
    if (!warning.isEmpty() && !messages::confirm(this, warning))
        return;
    const int r = maintenance::send(printer.handle(), *command);
    messages::showResult(
        this, command->reportsSuccess ? messages::SlotKind::Write : messages::SlotKind::QuietWrite,
        r);
}

void MainWindow::on_pushButton_5_clicked() { runMaintenanceCommand("pushButton_5"); }
void MainWindow::on_pushButton_4_clicked() { runMaintenanceCommand("pushButton_4"); }
void MainWindow::on_pushButton_2_clicked() { runMaintenanceCommand("pushButton_2"); }
void MainWindow::on_pushButton_8_clicked() { runMaintenanceCommand("pushButton_8"); }
void MainWindow::on_pushButton_7_clicked() { runMaintenanceCommand("pushButton_7"); }
void MainWindow::on_pushButton_10_clicked() { runMaintenanceCommand("pushButton_10"); }
void MainWindow::on_pushButton_9_clicked() { runMaintenanceCommand("pushButton_9"); }
void MainWindow::on_pushButton_3_clicked() { runMaintenanceCommand("pushButton_3"); }
void MainWindow::on_pushButton_11_clicked() { runMaintenanceCommand("pushButton_11"); }
void MainWindow::on_pushButton_12_clicked() { runMaintenanceCommand("pushButton_12"); }
void MainWindow::on_pushButton_29_clicked() { runMaintenanceCommand("pushButton_29"); }
void MainWindow::on_pushButton_21_clicked() { runMaintenanceCommand("pushButton_21"); }
void MainWindow::on_pushButton_20_clicked() { runMaintenanceCommand("pushButton_20"); }
void MainWindow::on_pushButton_19_clicked() { runMaintenanceCommand("pushButton_19"); }
void MainWindow::on_pushButton_16_clicked() { runMaintenanceCommand("pushButton_16"); }
void MainWindow::on_pushButton_22_clicked() { runMaintenanceCommand("pushButton_22"); }
