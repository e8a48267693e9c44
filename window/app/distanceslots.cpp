// The distance page's members: its read, its write and the set operations of its four distances.
#include "window/app/mainwindow.h"

#include "core/settings/pageexchange.h"
#include "core/settings/pagereads.h"
#include "ui_mainwindow.h"
#include "window/app/messages.h"
#include "window/app/selectedprinter.h"
#include "window/pages/pageforms.h"

using distances::Distance;

int MainWindow::Distance_Init(PrinterHandle *handle)
{
    distances::Values values = pageform::distancesFrom(*form);
    const int r = pages::readDistances(handle, values);
    pageform::show(*form, values);
    return r;
}

int MainWindow::sendDistance(PrinterHandle *handle, Distance distance)
{
    return pages::sendCommand(handle, distances::encode(distance, pageform::distancesFrom(*form)));
}

int MainWindow::Set_Send_THE_DISTANCE_OF_THE_PAPER_EDGE_IS_OUT_Instruction(PrinterHandle *h)
{
    return sendDistance(h, Distance::ExitToHead);
}
int MainWindow::Set_Send_SEAM_TO_PRINT_HRAD_DISTANCE_Instruction(PrinterHandle *h)
{
    return sendDistance(h, Distance::GapToHead);
}
int MainWindow::Set_Send_BLACK_TO_PRINT_HEAD_DISTANCE_Instruction(PrinterHandle *h)
{
    return sendDistance(h, Distance::BlackMarkToHead);
}
int MainWindow::Set_Send_PRINT_HEAD_TO_TEAR_DISTANCE_Instruction(PrinterHandle *h)
{
    return sendDistance(h, Distance::HeadToTear);
}

void MainWindow::on_pushButton_31_clicked()
{
    SelectedPrinter printer(this, form->listWidget);
    if (!printer.isOpen())
        return;
    const int r = Distance_Init(printer.handle());
    messages::showResult(this, messages::SlotKind::Read, r);
    // Only a read in which every query succeeded may be written back.
    if (r == 0) {
        form->pushButton_30->setEnabled(true);
        pageReadFrom(Page::Distance) = printer.identity();
    }
}

void MainWindow::on_pushButton_30_clicked()
{
    SelectedPrinter printer(this, form->listWidget, pageReadFrom(Page::Distance));
    if (!printer.isOpen())
        return;
    const distances::Values values = pageform::distancesFrom(*form);
    if (refuse(distances::validate(values), pageform::distanceLabels(*form)))
        return;
    messages::showResult(this, messages::SlotKind::Write,
                         pages::sendCommands(printer.handle(), distances::writeCommands(values)));
}
