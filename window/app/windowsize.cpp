#include "window/app/windowsize.h"

#include "ui_mainwindow.h"

#include <QStyle>
#include <algorithm>

namespace windowsize {

void fitContents(Ui::MainWindow &form)
{
    // A combo box would give up width before the layouts do and cut its current item short.
    for (QComboBox *combo : form.centralwidget->findChildren<QComboBox *>())
        combo->setMinimumWidth(combo->sizeHint().width());

    // The tool box shows each page in a scroll area of its own, which may scroll up and down.
    int widest = 0;
    for (int i = 0; i < form.toolBox->count(); ++i)
        widest = std::max(widest, form.toolBox->widget(i)->minimumSizeHint().width());
    const int scrollBar = form.toolBox->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    form.toolBox->setMinimumWidth(widest + scrollBar);
    form.scrollArea_3->setMinimumWidth(form.toolBox->minimumWidth() +
                                       2 * form.scrollArea_3->frameWidth());

    // The page of the function buttons scrolls up and down as well; the form caps its width.
    QWidget *buttons = form.scrollArea_2->widget();
    form.scrollArea_2->setMinimumWidth(buttons->minimumSizeHint().width() + scrollBar +
                                       2 * form.scrollArea_2->frameWidth());
}

} // namespace windowsize
