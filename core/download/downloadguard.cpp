#include "core/download/downloadguard.h"

#include "core/base/filenames.h"
#include "core/usb/deviceioopera.h"

#include <QCryptographicHash>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QObject>
#include <QRegularExpression>
#include <sys/stat.h>

namespace download {

namespace {

// The size of a regular file of that name (links followed); -1 for anything else or nothing.
qint64 regularFileSize(const QString &path)
{
    struct stat status = {};
    if (::stat(filenames::encode(path).constData(), &status) != 0 || !S_ISREG(status.st_mode))
        return -1;
    return status.st_size;
}

} // namespace

std::optional<QString> refuseFile(const QString &path, const QString &shown)
{
    // A FIFO or a device is never opened: it could block or never end. The name is used in its
    // own bytes, which need not be UTF-8.
    QFile file;
    const qint64 size = regularFileSize(path);
    if (size < 0 || !filenames::open(file, path, QIODevice::ReadOnly))
        return QObject::tr("无法读取文件：%1").arg(shown);
    if (size == 0)
        return QObject::tr("文件是空的：%1").arg(shown);
    if (size > kMaxFileBytes)
        return QObject::tr("文件太大：%1（%2 字节，最多 %3 字节）")
            .arg(shown)
            .arg(size)
            .arg(kMaxFileBytes);
    return std::nullopt;
}

QString sha256Of(const QString &path)
{
    QFile file;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!filenames::open(file, path, QIODevice::ReadOnly) || !hash.addData(&file))
        return QString();
    return QString::fromLatin1(hash.result().toHex());
}

QString manifestPathBeside(const QString &file) { return file + QStringLiteral(".manifest.json"); }

namespace {

std::optional<QString> parseManifest(const QByteArray &bytes, Manifest &manifest)
{
    const auto invalid = [&](const QString &what) {
        return QObject::tr("清单无效：%1（%2）").arg(manifest.path, what);
    };
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError)
        return invalid(error.errorString());
    if (!document.isObject())
        return invalid(QObject::tr("不是JSON对象"));
    const QJsonObject root = document.object();
    // A misspelt key would silently drop its check: every key must be known.
    for (const QString &key : root.keys()) {
        if (key != QLatin1String("models") && key != QLatin1String("version") &&
            key != QLatin1String("sha256"))
            return invalid(key);
    }
    if (root.contains(QStringLiteral("models"))) {
        const QJsonValue models = root.value(QStringLiteral("models"));
        if (!models.isArray() || models.toArray().isEmpty())
            return invalid(QStringLiteral("models"));
        for (const QJsonValue &model : models.toArray()) {
            if (!model.isString() || model.toString().trimmed().isEmpty())
                return invalid(QStringLiteral("models"));
            manifest.models << model.toString().trimmed();
        }
    }
    if (root.contains(QStringLiteral("version"))) {
        const QJsonValue version = root.value(QStringLiteral("version"));
        if (!version.isString() || version.toString().trimmed().isEmpty())
            return invalid(QStringLiteral("version"));
        manifest.version = version.toString().trimmed();
    }
    if (root.contains(QStringLiteral("sha256"))) {
        const QString digest = root.value(QStringLiteral("sha256")).toString().toLower();
        static const QRegularExpression hex(QStringLiteral("^[0-9a-f]{64}$"));
        if (!hex.match(digest).hasMatch())
            return invalid(QStringLiteral("sha256"));
        manifest.sha256 = digest;
    }
    return std::nullopt;
}

} // namespace

std::optional<QString> loadManifest(const QString &file, const QString &givenPath,
                                    std::optional<Manifest> &manifest)
{
    manifest.reset();
    const QString path = givenPath.isEmpty() ? manifestPathBeside(file) : givenPath;
    if (givenPath.isEmpty() && !filenames::exists(path))
        return std::nullopt; // no manifest: nothing more to check
    QFile in;
    const qint64 size = regularFileSize(path);
    if (size < 0 || size > 1024 * 1024 || !filenames::open(in, path, QIODevice::ReadOnly))
        return QObject::tr("无法读取清单：%1").arg(path);
    Manifest read;
    read.path = path;
    if (std::optional<QString> refused = parseManifest(in.readAll(), read))
        return refused;
    manifest = read;
    return std::nullopt;
}

std::optional<QString> checkChecksum(const Manifest &manifest, const QString &file,
                                     const QString &shown)
{
    if (manifest.sha256.isEmpty())
        return std::nullopt;
    const QString digest = sha256Of(file);
    if (digest.isEmpty())
        return QObject::tr("无法读取文件：%1").arg(shown);
    if (digest == manifest.sha256)
        return std::nullopt;
    return QObject::tr("文件的SHA-256与清单不符：文件 %1，清单 %2").arg(digest, manifest.sha256);
}

std::optional<QString> checkModel(const Manifest &manifest, const QString &model)
{
    if (manifest.models.isEmpty() || manifest.models.contains(model))
        return std::nullopt;
    return QObject::tr("文件不适用于此打印机：打印机型号 %1，清单中的型号 %2")
        .arg(model, manifest.models.join(QStringLiteral(", ")));
}

std::optional<QString> checkFile(const QString &file, const QString &shown,
                                 const QString &givenManifest, std::optional<Manifest> &manifest)
{
    if (std::optional<QString> refused = refuseFile(file, shown))
        return refused;
    if (std::optional<QString> refused = loadManifest(file, givenManifest, manifest))
        return refused;
    return manifest ? checkChecksum(*manifest, file, shown) : std::nullopt;
}

bool alreadyInstalled(const Manifest &manifest, const QString &version)
{
    return !manifest.version.isEmpty() && version.trimmed() == manifest.version;
}

QString alreadyInstalledText(const QString &printer, const QString &version)
{
    return QObject::tr("打印机 %1 已是版本 %2").arg(printer, version);
}

std::optional<QList<StatusCondition>> readConditions(PrinterHandle *handle)
{
    unsigned char reply[4] = {};
    int length = sizeof reply;
    if (CDeviceIOOpera::ReadFromControlEndpoint(handle, reply, length) != 0)
        return std::nullopt;
    const std::optional<unsigned int> word = statusWordFromBytes(reply, length);
    if (!word)
        return std::nullopt;
    return statusConditions(*word);
}

QString statusUnknownText(const QString &printer)
{
    return QObject::tr("无法读取打印机 %1 的状态，不知道它是否空闲").arg(printer);
}

QString busyText(const QString &printer, const QList<StatusCondition> &conditions)
{
    QStringList texts;
    for (const StatusCondition &condition : conditions)
        texts << condition.text;
    return QObject::tr("打印机 %1 报告：%2").arg(printer, texts.join(QObject::tr("、")));
}

} // namespace download
