#pragma once

#include "core/settings/pagefields.h"

class QComboBox;
class QLabel;
class QLineEdit;

// Moving page values in and out of the form's widgets. What a read showed in a number field is
// kept on the line edit itself, so it travels with the field and nothing else has to track it.
namespace pages {

NumberField numberField(const QLineEdit *edit);
void showNumberField(QLineEdit *edit, const NumberField &field);

// An index beyond the list leaves the box with no current item.
void showIndex(QComboBox *combo, int index);

// The name a message gives a field: its label's text without the closing colon.
QString fieldName(const QLabel *label);

} // namespace pages
