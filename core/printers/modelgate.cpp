#include "core/printers/modelgate.h"

#include <QStringList>

namespace modelgate {

namespace {

const QStringList kLockedModels = {
    QStringLiteral("Zurod RM-310 "),
    QStringLiteral("Vantrell RM-320 "),
    QStringLiteral("Zurod RM-320 "),
    QStringLiteral("Vantrell RM-310 "),
};

const QStringList kExtendedModels = {
    QStringLiteral("Zurod RW-604K "),   QStringLiteral("Vantrell RW-604K "),
    QStringLiteral("Orbeck VS-608K "),  QStringLiteral("H&J HJ-WK650 "),
    QStringLiteral("DVN DN816QX PRO "), QStringLiteral("DVN DN810QX PRO "),
    QStringLiteral("Orbeck OB-K900 "),
};

} // namespace

QString modelKey(const QString &rowText)
{
    const int usb = rowText.indexOf(QStringLiteral("USB"), 0, Qt::CaseSensitive);
    return usb < 0 ? QString() : rowText.left(usb);
}

bool isLocked(const QString &modelKey)
{
    return kLockedModels.contains(modelKey, Qt::CaseSensitive);
}

bool isExtended(const QString &modelKey)
{
    return kExtendedModels.contains(modelKey, Qt::CaseSensitive);
}

int speedCount(bool extended) { return extended ? 8 : 4; }

} // namespace modelgate
