// Block-wise decryption of a downloaded firmware or font file into its side file.
#include "filedecrypt.h"

#include "aes.h"

#include "core/crypto/downloadkey.h"

#include "core/base/filenames.h"

#include <QFile>
#include <QFileInfo>
#include <string.h>
#include <vector>

// The key is chosen when the build is configured (LABELSETUP_DOWNLOAD_KEY) and lives only here,
// in constant data; nothing reads a key at run time.
const unsigned char kDownloadFileKey[16] = {LABELSETUP_DOWNLOAD_KEY_BYTES};

namespace {

constexpr qint64 kBlockSize = 16;
// Files are read and written in large pieces; decryption still goes block by block.
constexpr qint64 kChunkSize = 64 * 1024;

// Fills buffer up to its size unless the end of the file comes first; -1 on a read error.
qint64 readFully(QFile &file, char *buffer, qint64 size)
{
    qint64 filled = 0;
    while (filled < size) {
        const qint64 got = file.read(buffer + filled, size - filled);
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        filled += got;
    }
    return filled;
}

void decryptWholeBlocks(unsigned char *data, qint64 length, const unsigned char *key)
{
    for (qint64 offset = 0; offset < length; offset += kBlockSize)
        AES128_ECB_decrypt(data + offset, key, data + offset);
}

// The short last block: zero-extended, decrypted, cut to its input length, trailing zeros dropped.
qint64 decryptShortBlock(unsigned char *data, qint64 length, const unsigned char *key)
{
    unsigned char block[kBlockSize] = {};
    memcpy(block, data, static_cast<size_t>(length));
    AES128_ECB_decrypt(block, key, block);
    while (length > 0 && block[length - 1] == 0)
        --length;
    memcpy(data, block, static_cast<size_t>(length));
    return length;
}

} // namespace

FileDecryptResult decryptDownloadFile(const QString &inputPath, const QString &outputPath,
                                      const unsigned char *key)
{
    // The names' own bytes: a name need not be UTF-8.
    QFile input;
    if (!filenames::open(input, inputPath, QIODevice::ReadOnly | QIODevice::Unbuffered))
        return FileDecryptResult::InputOpenFailed;
    // Created only if nothing of that name exists, not even a dangling link: a file of the user's
    // must never be truncated, and only a file made here may be removed later.
    QFile output;
    if (!filenames::open(output, outputPath,
                         QIODevice::NewOnly | QIODevice::WriteOnly | QIODevice::Unbuffered))
        return filenames::exists(outputPath) ? FileDecryptResult::OutputExists
                                             : FileDecryptResult::OutputOpenFailed;

    std::vector<unsigned char> chunk(kChunkSize);
    char *bytes = reinterpret_cast<char *>(chunk.data());
    for (;;) {
        const qint64 got = readFully(input, bytes, kChunkSize);
        if (got < 0)
            return FileDecryptResult::ReadFailed;
        if (got == 0)
            break;
        // Only the end of the file can leave a short block: readFully stops early only there.
        const qint64 whole = got - got % kBlockSize;
        decryptWholeBlocks(chunk.data(), whole, key);
        qint64 plain = whole;
        if (got > whole)
            plain += decryptShortBlock(chunk.data() + whole, got - whole, key);
        if (plain > 0 && output.write(bytes, plain) != plain)
            return FileDecryptResult::WriteFailed;
        if (got < kChunkSize)
            break;
    }
    if (!output.flush())
        return FileDecryptResult::WriteFailed;
    output.close();
    if (output.error() != QFileDevice::NoError)
        return FileDecryptResult::WriteFailed;
    return FileDecryptResult::Ok;
}

QString downloadSideFilePath(const QString &chosen)
{
    const QFileInfo info(chosen);
    return info.absolutePath() + QLatin1Char('/') + info.completeBaseName() +
           QStringLiteral("_decrypted.hex");
}
