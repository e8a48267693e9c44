#include "core/profiles/compare.h"

#include "core/profiles/profile.h"
#include "core/settings/settingspage.h"

namespace profile {

QList<Difference> differences(const QJsonObject &onePages, const QJsonObject &otherPages,
                              const ModelKey &modelKey)
{
    QList<Difference> found;
    for (const QString &name : pages::pageNames()) {
        const QJsonObject one = onePages.value(name).toObject();
        const QJsonObject other = otherPages.value(name).toObject();
        const QJsonObject a = one.value("values").toObject(), b = other.value("values").toObject();
        const QJsonObject wireA = one.value("wire").toObject(),
                          wireB = other.value("wire").toObject();
        if (a.isEmpty() && b.isEmpty())
            continue;
        const std::unique_ptr<pages::SettingsPage> page = pages::pageNamed(name, modelKey);
        const QStringList writable = page ? page->writableKeys() : QStringList();
        // In the page's own order (as the window shows its fields), then any other key.
        QStringList keys;
        if (page) {
            for (const auto &entry : page->values())
                keys << entry.first;
        }
        for (const QString &key : a.keys()) {
            if (!keys.contains(key))
                keys << key;
        }
        for (const QString &key : keys) {
            // A key one side does not hold (a backup without its secrets) is left as it is by a
            // restore: nothing to compare.
            if (!a.contains(key) || !b.contains(key))
                continue;
            Difference d{name, key, a.value(key).toString(), b.value(key).toString(),
                         !writable.contains(key)};
            d.secret = isSecret(name, key);
            const bool wireDiffers =
                wireA.contains(key) && wireB.contains(key) && wireA.value(key) != wireB.value(key);
            if (d.one == d.other && !wireDiffers)
                continue;
            if (d.one == d.other && page) {
                d.one = shownWireValue(*page, key, qint64(wireA.value(key).toDouble()));
                d.other = shownWireValue(*page, key, qint64(wireB.value(key).toDouble()));
            }
            found << d;
        }
    }
    return found;
}

QString shownWireValue(const pages::SettingsPage &page, const QString &key, qint64 wire)
{
    for (const pages::KeyDescription &d : page.keys()) {
        if (d.key == key && d.unit == QLatin1String("mm") && d.range.wireUnitsPerUnit > 1)
            return QString::number(double(wire) / double(d.range.wireUnitsPerUnit));
    }
    return QString::number(wire);
}

bool differ(const QList<Difference> &differences)
{
    for (const Difference &d : differences) {
        if (!d.readOnly)
            return true;
    }
    return false;
}

} // namespace profile
