// The Wi-Fi IP page's members: its read, its write and the set operation of its one block.
#include "window/app/mainwindow.h"

#include "core/settings/pageexchange.h"
#include "core/settings/pagereads.h"
#include "ui_mainwindow.h"
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
    readPage(Page::WifiIp, &MainWindow::IP_Init, form->pushButton_26);
}

void MainWindow::on_pushButton_26_clicked()
{
    writePage(Page::WifiIp, [this](PrinterHandle *handle) {
        return sendPage(handle, pageform::wifiIpFrom(*form), wifiip::validate,
                        wifiip::writeCommands, pageform::wifiIpLabels(*form));
    });
}
