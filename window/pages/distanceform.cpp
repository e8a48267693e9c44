// The distance page's four fields: three in millimetres, one in dots.
#include "ui_mainwindow.h"
#include "window/pages/fieldwidgets.h"
#include "window/pages/pageforms.h"

namespace pageform {

distances::Values distancesFrom(const Ui::MainWindow &form)
{
    return {pages::numberField(form.lineEdit_3), pages::numberField(form.lineEdit_4),
            pages::numberField(form.lineEdit_5), pages::numberField(form.lineEdit_9)};
}

void show(Ui::MainWindow &form, const distances::Values &v)
{
    pages::showNumberField(form.lineEdit_3, v.exitToHead);
    pages::showNumberField(form.lineEdit_4, v.gapToHead);
    pages::showNumberField(form.lineEdit_5, v.blackMarkToHead);
    pages::showNumberField(form.lineEdit_9, v.headToTear);
}

FieldLabels distanceLabels(const Ui::MainWindow &form)
{
    return {{distances::kExitToHead, form.label_3},
            {distances::kGapToHead, form.label_13},
            {distances::kBlackMarkToHead, form.label_15},
            {distances::kHeadToTear, form.label_16}};
}

} // namespace pageform
