// The Wi-Fi IP page's members: its read, its write and the set operation of its one block.
#include "window/app/mainwindow.h"

#include "core/settings/pageexchange.h"
#include "core/settings/pagereads.h"
#include "ui_mainwindow.h"
#include "window/app/messages.h"
#include "window/app/selectedprinter.h"
#include "window/pages/pageforms.h"

int MainWindow::IP_Init(PrinterHandle *handle)
{
    wifiip::Values values = pageform::wifiIpFrom(*form);
    const int r = pages::readWifiIp(handle, values);
    pageform::show(*form, values);
    return r;
}

int MainWindow::Set_Send_IP_MESSAGE_Instruction(PrinterHandle *handle)
{
    return pages::sendCommand(handle, wifiip::encode(pageform::wifiIpFrom(*form)));
}

void MainWindow::on_pushButton_25_clicked()
{
    SelectedPrinter printer(this, form->listWidget);
    if (!printer.isOpen())
        return;
    const int r = IP_Init(printer.handle());
    messages::showResult(this, messages::SlotKind::Read, r);
    // Only a read in which every query succeeded may be written back.
    if (r == 0) {
        form->pushButton_26->setEnabled(true);
        pageReadFrom(Page::WifiIp) = printer.identity();
    }
}

void MainWindow::on_pushButton_26_clicked()
{
    SelectedPrinter printer(this, form->listWidget, pageReadFrom(Page::WifiIp));
    if (!printer.isOpen())
        return;
    const wifiip::Values values = pageform::wifiIpFrom(*form);
    if (refuse(wifiip::validate(values), pageform::wifiIpLabels(*form)))
        return;
    messages::showResult(this, messages::SlotKind::Write,
                         pages::sendCommands(printer.handle(), wifiip::writeCommands(values)));
}
