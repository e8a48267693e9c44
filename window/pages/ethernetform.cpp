// The Ethernet page: the address block and the two ports.
#include "ui_mainwindow.h"
#include "window/pages/fieldwidgets.h"
#include "window/pages/pageforms.h"

namespace pageform {

ethernet::Values ethernetFrom(const Ui::MainWindow &form)
{
    ethernet::Values v;
    v.mode = form.comboBox_16->currentIndex();
    v.ip = form.lineEdit_36->text();
    v.mask = form.lineEdit_35->text();
    v.gateway = form.lineEdit_40->text();
    v.tcpPort = form.lineEdit_12->text();
    v.udpPort = form.lineEdit_10->text();
    return v;
}

void show(Ui::MainWindow &form, const ethernet::Values &v)
{
    pages::showIndex(form.comboBox_16, v.mode);
    form.lineEdit_36->setText(v.ip);
    form.lineEdit_35->setText(v.mask);
    form.lineEdit_40->setText(v.gateway);
    form.lineEdit_12->setText(v.tcpPort);
    form.lineEdit_10->setText(v.udpPort);
}

FieldLabels ethernetLabels(const Ui::MainWindow &form)
{
    return {{ethernet::kIp, form.label_58},
            {ethernet::kMask, form.label_66},
            {ethernet::kGateway, form.label_69},
            {ethernet::kTcpPort, form.label_18},
            {ethernet::kUdpPort, form.label_19}};
}

} // namespace pageform
