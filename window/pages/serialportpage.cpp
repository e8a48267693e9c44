// The serial-port page: line parameters, device information and serial number between the
// widgets and the page codec, and the exchanges of its two buttons.
#include "window/app/mainwindow.h"

#include "window/app/fieldwidgets.h"
#include "window/app/messages.h"
#include "window/app/selectedprinter.h"
#include "core/settings/pageexchange.h"
#include "core/settings/pagereads.h"
#include "ui_mainwindow.h"

serialport::Values MainWindow::serialPortFromForm() const
{
    serialport::Values v;
    v.baudRate = form->comboBox_27->currentIndex();
    v.parity = form->comboBox_26->currentIndex();
    v.dataBits = form->comboBox_25->currentIndex();
    v.stopBits = form->comboBox_24->currentIndex();
    v.serialNumber = serialNumberRead;
    v.serialNumberText = form->lineEdit_8->text();
    return v;
}

void MainWindow::showSerialPort(const serialport::Values &v)
{
    pages::showIndex(form->comboBox_27, v.baudRate);
    pages::showIndex(form->comboBox_26, v.parity);
    pages::showIndex(form->comboBox_25, v.dataBits);
    pages::showIndex(form->comboBox_24, v.stopBits);
    if (v.deviceInformation) {
        form->lineEdit_39->setText(*v.deviceInformation);
        form->lineEdit_39->setEnabled(false);
    }
    form->lineEdit_8->setText(v.serialNumberText);
    serialNumberRead = v.serialNumber;
}

void MainWindow::forgetSerialNumber() { serialNumberRead.reset(); }

int MainWindow::USB_Init(PrinterHandle *handle)
{
    serialport::Values values = serialPortFromForm();
    // Only a serial number this read takes from the printer may be written back to it.
    const int r = pages::readSerialPort(handle, values);
    showSerialPort(values);
    return r;
}

int MainWindow::sendSerialPortCommand(PrinterHandle *handle, serialport::Command command)
{
    return pages::sendCommand(handle, serialport::encode(command, serialPortFromForm()));
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
        rememberRead(Page::Serial, pages::pageHolding(serialPortFromForm()));
    }
}

void MainWindow::on_pushButton_28_clicked()
{
    SelectedPrinter printer(this, form->listWidget, pageReadFrom(Page::Serial));
    if (!printer.isOpen())
        return;
    if (refuse(serialport::validate(serialPortFromForm()),
               {{serialport::kSerialNumber, form->label_54}}))
        return;
    int r = Set_Send_SERIAL_PORT_Instruction(printer.handle());
    r = pages::firstFailure(r, Set_Send_SN_Instruction(printer.handle()));
    recordWrite(Page::Serial, printer, pages::pageHolding(serialPortFromForm()), r);
    messages::showResult(this, messages::SlotKind::Write, r);
}
