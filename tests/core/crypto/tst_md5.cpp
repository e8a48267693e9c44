// MD5 against RFC 1321 and HMAC-MD5 against RFC 2202.
#include "core/crypto/md5.h"

#include <QtTest>
#include <sys/mman.h>

namespace {

const unsigned char *bytes(const QByteArray &data)
{
    return reinterpret_cast<const unsigned char *>(data.constData());
}

QByteArray digestOf(const unsigned char digest[16])
{
    return QByteArray(reinterpret_cast<const char *>(digest), 16).toHex();
}

bool allZero(const MD5Context &context)
{
    const auto *raw = reinterpret_cast<const unsigned char *>(&context);
    for (size_t i = 0; i < sizeof context; ++i) {
        if (raw[i] != 0)
            return false;
    }
    return true;
}

const char *const kRfc1321Alphanumeric =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
const char *const kRfc1321Digits =
    "12345678901234567890123456789012345678901234567890123456789012345678901234567890";

} // namespace

class TestMd5 : public QObject
{
    Q_OBJECT

private slots:
    void rfc1321Suite_data();
    void rfc1321Suite();
    void piecesGiveSameDigest_data();
    void piecesGiveSameDigest();
    void finalWithNullDigestOnlyWipes();
    void finalWipesContext();
    void singleUpdateOf4GiBCountsEveryBit();

    void hmacRfc2202_data();
    void hmacRfc2202();
};

// RFC 1321, appendix A.5.
void TestMd5::rfc1321Suite_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QByteArray>("digest");
    QTest::newRow("empty") << QByteArray("") << QByteArray("d41d8cd98f00b204e9800998ecf8427e");
    QTest::newRow("a") << QByteArray("a") << QByteArray("0cc175b9c0f1b6a831c399e269772661");
    QTest::newRow("abc") << QByteArray("abc") << QByteArray("900150983cd24fb0d6963f7d28e17f72");
    QTest::newRow("message digest")
        << QByteArray("message digest") << QByteArray("f96b697d7cb7938d525a2f31aaf161d0");
    QTest::newRow("alphabet") << QByteArray("abcdefghijklmnopqrstuvwxyz")
                              << QByteArray("c3fcd3d76192e4007dfb496cca67e13b");
    QTest::newRow("alphanumeric") << QByteArray(kRfc1321Alphanumeric)
                                  << QByteArray("d174ab98d277d9f5a5611c2c9f419d9f");
    QTest::newRow("80 digits") << QByteArray(kRfc1321Digits)
                               << QByteArray("57edf4a22be3c955ac49da2e2107b67a");
}

void TestMd5::rfc1321Suite()
{
    QFETCH(QByteArray, message);
    QFETCH(QByteArray, digest);
    unsigned char oneShot[16] = {};
    QCOMPARE(md5(bytes(message), uint64_t(message.size()), oneShot), oneShot);
    QCOMPARE(digestOf(oneShot), digest);

    MD5Context context;
    MD5Init(&context);
    MD5Update(&context, bytes(message), uint64_t(message.size()));
    unsigned char stepwise[16] = {};
    MD5Final(stepwise, &context);
    QCOMPARE(digestOf(stepwise), digest);
}

void TestMd5::piecesGiveSameDigest_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<int>("pieceSize");
    QTest::addColumn<QByteArray>("digest");
    const QByteArray digits(kRfc1321Digits);
    const QByteArray digitsDigest("57edf4a22be3c955ac49da2e2107b67a");
    for (int size : {1, 3, 7, 13, 55, 56, 63, 64, 65})
        QTest::newRow(("80 digits in pieces of " + QByteArray::number(size)).constData())
            << digits << size << digitsDigest;
    QTest::newRow("alphanumeric in pieces of 5")
        << QByteArray(kRfc1321Alphanumeric) << 5 << QByteArray("d174ab98d277d9f5a5611c2c9f419d9f");
}

void TestMd5::piecesGiveSameDigest()
{
    QFETCH(QByteArray, message);
    QFETCH(int, pieceSize);
    QFETCH(QByteArray, digest);
    MD5Context context;
    MD5Init(&context);
    for (int offset = 0; offset < message.size(); offset += pieceSize) {
        const int piece = qMin(pieceSize, message.size() - offset);
        MD5Update(&context, bytes(message) + offset, uint64_t(piece));
        MD5Update(&context, bytes(message), 0); // empty updates change nothing
    }
    unsigned char result[16] = {};
    MD5Final(result, &context);
    QCOMPARE(digestOf(result), digest);
}

void TestMd5::finalWithNullDigestOnlyWipes()
{
    MD5Context context;
    MD5Init(&context);
    MD5Update(&context, bytes(QByteArray(kRfc1321Digits)), 80);
    QVERIFY(!allZero(context));
    MD5Final(nullptr, &context);
    QVERIFY(allZero(context));
}

void TestMd5::finalWipesContext()
{
    MD5Context context;
    MD5Init(&context);
    MD5Update(&context, bytes(QByteArray("abc")), 3);
    unsigned char result[16] = {};
    MD5Final(result, &context);
    QCOMPARE(digestOf(result), QByteArray("900150983cd24fb0d6963f7d28e17f72"));
    QVERIFY(allZero(context));
}

// 2^32 + 3 zero bytes in one call: the bit count must carry into the high word. Expected digest
// from coreutils md5sum over the same bytes.
void TestMd5::singleUpdateOf4GiBCountsEveryBit()
{
    if (sizeof(void *) < 8)
        QSKIP("needs a 64-bit address space");
    const uint64_t length = (uint64_t(1) << 32) + 3;
    // Untouched anonymous pages all read as the one zero page: no real memory is used.
    void *zeros = mmap(nullptr, size_t(length), PROT_READ,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (zeros == MAP_FAILED)
        QSKIP("cannot map 4 GiB of address space here");
    MD5Context context;
    MD5Init(&context);
    MD5Update(&context, static_cast<const unsigned char *>(zeros), length);
    munmap(zeros, size_t(length));
    QCOMPARE(context.count[0], uint32_t(24));
    QCOMPARE(context.count[1], uint32_t(8));
    unsigned char result[16] = {};
    MD5Final(result, &context);
    QCOMPARE(digestOf(result), QByteArray("4ca27e0aa2e7592739ca3de160d1c3a6"));
}

// RFC 2202, section 2.
void TestMd5::hmacRfc2202_data()
{
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QByteArray>("digest");
    QTest::newRow("test_case 1") << QByteArray(16, char(0x0b)) << QByteArray("Hi There")
                                 << QByteArray("9294727a3638bb1c13f48ef8158bfc9d");
    QTest::newRow("test_case 2") << QByteArray("Jefe") << QByteArray("what do ya want for nothing?")
                                 << QByteArray("750c783e6ab0b503eaa86e310a5db738");
    QTest::newRow("test_case 3") << QByteArray(16, char(0xaa)) << QByteArray(50, char(0xdd))
                                 << QByteArray("56be34521d144c88dbb8c733f0e8b3f6");
    QTest::newRow("test_case 4") << QByteArray::fromHex(
                                        "0102030405060708090a0b0c0d0e0f10111213141516171819")
                                 << QByteArray(50, char(0xcd))
                                 << QByteArray("697eaf0aca3a3aea3a75164746ffaa79");
    QTest::newRow("test_case 5") << QByteArray(16, char(0x0c)) << QByteArray("Test With Truncation")
                                 << QByteArray("56461ef2342edc00f9bab995690efd4c");
    QTest::newRow("test_case 6 (80-byte key)")
        << QByteArray(80, char(0xaa))
        << QByteArray("Test Using Larger Than Block-Size Key - Hash Key First")
        << QByteArray("6b1ab7fe4bd7bf8f0b62e6ce61b9d0cd");
    QTest::newRow("test_case 7 (80-byte key, 73-byte data)")
        << QByteArray(80, char(0xaa))
        << QByteArray("Test Using Larger Than Block-Size Key and Larger Than One Block-Size Data")
        << QByteArray("6f630fad67cda0ee1fb1f562db3aa53e");
}

void TestMd5::hmacRfc2202()
{
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, data);
    QFETCH(QByteArray, digest);
    unsigned char result[16] = {};
    hmac_md5(bytes(data), data.size(), bytes(key), key.size(), result);
    QCOMPARE(digestOf(result), digest);
}

QTEST_APPLESS_MAIN(TestMd5)
#include "tst_md5.moc"
