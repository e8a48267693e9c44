#include "profiles/profile.h"

#include "settings/bluetooth.h"
#include "settings/refusaltext.h"
#include "settings/wifi.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QObject>
#include <QTemporaryFile>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace profile {

namespace {
const QString kValues = QStringLiteral("values");
const QString kWire = QStringLiteral("wire");

bool isSecret(const QString &page, const QString &key)
{
    return (page == QLatin1String("wifi") &&
            (key == wifi::kStationPassword || key == wifi::kAccessPointPassword)) ||
           (page == QLatin1String("bluetooth") && key == bluetooth::kPin);
}
} // namespace

QJsonObject pageToJson(const pages::SettingsPage &page, bool secrets)
{
    QJsonObject values;
    for (const auto &[key, value] : page.values()) {
        if (secrets || !isSecret(page.name(), key))
            values.insert(key, value);
    }
    QJsonObject wire;
    const QMap<QString, qint64> exact = page.wireValues();
    for (auto it = exact.begin(); it != exact.end(); ++it)
        wire.insert(it.key(), double(it.value()));
    return QJsonObject{{kValues, values}, {kWire, wire}};
}

QJsonObject document(const QString &model, const QString &version,
                     const std::vector<std::unique_ptr<pages::SettingsPage>> &pages, bool secrets)
{
    QJsonObject byName;
    for (const auto &page : pages)
        byName.insert(page->name(), pageToJson(*page, secrets));
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

Saved save(const QString &path, const QByteArray &bytes, bool replace)
{
    const QFileInfo target(path);
    if (!replace && (target.exists() || target.isSymLink()))
        return Saved::Exists;
    // Made with mode 0600 beside the target, written and synced, then renamed over it: nobody
    // else can open it at any moment, and the name never shows half a file.
    QTemporaryFile file(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                        QStringLiteral(".XXXXXX"));
    if (!file.open() || file.write(bytes) != bytes.size() || !file.flush() ||
        ::fsync(file.handle()) != 0)
        return Saved::Failed;
    if (replace) {
        if (std::rename(QFile::encodeName(file.fileName()).constData(),
                        QFile::encodeName(path).constData()) != 0)
            return Saved::Failed;
    } else if (!file.rename(path)) { // never over an existing name
        return QFileInfo::exists(path) || QFileInfo(path).isSymLink() ? Saved::Exists
                                                                      : Saved::Failed;
    }
    file.setAutoRemove(false); // it is the profile now
    return Saved::Ok;
}

Read read(const QString &path, QByteArray &bytes)
{
    // Opened without waiting for a writer (a FIFO would block), then checked for what it is.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return Read::Failed;
    struct stat status = {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return Read::NotARegularFile;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return Read::Failed;
    }
    bytes = file.readAll();
    return file.error() == QFileDevice::NoError ? Read::Ok : Read::Failed;
}

} // namespace profile
