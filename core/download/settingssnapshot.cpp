#include "core/download/settingssnapshot.h"

#include "core/profiles/apply.h"
#include "core/profiles/profile.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QObject>
#include <QRegularExpression>
#include <sys/stat.h>

namespace download {

QString stateDirectory()
{
    QString base = QString::fromLocal8Bit(qgetenv("XDG_STATE_HOME"));
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/state");
    return base + QStringLiteral("/label-printer-setup");
}

Before readBefore(PrinterHandle *handle, const QString &modelKey)
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
                                           const profile::Snapshot &after, const QString &modelKey)
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
// of a profile does.
Restore restoreSettings(PrinterHandle *handle, const profile::Snapshot &before,
                        const QString &modelKey)
{
    Restore restore;
    const profile::Merged merged = profile::mergeWithPrinter(handle, before.pagesJson(), modelKey);
    if (merged.readResult != 0) {
        restore.result = merged.readResult;
        restore.failure =
            merged.failedPage + QStringLiteral(": ") + QObject::tr("请确保打印机已通过usb进行连接");
        return restore;
    }
    if (merged.refusal) {
        restore.failure = *merged.refusal;
        return restore;
    }
    const std::vector<profile::PageResult> results =
        profile::applyMerged(handle, merged, modelKey, true, true);
    restore.pagesWritten = profile::pagesWritten(results);
    for (const profile::PageResult &r : results) {
        if (r.result != 0 || r.verification.readResult != 0) {
            restore.result = r.result != 0 ? r.result : r.verification.readResult;
            restore.failure =
                r.page + QStringLiteral(": ") + QObject::tr("请确保打印机已通过usb进行连接");
            return restore;
        }
        for (const pages::Mismatch &m : r.verification.mismatches)
            restore.notKept << QObject::tr("%1 %2：写入 %3，打印机保存的是 %4")
                                   .arg(r.page, m.key, m.expected, m.found);
    }
    return restore;
}

} // namespace download
