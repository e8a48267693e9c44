// The printer information group: model, version, resolution and maximum paper width.
#include "ui_mainwindow.h"
#include "window/pages/pageforms.h"

namespace pageform {

void show(Ui::MainWindow &form, const pages::Information &information)
{
    if (information.model)
        form.lineEdit_49->setText(*information.model);
    if (information.version)
        form.lineEdit_32->setText(*information.version);
    if (information.resolution) {
        form.lineEdit->setText(QString::number(*information.resolution));
        form.lineEdit_2->setText(QString::number(*information.maxWidthMm));
    }
}

} // namespace pageform
