#pragma once

#include <QString>

// Which parts of the window a printer model supports, by the model key of its list row: the row
// text up to the first "USB" (so it ends with the blank before it).
namespace modelgate {

QString modelKey(const QString &rowText);
// Locked models offer neither the settings tabs nor the font download.
bool isLocked(const QString &modelKey);
// Extended models have an Ethernet port, a print-method selector and eight print speeds.
bool isExtended(const QString &modelKey);
int speedCount(bool extended);

} // namespace modelgate
