// The print-settings page's twelve widgets.
#include "ui_mainwindow.h"
#include "window/pages/fieldwidgets.h"
#include "window/pages/pageforms.h"

namespace pageform {

printsettings::Values printSettingsFrom(const Ui::MainWindow &form)
{
    printsettings::Values v;
    v.speed = form.comboBox->currentIndex();
    v.codePage = form.comboBox_15->currentIndex();
    v.commandLanguage =
        form.comboBox_23->currentIndex() < 0 ? QString() : form.comboBox_23->currentText();
    v.density = form.comboBox_2->currentIndex();
    v.paperType = form.comboBox_3->currentIndex();
    v.direction = form.comboBox_20->currentIndex();
    v.mirror = form.comboBox_12->currentIndex();
    v.printMethod = form.comboBox_9->currentIndex();
    // The model-support gate enables the print method only for models that offer it.
    v.printMethodEnabled = form.comboBox_9->isEnabled();
    v.labelGap = pages::numberField(form.lineEdit_43);
    v.blackMarkGap = pages::numberField(form.lineEdit_42);
    v.printOffset = pages::numberField(form.lineEdit_19);
    v.verticalOffset = pages::numberField(form.lineEdit_20);
    return v;
}

void show(Ui::MainWindow &form, const printsettings::Values &v)
{
    pages::showIndex(form.comboBox, v.speed);
    pages::showIndex(form.comboBox_15, v.codePage);
    pages::showIndex(form.comboBox_23, form.comboBox_23->findText(v.commandLanguage));
    pages::showIndex(form.comboBox_2, v.density);
    pages::showIndex(form.comboBox_3, v.paperType);
    pages::showIndex(form.comboBox_20, v.direction);
    pages::showIndex(form.comboBox_12, v.mirror);
    pages::showIndex(form.comboBox_9, v.printMethod);
    pages::showNumberField(form.lineEdit_43, v.labelGap);
    pages::showNumberField(form.lineEdit_42, v.blackMarkGap);
    pages::showNumberField(form.lineEdit_19, v.printOffset);
    pages::showNumberField(form.lineEdit_20, v.verticalOffset);
}

FieldLabels printSettingsLabels(const Ui::MainWindow &form)
{
    return {{printsettings::kLabelGap, form.label_29},
            {printsettings::kBlackMarkGap, form.label_30},
            {printsettings::kPrintOffset, form.label_34},
            {printsettings::kVerticalOffset, form.label_36}};
}

} // namespace pageform
