// The Bluetooth page's members: its read, its write and the set operations of the names, the
// pairing mode and the PIN.
#include "window/app/mainwindow.h"

#include "core/settings/pageexchange.h"
#include "core/settings/pagereads.h"
#include "ui_mainwindow.h"
#include "window/pages/pageforms.h"

int MainWindow::Blueteeth_Init(PrinterHandle *handle)
{
    bluetooth::Values values = pageform::bluetoothFrom(*form);
    const int r = pages::readBluetooth(handle, values);
    pageform::show(*form, values);
    return r;
}

int MainWindow::sendBluetoothSetting(PrinterHandle *handle, SetInfoType code)
{
    return pages::sendCommand(handle, bluetooth::encode(code, pageform::bluetoothFrom(*form)));
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
    readPage(Page::Bluetooth, &MainWindow::Blueteeth_Init, form->pushButton_24,
             SelectedPrinter::ProcessEventsFirst);
}

void MainWindow::on_pushButton_24_clicked()
{
    writePage(Page::Bluetooth, [this](PrinterHandle *handle) {
        return sendPage(handle, pageform::bluetoothFrom(*form), bluetooth::validate,
                        bluetooth::writeCommands, pageform::bluetoothLabels(*form));
    });
}
