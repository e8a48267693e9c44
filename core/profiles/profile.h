#pragma once

#include "core/settings/settingspage.h"

#include <QJsonObject>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

// A printer profile: every settings page a printer's model offers, in one JSON document with the
// model, the firmware version and the format version.
namespace profile {

constexpr int kFormatVersion = 1;

// The Wi-Fi passwords and the Bluetooth PIN.
bool isSecret(const QString &page, const QString &key);

// Without `secrets`, the Wi-Fi passwords and the Bluetooth PIN are left out; restoring such a
// file leaves the printer's own.
QJsonObject pageToJson(const pages::SettingsPage &page, bool secrets = true);
// Page name -> page, as the document's "pages" holds them.
QJsonObject pagesToJson(const std::vector<std::unique_ptr<pages::SettingsPage>> &pages,
                        bool secrets = true);
QJsonObject document(const QString &model, const QString &version,
                     const std::vector<std::unique_ptr<pages::SettingsPage>> &pages,
                     bool secrets = true);

// Puts one page's values from a profile into `page` (writable keys only; read-only ones are
// skipped), with the wire values the profile kept where its texts still show them. An error text
// naming the page and key when a key is unknown, a value is refused by the page, a wire value is
// not a whole number within its field's wire range, or (with Check::WholePage) the page would
// refuse to write. ValuesOnly suits a page that holds the file's keys only: a key the file leaves
// out keeps the value of the printer it is merged with later.
enum class Check { WholePage, ValuesOnly };
std::optional<QString> applyPage(const QJsonObject &json, pages::SettingsPage &page,
                                 Check check = Check::WholePage);

struct Parsed {
    QString model;
    QString version;
    QJsonObject pages; // page name -> page object
};
// Checks the document's shape: format version, model, pages. An error text otherwise.
std::optional<QString> parse(const QByteArray &bytes, Parsed &parsed);

// A profile file holds passwords: it is made readable and writable by its owner only, appears
// whole or not at all, and replaces an existing file (or link) of that name only when asked to.
// The path is a name as filenames::decode gives it. On failure `why` gets the system's reason.
enum class Saved { Ok, Exists, Failed };
Saved save(const QString &path, const QByteArray &bytes, bool replace, QString *why = nullptr);

// Reads a profile file; only a regular file is read (never a FIFO, a device or a directory).
enum class Read { Ok, NotARegularFile, Failed };
Read read(const QString &path, QByteArray &bytes);
// Reads and parses a profile file; an error text naming the file or the fault otherwise.
std::optional<QString> load(const QString &path, Parsed &parsed);

} // namespace profile
