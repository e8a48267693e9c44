// Instruction frames and the query and button functions, against virtual printers.
#include "core/protocol/frame.h"
#include "core/protocol/printerqueries.h"
#include "core/protocol/printerstatus.h"
#include "tests/support/usbtestcase.h"

#include <QTest>

using vprinter::Bytes;
using vprinter::Faults;
using vprinter::VirtualPrinter;
using vprinter::VirtualUsb;

namespace {

QByteArray resultBytes(const unsigned char *buffer, int length = int(frame::kResultBufferSize))
{
    return QByteArray(reinterpret_cast<const char *>(buffer), length);
}

} // namespace

class TestProtocol : public UsbTestCase
{
    Q_OBJECT
private slots:

    void buildsFrames_data();
    void buildsFrames();
    void extractsPayload_data();
    void extractsPayload();

    void queryFrameAndResult_data();
    void queryFrameAndResult();
    void failedQueryClearsTheBuffer_data();
    void failedQueryClearsTheBuffer();
    void buttonFrame_data();
    void buttonFrame();
    void writtenSettingReadsBack();
    void refusedFrameNeverReachesTheWire();

    void statusText_data();
    void statusText();
};

void TestProtocol::buildsFrames_data()
{
    QTest::addColumn<int>("frameClass");
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("query") << 2 << 0x41 << QByteArray()
                           << QByteArray::fromHex("1BFFFE0241001BFEFF");
    QTest::newRow("print speed 5") << 1 << 0x00 << QByteArray::fromHex("05")
                                   << QByteArray::fromHex("1BFFFE01000105"
                                                          "1BFEFF");
    QTest::newRow("button 10") << 0 << 0x0A << QByteArray()
                               << QByteArray::fromHex("1BFFFE000A001BFEFF");
    const QByteArray full(255, 'x');
    QTest::newRow("255-byte payload")
        << 1 << 0x26 << full
        << QByteArray::fromHex("1BFFFE0126FF") + full + QByteArray::fromHex("1BFEFF");
    QTest::newRow("256 bytes cannot be framed")
        << 1 << 0x26 << QByteArray(256, 'x') << QByteArray();
}

void TestProtocol::buildsFrames()
{
    QFETCH(int, frameClass);
    QFETCH(int, code);
    QFETCH(QByteArray, payload);
    QFETCH(QByteArray, expected);
    const std::optional<QByteArray> built =
        frame::build(frame::FrameClass(frameClass), uint8_t(code), payload);
    QCOMPARE(built.has_value(), !expected.isEmpty());
    QCOMPARE(built.value_or(QByteArray()).toHex(' '), expected.toHex(' '));
}

void TestProtocol::extractsPayload_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("whole");
    QTest::addColumn<QByteArray>("payload");
    QTest::newRow("one byte") << QByteArray::fromHex("1BFFFE020001031BFEFF") << true
                              << QByteArray::fromHex("03");
    QTest::newRow("n = 0") << QByteArray::fromHex("1BFFFE020000"
                                                  "1BFEFF")
                           << true << QByteArray();
    // Only head, length byte and payload are judged: class, code and tail are not.
    QTest::newRow("n = 0, six bytes")
        << QByteArray::fromHex("1BFFFE020000") << true << QByteArray();
    QTest::newRow("payload whole, tail missing")
        << QByteArray::fromHex("1BFFFE0200024142") << true << QByteArray("AB");
    QTest::newRow("another class and code")
        << QByteArray::fromHex("1BFFFE079901411BFEFF") << true << QByteArray("A");
    QTest::newRow("nothing") << QByteArray() << false << QByteArray();
    QTest::newRow("five bytes") << QByteArray::fromHex("1BFFFE0200") << false << QByteArray();
    QTest::newRow("payload cut") << QByteArray::fromHex("1BFFFE020009414243") << false
                                 << QByteArray();
    QTest::newRow("foreign head") << QByteArray::fromHex("000000000002AABB") << false
                                  << QByteArray();
    QTest::newRow("head damaged") << QByteArray::fromHex("1BFF00020001031BFEFF") << false
                                  << QByteArray();
}

void TestProtocol::extractsPayload()
{
    QFETCH(QByteArray, reply);
    QFETCH(bool, whole);
    QFETCH(QByteArray, payload);
    unsigned char result[frame::kResultBufferSize];
    memset(result, 0xEE, sizeof result);
    const std::optional<std::size_t> n =
        frame::extractPayload(reinterpret_cast<const unsigned char *>(reply.constData()),
                              std::size_t(reply.size()), result);
    QCOMPARE(n.has_value(), whole);
    QCOMPARE(int(n.value_or(0)), payload.size());
    QCOMPARE(resultBytes(result), payload + QByteArray(int(sizeof result) - payload.size(), '\0'));
}

void TestProtocol::queryFrameAndResult_data()
{
    QTest::addColumn<bool>("statusClass");
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<bool>("payload255");
    QTest::addColumn<QString>("frame");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("speed 3") << false << 0x00 << QByteArray::fromHex("03") << false
                             << "1B FF FE 02 00 00 1B FE FF" << QByteArray::fromHex("03");
    QTest::newRow("empty payload")
        << false << 0x13 << QByteArray() << false << "1B FF FE 02 13 00 1B FE FF" << QByteArray();
    QTest::newRow("identification")
        << false << 0x0C << QByteArray("AA\0RM-310\0BB\0DD\0EE\0", 19) << false
        << "1B FF FE 02 0C 00 1B FE FF" << QByteArray("AA\0RM-310\0BB\0DD\0EE\0", 19);
    QByteArray filler;
    for (int i = 0; i < 255; ++i)
        filler += char(vprinter::PrinterModel::fillerByte(std::size_t(i)));
    QTest::newRow("payload length 255")
        << false << 0x26 << QByteArray() << true << "1B FF FE 02 26 00 1B FE FF" << filler;
    QTest::newRow("version") << true << 0x04 << QByteArray("V2.31 2026-10-01\0", 17) << false
                             << "1B FF FE 00 04 00 1B FE FF"
                             << QByteArray("V2.31 2026-10-01\0", 17);
    QTest::newRow("resolution") << true << 0x0B << QByteArray::fromHex("CB004006") << false
                                << "1B FF FE 00 0B 00 1B FE FF" << QByteArray::fromHex("CB004006");
}

void TestProtocol::queryFrameAndResult()
{
    QFETCH(bool, statusClass);
    QFETCH(int, code);
    QFETCH(QByteArray, stored);
    QFETCH(bool, payload255);
    QFETCH(QString, frame);
    QFETCH(QByteArray, expected);
    VirtualPrinter &vp = usb->addPrinter(0x0411, "RM-310", 1);
    if (statusClass)
        vp.withModel(
            [&](vprinter::PrinterModel &m) { m.setStatusInfo(uint8_t(code), toBytes(stored)); });
    else
        vp.setSetting(uint8_t(code), toBytes(stored));
    Faults faults;
    faults.payload255 = payload255;
    vp.setFaults(faults);

    FoundPrinter printer(1);
    unsigned char result[frame::kResultBufferSize];
    memset(result, 0x5A, sizeof result);
    const int r = statusClass ? GetPrinterStatusInfo(&printer.handle, POWER_InFo(code), result)
                              : GetPrinterInfo(&printer.handle, SetInfoType(code), result);
    QCOMPARE(r, 0);
    QCOMPARE(receivedFrames(vp), QStringList{frame});
    QCOMPARE(resultBytes(result),
             expected + QByteArray(int(sizeof result) - expected.size(), '\0'));
}

void TestProtocol::failedQueryClearsTheBuffer_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("expected");
    QTest::newRow("write fails") << "failNextWrite" << 4;
    QTest::newRow("claim refused") << "refuseClaim" << 5;
    QTest::newRow("open refused") << "refuseOpen" << 5;
    QTest::newRow("zero-length reply") << "cutRepliesTo=0" << 4;
    QTest::newRow("reply cut before its payload") << "cutRepliesTo=6" << 4;
}

void TestProtocol::failedQueryClearsTheBuffer()
{
    QFETCH(QString, fault);
    QFETCH(int, expected);
    VirtualPrinter &vp = usb->addPrinter(0x0411, "RM-310", 1);
    const Faults faults = faultNamed(fault);
    vp.setFaults(faults);
    FoundPrinter printer(1);
    for (bool statusClass : {false, true}) {
        unsigned char result[frame::kResultBufferSize];
        memset(result, 0x5A, sizeof result);
        if (fault == "failNextWrite")
            vp.setFaults(faults);
        const int r = statusClass ? GetPrinterStatusInfo(&printer.handle, POWER_VERSION, result)
                                  : GetPrinterInfo(&printer.handle, INFO_PRINT_SPEED, result);
        QCOMPARE(r, expected);
        QCOMPARE(resultBytes(result), QByteArray(int(sizeof result), '\0'));
    }
}

void TestProtocol::buttonFrame_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("frame");
    QTest::newRow("self-test page") << 0x00 << "1B FF FE 00 00 00 1B FE FF";
    QTest::newRow("restart") << 0x02 << "1B FF FE 00 02 00 1B FE FF";
    QTest::newRow("exit-edge learning") << 0x0A << "1B FF FE 00 0A 00 1B FE FF";
}

void TestProtocol::buttonFrame()
{
    QFETCH(int, code);
    QFETCH(QString, frame);
    VirtualPrinter &vp = usb->addPrinter(0x1401, "VS-608K", 3);
    FoundPrinter printer(3);
    QCOMPARE(SetPrinterStatusButton(&printer.handle, POWER_InFo(code)), 0);
    QCOMPARE(receivedFrames(vp), QStringList{frame});
    QCOMPARE(vp.buttonLog(), std::vector<uint8_t>{uint8_t(code)});

    Faults faults;
    faults.failNextWrite = true;
    vp.setFaults(faults);
    QCOMPARE(SetPrinterStatusButton(&printer.handle, POWER_InFo(code)), 4);
}

void TestProtocol::writtenSettingReadsBack()
{
    VirtualPrinter &vp = usb->addPrinter(0x0411, "RM-310", 1);
    FoundPrinter printer(1);
    const QByteArray set =
        *frame::build(frame::FrameClass::Set, INFO_LABEL_GAP, QByteArray::fromHex("1800"));
    int unused = 0;
    QCOMPARE(CDeviceIOOpera::PrinterDataIOButton(
                 &printer.handle, reinterpret_cast<const unsigned char *>(set.constData()),
                 set.size(), nullptr, unused),
             0);
    unsigned char result[frame::kResultBufferSize];
    QCOMPARE(GetPrinterInfo(&printer.handle, INFO_LABEL_GAP, result), 0);
    QCOMPARE(resultBytes(result, 3), QByteArray::fromHex("180000"));
    QCOMPARE(toQByteArray(vp.setting(INFO_LABEL_GAP)), QByteArray::fromHex("1800"));
}

void TestProtocol::refusedFrameNeverReachesTheWire()
{
    VirtualPrinter &vp = usb->addPrinter(0x0411, "RM-310", 1);
    FoundPrinter printer(1);
    const std::optional<QByteArray> tooLong =
        frame::build(frame::FrameClass::Set, INFO_SERIAL_NUMBER, QByteArray(256, 'x'));
    QCOMPARE(SendFrame(&printer.handle, tooLong), kFrameRefused);
    QCOMPARE(vp.state().opens, 0);
    QVERIFY(vp.transferLog().empty());
}

void TestProtocol::statusText_data()
{
    QTest::addColumn<uint>("word");
    QTest::addColumn<QString>("text");
    QTest::newRow("idle") << 0u << "";
    QTest::newRow("printing") << 0x0001u << "打印中\n";
    QTest::newRow("paper out, cover open") << 0x0082u << "缺纸\n开盖\n";
    QTest::newRow("paper out, job deleted") << 0x4002u << "缺纸\n打印删除\n";
    QTest::newRow("only bits 15 to 31") << 0xFFFF8000u << "";
    QTest::newRow("all fifteen") << 0x7FFFu
                                 << "打印中\n缺纸\n纸将尽\n卡纸\n碳带将尽\n无碳带\n打印头过热\n开盖"
                                    "\n定位异常（黑标或缝隙）\n"
                                    "切刀异常\n升级中\n升级异常\n指令错误\n打印暂停\n打印删除\n";
}

void TestProtocol::statusText()
{
    QFETCH(uint, word);
    QFETCH(QString, text);
    QCOMPARE(checkPrinterStatus(word), text);
}

QTEST_GUILESS_MAIN(TestProtocol)
#include "tst_protocol.moc"
