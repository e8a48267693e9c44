// Decrypting a firmware or font file into its side file, compared with OpenSSL's decryption.
#include "core/crypto/filedecrypt.h"
#include "opensslreference.h"

#include <QtTest>
#include <csignal>
#include <random>
#include <sys/resource.h>

Q_DECLARE_METATYPE(FileDecryptResult)

namespace {

const QByteArray kTestKey = QByteArray::fromHex("2b7e151628aed2a6abf7158809cf4f3c");

// The expected side file: whole blocks as OpenSSL decrypts them; a short last block zero-extended,
// decrypted, cut to its length and stripped of trailing zero bytes.
QByteArray expectedPlain(const QByteArray &key, const QByteArray &encrypted)
{
    const int whole = encrypted.size() - encrypted.size() % 16;
    QByteArray plain = reference::ecb(false, key, encrypted.left(whole));
    if (whole < encrypted.size()) {
        const int tailLength = encrypted.size() - whole;
        QByteArray tail = reference::ecb(false, key, encrypted.mid(whole).leftJustified(16, '\0'));
        tail.truncate(tailLength);
        while (tail.endsWith('\0'))
            tail.chop(1);
        plain += tail;
    }
    return plain;
}

struct KeyAndTail {
    QByteArray key;
    QByteArray tail;
};

// A key and a short tail of tailLength bytes whose zero-extended decryption has exactly `zeros`
// zero bytes at the end of its first tailLength bytes, found by trying random tails (and, since a
// 1-byte tail has only 256 values, other keys when none fits).
KeyAndTail tailEndingInZeros(std::mt19937 &random, int tailLength, int zeros)
{
    QByteArray key = kTestKey;
    for (int attempt = 1;; ++attempt) {
        if (attempt % 4096 == 0)
            key = reference::randomBytes(random, 16);
        const QByteArray tail = reference::randomBytes(random, tailLength);
        const QByteArray plain =
            reference::ecb(false, key, tail.leftJustified(16, '\0')).left(tailLength);
        const bool endsInZeros = plain.right(zeros) == QByteArray(zeros, '\0');
        const bool exactly = zeros == tailLength || plain.at(tailLength - zeros - 1) != '\0';
        if (endsInZeros && exactly)
            return {key, tail};
    }
}

bool writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

} // namespace

class TestFileDecrypt : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(directory.isValid());
        QFile::remove(outputPath()); // the side file is only ever created anew
    }

    void matchesOpenssl_data();
    void matchesOpenssl();
    void shortLastBlockIsTrimmed_data();
    void shortLastBlockIsTrimmed();
    void wholeBlocksKeepTrailingZeros();
    void usesTheDownloadKeyByDefault();
    void existingSideFileIsKept_data();
    void existingSideFileIsKept();

    void reportsFailures_data();
    void reportsFailures();

private:
    QTemporaryDir directory;
    QString inputPath() const { return directory.filePath("fonts.big5.bin"); }
    QString outputPath() const { return directory.filePath("fonts.big5_decrypted.hex"); }
};

void TestFileDecrypt::matchesOpenssl_data()
{
    QTest::addColumn<int>("size");
    for (int size :
         {0, 1, 15, 16, 32, 37, 48, 4095, 65536, 65536 + 5, 65536 + 16, 131072 + 9, (1 << 20) + 3})
        QTest::newRow(QByteArray::number(size) + " bytes") << size;
}

void TestFileDecrypt::matchesOpenssl()
{
    QFETCH(int, size);
    std::mt19937 random{uint(size)};
    const QByteArray encrypted = reference::randomBytes(random, size);
    QVERIFY(writeFile(inputPath(), encrypted));
    QCOMPARE(decryptDownloadFile(inputPath(), outputPath(),
                                 reinterpret_cast<const unsigned char *>(kTestKey.constData())),
             FileDecryptResult::Ok);
    const QByteArray plain = readFile(outputPath());
    const QByteArray expected = expectedPlain(kTestKey, encrypted);
    QCOMPARE(plain.size(), expected.size());
    QVERIFY(plain == expected);
    QVERIFY(readFile(inputPath()) == encrypted); // the chosen file is never modified
}

void TestFileDecrypt::shortLastBlockIsTrimmed_data()
{
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("encrypted");
    QTest::addColumn<int>("plainSize");
    std::mt19937 random(7);
    const QByteArray twoBlocks = reference::randomBytes(random, 32);
    KeyAndTail found = tailEndingInZeros(random, 5, 1);
    QTest::newRow("5-byte tail, last byte decrypts to 0")
        << found.key << twoBlocks + found.tail << 32 + 4;
    found = tailEndingInZeros(random, 5, 2);
    QTest::newRow("5-byte tail, last two bytes decrypt to 0")
        << found.key << twoBlocks + found.tail << 32 + 3;
    found = tailEndingInZeros(random, 1, 1);
    QTest::newRow("1-byte tail decrypting to 0: nothing written for it")
        << found.key << twoBlocks + found.tail << 32;
    QTest::newRow("1-byte file decrypting to 0: empty side file") << found.key << found.tail << 0;
    found = tailEndingInZeros(random, 15, 0);
    QTest::newRow("15-byte tail, no zero at its end")
        << found.key << twoBlocks + found.tail << 32 + 15;
}

void TestFileDecrypt::shortLastBlockIsTrimmed()
{
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, encrypted);
    QFETCH(int, plainSize);
    QVERIFY(writeFile(inputPath(), encrypted));
    QCOMPARE(decryptDownloadFile(inputPath(), outputPath(),
                                 reinterpret_cast<const unsigned char *>(key.constData())),
             FileDecryptResult::Ok);
    const QByteArray plain = readFile(outputPath());
    QCOMPARE(plain.size(), plainSize);
    const int whole = encrypted.size() - encrypted.size() % 16;
    const QByteArray tail =
        reference::ecb(false, key, encrypted.mid(whole).leftJustified(16, '\0'));
    QVERIFY(plain.left(whole) == reference::ecb(false, key, encrypted.left(whole)));
    QVERIFY(plain.mid(whole) == tail.left(plainSize - whole));
}

void TestFileDecrypt::wholeBlocksKeepTrailingZeros()
{
    const QByteArray plain = QByteArray("firmware") + QByteArray(8, '\0') + QByteArray(16, '\0');
    QVERIFY(writeFile(inputPath(), reference::ecb(true, kTestKey, plain)));
    QCOMPARE(decryptDownloadFile(inputPath(), outputPath(),
                                 reinterpret_cast<const unsigned char *>(kTestKey.constData())),
             FileDecryptResult::Ok);
    QCOMPARE(readFile(outputPath()).toHex(), plain.toHex());
}

void TestFileDecrypt::usesTheDownloadKeyByDefault()
{
    const QByteArray key(reinterpret_cast<const char *>(kDownloadFileKey), 16);
    const QByteArray plain = QByteArray("\x02"
                                        "font data block",
                                        16)
                                 .repeated(4);
    QVERIFY(writeFile(inputPath(), reference::ecb(true, key, plain)));
    QCOMPARE(decryptDownloadFile(inputPath(), outputPath()), FileDecryptResult::Ok);
    QCOMPARE(readFile(outputPath()).toHex(), plain.toHex());
}

void TestFileDecrypt::existingSideFileIsKept_data()
{
    QTest::addColumn<bool>("danglingLink");
    QTest::newRow("a file of the user's") << false;
    QTest::newRow("a link to nowhere") << true;
}

void TestFileDecrypt::existingSideFileIsKept()
{
    QFETCH(bool, danglingLink);
    const QString target = directory.filePath("elsewhere.txt");
    if (danglingLink)
        QVERIFY(QFile::link(target, outputPath()));
    else
        QVERIFY(writeFile(outputPath(), QByteArray(1000, 'o')));
    std::mt19937 random(3);
    QVERIFY(writeFile(inputPath(), reference::randomBytes(random, 48)));
    QCOMPARE(decryptDownloadFile(inputPath(), outputPath(),
                                 reinterpret_cast<const unsigned char *>(kTestKey.constData())),
             FileDecryptResult::OutputExists);
    if (danglingLink)
        QVERIFY(!QFileInfo::exists(target));
    else
        QVERIFY(readFile(outputPath()) == QByteArray(1000, 'o'));
}

void TestFileDecrypt::reportsFailures_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("output");
    QTest::addColumn<FileDecryptResult>("result");
    QTest::newRow("input missing") << "missing.bin"
                                   << "side.hex" << FileDecryptResult::InputOpenFailed;
    QTest::newRow("input is a directory") << "."
                                          << "side.hex" << FileDecryptResult::InputOpenFailed;
    QTest::newRow("side file in a missing directory")
        << "input.bin"
        << "no/such/dir/side.hex" << FileDecryptResult::OutputOpenFailed;
    QTest::newRow("side file beyond the file-size limit")
        << "input.bin"
        << "side.hex" << FileDecryptResult::WriteFailed;
}

void TestFileDecrypt::reportsFailures()
{
    QFETCH(QString, input);
    QFETCH(QString, output);
    QFETCH(FileDecryptResult, result);
    QVERIFY(writeFile(directory.filePath("input.bin"), QByteArray(64, 'e')));
    const QString outputFile = directory.filePath(output);
    // A write failure: the process may write no file beyond 16 bytes (EFBIG, not a signal).
    rlimit saved{};
    const bool limit = result == FileDecryptResult::WriteFailed;
    if (limit) {
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit small = saved;
        small.rlim_cur = 16;
        signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    }
    const FileDecryptResult got = decryptDownloadFile(directory.filePath(input), outputFile);
    if (limit)
        setrlimit(RLIMIT_FSIZE, &saved);
    QCOMPARE(got, result);
    if (result == FileDecryptResult::InputOpenFailed)
        QVERIFY(!QFileInfo::exists(outputFile));
}

QTEST_GUILESS_MAIN(TestFileDecrypt)
#include "tst_filedecrypt.moc"
