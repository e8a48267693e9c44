#pragma once

#include "core/settings/pagefields.h"

#include <QString>

namespace pages {

// Why a write was refused, naming the field: the window's warning box and the command line's
// message say the same.
QString refusalText(const QString &fieldName, const Refusal &refusal);

} // namespace pages
