#include "window/pages/fieldwidgets.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QVariant>

namespace pages {

namespace {
const char kReadValue[] = "labelsetupReadValue";
const char kReadText[] = "labelsetupReadText";
} // namespace

NumberField numberField(const QLineEdit *edit)
{
    NumberField field;
    field.text = edit->text();
    const QVariant value = edit->property(kReadValue);
    if (value.isValid()) {
        field.readValue = value.toLongLong();
        field.readText = edit->property(kReadText).toString();
    }
    return field;
}

void showNumberField(QLineEdit *edit, const NumberField &field)
{
    edit->setText(field.text);
    edit->setProperty(kReadValue, field.readValue ? QVariant(*field.readValue) : QVariant());
    edit->setProperty(kReadText, field.readValue ? QVariant(field.readText) : QVariant());
}

void showIndex(QComboBox *combo, int index)
{
    combo->setCurrentIndex(index < combo->count() ? index : kNoItem);
}

QString fieldName(const QLabel *label)
{
    QString name = label->text().trimmed();
    while (name.endsWith(QChar(0xFF1A)) || name.endsWith(QLatin1Char(':')))
        name = name.left(name.size() - 1).trimmed();
    return name;
}

} // namespace pages
