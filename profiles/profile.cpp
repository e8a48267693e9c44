#include "profiles/profile.h"

#include "settings/refusaltext.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <QObject>

namespace profile {

namespace {
const QString kValues = QStringLiteral("values");
const QString kWire = QStringLiteral("wire");
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
    const QJsonValue values = json.value(kValues);
    if (!values.isObject())
        return QObject::tr("文件不是有效的打印机配置：%1").arg(where + kValues);
    QStringList known;
    for (const auto &entry : page.values())
        known << entry.first;
    const QStringList writable = page.writableKeys();
    const QJsonObject object = values.toObject();
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (!it.value().isString())
            return QObject::tr("文件不是有效的打印机配置：%1").arg(where + it.key());
        if (known.contains(it.key()) && !writable.contains(it.key()))
            continue; // what the printer reported, such as its serial number
        if (const std::optional<QString> error = page.set(it.key(), it.value().toString()))
            return *error;
    }
    const QJsonObject wire = json.value(kWire).toObject();
    for (auto it = wire.begin(); it != wire.end(); ++it) {
        if (!it.value().isDouble() || !writable.contains(it.key()))
            return QObject::tr("文件不是有效的打印机配置：%1").arg(where + kWire + '.' + it.key());
        page.setWireValue(it.key(), qint64(it.value().toDouble()));
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
