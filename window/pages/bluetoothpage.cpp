// The Bluetooth page: names, pairing mode and PIN between the widgets and the page codec, and
// the exchanges of its two buttons. Its MAC field is filled by the Wi-Fi read.
#include "window/app/mainwindow.h"

#include "window/app/fieldwidgets.h"
#include "window/app/messages.h"
#include "window/app/selectedprinter.h"
#include "core/settings/pageexchange.h"
#include "core/settings/pagereads.h"
#include "ui_mainwindow.h"

bluetooth::Values MainWindow::bluetoothFromForm() const
{
    return {form->lineEdit_28->text(), form->lineEdit_24->text(), form->comboBox_11->currentIndex(),
            form->lineEdit_25->text()};
}

void MainWindow::showBluetooth(const bluetooth::Values &v)
{
    form->lineEdit_28->setText(v.sppName);
    form->lineEdit_24->setText(v.bleName);
    pages::showIndex(form->comboBox_11, v.pairingMode);
    form->lineEdit_25->setText(v.pin);
}

int MainWindow::Blueteeth_Init(PrinterHandle *handle)
{
    bluetooth::Values values = bluetoothFromForm();
    const int r = pages::readBluetooth(handle, values);
    showBluetooth(values);
    return r;
}

int MainWindow::sendBluetoothSetting(PrinterHandle *handle, SetInfoType code)
{
    return pages::sendCommand(handle, bluetooth::encode(code, bluetoothFromForm()));
}

int MainWindow::Set_Send_BR_EDR_NAME_Instruction(PrinterHandle *h)
{
    return sendBluetoothSetting(h, INFO_BLUETOOTH_SPP_NAME);
}
int MainWindow::Set_Send_BLE_NAME_Instruction(PrinterHandle *h)
{
    return sendBluetoothSetting(h, INFO_BLUETOOTH_BLE_NAME);
}
int MainWindow::Set_Send_SPP_MODE_Instruction(PrinterHandle *h)
{
    return sendBluetoothSetting(h, INFO_BLUETOOTH_SPP_MODE);
}
int MainWindow::Set_Send_PIN_Instruction(PrinterHandle *h)
{
    return sendBluetoothSetting(h, INFO_BLUETOOTH_SPP_PIN);
}

void MainWindow::on_pushButton_23_clicked()
{
    SelectedPrinter printer(this, form->listWidget, SelectedPrinter::ProcessEventsFirst);
    if (!printer.isOpen())
        return;
    const int r = Blueteeth_Init(printer.handle());
    messages::showResult(this, messages::SlotKind::Read, r);
    // Only a read in which every query succeeded may be written back.
    if (r == 0) {
        form->pushButton_24->setEnabled(true);
        pageReadFrom(Page::Bluetooth) = printer.identity();
        rememberRead(Page::Bluetooth, pages::pageHolding(bluetoothFromForm()));
    }
}

void MainWindow::on_pushButton_24_clicked()
{
    SelectedPrinter printer(this, form->listWidget, pageReadFrom(Page::Bluetooth));
    if (!printer.isOpen())
        return;
    if (refuse(bluetooth::validate(bluetoothFromForm()), {{bluetooth::kSppName, form->label_35},
                                                          {bluetooth::kBleName, form->label_38},
                                                          {bluetooth::kPin, form->label_53}}))
        return;
    PrinterHandle *h = printer.handle();
    int r = Set_Send_BR_EDR_NAME_Instruction(h);
    r = pages::firstFailure(r, Set_Send_BLE_NAME_Instruction(h));
    r = pages::firstFailure(r, Set_Send_SPP_MODE_Instruction(h));
    r = pages::firstFailure(r, Set_Send_PIN_Instruction(h));
    recordWrite(Page::Bluetooth, printer, pages::pageHolding(bluetoothFromForm()), r);
    messages::showResult(this, messages::SlotKind::Write, r);
}
