#include "profiles/profile.h"

#include "settings/refusaltext.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <QObject>
#include <cmath>

namespace profile {

namespace {
const QString kValues = QStringLiteral("values");
const QString kWire = QStringLiteral("wire");

// A JSON number that is a whole number within the field's wire range; compared as a double
// first, so that 40.5 or 1e19 never reach the conversion.
std::optional<qint64> wholeNumberIn(const QJsonValue &value,
                                    const std::optional<QPair<qint64, qint64>> &range)
{
    if (!range || !value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (!(number >= double(range->first) && number <= double(range->second)) ||
        std::trunc(number) != number)
        return std::nullopt;
    return qint64(number);
}
} // namespace

QJsonObject pageToJson(const pages::SettingsPage &page)
{
    QJsonObject values;
    for (const auto &[key, value] : page.values())
        values.insert(key, value);
    QJsonObject wire;
    const QMap<QString, qint64> exact = page.wireValues();
    for (auto it = exact.begin(); it != exact.end(); ++it)
        wire.insert(it.key(), double(it.value()));
    return QJsonObject{{kValues, values}, {kWire, wire}};
}

QJsonObject document(const QString &model, const QString &version,
                     const std::vector<std::unique_ptr<pages::SettingsPage>> &pages)
{
    QJsonObject byName;
    for (const auto &page : pages)
        byName.insert(page->name(), pageToJson(*page));
    return QJsonObject{{QStringLiteral("format"), kFormatVersion},
                       {QStringLiteral("model"), model},
                       {QStringLiteral("version"), version},
                       {QStringLiteral("pages"), byName}};
}

std::optional<QString> applyPage(const QJsonObject &json, pages::SettingsPage &page)
{
    const QString where = page.name() + QLatin1Char('.');
    const QString invalid = QObject::tr("文件不是有效的打印机配置：%1");
    const QJsonValue values = json.value(kValues);
    if (!values.isObject())
        return invalid.arg(where + kValues);
    QStringList known;
    for (const auto &entry : page.values())
        known << entry.first;
    const QStringList writable = page.writableKeys();
    const QJsonObject object = values.toObject();

    // Each wire value stands next to the text of a writable field and fits that field.
    const QJsonObject wireObject = json.value(kWire).toObject();
    QMap<QString, qint64> wire;
    for (auto it = wireObject.begin(); it != wireObject.end(); ++it) {
        const std::optional<qint64> value = wholeNumberIn(it.value(), page.wireRange(it.key()));
        if (!value || !writable.contains(it.key()) || !object.value(it.key()).isString())
            return invalid.arg(where + kWire + '.' + it.key());
        wire.insert(it.key(), *value);
    }

    for (auto it = object.begin(); it != object.end(); ++it) {
        if (!it.value().isString())
            return invalid.arg(where + it.key());
        if (known.contains(it.key()) && !writable.contains(it.key()))
            continue; // what the printer reported, such as its serial number
        const QString text = it.value().toString();
        if (wire.contains(it.key()) && page.setWireValue(it.key(), wire.value(it.key()), text))
            continue;
        if (const std::optional<QString> error = page.set(it.key(), text))
            return *error;
    }
    if (const std::optional<pages::Refusal> refusal = page.validate())
        return pages::refusalText(where + refusal->field, *refusal);
    return std::nullopt;
}

std::optional<QString> parse(const QByteArray &bytes, Parsed &parsed)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    const QString invalid = QObject::tr("文件不是有效的打印机配置：%1");
    if (error.error != QJsonParseError::NoError)
        return invalid.arg(error.errorString());
    const QJsonObject root = document.object();
    if (root.value(QStringLiteral("format")).toInt(-1) != kFormatVersion)
        return invalid.arg(QStringLiteral("format"));
    if (!root.value(QStringLiteral("model")).isString())
        return invalid.arg(QStringLiteral("model"));
    if (!root.value(QStringLiteral("pages")).isObject())
        return invalid.arg(QStringLiteral("pages"));
    parsed.model = root.value(QStringLiteral("model")).toString();
    parsed.version = root.value(QStringLiteral("version")).toString();
    parsed.pages = root.value(QStringLiteral("pages")).toObject();
    for (auto it = parsed.pages.begin(); it != parsed.pages.end(); ++it) {
        if (!it.value().isObject())
            return invalid.arg(it.key());
    }
    return std::nullopt;
}

} // namespace profile
