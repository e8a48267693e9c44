#include "cli/jsonoutput.h"

#include "core/printers/modelkey.h"
#include "core/profiles/compare.h"
#include "core/settings/settingspage.h"

#include <QJsonDocument>

namespace cli {

QJsonObject withSchema(QJsonObject object)
{
    object.insert(QStringLiteral("schema"), kJsonSchema);
    return object;
}

QByteArray errorDocument(int exit, const QString &message)
{
    const QJsonObject error{{QStringLiteral("exit"), exit}, {QStringLiteral("error"), message}};
    return QJsonDocument(withSchema(error)).toJson(QJsonDocument::Compact) + '\n';
}

QJsonValue valueJson(const pages::SettingsPage &page, const QString &key, const QString &text)
{
    using Kind = pages::KeyDescription::Kind;
    for (const pages::KeyDescription &description : page.keys()) {
        if (description.key != key)
            continue;
        // A selector without an item, a number field the printer left empty: no value.
        if (text.isEmpty() &&
            (description.kind == Kind::Number || description.kind == Kind::Choice))
            return QJsonValue::Null;
        bool whole = false;
        const qint64 number = text.toLongLong(&whole);
        if (description.kind == Kind::Number && whole)
            return double(number);
    }
    return text;
}

QJsonValue valueJson(const QString &page, const ModelKey &modelKey, const QString &key,
                     const QString &text)
{
    const std::unique_ptr<pages::SettingsPage> named = pages::pageNamed(page, modelKey);
    return named ? valueJson(*named, key, text) : QJsonValue(text);
}

QJsonObject pageValuesJson(const pages::SettingsPage &page)
{
    QJsonObject values;
    for (const auto &[key, value] : page.values())
        values.insert(key, valueJson(page, key, value));
    return values;
}

QJsonArray differencesJson(const QList<profile::Difference> &found, const ModelKey &modelKey,
                           bool secrets)
{
    QJsonArray differences;
    for (const profile::Difference &d : found) {
        QJsonObject difference{{QStringLiteral("page"), d.page},
                               {QStringLiteral("key"), d.key},
                               {QStringLiteral("read-only"), d.readOnly}};
        if (d.secret && !secrets) {
            difference.insert(QStringLiteral("secret"), true);
        } else {
            difference.insert(QStringLiteral("one"), valueJson(d.page, modelKey, d.key, d.one));
            difference.insert(QStringLiteral("other"), valueJson(d.page, modelKey, d.key, d.other));
        }
        differences.append(difference);
    }
    return differences;
}

} // namespace cli
