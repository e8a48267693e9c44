// The serial-port page: the four line parameters, the device information and the serial number.
#include "ui_mainwindow.h"
#include "window/pages/fieldwidgets.h"
#include "window/pages/pageforms.h"

namespace pageform {

serialport::Values serialPortFrom(const Ui::MainWindow &form,
                                  const std::optional<QByteArray> &serialNumberRead)
{
    serialport::Values v;
    v.baudRate = form.comboBox_27->currentIndex();
    v.parity = form.comboBox_26->currentIndex();
    v.dataBits = form.comboBox_25->currentIndex();
    v.stopBits = form.comboBox_24->currentIndex();
    v.serialNumber = serialNumberRead;
    v.serialNumberText = form.lineEdit_8->text();
    return v;
}

void show(Ui::MainWindow &form, const serialport::Values &v)
{
    pages::showIndex(form.comboBox_27, v.baudRate);
    pages::showIndex(form.comboBox_26, v.parity);
    pages::showIndex(form.comboBox_25, v.dataBits);
    pages::showIndex(form.comboBox_24, v.stopBits);
    if (v.deviceInformation) {
        form.lineEdit_39->setText(*v.deviceInformation);
        form.lineEdit_39->setEnabled(false);
    }
    form.lineEdit_8->setText(v.serialNumberText);
}

FieldLabels serialPortLabels(const Ui::MainWindow &form)
{
    return {{serialport::kSerialNumber, form.label_54}};
}

} // namespace pageform
