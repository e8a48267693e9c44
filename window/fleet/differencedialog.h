#pragma once

#include "core/profiles/compare.h"

#include <QDialog>

// A printer and a profile side by side, one row per differing key: page, field, the printer's
// value, the file's, as the form names and shows them; passwords and the PIN only as differing.
// Read-only keys (serial number, device information, MACs) come last and greyed: they are shown,
// never written. To compare it only closes; before an apply it asks whether to write.
class DifferenceDialog : public QDialog
{
public:
    enum class Purpose { Compare, Apply };
    DifferenceDialog(QWidget *parent, const QString &heading,
                     const QList<profile::Difference> &differences, Purpose purpose);
};
