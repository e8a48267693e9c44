// The Wi-Fi page's members: its read, its write and the set operations of the mode, the two
// networks and the TCP port.
#include "window/app/mainwindow.h"

#include "core/settings/pageexchange.h"
#include "core/settings/pagereads.h"
#include "core/settings/pageslog.h"
#include "ui_mainwindow.h"
#include "window/app/messages.h"
#include "window/app/selectedprinter.h"
#include "window/pages/pageforms.h"

int MainWindow::Wifi_Init(PrinterHandle *handle)
{
    wifi::Values values = pageform::wifiFrom(*form);
    const int r = pages::readWifi(handle, values);
    pageform::show(*form, values);
    return r;
}

int MainWindow::sendWifiCommand(PrinterHandle *handle, wifi::Command command)
{
    return pages::sendCommand(handle, wifi::encode(command, pageform::wifiFrom(*form)));
}

int MainWindow::Set_Send_WIFI_MODE_Instruction(PrinterHandle *h)
{
    return sendWifiCommand(h, wifi::Command::Mode);
}
int MainWindow::Set_Send_CONNECT_AP_INFORMATION_Instruction(PrinterHandle *h)
{
    return sendWifiCommand(h, wifi::Command::Station);
}
int MainWindow::Set_Send_AP_MODE_Instruction(PrinterHandle *h)
{
    return sendWifiCommand(h, wifi::Command::AccessPoint);
}
int MainWindow::Set_Send_TCP_SERVICE_PORT_NUMBER_Instruction(PrinterHandle *h)
{
    return sendWifiCommand(h, wifi::Command::TcpPort);
}

void MainWindow::on_pushButton_17_clicked()
{
    SelectedPrinter printer(this, form->listWidget);
    if (!printer.isOpen())
        return;
    const int r = Wifi_Init(printer.handle());
    qCDebug(lcPages, "wifi ret = %d", r);
    messages::showResult(this, messages::SlotKind::Read, r);
    // Only a read in which every query succeeded may be written back.
    if (r == 0) {
        form->pushButton_18->setEnabled(true);
        pageReadFrom(Page::Wifi) = printer.identity();
    }
}

void MainWindow::on_pushButton_18_clicked()
{
    SelectedPrinter printer(this, form->listWidget, pageReadFrom(Page::Wifi));
    if (!printer.isOpen())
        return;
    const wifi::Values values = pageform::wifiFrom(*form);
    if (refuse(wifi::validate(values), pageform::wifiLabels(*form)))
        return;
    messages::showResult(this, messages::SlotKind::Write,
                         pages::sendCommands(printer.handle(), wifi::writeCommands(values)));
}
