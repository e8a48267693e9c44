// AES-128 ECB and CBC against the published vectors, and the chaining rules of the CBC routines.
#include "aesengines.h"
#include "core/crypto/aes.h"

#include <QtTest>
#include <vector>

namespace {

QByteArray hex(const char *text) { return QByteArray::fromHex(text); }

const uint8_t *bytes(const QByteArray &data)
{
    return reinterpret_cast<const uint8_t *>(data.constData());
}

uint8_t *bytes(QByteArray &data) { return reinterpret_cast<uint8_t *>(data.data()); }

// NIST SP 800-38A, Appendix F.1 and F.2: the key, IV and plaintext shared by the examples.
const char *const kSp800Key = "2b7e151628aed2a6abf7158809cf4f3c";
const char *const kSp800Iv = "000102030405060708090a0b0c0d0e0f";
const char *const kSp800Plain[4] = {
    "6bc1bee22e409f96e93d7e117393172a", "ae2d8a571e03ac9c9eb76fac45af8e51",
    "30c81c46a35ce411e5fbc1191a0a52ef", "f69f2445df4f9b17ad2b417be66c3710"};
const char *const kSp800EcbCipher[4] = {
    "3ad77bb40d7a3660a89ecaf32466ef97", "f5d3d58503b9699de785895a96fdbaaf",
    "43b1cd7f598ece23881b00e3ed030688", "7b0c785e27e8ad3f8223207104725dd4"};
const char *const kSp800CbcCipher[4] = {
    "7649abac8119b246cee98e9b12e9197d", "5086cb9b507219ee95db113a917678b2",
    "73bed6b8e3c1743b7116e69e22229516", "3ff1caa1681fac09120eca307586e1a7"};

QByteArray joined(const char *const blocks[4])
{
    QByteArray all;
    for (int i = 0; i < 4; ++i)
        all += hex(blocks[i]);
    return all;
}

} // namespace

class TestAes : public QObject
{
    Q_OBJECT

private:
    void addEngineColumn() { QTest::addColumn<bool>("hardware"); }
    void addBlockRows();

private slots:
    void cleanup() { aes128::setHardwareEnabled(true); }

    void hardwareEngineOffered();

    void ecbEncrypt_data() { addBlockRows(); }
    void ecbEncrypt();
    void ecbDecrypt_data() { addBlockRows(); }
    void ecbDecrypt();
    void ecbInPlace_data() { addBlockRows(); }
    void ecbInPlace();
    void ecbFollowsKeyBytesNotKeyBuffer_data();
    void ecbFollowsKeyBytesNotKeyBuffer();

    void cbcEncrypt_data();
    void cbcEncrypt();
    void cbcDecrypt_data();
    void cbcDecrypt();
    void cbcContinuation_data();
    void cbcContinuation();
    void cbcNullKeyKeepsLastExpansion_data();
    void cbcNullKeyKeepsLastExpansion();
    void cbcPartialLength_data();
    void cbcPartialLength();
    void cbcZeroLengthTouchesNoBuffer_data();
    void cbcZeroLengthTouchesNoBuffer();
};

void TestAes::addBlockRows()
{
    addEngineColumn();
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("plain");
    QTest::addColumn<QByteArray>("cipher");
    for (const AesEngine &engine : availableAesEngines()) {
        const QByteArray prefix = engine.name.toLatin1() + ": ";
        QTest::newRow(prefix + "FIPS-197 C.1 AES-128")
            << engine.hardware << hex("000102030405060708090a0b0c0d0e0f")
            << hex("00112233445566778899aabbccddeeff") << hex("69c4e0d86a7b0430d8cdb78070b4c55a");
        for (int block = 0; block < 4; ++block)
            QTest::newRow(prefix + "SP 800-38A F.1.1/F.1.2 block " + QByteArray::number(block + 1))
                << engine.hardware << hex(kSp800Key) << hex(kSp800Plain[block])
                << hex(kSp800EcbCipher[block]);
    }
}

void TestAes::hardwareEngineOffered()
{
    if (!aes128::hardwareAvailable())
        QSKIP("this processor has no AES instructions; only the portable engine is tested");
    QVERIFY(selectAesEngine(true));
    QVERIFY(selectAesEngine(false));
}

void TestAes::ecbEncrypt()
{
    QFETCH(bool, hardware);
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, plain);
    QFETCH(QByteArray, cipher);
    QVERIFY(selectAesEngine(hardware));
    QByteArray output(16, '\0');
    AES128_ECB_encrypt(bytes(plain), bytes(key), bytes(output));
    QCOMPARE(output.toHex(), cipher.toHex());
}

void TestAes::ecbDecrypt()
{
    QFETCH(bool, hardware);
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, plain);
    QFETCH(QByteArray, cipher);
    QVERIFY(selectAesEngine(hardware));
    QByteArray output(16, '\0');
    AES128_ECB_decrypt(bytes(cipher), bytes(key), bytes(output));
    QCOMPARE(output.toHex(), plain.toHex());
}

void TestAes::ecbInPlace()
{
    QFETCH(bool, hardware);
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, plain);
    QFETCH(QByteArray, cipher);
    QVERIFY(selectAesEngine(hardware));
    QByteArray block = plain;
    AES128_ECB_encrypt(bytes(block), bytes(key), bytes(block));
    QCOMPARE(block.toHex(), cipher.toHex());
    AES128_ECB_decrypt(bytes(block), bytes(key), bytes(block));
    QCOMPARE(block.toHex(), plain.toHex());
}

void TestAes::ecbFollowsKeyBytesNotKeyBuffer_data()
{
    addEngineColumn();
    for (const AesEngine &engine : availableAesEngines())
        QTest::newRow(engine.name.toLatin1()) << engine.hardware;
}

// One key buffer whose bytes change between calls: each call must use the bytes it is given.
void TestAes::ecbFollowsKeyBytesNotKeyBuffer()
{
    QFETCH(bool, hardware);
    QVERIFY(selectAesEngine(hardware));
    QByteArray key = hex(kSp800Key);
    QByteArray output(16, '\0');
    AES128_ECB_decrypt(bytes(hex(kSp800EcbCipher[0])), bytes(key), bytes(output));
    QCOMPARE(output.toHex(), hex(kSp800Plain[0]).toHex());

    key = hex("000102030405060708090a0b0c0d0e0f");
    AES128_ECB_decrypt(bytes(hex("69c4e0d86a7b0430d8cdb78070b4c55a")), bytes(key), bytes(output));
    QCOMPARE(output.toHex(), QByteArray("00112233445566778899aabbccddeeff"));

    key[15] = char(0x0e); // one bit differs: the previous expansion must not be reused
    AES128_ECB_encrypt(bytes(hex("00112233445566778899aabbccddeeff")), bytes(key), bytes(output));
    QVERIFY(output.toHex() != QByteArray("69c4e0d86a7b0430d8cdb78070b4c55a"));
    key[15] = char(0x0f);
    AES128_ECB_encrypt(bytes(hex("00112233445566778899aabbccddeeff")), bytes(key), bytes(output));
    QCOMPARE(output.toHex(), QByteArray("69c4e0d86a7b0430d8cdb78070b4c55a"));
}

void TestAes::cbcEncrypt_data()
{
    addEngineColumn();
    QTest::addColumn<int>("blocks");
    for (const AesEngine &engine : availableAesEngines()) {
        for (int blocks = 1; blocks <= 4; ++blocks)
            QTest::newRow(engine.name.toLatin1() + ": F.2.1, " + QByteArray::number(blocks) +
                          " block(s)")
                << engine.hardware << blocks;
    }
}

// F.2.1 CBC-AES128.Encrypt; the input keeps each block XORed with the chaining value.
void TestAes::cbcEncrypt()
{
    QFETCH(bool, hardware);
    QFETCH(int, blocks);
    QVERIFY(selectAesEngine(hardware));
    const QByteArray key = hex(kSp800Key);
    const QByteArray iv = hex(kSp800Iv);
    const QByteArray plain = joined(kSp800Plain).left(16 * blocks);
    const QByteArray expected = joined(kSp800CbcCipher).left(16 * blocks);

    QByteArray input = plain;
    QByteArray output(plain.size(), '\0');
    AES128_CBC_encrypt_buffer(bytes(output), bytes(input), uint32_t(input.size()), bytes(key),
                              bytes(iv));
    QCOMPARE(output.toHex(), expected.toHex());

    const QByteArray previous = iv + expected; // the chaining value of block i is previous[i]
    for (int i = 0; i < blocks; ++i) {
        QByteArray xored = plain.mid(16 * i, 16);
        for (int b = 0; b < 16; ++b)
            xored[b] = char(xored[b] ^ previous[16 * i + b]);
        QCOMPARE(input.mid(16 * i, 16).toHex(), xored.toHex());
    }
}

void TestAes::cbcDecrypt_data() { cbcEncrypt_data(); }

// F.2.2 CBC-AES128.Decrypt; the input stays as it was.
void TestAes::cbcDecrypt()
{
    QFETCH(bool, hardware);
    QFETCH(int, blocks);
    QVERIFY(selectAesEngine(hardware));
    const QByteArray key = hex(kSp800Key);
    const QByteArray iv = hex(kSp800Iv);
    const QByteArray cipher = joined(kSp800CbcCipher).left(16 * blocks);
    const QByteArray input = cipher;
    QByteArray output(cipher.size(), '\0');
    AES128_CBC_decrypt_buffer(bytes(output), bytes(input), uint32_t(input.size()), bytes(key),
                              bytes(iv));
    QCOMPARE(output.toHex(), joined(kSp800Plain).left(16 * blocks).toHex());
    QCOMPARE(input.toHex(), cipher.toHex());
}

void TestAes::cbcContinuation_data()
{
    addEngineColumn();
    QTest::addColumn<bool>("encrypt");
    QTest::addColumn<QList<int>>("pieces"); // lengths of the successive calls
    for (const AesEngine &engine : availableAesEngines()) {
        for (bool encrypt : {true, false}) {
            const QByteArray prefix =
                engine.name.toLatin1() + (encrypt ? ": encrypt " : ": decrypt ");
            QTest::newRow(prefix + "16+16") << engine.hardware << encrypt << QList<int>{16, 16};
            QTest::newRow(prefix + "16+48") << engine.hardware << encrypt << QList<int>{16, 48};
            QTest::newRow(prefix + "32+16+16")
                << engine.hardware << encrypt << QList<int>{32, 16, 16};
            QTest::newRow(prefix + "16x4")
                << engine.hardware << encrypt << QList<int>{16, 16, 16, 16};
        }
    }
}

// Calls after the first pass a null key and a null chaining value: the chain goes on from the
// block the previous call left, so the pieces give the one-call result.
void TestAes::cbcContinuation()
{
    QFETCH(bool, hardware);
    QFETCH(bool, encrypt);
    QFETCH(QList<int>, pieces);
    QVERIFY(selectAesEngine(hardware));
    const QByteArray key = hex(kSp800Key);
    const QByteArray iv = hex(kSp800Iv);
    const QByteArray source = encrypt ? joined(kSp800Plain) : joined(kSp800CbcCipher);
    const QByteArray expected = encrypt ? joined(kSp800CbcCipher) : joined(kSp800Plain);

    // Every call has its own buffers, all alive until the end, as the chaining value needs.
    std::vector<QByteArray> inputs;
    std::vector<QByteArray> outputs;
    int offset = 0;
    for (int piece : pieces) {
        inputs.push_back(source.mid(offset, piece));
        outputs.push_back(QByteArray(piece, '\0'));
        offset += piece;
    }
    QByteArray result;
    for (size_t call = 0; call < inputs.size(); ++call) {
        const uint8_t *callKey = call == 0 ? bytes(key) : nullptr;
        const uint8_t *callIv = call == 0 ? bytes(iv) : nullptr;
        if (encrypt)
            AES128_CBC_encrypt_buffer(bytes(outputs[call]), bytes(inputs[call]),
                                      uint32_t(inputs[call].size()), callKey, callIv);
        else
            AES128_CBC_decrypt_buffer(bytes(outputs[call]), bytes(inputs[call]),
                                      uint32_t(inputs[call].size()), callKey, callIv);
        result += outputs[call];
    }
    QCOMPARE(result.toHex(), expected.left(offset).toHex());
}

void TestAes::cbcNullKeyKeepsLastExpansion_data() { ecbFollowsKeyBytesNotKeyBuffer_data(); }

// An ECB call's key stays in force for a CBC call without key.
void TestAes::cbcNullKeyKeepsLastExpansion()
{
    QFETCH(bool, hardware);
    QVERIFY(selectAesEngine(hardware));
    const QByteArray key = hex(kSp800Key);
    const QByteArray iv = hex(kSp800Iv);
    QByteArray scratch(16, '\0');
    AES128_ECB_encrypt(bytes(hex(kSp800Plain[0])), bytes(key), bytes(scratch));

    QByteArray input = joined(kSp800Plain);
    QByteArray output(input.size(), '\0');
    AES128_CBC_encrypt_buffer(bytes(output), bytes(input), uint32_t(input.size()), nullptr,
                              bytes(iv));
    QCOMPARE(output.toHex(), joined(kSp800CbcCipher).toHex());

    AES128_ECB_decrypt(bytes(hex(kSp800EcbCipher[0])), bytes(key), bytes(scratch));
    const QByteArray cipher = joined(kSp800CbcCipher);
    AES128_CBC_decrypt_buffer(bytes(output), bytes(cipher), uint32_t(cipher.size()), nullptr,
                              bytes(iv));
    QCOMPARE(output.toHex(), joined(kSp800Plain).toHex());
}

void TestAes::cbcPartialLength_data()
{
    addEngineColumn();
    QTest::addColumn<bool>("encrypt");
    QTest::addColumn<int>("length");
    for (const AesEngine &engine : availableAesEngines()) {
        for (bool encrypt : {true, false}) {
            const QByteArray prefix =
                engine.name.toLatin1() + (encrypt ? ": encrypt " : ": decrypt ");
            for (int length : {1, 5, 15, 17, 20, 47})
                QTest::newRow(prefix + QByteArray::number(length) + " bytes")
                    << engine.hardware << encrypt << length;
        }
    }
}

// The whole blocks are chained; the rest, zero-padded to a block, is transformed on its own.
// Only `length` input bytes are read and nothing is written past the rounded-up length.
void TestAes::cbcPartialLength()
{
    QFETCH(bool, hardware);
    QFETCH(bool, encrypt);
    QFETCH(int, length);
    QVERIFY(selectAesEngine(hardware));
    const QByteArray key = hex(kSp800Key);
    const QByteArray iv = hex(kSp800Iv);
    const QByteArray source =
        (encrypt ? joined(kSp800Plain) : joined(kSp800CbcCipher)).left(length);
    const int whole = length - length % 16;
    const int rounded = whole + 16;

    // Exactly `length` input bytes on the heap, so a read past them shows under the sanitizer.
    std::vector<uint8_t> input(source.begin(), source.end());
    const char guard = char(0xa5);
    QByteArray output(rounded + 16, guard);
    if (encrypt)
        AES128_CBC_encrypt_buffer(bytes(output), input.data(), uint32_t(length), bytes(key),
                                  bytes(iv));
    else
        AES128_CBC_decrypt_buffer(bytes(output), input.data(), uint32_t(length), bytes(key),
                                  bytes(iv));

    const QByteArray chained =
        (encrypt ? joined(kSp800CbcCipher) : joined(kSp800Plain)).left(whole);
    QCOMPARE(output.left(whole).toHex(), chained.toHex());

    QByteArray last = source.mid(whole).leftJustified(16, '\0');
    if (encrypt)
        AES128_ECB_encrypt(bytes(last), bytes(key), bytes(last));
    else
        AES128_ECB_decrypt(bytes(last), bytes(key), bytes(last));
    QCOMPARE(output.mid(whole, 16).toHex(), last.toHex());
    QCOMPARE(output.mid(rounded), QByteArray(16, guard));
}

void TestAes::cbcZeroLengthTouchesNoBuffer_data() { cbcNullKeyKeepsLastExpansion_data(); }

void TestAes::cbcZeroLengthTouchesNoBuffer()
{
    QFETCH(bool, hardware);
    QVERIFY(selectAesEngine(hardware));
    const QByteArray key = hex(kSp800Key);
    const QByteArray iv = hex(kSp800Iv);
    QByteArray input = hex(kSp800Plain[0]);
    QByteArray output(16, char(0xa5));
    AES128_CBC_encrypt_buffer(bytes(output), bytes(input), 0, bytes(key), bytes(iv));
    QCOMPARE(input.toHex(), QByteArray(kSp800Plain[0]));
    QCOMPARE(output, QByteArray(16, char(0xa5)));
    AES128_CBC_decrypt_buffer(bytes(output), bytes(input), 0, bytes(key), bytes(iv));
    QCOMPARE(output, QByteArray(16, char(0xa5)));

    // The key and chaining value of the empty call still take effect for the next one.
    QByteArray plain = joined(kSp800Plain);
    QByteArray cipher(plain.size(), '\0');
    AES128_CBC_encrypt_buffer(bytes(cipher), bytes(plain), uint32_t(plain.size()), nullptr,
                              nullptr);
    QCOMPARE(cipher.toHex(), joined(kSp800CbcCipher).toHex());
}

QTEST_APPLESS_MAIN(TestAes)
#include "tst_aes.moc"
