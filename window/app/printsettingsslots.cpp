// The print-settings page's members: its read, its write and the set operations of its settings.
// The widgets are bound in window/pages; what a write sends, in which order and with which
// closing command, is the page codec's.
#include "window/app/mainwindow.h"

#include "core/settings/pageexchange.h"
#include "core/settings/pagereads.h"
#include "ui_mainwindow.h"
#include "window/app/messages.h"
#include "window/app/selectedprinter.h"
#include "window/pages/pageforms.h"

using printsettings::Setting;

int MainWindow::Print_Init(PrinterHandle *handle)
{
    printsettings::Values values = pageform::printSettingsFrom(*form);
    const int r = pages::readPrintSettings(handle, values);
    pageform::show(*form, values);
    return r;
}

int MainWindow::sendPrintSetting(PrinterHandle *handle, Setting setting)
{
    return pages::sendCommand(handle,
                              printsettings::encode(setting, pageform::printSettingsFrom(*form)));
}

int MainWindow::Set_Send_SPEED_Instruction(PrinterHandle *h)
{
    return sendPrintSetting(h, Setting::Speed);
}
int MainWindow::Set_Send_DEFAULT_CODE_Instruction(PrinterHandle *h)
{
    return sendPrintSetting(h, Setting::CodePage);
}
int MainWindow::Set_Send_SIMULATION_Instruction(PrinterHandle *h)
{
    return sendPrintSetting(h, Setting::CommandLanguage);
}
int MainWindow::Set_Send_Densty_SETTING_Instruction(PrinterHandle *h)
{
    return sendPrintSetting(h, Setting::Density);
}
int MainWindow::Set_Send_PAPER_TYPE_Instruction(PrinterHandle *h)
{
    return sendPrintSetting(h, Setting::PaperType);
}
int MainWindow::Set_Send_LABLE_CLEARANCE_Instruction(PrinterHandle *h)
{
    return sendPrintSetting(h, Setting::LabelGap);
}
int MainWindow::Set_Send_BLACK_CLEARANCE_Instruction(PrinterHandle *h)
{
    return sendPrintSetting(h, Setting::BlackMarkGap);
}
int MainWindow::Set_Send_PRINT_DIRECTION_Instruction(PrinterHandle *h)
{
    return sendPrintSetting(h, Setting::DirectionAndMirror);
}
int MainWindow::Set_Send_PRINT_OFFSET_Instruction(PrinterHandle *h)
{
    return sendPrintSetting(h, Setting::PrintOffset);
}
int MainWindow::Set_Send_VERTICAL_MIGRATION_Instruction(PrinterHandle *h)
{
    return sendPrintSetting(h, Setting::VerticalOffset);
}
int MainWindow::Set_Send_BLACK_MODE_Instruction(PrinterHandle *h)
{
    return sendPrintSetting(h, Setting::BlackMode);
}
int MainWindow::Set_Send_RESET_SETTING_Instruction(PrinterHandle *h)
{
    return sendPrintSetting(h, Setting::ResetSetting);
}
int MainWindow::Set_PRINTER_MODE_Instruction(PrinterHandle *h)
{
    return sendPrintSetting(h, Setting::PrintMethod);
}

void MainWindow::on_pushButton_13_clicked()
{
    SelectedPrinter printer(this, form->listWidget);
    if (!printer.isOpen())
        return;
    const int r = Print_Init(printer.handle());
    messages::showResult(this, messages::SlotKind::Read, r);
    // Only a read in which every query succeeded may be written back.
    if (r == 0) {
        form->pushButton_14->setEnabled(true);
        pageReadFrom(Page::Print) = printer.identity();
    }
}

void MainWindow::on_pushButton_14_clicked()
{
    SelectedPrinter printer(this, form->listWidget, pageReadFrom(Page::Print));
    if (!printer.isOpen())
        return;
    const printsettings::Values values = pageform::printSettingsFrom(*form);
    if (refuse(printsettings::validate(values), pageform::printSettingsLabels(*form)))
        return;
    messages::showResult(
        this, messages::SlotKind::Write,
        pages::sendCommands(printer.handle(), printsettings::writeCommands(values)));
}
