#pragma once

#include "core/settings/settingspage.h"

#include <QJsonObject>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

struct PrinterHandle;

// A printer's settings as they stand: every page its model offers, read in one go. What a backup
// saves and what a comparison holds a profile against.
namespace profile {

struct Snapshot {
    int result = 0;  // the first failed read; the pages are incomplete then and nothing is saved
    QString version; // the firmware version, when asked for and answered
    std::vector<std::unique_ptr<pages::SettingsPage>> pages;
    bool complete() const { return result == 0; }
    // The pages as a profile holds them (page name -> values and wire values).
    QJsonObject pagesJson(bool secrets = true) const;
};

enum class Version { Skip, Read };
Snapshot readSnapshot(PrinterHandle *handle, const ModelKey &modelKey, Version version);

// The page a profile names, for a model; null with the reason in `error` when no page has that
// name or the model does not offer it.
std::unique_ptr<pages::SettingsPage> profilePage(const QString &name, const ModelKey &modelKey,
                                                 QString &error);

// Every page of a profile checked for a model before anything is sent: its pages, keys and values.
// Whether a page is valid as a whole is known only once it is merged with the printer's own values,
// which a key the file leaves out keeps. The first refusal, naming page and key.
std::optional<QString> checkFor(const QJsonObject &profilePages, const ModelKey &modelKey);

} // namespace profile
