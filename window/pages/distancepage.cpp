// The distance page: moves values between its four fields and the page codec, and runs the
// exchanges of its two buttons.
#include "window/app/mainwindow.h"

#include "window/app/fieldwidgets.h"
#include "window/app/messages.h"
#include "window/app/selectedprinter.h"
#include "core/settings/pageexchange.h"
#include "core/settings/pagereads.h"
#include "ui_mainwindow.h"

using distances::Distance;

distances::Values MainWindow::distancesFromForm() const
{
    return {pages::numberField(form->lineEdit_3), pages::numberField(form->lineEdit_4),
            pages::numberField(form->lineEdit_5), pages::numberField(form->lineEdit_9)};
}

void MainWindow::showDistances(const distances::Values &v)
{
    pages::showNumberField(form->lineEdit_3, v.exitToHead);
    pages::showNumberField(form->lineEdit_4, v.gapToHead);
    pages::showNumberField(form->lineEdit_5, v.blackMarkToHead);
    pages::showNumberField(form->lineEdit_9, v.headToTear);
}

int MainWindow::Distance_Init(PrinterHandle *handle)
{
    distances::Values values = distancesFromForm();
    const int r = pages::readDistances(handle, values);
    showDistances(values);
    return r;
}

int MainWindow::sendDistance(PrinterHandle *handle, Distance distance)
{
    return pages::sendCommand(handle, distances::encode(distance, distancesFromForm()));
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
        rememberRead(Page::Distance, pages::pageHolding(distancesFromForm()));
    }
}

void MainWindow::on_pushButton_30_clicked()
{
    SelectedPrinter printer(this, form->listWidget, pageReadFrom(Page::Distance));
    if (!printer.isOpen())
        return;
    if (refuse(distances::validate(distancesFromForm()),
               {{distances::kExitToHead, form->label_3},
                {distances::kGapToHead, form->label_13},
                {distances::kBlackMarkToHead, form->label_15},
                {distances::kHeadToTear, form->label_16}}))
        return;
    PrinterHandle *h = printer.handle();
    int r = Set_Send_THE_DISTANCE_OF_THE_PAPER_EDGE_IS_OUT_Instruction(h);
    r = pages::firstFailure(r, Set_Send_SEAM_TO_PRINT_HRAD_DISTANCE_Instruction(h));
    r = pages::firstFailure(r, Set_Send_BLACK_TO_PRINT_HEAD_DISTANCE_Instruction(h));
    r = pages::firstFailure(r, Set_Send_PRINT_HEAD_TO_TEAR_DISTANCE_Instruction(h));
    recordWrite(Page::Distance, printer, pages::pageHolding(distancesFromForm()), r);
    messages::showResult(this, messages::SlotKind::Write, r);
}
