// Thousands of random keys, blocks and lengths: our routines and OpenSSL's libcrypto must agree
// byte for byte.
#include "aesengines.h"
#include "core/crypto/aes.h"
#include "core/crypto/md5.h"
#include "opensslreference.h"

#include <QtTest>
#include <random>

namespace {

int randomBetween(std::mt19937 &random, int low, int high)
{
    return std::uniform_int_distribution<int>(low, high)(random);
}

uint8_t *bytes(QByteArray &data) { return reinterpret_cast<uint8_t *>(data.data()); }

const uint8_t *bytes(const QByteArray &data)
{
    return reinterpret_cast<const uint8_t *>(data.constData());
}

constexpr int kEcbRounds = 5000;
constexpr int kCbcRounds = 1500;
constexpr int kDigestRounds = 3000;

} // namespace

class TestOpensslCrossCheck : public QObject
{
    Q_OBJECT

private:
    void engineRows();

private slots:
    void cleanup() { aes128::setHardwareEnabled(true); }

    void ecb_data() { engineRows(); }
    void ecb();
    void cbcOneCall_data() { engineRows(); }
    void cbcOneCall();
    void cbcInPieces_data() { engineRows(); }
    void cbcInPieces();
    void md5_data();
    void md5();
    void hmacMd5_data();
    void hmacMd5();
};

void TestOpensslCrossCheck::engineRows()
{
    QTest::addColumn<bool>("hardware");
    QTest::addColumn<uint>("seed");
    uint seed = 1;
    for (const AesEngine &engine : availableAesEngines())
        QTest::newRow(engine.name.toLatin1()) << engine.hardware << seed++;
}

void TestOpensslCrossCheck::ecb()
{
    QFETCH(bool, hardware);
    QFETCH(uint, seed);
    QVERIFY(selectAesEngine(hardware));
    std::mt19937 random(seed);
    QByteArray key = reference::randomBytes(random, 16);
    for (int round = 0; round < kEcbRounds; ++round) {
        if (round % 4 != 3) // mostly a new key, sometimes the same key again
            key = reference::randomBytes(random, 16);
        const QByteArray block = reference::randomBytes(random, 16);
        QByteArray encrypted(16, '\0');
        AES128_ECB_encrypt(bytes(block), bytes(key), bytes(encrypted));
        QCOMPARE(encrypted.toHex(), reference::ecb(true, key, block).toHex());
        QByteArray decrypted(16, '\0');
        AES128_ECB_decrypt(bytes(block), bytes(key), bytes(decrypted));
        QCOMPARE(decrypted.toHex(), reference::ecb(false, key, block).toHex());
    }
}

void TestOpensslCrossCheck::cbcOneCall()
{
    QFETCH(bool, hardware);
    QFETCH(uint, seed);
    QVERIFY(selectAesEngine(hardware));
    std::mt19937 random(seed + 100);
    for (int round = 0; round < kCbcRounds; ++round) {
        const QByteArray key = reference::randomBytes(random, 16);
        const QByteArray iv = reference::randomBytes(random, 16);
        const QByteArray data = reference::randomBytes(random, 16 * randomBetween(random, 1, 64));

        QByteArray input = data; // the encryption changes its input
        QByteArray output(data.size(), '\0');
        AES128_CBC_encrypt_buffer(bytes(output), bytes(input), uint32_t(data.size()), bytes(key),
                                  bytes(iv));
        QCOMPARE(output.toHex(), reference::cbc(true, key, iv, data).toHex());

        AES128_CBC_decrypt_buffer(bytes(output), bytes(data), uint32_t(data.size()), bytes(key),
                                  bytes(iv));
        QCOMPARE(output.toHex(), reference::cbc(false, key, iv, data).toHex());
    }
}

// A long message split at random block boundaries into calls without key or chaining value.
void TestOpensslCrossCheck::cbcInPieces()
{
    QFETCH(bool, hardware);
    QFETCH(uint, seed);
    QVERIFY(selectAesEngine(hardware));
    std::mt19937 random(seed + 200);
    for (int round = 0; round < kCbcRounds / 4; ++round) {
        const QByteArray key = reference::randomBytes(random, 16);
        const QByteArray iv = reference::randomBytes(random, 16);
        const QByteArray data = reference::randomBytes(random, 16 * randomBetween(random, 2, 64));
        for (bool encrypt : {true, false}) {
            QByteArray input = data; // one buffer each way, alive for the whole chain
            QByteArray output(data.size(), '\0');
            int offset = 0;
            while (offset < data.size()) {
                const int piece = qMin(16 * randomBetween(random, 1, 8), data.size() - offset);
                const uint8_t *callKey = offset == 0 ? bytes(key) : nullptr;
                const uint8_t *callIv = offset == 0 ? bytes(iv) : nullptr;
                if (encrypt)
                    AES128_CBC_encrypt_buffer(bytes(output) + offset, bytes(input) + offset,
                                              uint32_t(piece), callKey, callIv);
                else
                    AES128_CBC_decrypt_buffer(bytes(output) + offset, bytes(input) + offset,
                                              uint32_t(piece), callKey, callIv);
                offset += piece;
            }
            QCOMPARE(output.toHex(), reference::cbc(encrypt, key, iv, data).toHex());
        }
    }
}

void TestOpensslCrossCheck::md5_data()
{
    QTest::addColumn<int>("maxLength");
    QTest::addColumn<uint>("seed");
    QTest::newRow("up to 200 bytes") << 200 << 11u;
    QTest::newRow("up to 5000 bytes") << 5000 << 12u;
}

// Random messages, hashed in one call and in random pieces.
void TestOpensslCrossCheck::md5()
{
    QFETCH(int, maxLength);
    QFETCH(uint, seed);
    std::mt19937 random(seed);
    for (int round = 0; round < kDigestRounds; ++round) {
        const QByteArray data = reference::randomBytes(random, randomBetween(random, 0, maxLength));
        const QByteArray expected = reference::md5(data).toHex();
        unsigned char digest[16];
        ::md5(bytes(data), uint64_t(data.size()), digest);
        QCOMPARE(QByteArray(reinterpret_cast<char *>(digest), 16).toHex(), expected);

        MD5Context context;
        MD5Init(&context);
        int offset = 0;
        while (offset < data.size()) {
            const int piece = qMin(randomBetween(random, 0, 130), data.size() - offset);
            MD5Update(&context, bytes(data) + offset, uint64_t(piece));
            offset += piece;
        }
        MD5Final(digest, &context);
        QCOMPARE(QByteArray(reinterpret_cast<char *>(digest), 16).toHex(), expected);
    }
}

void TestOpensslCrossCheck::hmacMd5_data()
{
    QTest::addColumn<int>("maxKeyLength");
    QTest::addColumn<int>("maxTextLength");
    QTest::addColumn<uint>("seed");
    QTest::newRow("keys up to 70 bytes (around the block size)") << 70 << 300 << 21u;
    QTest::newRow("keys up to 300 bytes, texts up to 3000") << 300 << 3000 << 22u;
}

void TestOpensslCrossCheck::hmacMd5()
{
    QFETCH(int, maxKeyLength);
    QFETCH(int, maxTextLength);
    QFETCH(uint, seed);
    std::mt19937 random(seed);
    for (int round = 0; round < kDigestRounds; ++round) {
        const QByteArray key =
            reference::randomBytes(random, randomBetween(random, 0, maxKeyLength));
        const QByteArray text =
            reference::randomBytes(random, randomBetween(random, 0, maxTextLength));
        unsigned char digest[16];
        hmac_md5(bytes(text), text.size(), bytes(key), key.size(), digest);
        QCOMPARE(QByteArray(reinterpret_cast<char *>(digest), 16).toHex(),
                 reference::hmacMd5(key, text).toHex());
    }
}

QTEST_APPLESS_MAIN(TestOpensslCrossCheck)
#include "tst_openssl_crosscheck.moc"
