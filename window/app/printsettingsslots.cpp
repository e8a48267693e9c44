// The print-settings page's members: its read, its write and the set operations of its settings.
// The widgets are bound in window/pages; what a write sends, in which order and with which
// closing command, is the page codec's.
#include "window/app/mainwindow.h"

#include "core/settings/pageexchange.h"
#include "core/settings/pagereads.h"
#include "ui_mainwindow.h"
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
    readPage(Page::Print, &MainWindow::Print_Init, form->pushButton_14);
}

void MainWindow::on_pushButton_14_clicked()
{
    writePage(Page::Print, [this](PrinterHandle *handle) {
        return sendPage(handle, pageform::printSettingsFrom(*form), printsettings::validate,
                        printsettings::writeCommands, pageform::printSettingsLabels(*form));
    });
}
