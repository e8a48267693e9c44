#pragma once

#include "settings/settingspage.h"

#include <QJsonObject>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

// A printer profile: every settings page a printer's model offers, in one JSON document with the
// model, the firmware version and the format version.
namespace profile {

constexpr int kFormatVersion = 1;

QJsonObject pageToJson(const pages::SettingsPage &page);
QJsonObject document(const QString &model, const QString &version,
                     const std::vector<std::unique_ptr<pages::SettingsPage>> &pages);

// Puts one page's values from a profile into `page` (writable keys only; read-only ones are
// skipped), with the wire values the profile kept where its texts still show them. An error text
// naming the page and key when a key is unknown, a value is refused by the page, a wire value is
// not a whole number within its field's wire range, or the page would refuse to write.
std::optional<QString> applyPage(const QJsonObject &json, pages::SettingsPage &page);

struct Parsed {
    QString model;
    QString version;
    QJsonObject pages; // page name -> page object
};
// Checks the document's shape: format version, model, pages. An error text otherwise.
std::optional<QString> parse(const QByteArray &bytes, Parsed &parsed);

} // namespace profile
