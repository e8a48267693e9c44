// The serial-port page's members: its read, its write and the set operations of the line
// parameters and the serial number.
#include "window/app/mainwindow.h"

#include "core/settings/pageexchange.h"
#include "core/settings/pagereads.h"
#include "ui_mainwindow.h"
#include "window/app/messages.h"
#include "window/app/selectedprinter.h"
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
    SelectedPrinter printer(this, form->listWidget);
    if (!printer.isOpen())
        return;
    const int r = USB_Init(printer.handle());
    messages::showResult(this, messages::SlotKind::Read, r);
    // Only a read in which every query succeeded may be written back.
    if (r == 0) {
        form->pushButton_28->setEnabled(true);
        pageReadFrom(Page::Serial) = printer.identity();
    }
}

void MainWindow::on_pushButton_28_clicked()
{
    SelectedPrinter printer(this, form->listWidget, pageReadFrom(Page::Serial));
    if (!printer.isOpen())
        return;
    const serialport::Values values = pageform::serialPortFrom(*form, serialNumberRead);
    if (refuse(serialport::validate(values), pageform::serialPortLabels(*form)))
        return;
    messages::showResult(this, messages::SlotKind::Write,
                         pages::sendCommands(printer.handle(), serialport::writeCommands(values)));
}
