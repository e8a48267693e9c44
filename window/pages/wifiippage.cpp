// The Wi-Fi IP page: one address block between the widgets and the page codec, and the
// exchanges of its two buttons.
#include "window/app/mainwindow.h"

#include "window/app/fieldwidgets.h"
#include "window/app/messages.h"
#include "window/app/selectedprinter.h"
#include "core/settings/pageexchange.h"
#include "core/settings/pagereads.h"
#include "ui_mainwindow.h"

wifiip::Values MainWindow::wifiIpFromForm() const
{
    wifiip::Values v;
    v.mode = form->comboBox_14->currentIndex();
    v.ip = form->lineEdit_30->text();
    v.mask = form->lineEdit_34->text();
    v.gateway = form->lineEdit_33->text();
    v.dns = form->lineEdit_37->text(); // also while the field is disabled
    v.dnsEnabled = form->lineEdit_37->isEnabled();
    return v;
}

void MainWindow::showWifiIp(const wifiip::Values &v)
{
    pages::showIndex(form->comboBox_14, v.mode);
    form->lineEdit_30->setText(v.ip);
    form->lineEdit_34->setText(v.mask);
    form->lineEdit_33->setText(v.gateway);
    form->lineEdit_37->setText(v.dns);
    form->lineEdit_37->setEnabled(v.dnsEnabled);
}

int MainWindow::IP_Init(PrinterHandle *handle)
{
    wifiip::Values values = wifiIpFromForm();
    const int r = pages::readWifiIp(handle, values);
    showWifiIp(values);
    return r;
}

int MainWindow::Set_Send_IP_MESSAGE_Instruction(PrinterHandle *handle)
{
    return pages::sendCommand(handle, wifiip::encode(wifiIpFromForm()));
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
        rememberRead(Page::WifiIp, pages::pageHolding(wifiIpFromForm()));
    }
}

void MainWindow::on_pushButton_26_clicked()
{
    SelectedPrinter printer(this, form->listWidget, pageReadFrom(Page::WifiIp));
    if (!printer.isOpen())
        return;
    if (refuse(wifiip::validate(wifiIpFromForm()), {{wifiip::kIp, form->label_56},
                                                    {wifiip::kMask, form->label_64},
                                                    {wifiip::kGateway, form->label_63},
                                                    {wifiip::kDns, form->label_67}}))
        return;
    const int r = Set_Send_IP_MESSAGE_Instruction(printer.handle());
    recordWrite(Page::WifiIp, printer, pages::pageHolding(wifiIpFromForm()), r);
    messages::showResult(this, messages::SlotKind::Write, r);
}
