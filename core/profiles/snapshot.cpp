#include "core/profiles/snapshot.h"

#include "core/profiles/profile.h"
#include "core/settings/pageexchange.h"
#include "core/settings/pagereads.h"

#include <QObject>

namespace profile {

QJsonObject Snapshot::pagesJson(bool secrets) const { return pagesToJson(pages, secrets); }

Snapshot readSnapshot(PrinterHandle *handle, const ModelKey &modelKey, Version version)
{
    Snapshot s;
    if (version == Version::Read) {
        pages::Information information;
        s.result = pages::readInformation(handle, information, false).version;
        s.version = information.version.value_or(QString());
    }
    s.pages = pages::pagesForModel(modelKey);
    for (const auto &page : s.pages)
        s.result = pages::firstFailure(s.result, page->read(handle));
    return s;
}

std::unique_ptr<pages::SettingsPage> profilePage(const QString &name, const ModelKey &modelKey,
                                                 QString &error)
{
    if (!pages::pageNames().contains(name)) {
        error = QObject::tr("未知的页面：%1（可选：%2）")
                    .arg(name, pages::pageNames().join(QStringLiteral(", ")));
        return nullptr;
    }
    std::unique_ptr<pages::SettingsPage> page = pages::pageNamed(name, modelKey);
    if (!page)
        error = QObject::tr("此机型不提供页面“%1”").arg(name);
    return page;
}

std::optional<QString> checkFor(const QJsonObject &profilePages, const ModelKey &modelKey)
{
    for (auto it = profilePages.begin(); it != profilePages.end(); ++it) {
        QString error;
        std::unique_ptr<pages::SettingsPage> page = profilePage(it.key(), modelKey, error);
        if (!page)
            return error;
        if (std::optional<QString> refused =
                applyPage(it.value().toObject(), *page, Check::ValuesOnly))
            return refused;
    }
    return std::nullopt;
}

} // namespace profile
