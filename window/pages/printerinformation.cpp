// The printer information group: model, version, resolution and maximum paper width.
#include "window/app/mainwindow.h"

#include "window/app/messages.h"
#include "window/app/selectedprinter.h"
#include "core/settings/pagereads.h"
#include "core/settings/pageslog.h"
#include "ui_mainwindow.h"

#include <QLineEdit>

namespace {

void showInformation(const pages::Information &information, QLineEdit *version,
                     QLineEdit *resolution, QLineEdit *width)
{
    if (information.version)
        version->setText(*information.version);
    if (information.resolution) {
        resolution->setText(QString::number(*information.resolution));
        width->setText(QString::number(*information.maxWidthMm));
    }
}

} // namespace

int MainWindow::Message_Init(PrinterHandle *handle)
{
    pages::Information information;
    const pages::InformationResults results = pages::readInformation(handle, information, false);
    showInformation(information, form->lineEdit_32, form->lineEdit, form->lineEdit_2);
    return results.resolution;
}

void MainWindow::on_pushButton_clicked()
{
    SelectedPrinter printer(this, form->listWidget);
    if (!printer.isOpen())
        return;
    pages::Information information;
    const pages::InformationResults results = pages::readInformation(printer.handle(), information);
    showInformation(information, form->lineEdit_32, form->lineEdit, form->lineEdit_2);
    if (information.model)
        form->lineEdit_49->setText(*information.model);
    showSelectedPrinter(information.version.value_or(QString()));
    // A failed query of any of the three is a failed read, not only the identification.
    messages::show(this, results.firstFailure() != 0 ? QObject::tr("请确保打印机已通过USB进行连接")
                                                     : QObject::tr("获取成功"));
}
