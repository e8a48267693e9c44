#include "core/download/settingssnapshot.h"

#include "core/base/statedirectory.h"
#include "core/profiles/apply.h"
#include "core/profiles/profile.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QObject>
#include <QRegularExpression>
#include <sys/stat.h>

namespace download {

Before readBefore(PrinterHandle *handle, const ModelKey &modelKey)
{
    Before before;
    before.snapshot = profile::readSnapshot(handle, modelKey, profile::Version::Read);
    for (const auto &page : before.snapshot.pages) {
        if (page->name() == QLatin1String("serial"))
            before.serialNumber = pages::valueOf(*page, QStringLiteral("serial-number"));
    }
    return before;
}

std::optional<QString> saveSnapshot(Before &before, const QString &model, const QDateTime &when)
{
    const QString directory = stateDirectory();
    // The folder holds passwords too: its owner's alone.
    if (!QDir().mkpath(directory) ||
        ::chmod(QFile::encodeName(directory).constData(), S_IRWXU) != 0)
        return QObject::tr("无法保存下载前的设置：%1").arg(directory);
    QString name = before.serialNumber;
    name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_-]")), QStringLiteral("_"));
    if (name.isEmpty())
        name = QStringLiteral("printer");
    name += QLatin1Char('-') + when.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QByteArray json =
        QJsonDocument(profile::document(model, before.snapshot.version, before.snapshot.pages))
            .toJson();
    for (int n = 1; n < 100; ++n) {
        const QString path = directory + QLatin1Char('/') + name +
                             (n > 1 ? QStringLiteral("-%1").arg(n) : QString()) +
                             QStringLiteral(".json");
        switch (profile::save(path, json, false)) {
        case profile::Saved::Ok:
            before.path = path;
            return std::nullopt;
        case profile::Saved::Exists:
            continue; // two downloads in one second: the next name
        case profile::Saved::Failed:
            return QObject::tr("无法保存下载前的设置：%1").arg(path);
        }
    }
    return QObject::tr("无法保存下载前的设置：%1").arg(directory);
}

QList<profile::Difference> changedSettings(const profile::Snapshot &before,
                                           const profile::Snapshot &after, const ModelKey &modelKey)
{
    QList<profile::Difference> changed;
    for (const profile::Difference &d :
         profile::differences(before.pagesJson(), after.pagesJson(), modelKey)) {
        if (!d.readOnly)
            changed << d;
    }
    return changed;
}

// The one place a download writes settings: through the profiles' per-printer apply, as a restore
// of a profile does (only the pages that differ, each read back).
Restore restoreSettings(PrinterHandle *handle, const profile::Snapshot &before,
                        const ModelKey &modelKey)
{
    Restore restore;
    const profile::PrinterResult result =
        profile::applyProfile(handle, before.pagesJson(), {QString(), modelKey.name(), modelKey},
                              profile::ApplyOptions{});
    restore.pagesWritten = result.pagesWritten();
    if (result.outcome() == profile::Outcome::Failed) {
        restore.result = -1;
        restore.failure =
            result.whyDetail().isEmpty() ? profile::reasonText(result.why()) : result.whyDetail();
        return restore;
    }
    for (const profile::PageResult &page : result.pages)
        restore.notKept << profile::notKeptLines(page);
    return restore;
}

} // namespace download
