// The distance page's members: its read, its write and the set operations of its four distances.
#include "window/app/mainwindow.h"

#include "core/settings/pageexchange.h"
#include "core/settings/pagereads.h"
#include "ui_mainwindow.h"
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
    readPage(Page::Distance, &MainWindow::Distance_Init, form->pushButton_30);
}

void MainWindow::on_pushButton_30_clicked()
{
    writePage(Page::Distance, [this](PrinterHandle *handle) {
        return sendPage(handle, pageform::distancesFrom(*form), distances::validate,
                        distances::writeCommands, pageform::distanceLabels(*form));
    });
}
