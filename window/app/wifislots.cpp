// The Wi-Fi page's members: its read, its write and the set operations of the mode, the two
// networks and the TCP port.
#include "window/app/mainwindow.h"

#include "core/settings/pageexchange.h"
#include "core/settings/pagereads.h"
#include "core/settings/pageslog.h"
#include "ui_mainwindow.h"
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
    if (const std::optional<int> r =
            readPage(Page::Wifi, &MainWindow::Wifi_Init, form->pushButton_18))
        qCDebug(lcPages, "wifi ret = %d", *r);
}

void MainWindow::on_pushButton_18_clicked()
{
    writePage(Page::Wifi, [this](PrinterHandle *handle) {
        return sendPage(handle, pageform::wifiFrom(*form), wifi::validate, wifi::writeCommands,
                        pageform::wifiLabels(*form));
    });
}
