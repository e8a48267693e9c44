// What the read and write buttons of every settings page do alike: the printer they talk to,
// the result box, and which printer a page's values may go back to.
#include "window/app/mainwindow.h"

#include "ui_mainwindow.h"
#include "window/app/messages.h"

std::optional<int> MainWindow::readPage(Page page, int (MainWindow::*read)(PrinterHandle *),
                                        QWidget *writeButton, SelectedPrinter::Events events)
{
    SelectedPrinter printer(this, form->listWidget, events);
    if (!printer.isOpen())
        return std::nullopt;
    const int r = (this->*read)(printer.handle());
    messages::showResult(this, messages::SlotKind::Read, r);
    // Only a read in which every query succeeded may be written back.
    if (r == 0) {
        writeButton->setEnabled(true);
        pageReadFrom(page) = printer.identity();
    }
    return r;
}

void MainWindow::writePage(Page page,
                           const std::function<std::optional<int>(PrinterHandle *)> &write)
{
    SelectedPrinter printer(this, form->listWidget, pageReadFrom(page));
    if (!printer.isOpen())
        return;
    if (const std::optional<int> r = write(printer.handle()))
        messages::showResult(this, messages::SlotKind::Write, *r);
}
