#include "core/profiles/profile.h"

#include "core/base/filenames.h"
#include "core/settings/bluetooth.h"
#include "core/settings/refusaltext.h"
#include "core/settings/wifi.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QObject>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
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
    const QJsonValue format = root.value(QStringLiteral("format"));
    if (format.toInt(-1) != kFormatVersion) {
        // What the file says, as it says it, so that a newer program's file is told apart.
        const QString found = format.isUndefined()
                                  ? QObject::tr("（无）")
                                  : QString::fromUtf8(QJsonDocument(QJsonArray{format})
                                                          .toJson(QJsonDocument::Compact)
                                                          .mid(1)
                                                          .chopped(1));
        return QObject::tr("文件不是有效的打印机配置：format 为 %1，应为 %2")
            .arg(found)
            .arg(kFormatVersion);
    }
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

namespace {

// Writes all of `bytes` and syncs them; the errno of the failure otherwise.
int writeWhole(int fd, const QByteArray &bytes)
{
    for (qint64 done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, std::size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        done += n;
    }
    return ::fsync(fd) == 0 ? 0 : errno;
}

// Gives `temporary` the name `target` without replacing anything of that name; the errno
// otherwise (EEXIST when something has it).
int renameWithoutReplacing(const QByteArray &temporary, const QByteArray &target)
{
    if (::renameat2(AT_FDCWD, temporary.constData(), AT_FDCWD, target.constData(),
                    RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // A file system without the atomic form: a second link, which is never made over a name.
    if (::link(temporary.constData(), target.constData()) != 0)
        return errno;
    ::unlink(temporary.constData());
    return 0;
}

Saved failed(int error, QString *why)
{
    if (why)
        *why = QString::fromLocal8Bit(std::strerror(error));
    return Saved::Failed;
}

} // namespace

Saved save(const QString &path, const QByteArray &bytes, bool replace, QString *why)
{
    if (!replace && filenames::exists(path))
        return Saved::Exists;
    // Made with mode 0600 beside the target, written and synced, then renamed over it: nobody
    // else can open it at any moment, and the name never shows half a file. The name's bytes are
    // used as they are: a name need not be UTF-8.
    const QByteArray target = filenames::encode(path);
    const int slash = target.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : target.left(qMax(slash, 1));
    QByteArray temporary = folder + "/." + target.mid(slash + 1) + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return failed(errno, why);
    const int written = writeWhole(fd, bytes);
    const int closed = ::close(fd) == 0 ? 0 : errno;
    int error = written ? written : closed;
    if (!error && replace)
        error = ::rename(temporary.constData(), target.constData()) == 0 ? 0 : errno;
    else if (!error)
        error = renameWithoutReplacing(temporary, target);
    if (!error)
        return Saved::Ok; // the temporary file is the profile now
    ::unlink(temporary.constData());
    if (error == EEXIST && !replace)
        return Saved::Exists;
    return failed(error, why);
}

Read read(const QString &path, QByteArray &bytes)
{
    // Opened without waiting for a writer (a FIFO would block), then checked for what it is.
    const int fd = ::open(filenames::encode(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
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
