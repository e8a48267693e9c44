// The Bluetooth page: the two names, the pairing mode and the PIN. Its MAC field is the Wi-Fi
// page's business.
#include "ui_mainwindow.h"
#include "window/pages/fieldwidgets.h"
#include "window/pages/pageforms.h"

namespace pageform {

bluetooth::Values bluetoothFrom(const Ui::MainWindow &form)
{
    return {form.lineEdit_28->text(), form.lineEdit_24->text(), form.comboBox_11->currentIndex(),
            form.lineEdit_25->text()};
}

void show(Ui::MainWindow &form, const bluetooth::Values &v)
{
    form.lineEdit_28->setText(v.sppName);
    form.lineEdit_24->setText(v.bleName);
    pages::showIndex(form.comboBox_11, v.pairingMode);
    form.lineEdit_25->setText(v.pin);
}

FieldLabels bluetoothLabels(const Ui::MainWindow &form)
{
    return {{bluetooth::kSppName, form.label_35},
            {bluetooth::kBleName, form.label_38},
            {bluetooth::kPin, form.label_53}};
}

} // namespace pageform
