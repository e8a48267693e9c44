// Base64 decoding, PKCS#7 padding, case conversion and reversal.
#include "core/crypto/base64.h"
#include "core/crypto/padding.h"
#include "core/crypto/textutil.h"

#include <QtTest>
#include <vector>

namespace {
const char kUntouched = char(0xa5);
}

class TestCodecs : public QObject
{
    Q_OBJECT

private slots:
    void base64Decodes_data();
    void base64Decodes();
    void base64RejectsInvalidText_data();
    void base64RejectsInvalidText();
    void base64RejectsNullText();
    void base64CopiesBack_data();
    void base64CopiesBack();

    void pkcs7Fill_data();
    void pkcs7Fill();
    void pkcs7Unfill_data();
    void pkcs7Unfill();
    void pkcs7UnfillEmptyReadsNothing();

    void caseConversion_data();
    void caseConversion();
    void reverse_data();
    void reverse();
};

void TestCodecs::base64Decodes_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("decoded");
    // RFC 4648, section 10 (the empty text is invalid input here: shorter than 4).
    QTest::newRow("RFC 4648: f") << QByteArray("Zg==") << QByteArray("f");
    QTest::newRow("RFC 4648: fo") << QByteArray("Zm8=") << QByteArray("fo");
    QTest::newRow("RFC 4648: foo") << QByteArray("Zm9v") << QByteArray("foo");
    QTest::newRow("RFC 4648: foob") << QByteArray("Zm9vYg==") << QByteArray("foob");
    QTest::newRow("RFC 4648: fooba") << QByteArray("Zm9vYmE=") << QByteArray("fooba");
    QTest::newRow("RFC 4648: foobar") << QByteArray("Zm9vYmFy") << QByteArray("foobar");
    QTest::newRow("whole alphabet")
        << QByteArray("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/")
        << QByteArray::fromHex("00108310518720928b30d38f41149351559761969b71d79f8218a39259a7a29aabb"
                               "2dbafc31cb3d35db7e39ebbf3dfbf");
    QTest::newRow("binary with zero bytes") << QByteArray("AAD/") << QByteArray::fromHex("0000ff");
}

// The output holds the decoded bytes followed by one zero byte; nothing after it is written.
void TestCodecs::base64Decodes()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, decoded);
    QByteArray writable = text;
    QByteArray output(decoded.size() + 8, kUntouched);
    const int count =
        decodeBase64(writable.data(), reinterpret_cast<unsigned char *>(output.data()), 0);
    QCOMPARE(count, decoded.size());
    QCOMPARE(output.left(count).toHex(), decoded.toHex());
    QCOMPARE(output.at(count), '\0');
    QCOMPARE(output.mid(count + 1), QByteArray(7, kUntouched));
    QCOMPARE(writable, text);
}

void TestCodecs::base64RejectsInvalidText_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("empty") << QByteArray("");
    QTest::newRow("three characters") << QByteArray("Zm9");
    QTest::newRow("valid text and a line feed") << QByteArray("Zm9v\n");
    QTest::newRow("six characters") << QByteArray("Zm9vYg");
    QTest::newRow("= first") << QByteArray("=m9v");
    QTest::newRow("= second") << QByteArray("Z=9v");
    QTest::newRow("= then alphabet at the end") << QByteArray("Zm=v");
    QTest::newRow("= inside an earlier group") << QByteArray("Zg==Zm9v");
    QTest::newRow("three =") << QByteArray("Z===");
    QTest::newRow("space") << QByteArray("Zm 9v");
    QTest::newRow("URL-safe alphabet") << QByteArray("ab-_");
    QTest::newRow("line break inside") << QByteArray("Zm9v\nZm9v");
    QTest::newRow("byte above 127") << QByteArray("Zm9\xc3");
}

void TestCodecs::base64RejectsInvalidText()
{
    QFETCH(QByteArray, text);
    QByteArray writable = text;
    QByteArray output(16, kUntouched);
    QCOMPARE(decodeBase64(writable.data(), reinterpret_cast<unsigned char *>(output.data()), 1), 0);
    QCOMPARE(output, QByteArray(16, kUntouched));
    QCOMPARE(writable, text);
}

void TestCodecs::base64RejectsNullText()
{
    QByteArray output(4, kUntouched);
    QCOMPARE(decodeBase64(nullptr, reinterpret_cast<unsigned char *>(output.data()), 1), 0);
    QCOMPARE(output, QByteArray(4, kUntouched));
}

void TestCodecs::base64CopiesBack_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("copyBack");
    QTest::addColumn<QByteArray>("textAfter");
    QTest::newRow("four characters, flag 1") << QByteArray("Zm9v") << 1 << QByteArray("foov");
    QTest::newRow("padded, flag 1") << QByteArray("Zm9vYmE=") << 1 << QByteArray("foobamE=");
    QTest::newRow("flag 0") << QByteArray("Zm9v") << 0 << QByteArray("Zm9v");
    QTest::newRow("flag 256: low byte zero") << QByteArray("Zm9v") << 256 << QByteArray("Zm9v");
    QTest::newRow("flag 0x101: low byte one") << QByteArray("Zm9v") << 0x101 << QByteArray("foov");
}

// The decoded bytes go over the start of the text; the rest and its terminating zero stay.
void TestCodecs::base64CopiesBack()
{
    QFETCH(QByteArray, text);
    QFETCH(int, copyBack);
    QFETCH(QByteArray, textAfter);
    QByteArray writable = text;
    unsigned char output[16];
    const int count = decodeBase64(writable.data(), output, copyBack);
    QVERIFY(count > 0);
    QCOMPARE(writable, textAfter);
    QCOMPARE(writable.constData()[writable.size()], '\0');
}

void TestCodecs::pkcs7Fill_data()
{
    QTest::addColumn<uint>("length");
    QTest::addColumn<int>("padLength");
    QTest::newRow("20 bytes: twelve 0x0C") << 20u << 12;
    QTest::newRow("32 bytes: a whole block of 0x10") << 32u << 16;
    QTest::newRow("0 bytes") << 0u << 16;
    QTest::newRow("15 bytes") << 15u << 1;
    QTest::newRow("65536 bytes (offset beyond 16 bits)") << 65536u << 16;
    QTest::newRow("65541 bytes (offset beyond 16 bits)") << 65541u << 11;
    QTest::newRow("131087 bytes") << 131087u << 1;
}

// p bytes of value p right after the data: nothing before them or after them changes.
void TestCodecs::pkcs7Fill()
{
    QFETCH(uint, length);
    QFETCH(int, padLength);
    std::vector<unsigned char> buffer(length + 16 + 8, 0xa5);
    PadMethod_PKCS7Fill(buffer.data(), length);
    for (uint i = 0; i < buffer.size(); ++i) {
        const bool padding = i >= length && i < length + uint(padLength);
        const unsigned char expected = padding ? (unsigned char)padLength : (unsigned char)0xa5;
        if (buffer[i] != expected)
            QFAIL(qPrintable(
                QString("byte %1 is %2, expected %3").arg(i).arg(buffer[i]).arg(expected)));
    }
}

void TestCodecs::pkcs7Unfill_data()
{
    QTest::addColumn<QByteArray>("buffer");
    QTest::addColumn<int>("result");
    QTest::addColumn<QByteArray>("bufferAfter");
    const QByteArray twenty(20, 'x');
    QTest::newRow("32 bytes ending in 0x0C")
        << twenty + QByteArray(12, 0x0c) << 20 << twenty + QByteArray(12, '\0');
    QTest::newRow("a whole block of 0x10") << QByteArray(16, 'x') + QByteArray(16, 0x10) << 16
                                           << QByteArray(16, 'x') + QByteArray(16, '\0');
    QTest::newRow("16 bytes of 0x10") << QByteArray(16, 0x10) << 0 << QByteArray(16, '\0');
    QTest::newRow("last byte 0x01") << QByteArray("abc\x01") << 3 << QByteArray("abc\0", 4);
    // Only the last byte is examined.
    QTest::newRow("other padding bytes differ")
        << QByteArray("abcdef\x09\x03") << 5 << QByteArray("abcde\0\0\0", 8);
    QTest::newRow("last byte 0x11: no padding")
        << QByteArray(31, 'x') + '\x11' << 32 << QByteArray(31, 'x') + '\x11';
    QTest::newRow("last byte 0xFF: no padding")
        << QByteArray(15, 'x') + '\xff' << 16 << QByteArray(15, 'x') + '\xff';
    QTest::newRow("last byte 0: no padding")
        << QByteArray("abc", 3) + '\0' << 4 << QByteArray("abc", 3) + '\0';
    QTest::newRow("padding longer than the data")
        << QByteArray("ab\x0c") << 3 << QByteArray("ab\x0c");
}

// The buffer is exactly as long as the data, so any access outside shows under the sanitizer.
void TestCodecs::pkcs7Unfill()
{
    QFETCH(QByteArray, buffer);
    QFETCH(int, result);
    QFETCH(QByteArray, bufferAfter);
    std::vector<unsigned char> exact(buffer.begin(), buffer.end());
    QCOMPARE(PadMethod_PKCS7Unfill(exact.data(), uint(exact.size())), result);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(exact.data()), int(exact.size())).toHex(),
             bufferAfter.toHex());
}

void TestCodecs::pkcs7UnfillEmptyReadsNothing()
{
    std::vector<unsigned char> one(1, 0x01); // a byte before the empty range would be read as 1
    QCOMPARE(PadMethod_PKCS7Unfill(one.data() + 1, 0), 0);
    QCOMPARE(one[0], (unsigned char)0x01);
    auto *empty = new unsigned char[1];
    QCOMPARE(PadMethod_PKCS7Unfill(empty, 0), 0); // heap start: a read before it would show
    delete[] empty;
}

void TestCodecs::caseConversion_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("upper");
    QTest::addColumn<QByteArray>("lower");
    QTest::newRow("mixed") << QByteArray("Hello, World 42!") << QByteArray("HELLO, WORLD 42!")
                           << QByteArray("hello, world 42!");
    QTest::newRow("letter boundaries")
        << QByteArray("@AZ[`az{") << QByteArray("@AZ[`AZ{") << QByteArray("@az[`az{");
    QTest::newRow("UTF-8 bytes stay") << QByteArray("Gr\xc3\xbc\xc3\x9f"
                                                    "e \xe6\x89\x93")
                                      << QByteArray("GR\xc3\xbc\xc3\x9f"
                                                    "E \xe6\x89\x93")
                                      << QByteArray("gr\xc3\xbc\xc3\x9f"
                                                    "e \xe6\x89\x93");
    QTest::newRow("empty") << QByteArray("") << QByteArray("") << QByteArray("");
}

void TestCodecs::caseConversion()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, upper);
    QFETCH(QByteArray, lower);
    QByteArray converted = text;
    ConvertToUpper(converted.data());
    QCOMPARE(converted, upper);
    converted = text;
    ConvertToLower(converted.data());
    QCOMPARE(converted, lower);
}

void TestCodecs::reverse_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("reversed");
    QTest::newRow("three characters") << QByteArray("abc") << QByteArray("cba");
    QTest::newRow("two characters") << QByteArray("ab") << QByteArray("ba");
    QTest::newRow("one character") << QByteArray("a") << QByteArray("a");
    QTest::newRow("empty") << QByteArray("") << QByteArray("");
    QTest::newRow("even length") << QByteArray("label printer") << QByteArray("retnirp lebal");
    QTest::newRow("255 characters") << QByteArray("x") + QByteArray(253, 'm') + "y"
                                    << QByteArray("y") + QByteArray(253, 'm') + "x";
    QTest::newRow("256 characters") << QByteArray("x") + QByteArray(254, 'm') + "y"
                                    << QByteArray("y") + QByteArray(254, 'm') + "x";
    QTest::newRow("1000 characters") << QByteArray("head") + QByteArray(992, '.') + "tail"
                                     << QByteArray("liat") + QByteArray(992, '.') + "daeh";
}

void TestCodecs::reverse()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, reversed);
    QByteArray buffer = text;
    ReverseString(buffer.data());
    QCOMPARE(buffer, reversed);
    QCOMPARE(buffer.constData()[buffer.size()], '\0');
}

QTEST_APPLESS_MAIN(TestCodecs)
#include "tst_codecs.moc"
