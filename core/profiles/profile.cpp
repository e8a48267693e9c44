#include "core/profiles/profile.h"

#include "core/settings/bluetooth.h"
#include "core/settings/refusaltext.h"
#include "core/settings/wifi.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QObject>
#include <QTemporaryFile>
#include <cmath>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace profile {

bool isSecret(const QString &page, const QString &key)
{
    return (page == QLatin1String("wifi") &&
            (key == wifi::kStationPassword || key == wifi::kAccessPointPassword)) ||
           (page == QLatin1String("bluetooth") && key == bluetooth::kPin);
}

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

QJsonObject pagesToJson(const std::vector<std::unique_ptr<pages::SettingsPage>> &pages,
                        bool secrets)
{
    QJsonObject byName;
    for (const auto &page : pages)
        byName.insert(page->name(), pageToJson(*page, secrets));
    return byName;
}

QJsonObject document(const QString &model, const QString &version,
                     const std::vector<std::unique_ptr<pages::SettingsPage>> &pages, bool secrets)
{
    return QJsonObject{{QStringLiteral("format"), kFormatVersion},
                       {QStringLiteral("model"), model},
                       {QStringLiteral("version"), version},
                       {QStringLiteral("pages"), pagesToJson(pages, secrets)}};
}

std::optional<QString> applyPage(const QJsonObject &json, pages::SettingsPage &page, Check check)
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
    if (check == Check::ValuesOnly)
        return std::nullopt;
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

std::optional<QString> load(const QString &path, Parsed &parsed)
{
    QByteArray bytes;
    switch (read(path, bytes)) {
    case Read::Ok:
        return parse(bytes, parsed);
    case Read::NotARegularFile:
        return QObject::tr("不是普通文件：%1").arg(path);
    case Read::Failed:
        break;
    }
    return QObject::tr("无法读取文件：%1").arg(path);
}

} // namespace profile
