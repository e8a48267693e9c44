#pragma once

#include "core/printers/modelkey.h"
#include "core/settings/settingspage.h"

#include <QJsonObject>
#include <QList>
#include <QString>

// Two sets of profile pages side by side.
namespace profile {

struct Difference {
    QString page;
    QString key;
    QString one;   // the value in the first
    QString other; // the value in the second
    bool readOnly; // serial number, device information, MACs: shown, never a difference
    bool secret = false; // a password or the PIN: shown as "(differs)" unless asked for
};

// Every key both hold whose value differs, page by page in the pages' order. Where the texts agree
// but the wire values kept beside them do not (12 mm as 96 or as 100 dots), the wire values are
// shown, in the unit the page shows the key in (12 and 12.5 mm).
QList<Difference> differences(const QJsonObject &onePages, const QJsonObject &otherPages,
                              const ModelKey &modelKey);
// A wire value in the unit the page shows `key` in: millimetres for a field typed in them (with
// the fraction a whole number of millimetres would hide), else the value itself.
QString shownWireValue(const pages::SettingsPage &page, const QString &key, qint64 wire);
// Whether any difference counts (a read-only one does not).
bool differ(const QList<Difference> &differences);

} // namespace profile
