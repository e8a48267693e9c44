// The Wi-Fi page: the mode, the network of the mode, the TCP port and the MAC addresses between
// the widgets and the page codec, and the exchanges of its two buttons.
#include "window/app/mainwindow.h"

#include "window/app/fieldwidgets.h"
#include "window/app/messages.h"
#include "window/app/selectedprinter.h"
#include "core/settings/pageexchange.h"
#include "core/settings/pagereads.h"
#include "core/settings/pageslog.h"
#include "ui_mainwindow.h"

wifi::Values MainWindow::wifiFromForm() const
{
    wifi::Values v;
    v.mode = form->comboBox_8->currentIndex();
    v.stationName = form->lineEdit_6->text();
    v.stationPassword = form->lineEdit_23->text();
    v.accessPointName = form->lineEdit_11->text();
    v.accessPointPassword = form->lineEdit_52->text();
    v.accessPointIp = form->lineEdit_47->text();
    v.tcpPort = form->lineEdit_27->text();
    v.wifiMac = form->lineEdit_7->text();
    v.bluetoothMac = form->lineEdit_31->text();
    return v;
}

void MainWindow::showWifi(const wifi::Values &v)
{
    pages::showIndex(form->comboBox_8, v.mode);
    form->lineEdit_6->setText(v.stationName);
    form->lineEdit_23->setText(v.stationPassword);
    form->lineEdit_11->setText(v.accessPointName);
    form->lineEdit_52->setText(v.accessPointPassword);
    form->lineEdit_47->setText(v.accessPointIp);
    form->lineEdit_27->setText(v.tcpPort);
    form->lineEdit_7->setText(v.wifiMac);
    form->lineEdit_31->setText(v.bluetoothMac);
}

int MainWindow::Wifi_Init(PrinterHandle *handle)
{
    wifi::Values values = wifiFromForm();
    const int r = pages::readWifi(handle, values);
    showWifi(values);
    return r;
}

int MainWindow::sendWifiCommand(PrinterHandle *handle, wifi::Command command)
{
    return pages::sendCommand(handle, wifi::encode(command, wifiFromForm()));
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
        rememberRead(Page::Wifi, pages::pageHolding(wifiFromForm()));
    }
}

void MainWindow::on_pushButton_18_clicked()
{
    SelectedPrinter printer(this, form->listWidget, pageReadFrom(Page::Wifi));
    if (!printer.isOpen())
        return;
    const wifi::Values values = wifiFromForm();
    if (refuse(wifi::validate(values), {{wifi::kStationName, form->label_9},
                                        {wifi::kStationPassword, form->label_14},
                                        {wifi::kAccessPointName, form->label_83},
                                        {wifi::kAccessPointPassword, form->label_84},
                                        {wifi::kAccessPointIp, form->label_39},
                                        {wifi::kTcpPort, form->label_52}}))
        return;
    int r = 0;
    for (wifi::Command command : wifi::writeOrder(values))
        r = pages::firstFailure(r, sendWifiCommand(printer.handle(), command));
    recordWrite(Page::Wifi, printer, pages::pageHolding(wifiFromForm()), r);
    messages::showResult(this, messages::SlotKind::Write, r);
}
