#include "core/printers/modelkey.h"

ModelKey ModelKey::ofRow(const QString &rowText)
{
    const int usb = rowText.indexOf(QStringLiteral("USB"), 0, Qt::CaseSensitive);
    return usb < 0 ? ModelKey() : ModelKey(rowText.left(usb));
}

ModelKey ModelKey::named(const QString &name) { return ModelKey(name + QLatin1Char(' ')); }

ModelKey ModelKey::of(const QString &brand, const QString &product)
{
    return ModelKey(brand + QLatin1Char(' ') + product + QLatin1Char(' '));
}

QString ModelKey::brand() const { return name().section(QLatin1Char(' '), 0, 0); }

QString ModelKey::product() const { return name().section(QLatin1Char(' '), 1); }
