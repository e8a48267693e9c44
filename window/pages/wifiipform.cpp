// The Wi-Fi IP page: the mode and the four addresses of its one block.
#include "ui_mainwindow.h"
#include "window/pages/fieldwidgets.h"
#include "window/pages/pageforms.h"

namespace pageform {

wifiip::Values wifiIpFrom(const Ui::MainWindow &form)
{
    wifiip::Values v;
    v.mode = form.comboBox_14->currentIndex();
    v.ip = form.lineEdit_30->text();
    v.mask = form.lineEdit_34->text();
    v.gateway = form.lineEdit_33->text();
    v.dns = form.lineEdit_37->text(); // also while the field is disabled
    v.dnsEnabled = form.lineEdit_37->isEnabled();
    return v;
}

void show(Ui::MainWindow &form, const wifiip::Values &v)
{
    pages::showIndex(form.comboBox_14, v.mode);
    form.lineEdit_30->setText(v.ip);
    form.lineEdit_34->setText(v.mask);
    form.lineEdit_33->setText(v.gateway);
    form.lineEdit_37->setText(v.dns);
    form.lineEdit_37->setEnabled(v.dnsEnabled);
}

FieldLabels wifiIpLabels(const Ui::MainWindow &form)
{
    return {{wifiip::kIp, form.label_56},
            {wifiip::kMask, form.label_64},
            {wifiip::kGateway, form.label_63},
            {wifiip::kDns, form.label_67}};
}

} // namespace pageform
