#include "core/base/filenames.h"

#include <QFile>
#include <QTextCodec>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace filenames {

namespace {

constexpr int kUtf8Mib = 106;
constexpr ushort kEscapeBase = 0xDC00; // + a byte of 0x80 to 0xFF: U+DC80 to U+DCFF

// Names are bytes in the locale's encoding; only UTF-8 has bytes that can be no text at all.
bool localeIsUtf8() { return QTextCodec::codecForLocale()->mibEnum() == kUtf8Mib; }

// The code point of the well-formed UTF-8 sequence at `i`, and its length; 0 when there is none.
int sequenceAt(const QByteArray &bytes, int i, uint &codePoint)
{
    const uchar lead = uchar(bytes[i]);
    int length = 0;
    uint minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, codePoint = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, codePoint = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, codePoint = lead & 0x07, minimum = 0x10000;
    }
    if (length == 0 || i + length > bytes.size())
        return 0;
    for (int k = 1; k < length; ++k) {
        const uchar next = uchar(bytes[i + k]);
        if ((next & 0xC0) != 0x80)
            return 0;
        codePoint = codePoint << 6 | (next & 0x3F);
    }
    // Overlong forms, surrogates and code points beyond Unicode are no text either.
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    return codePoint >= minimum && codePoint <= 0x10FFFF && !surrogate ? length : 0;
}

} // namespace

QString decode(const QByteArray &bytes)
{
    if (!localeIsUtf8())
        return QFile::decodeName(bytes);
    QString text;
    text.reserve(bytes.size());
    for (int i = 0; i < bytes.size();) {
        const uchar byte = uchar(bytes[i]);
        uint codePoint = 0;
        const int length = byte < 0x80 ? 0 : sequenceAt(bytes, i, codePoint);
        if (byte < 0x80) {
            text += QChar(byte);
            ++i;
        } else if (length == 0) {
            text += QChar(ushort(kEscapeBase + byte));
            ++i;
        } else {
            text += QString::fromUcs4(&codePoint, 1);
            i += length;
        }
    }
    return text;
}

QByteArray encode(const QString &name)
{
    if (!localeIsUtf8())
        return QFile::encodeName(name);
    QByteArray bytes;
    bytes.reserve(name.size());
    int start = 0; // of the run of text not yet converted
    for (int i = 0; i < name.size(); ++i) {
        const ushort unit = name.at(i).unicode();
        const bool pairEnds = i > 0 && name.at(i - 1).isHighSurrogate();
        if (unit >= kEscapeBase + 0x80 && unit <= kEscapeBase + 0xFF && !pairEnds) {
            bytes += name.midRef(start, i - start).toUtf8();
            bytes += char(unit - kEscapeBase);
            start = i + 1;
        }
    }
    bytes += name.midRef(start).toUtf8();
    return bytes;
}

QStringList arguments(int argc, char **argv)
{
    QStringList list;
    for (int i = 1; i < argc; ++i)
        list << decode(QByteArray(argv[i]));
    return list;
}

bool exists(const QString &name)
{
    struct stat status = {};
    return ::lstat(encode(name).constData(), &status) == 0;
}

bool open(QFile &file, const QString &name, QIODevice::OpenMode mode)
{
    const bool creating = mode & QIODevice::NewOnly;
    const int flags =
        creating ? O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC : O_RDONLY | O_CLOEXEC;
    const int fd = ::open(encode(name).constData(), flags, 0666);
    if (fd < 0)
        return false;
    // A folder opens for reading too, and would only fail at the first read.
    struct stat status = {};
    if (::fstat(fd, &status) == 0 && S_ISDIR(status.st_mode)) {
        ::close(fd);
        errno = EISDIR;
        return false;
    }
    if (file.open(fd, mode & ~QIODevice::NewOnly, QFileDevice::AutoCloseHandle))
        return true;
    const int error = errno;
    ::close(fd);
    errno = error;
    return false;
}

bool remove(const QString &name) { return ::unlink(encode(name).constData()) == 0; }

qint64 size(const QString &name)
{
    struct stat status = {};
    return ::stat(encode(name).constData(), &status) == 0 ? qint64(status.st_size) : -1;
}

} // namespace filenames
