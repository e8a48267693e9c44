// The serial-port page's members: its read, its write and the set operations of the line
// parameters and the serial number.
#include "window/app/mainwindow.h"

#include "core/settings/pageexchange.h"
#include "core/settings/pagereads.h"
#include "ui_mainwindow.h"
#include "window/pages/pageforms.h"

void MainWindow::forgetSerialNumber() { serialNumberRead.reset(); }

int MainWindow::USB_Init(PrinterHandle *handle)
{
    serialport::Values values = pageform::serialPortFrom(*form, serialNumberRead);
    // Only a serial number this read takes from the printer may be written back to it.
    const int r = pages::readSerialPort(handle, values);
    pageform::show(*form, values);
    serialNumberRead = values.serialNumber;
    return r;
}

int MainWindow::sendSerialPortCommand(PrinterHandle *handle, serialport::Command command)
{
    return pages::sendCommand(
        handle, serialport::encode(command, pageform::serialPortFrom(*form, serialNumberRead)));
}

int MainWindow::Set_Send_SERIAL_PORT_Instruction(PrinterHandle *h)
{
    return sendSerialPortCommand(h, serialport::Command::LineParameters);
}

int MainWindow::Set_Send_SN_Instruction(PrinterHandle *h)
{
    return sendSerialPortCommand(h, serialport::Command::SerialNumber);
}

void MainWindow::on_pushButton_27_clicked()
{
    readPage(Page::Serial, &MainWindow::USB_Init, form->pushButton_28);
}

void MainWindow::on_pushButton_28_clicked()
{
    writePage(Page::Serial, [this](PrinterHandle *handle) {
        return sendPage(handle, pageform::serialPortFrom(*form, serialNumberRead),
                        serialport::validate, serialport::writeCommands,
                        pageform::serialPortLabels(*form));
    });
}
