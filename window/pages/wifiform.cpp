// The Wi-Fi page: the mode, both networks, the TCP port and the two MAC addresses (the Bluetooth
// one shows on the Bluetooth page).
#include "ui_mainwindow.h"
#include "window/pages/fieldwidgets.h"
#include "window/pages/pageforms.h"

namespace pageform {

wifi::Values wifiFrom(const Ui::MainWindow &form)
{
    wifi::Values v;
    v.mode = form.comboBox_8->currentIndex();
    v.stationName = form.lineEdit_6->text();
    v.stationPassword = form.lineEdit_23->text();
    v.accessPointName = form.lineEdit_11->text();
    v.accessPointPassword = form.lineEdit_52->text();
    v.accessPointIp = form.lineEdit_47->text();
    v.tcpPort = form.lineEdit_27->text();
    v.wifiMac = form.lineEdit_7->text();
    v.bluetoothMac = form.lineEdit_31->text();
    return v;
}

void show(Ui::MainWindow &form, const wifi::Values &v)
{
    pages::showIndex(form.comboBox_8, v.mode);
    form.lineEdit_6->setText(v.stationName);
    form.lineEdit_23->setText(v.stationPassword);
    form.lineEdit_11->setText(v.accessPointName);
    form.lineEdit_52->setText(v.accessPointPassword);
    form.lineEdit_47->setText(v.accessPointIp);
    form.lineEdit_27->setText(v.tcpPort);
    form.lineEdit_7->setText(v.wifiMac);
    form.lineEdit_31->setText(v.bluetoothMac);
}

FieldLabels wifiLabels(const Ui::MainWindow &form)
{
    return {{wifi::kStationName, form.label_9},      {wifi::kStationPassword, form.label_14},
            {wifi::kAccessPointName, form.label_83}, {wifi::kAccessPointPassword, form.label_84},
            {wifi::kAccessPointIp, form.label_39},   {wifi::kTcpPort, form.label_52}};
}

} // namespace pageform
