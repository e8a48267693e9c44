// The print-settings page: moves values between its widgets and the page codec, and runs the
// exchanges of its two buttons.
#include "window/app/mainwindow.h"

#include "window/app/fieldwidgets.h"
#include "window/app/messages.h"
#include "window/app/selectedprinter.h"
#include "core/protocol/printerqueries.h"
#include "core/settings/pageexchange.h"
#include "core/settings/pagereads.h"
#include "ui_mainwindow.h"

using printsettings::Setting;

printsettings::Values MainWindow::printSettingsFromForm() const
{
    printsettings::Values v;
    v.speed = form->comboBox->currentIndex();
    v.codePage = form->comboBox_15->currentIndex();
    v.commandLanguage =
        form->comboBox_23->currentIndex() < 0 ? QString() : form->comboBox_23->currentText();
    v.density = form->comboBox_2->currentIndex();
    v.paperType = form->comboBox_3->currentIndex();
    v.direction = form->comboBox_20->currentIndex();
    v.mirror = form->comboBox_12->currentIndex();
    v.printMethod = form->comboBox_9->currentIndex();
    v.printMethodEnabled = form->comboBox_9->isEnabled();
    v.labelGap = pages::numberField(form->lineEdit_43);
    v.blackMarkGap = pages::numberField(form->lineEdit_42);
    v.printOffset = pages::numberField(form->lineEdit_19);
    v.verticalOffset = pages::numberField(form->lineEdit_20);
    return v;
}

void MainWindow::showPrintSettings(const printsettings::Values &v)
{
    pages::showIndex(form->comboBox, v.speed);
    pages::showIndex(form->comboBox_15, v.codePage);
    pages::showIndex(form->comboBox_23, form->comboBox_23->findText(v.commandLanguage));
    pages::showIndex(form->comboBox_2, v.density);
    pages::showIndex(form->comboBox_3, v.paperType);
    pages::showIndex(form->comboBox_20, v.direction);
    pages::showIndex(form->comboBox_12, v.mirror);
    pages::showIndex(form->comboBox_9, v.printMethod);
    pages::showNumberField(form->lineEdit_43, v.labelGap);
    pages::showNumberField(form->lineEdit_42, v.blackMarkGap);
    pages::showNumberField(form->lineEdit_19, v.printOffset);
    pages::showNumberField(form->lineEdit_20, v.verticalOffset);
}

int MainWindow::Print_Init(PrinterHandle *handle)
{
    printsettings::Values values = printSettingsFromForm();
    const int r = pages::readPrintSettings(handle, values);
    showPrintSettings(values);
    return r;
}

int MainWindow::sendPrintSetting(PrinterHandle *handle, Setting setting)
{
    return pages::sendCommand(handle, printsettings::encode(setting, printSettingsFromForm()));
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
        rememberRead(Page::Print, pages::pageHolding(printSettingsFromForm()));
    }
}

void MainWindow::on_pushButton_14_clicked()
{
    SelectedPrinter printer(this, form->listWidget, pageReadFrom(Page::Print));
    if (!printer.isOpen())
        return;
    const printsettings::Values values = printSettingsFromForm();
    if (refuse(printsettings::validate(values), {{printsettings::kLabelGap, form->label_29},
                                                 {printsettings::kBlackMarkGap, form->label_30},
                                                 {printsettings::kPrintOffset, form->label_34},
                                                 {printsettings::kVerticalOffset, form->label_36}}))
        return;
    using Operation = int (MainWindow::*)(PrinterHandle *);
    const auto operation = [](Setting setting) -> Operation {
        switch (setting) {
        case Setting::CodePage:
            return &MainWindow::Set_Send_DEFAULT_CODE_Instruction;
        case Setting::Speed:
            return &MainWindow::Set_Send_SPEED_Instruction;
        case Setting::Density:
            return &MainWindow::Set_Send_Densty_SETTING_Instruction;
        case Setting::LabelGap:
            return &MainWindow::Set_Send_LABLE_CLEARANCE_Instruction;
        case Setting::BlackMarkGap:
            return &MainWindow::Set_Send_BLACK_CLEARANCE_Instruction;
        case Setting::DirectionAndMirror:
            return &MainWindow::Set_Send_PRINT_DIRECTION_Instruction;
        case Setting::PrintMethod:
            return &MainWindow::Set_PRINTER_MODE_Instruction;
        case Setting::PaperType:
            return &MainWindow::Set_Send_PAPER_TYPE_Instruction;
        case Setting::CommandLanguage:
            return &MainWindow::Set_Send_SIMULATION_Instruction;
        case Setting::VerticalOffset:
            return &MainWindow::Set_Send_VERTICAL_MIGRATION_Instruction;
        case Setting::PrintOffset:
            return &MainWindow::Set_Send_PRINT_OFFSET_Instruction;
        case Setting::BlackMode:
            return &MainWindow::Set_Send_BLACK_MODE_Instruction;
        case Setting::ResetSetting:
            return &MainWindow::Set_Send_RESET_SETTING_Instruction;
        }
        return nullptr;
    };
    int r = 0;
    for (Setting setting : printsettings::writeOrder(values.printMethodEnabled))
        r = pages::firstFailure(r, (this->*operation(setting))(printer.handle()));
    // The printer takes the new print settings into use with this button code.
    r = pages::firstFailure(r,
                            SetPrinterStatusButton(printer.handle(), POWER_APPLY_PRINT_SETTINGS));
    recordWrite(Page::Print, printer, pages::pageHolding(printSettingsFromForm()), r);
    messages::showResult(this, messages::SlotKind::Write, r);
}
