#include "window/fleet/formnames.h"

#include "core/settings/settingspage.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QToolBox>

namespace {

struct FieldWidget {
    const char *page;
    const char *key;
    const char *widget; // the form's object name
};

// The widget of every key, as the window's pages move values between them and the page codecs.
const FieldWidget kFields[] = {
    {"print", "speed", "comboBox"},
    {"print", "density", "comboBox_2"},
    {"print", "label-gap", "lineEdit_43"},
    {"print", "black-mark-gap", "lineEdit_42"},
    {"print", "direction", "comboBox_20"},
    {"print", "mirror", "comboBox_12"},
    {"print", "print-offset", "lineEdit_19"},
    {"print", "vertical-offset", "lineEdit_20"},
    {"print", "print-method", "comboBox_9"},
    {"print", "paper-type", "comboBox_3"},
    {"print", "code-page", "comboBox_15"},
    {"print", "language", "comboBox_23"},
    {"distance", "exit-to-head", "lineEdit_3"},
    {"distance", "gap-to-head", "lineEdit_4"},
    {"distance", "black-mark-to-head", "lineEdit_5"},
    {"distance", "head-to-tear", "lineEdit_9"},
    {"serial", "baud-rate", "comboBox_27"},
    {"serial", "parity", "comboBox_26"},
    {"serial", "data-bits", "comboBox_25"},
    {"serial", "stop-bits", "comboBox_24"},
    {"serial", "serial-number", "lineEdit_8"},
    {"serial", "device-information", "lineEdit_39"},
    {"wifi", "mode", "comboBox_8"},
    {"wifi", "station-name", "lineEdit_6"},
    {"wifi", "station-password", "lineEdit_23"},
    {"wifi", "ap-name", "lineEdit_11"},
    {"wifi", "ap-password", "lineEdit_52"},
    {"wifi", "ap-ip", "lineEdit_47"},
    {"wifi", "tcp-port", "lineEdit_27"},
    {"wifi", "wifi-mac", "lineEdit_7"},
    {"wifi", "bluetooth-mac", "lineEdit_31"},
    {"bluetooth", "spp-name", "lineEdit_28"},
    {"bluetooth", "ble-name", "lineEdit_24"},
    {"bluetooth", "pairing", "comboBox_11"},
    {"bluetooth", "pin", "lineEdit_25"},
    {"wifi-ip", "dhcp", "comboBox_14"},
    {"wifi-ip", "ip", "lineEdit_30"},
    {"wifi-ip", "mask", "lineEdit_34"},
    {"wifi-ip", "gateway", "lineEdit_33"},
    {"wifi-ip", "dns", "lineEdit_37"},
    {"ethernet", "dhcp", "comboBox_16"},
    {"ethernet", "ip", "lineEdit_36"},
    {"ethernet", "mask", "lineEdit_35"},
    {"ethernet", "gateway", "lineEdit_40"},
    {"ethernet", "tcp-port", "lineEdit_12"},
    {"ethernet", "udp-port", "lineEdit_10"},
};

// The label beside a widget in its grid (above it, else before it), its row of a box layout
// (before it) or its form layout.
QLabel *labelIn(QLayout *layout, QWidget *field)
{
    if (!layout)
        return nullptr;
    if (auto *form = qobject_cast<QFormLayout *>(layout)) {
        if (auto *label = qobject_cast<QLabel *>(form->labelForField(field)))
            return label;
    }
    const int index = layout->indexOf(field);
    if (auto *grid = qobject_cast<QGridLayout *>(layout); grid && index >= 0) {
        int row = 0, column = 0, rows = 0, columns = 0;
        grid->getItemPosition(index, &row, &column, &rows, &columns);
        for (const auto &[r, c] : {std::pair{row - 1, column}, std::pair{row, column - 1}}) {
            QLayoutItem *item = r >= 0 && c >= 0 ? grid->itemAtPosition(r, c) : nullptr;
            if (auto *label = item ? qobject_cast<QLabel *>(item->widget()) : nullptr)
                return label;
        }
        return nullptr;
    }
    if (qobject_cast<QBoxLayout *>(layout) && index > 0) {
        if (auto *label = qobject_cast<QLabel *>(layout->itemAt(index - 1)->widget()))
            return label;
    }
    for (int i = 0; i < layout->count(); ++i) {
        if (QLabel *label = labelIn(layout->itemAt(i)->layout(), field))
            return label;
    }
    return nullptr;
}

QString withoutColon(QString text)
{
    text = text.trimmed();
    while (text.endsWith(QChar(0xFF1A)) || text.endsWith(QLatin1Char(':')))
        text.chop(1);
    return text.trimmed();
}

} // namespace

QWidget *FormNames::fieldOf(const QString &page, const QString &key) const
{
    for (const FieldWidget &f : kFields) {
        if (page == QLatin1String(f.page) && key == QLatin1String(f.key))
            return form_->findChild<QWidget *>(QLatin1String(f.widget));
    }
    return nullptr;
}

QString FormNames::pageTitle(const QString &page) const
{
    // The first field of the page tells where the page is: its item in a tool box.
    for (const FieldWidget &f : kFields) {
        if (page != QLatin1String(f.page))
            continue;
        const QWidget *field = fieldOf(page, QLatin1String(f.key));
        for (const QToolBox *box : form_->findChildren<QToolBox *>()) {
            for (int i = 0; field && i < box->count(); ++i) {
                if (box->widget(i)->isAncestorOf(field))
                    return withoutColon(box->itemText(i));
            }
        }
        break;
    }
    return page;
}

QString FormNames::fieldLabel(const QString &page, const QString &key) const
{
    const QString label = ownLabel(page, key);
    // Where the form uses one label twice on a page ("MAC"), the group the field is in tells
    // them apart.
    for (const FieldWidget &f : kFields) {
        if (page != QLatin1String(f.page) || key == QLatin1String(f.key) ||
            ownLabel(page, QLatin1String(f.key)) != label)
            continue;
        for (QWidget *w = fieldOf(page, key); w; w = w->parentWidget()) {
            if (auto *group = qobject_cast<QGroupBox *>(w))
                return withoutColon(group->title()) + QLatin1Char(' ') + label;
        }
    }
    return label;
}

QString FormNames::ownLabel(const QString &page, const QString &key) const
{
    QWidget *field = fieldOf(page, key);
    QWidget *parent = field ? field->parentWidget() : nullptr;
    if (QLabel *label = parent ? labelIn(parent->layout(), field) : nullptr)
        return withoutColon(label->text());
    // A field alone in its group box is named by the box.
    if (auto *group = qobject_cast<QGroupBox *>(parent); group && group->layout()->count() == 1)
        return withoutColon(group->title());
    return key;
}

QString FormNames::shownValue(const QString &page, const QString &key, const QString &value) const
{
    const auto *box = qobject_cast<const QComboBox *>(fieldOf(page, key));
    if (!box)
        return value;
    // The command language is kept as its item's text; every other list by its item's index.
    if (key == QLatin1String("language"))
        return value;
    for (const auto &p : pages::pagesWith(pages::Features::Extended)) {
        if (p->name() != page)
            continue;
        for (const pages::KeyDescription &d : p->keys()) {
            const int index = d.key == key ? int(d.choices.indexOf(value)) : -1;
            if (index >= 0 && index < box->count())
                return box->itemText(index);
        }
    }
    return value;
}
