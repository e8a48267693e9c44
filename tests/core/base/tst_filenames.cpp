// File names as bytes: every name comes back from text to exactly its bytes, whatever of it is no
// UTF-8, and what is UTF-8 reads as the text it is.
#include "core/base/filenames.h"

#include <QTest>
#include <QTextCodec>

class TestFilenames : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void roundTrip_data();
    void roundTrip();
};

void TestFilenames::initTestCase()
{
    // The tests run under C.UTF-8 or a UTF-8 locale; names are then UTF-8 where they are text.
    QCOMPARE(QTextCodec::codecForLocale()->mibEnum(), 106);
}

void TestFilenames::roundTrip_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text"); // what it reads as; U+DC80 + b stands for a byte b
    const auto escaped = [](uchar byte) { return QString(QChar(ushort(0xDC00 + byte))); };
    QTest::newRow("ASCII") << QByteArray("profile.json") << "profile.json";
    QTest::newRow("UTF-8 text") << QByteArray("caf\xc3\xa9/\xe9\x85\x8d\xe7\xbd\xae.json")
                                << QString::fromUtf8("café/配置.json");
    QTest::newRow("four-byte character")
        << QByteArray("\xf0\x9f\x96\xa8") << QString::fromUtf8("🖨");
    QTest::newRow("Latin-1 byte") << QByteArray("caf\xe9.json") << "caf" + escaped(0xE9) + ".json";
    QTest::newRow("two bytes that are no UTF-8")
        << QByteArray("\xff\xfe") << escaped(0xFF) + escaped(0xFE);
    QTest::newRow("sequence cut short")
        << QByteArray("a\xe9\x85") << "a" + escaped(0xE9) + escaped(0x85);
    QTest::newRow("overlong slash") << QByteArray("\xc0\xaf") << escaped(0xC0) + escaped(0xAF);
    QTest::newRow("encoded surrogate")
        << QByteArray("\xed\xa0\x80") << escaped(0xED) + escaped(0xA0) + escaped(0x80);
    QTest::newRow("beyond U+10FFFF")
        << QByteArray("\xf4\x90\x80\x80")
        << escaped(0xF4) + escaped(0x90) + escaped(0x80) + escaped(0x80);
    QTest::newRow("continuation byte alone") << QByteArray("x\x80y") << "x" + escaped(0x80) + "y";
}

void TestFilenames::roundTrip()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(filenames::decode(bytes), text);
    QCOMPARE(filenames::encode(text), bytes);
    char program[] = "program";
    QByteArray argument = bytes;
    char *argv[] = {program, argument.data()};
    QCOMPARE(filenames::arguments(2, argv), QStringList{text});
}

QTEST_GUILESS_MAIN(TestFilenames)
#include "tst_filenames.moc"
