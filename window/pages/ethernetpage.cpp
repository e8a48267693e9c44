// The Ethernet page: the address and port blocks between the widgets and the page codec, and the
// exchanges of its two buttons. Only models with an Ethernet port reach it (model-support gate).
#include "window/app/mainwindow.h"

#include "window/app/fieldwidgets.h"
#include "window/app/messages.h"
#include "window/app/selectedprinter.h"
#include "core/settings/pageexchange.h"
#include "core/settings/pagereads.h"
#include "ui_mainwindow.h"

ethernet::Values MainWindow::ethernetFromForm() const
{
    ethernet::Values v;
    v.mode = form->comboBox_16->currentIndex();
    v.ip = form->lineEdit_36->text();
    v.mask = form->lineEdit_35->text();
    v.gateway = form->lineEdit_40->text();
    v.tcpPort = form->lineEdit_12->text();
    v.udpPort = form->lineEdit_10->text();
    return v;
}

void MainWindow::showEthernet(const ethernet::Values &v)
{
    pages::showIndex(form->comboBox_16, v.mode);
    form->lineEdit_36->setText(v.ip);
    form->lineEdit_35->setText(v.mask);
    form->lineEdit_40->setText(v.gateway);
    form->lineEdit_12->setText(v.tcpPort);
    form->lineEdit_10->setText(v.udpPort);
}

int MainWindow::Net_Init(PrinterHandle *handle)
{
    ethernet::Values values = ethernetFromForm();
    const int r = pages::readEthernet(handle, values);
    showEthernet(values);
    return r;
}

int MainWindow::sendEthernetBlock(PrinterHandle *handle, SetInfoType code)
{
    return pages::sendCommand(handle, ethernet::encode(code, ethernetFromForm()));
}

int MainWindow::Net_Set(PrinterHandle *h) { return sendEthernetBlock(h, INFO_ETHERNET_ADDRESS); }

int MainWindow::Set_Send_PORT_MESSAGE_Instruction(PrinterHandle *h)
{
    return sendEthernetBlock(h, INFO_ETHERNET_PORTS);
}

void MainWindow::on_pushButton_33_clicked()
{
    SelectedPrinter printer(this, form->listWidget);
    if (!printer.isOpen())
        return;
    const int r = Net_Init(printer.handle());
    messages::showResult(this, messages::SlotKind::Read, r);
    // Only a read in which every query succeeded may be written back.
    if (r == 0) {
        form->pushButton_32->setEnabled(true);
        pageReadFrom(Page::Ethernet) = printer.identity();
        rememberRead(Page::Ethernet, pages::pageHolding(ethernetFromForm()));
    }
}

void MainWindow::on_pushButton_32_clicked()
{
    SelectedPrinter printer(this, form->listWidget, pageReadFrom(Page::Ethernet));
    if (!printer.isOpen())
        return;
    if (refuse(ethernet::validate(ethernetFromForm()), {{ethernet::kIp, form->label_58},
                                                        {ethernet::kMask, form->label_66},
                                                        {ethernet::kGateway, form->label_69},
                                                        {ethernet::kTcpPort, form->label_18},
                                                        {ethernet::kUdpPort, form->label_19}}))
        return;
    int r = Net_Set(printer.handle());
    r = pages::firstFailure(r, Set_Send_PORT_MESSAGE_Instruction(printer.handle()));
    recordWrite(Page::Ethernet, printer, pages::pageHolding(ethernetFromForm()), r);
    messages::showResult(this, messages::SlotKind::Write, r);
}
