// The Ethernet page's members: its read, its write and the set operations of the address and
// port blocks. Only models with an Ethernet port reach it (model-support gate).
#include "window/app/mainwindow.h"

#include "core/settings/pageexchange.h"
#include "core/settings/pagereads.h"
#include "ui_mainwindow.h"
#include "window/pages/pageforms.h"

int MainWindow::Net_Init(PrinterHandle *handle)
{
    ethernet::Values values = pageform::ethernetFrom(*form);
    const int r = pages::readEthernet(handle, values);
    pageform::show(*form, values);
    return r;
}

int MainWindow::sendEthernetBlock(PrinterHandle *handle, SetInfoType code)
{
    return pages::sendCommand(handle, ethernet::encode(code, pageform::ethernetFrom(*form)));
}

int MainWindow::Net_Set(PrinterHandle *h) { return sendEthernetBlock(h, INFO_ETHERNET_ADDRESS); }

int MainWindow::Set_Send_PORT_MESSAGE_Instruction(PrinterHandle *h)
{
    return sendEthernetBlock(h, INFO_ETHERNET_PORTS);
}

void MainWindow::on_pushButton_33_clicked()
{
    readPage(Page::Ethernet, &MainWindow::Net_Init, form->pushButton_32);
}

void MainWindow::on_pushButton_32_clicked()
{
    writePage(Page::Ethernet, [this](PrinterHandle *handle) {
        return sendPage(handle, pageform::ethernetFrom(*form), ethernet::validate,
                        ethernet::writeCommands, pageform::ethernetLabels(*form));
    });
}
