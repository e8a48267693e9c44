// The printer information group's members: its read and the button that shows it.
#include "window/app/mainwindow.h"

#include "core/settings/pagereads.h"
#include "ui_mainwindow.h"
#include "window/app/messages.h"
#include "window/app/selectedprinter.h"
#include "window/pages/pageforms.h"

int MainWindow::Message_Init(PrinterHandle *handle)
{
    pages::Information information;
    const pages::InformationResults results = pages::readInformation(handle, information, false);
    pageform::show(*form, information);
    return results.resolution;
}

void MainWindow::on_pushButton_clicked()
{
    SelectedPrinter printer(this, form->listWidget);
    if (!printer.isOpen())
        return;
    pages::Information information;
    const pages::InformationResults results = pages::readInformation(printer.handle(), information);
    pageform::show(*form, information);
    showSelectedPrinter(information.version.value_or(QString()));
    // A failed query of any of the three is a failed read, not only the identification.
    messages::show(this, results.firstFailure() != 0 ? QObject::tr("请确保打印机已通过USB进行连接")
                                                     : QObject::tr("获取成功"));
}
