// The page codecs without window or USB: how replies decode, which frames a write sends, and what
// a write refuses before anything is sent.
#include "core/protocol/maintenancecommands.h"
#include "core/settings/bluetooth.h"
#include "core/settings/distances.h"
#include "core/settings/ethernet.h"
#include "core/settings/printsettings.h"
#include "core/settings/serialport.h"
#include "core/settings/wifi.h"
#include "core/settings/wifiip.h"

#include <QTest>
#include <cstring>

using pages::NumberField;

namespace {

// A zero-filled result buffer holding `payload` from offset 0, as GetPrinterInfo leaves it.
struct Buffer {
    explicit Buffer(const QByteArray &payload)
    {
        std::memcpy(bytes, payload.constData(), size_t(payload.size()));
    }
    unsigned char bytes[frame::kResultBufferSize] = {};
};

QString hex(const pages::SetCommand &command)
{
    if (command.isSkipped())
        return QStringLiteral("skipped");
    if (!command.frame)
        return QStringLiteral("refused");
    return QString::fromLatin1(command.frame->toHex(' ').toUpper());
}

QString setFrame(const char *codeAndPayload)
{
    return QStringLiteral("1B FF FE 01 %1 1B FE FF").arg(QLatin1String(codeAndPayload));
}

NumberField typed(const QString &text) { return NumberField{text, std::nullopt, {}}; }

} // namespace

class TestPageCodecs : public QObject
{
    Q_OBJECT
private slots:
    void wholeNumbers_data();
    void wholeNumbers();

    void printSettingsDecode_data();
    void printSettingsDecode();
    void printSettingsOrder_data();
    void printSettingsOrder();
    void printSettingsEncode_data();
    void printSettingsEncode();
    void printSettingsRefusals_data();
    void printSettingsRefusals();

    void distances_data();
    void distances();

    void serialPort_data();
    void serialPort();

    void wifiRead_data();
    void wifiRead();
    void wifiWrite_data();
    void wifiWrite();
    void bluetooth_data();
    void bluetooth();
    void addressBlocks_data();
    void addressBlocks();

    void maintenanceTable();
};

void TestPageCodecs::wholeNumbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<qint64>("value");
    QTest::newRow("zero") << "0" << true << qint64(0);
    QTest::newRow("negative") << "-4096" << true << qint64(-4096);
    QTest::newRow("18 digits") << "999999999999999999" << true << qint64(999999999999999999);
    QTest::newRow("19 digits would overflow") << "9999999999999999999" << false << qint64(0);
    QTest::newRow("empty") << "" << false << qint64(0);
    QTest::newRow("minus alone") << "-" << false << qint64(0);
    QTest::newRow("fraction") << "2.5" << false << qint64(0);
    QTest::newRow("blank before") << " 5" << false << qint64(0);
    QTest::newRow("plus sign") << "+5" << false << qint64(0);
    QTest::newRow("hex") << "0x10" << false << qint64(0);
    QTest::newRow("full-width digit") << QString::fromUtf8("１") << false << qint64(0);
}

void TestPageCodecs::wholeNumbers()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(qint64, value);
    const std::optional<qint64> parsed = pages::parseWholeNumber(text);
    QCOMPARE(parsed.has_value(), ok);
    if (ok)
        QCOMPARE(*parsed, value);
}

void TestPageCodecs::printSettingsDecode_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("shown");
    QTest::newRow("label gap 100 dots shows 12")
        << 0x19 << QByteArray::fromHex("6400") << "labelGap"
        << "12";
    QTest::newRow("gaps decode unsigned") << 0x1A << QByteArray::fromHex("F8FF") << "blackMarkGap"
                                          << "8191";
    QTest::newRow("offset truncates toward zero")
        << 0x1D << QByteArray::fromHex("F4FF") << "printOffset"
        << "-1";
    QTest::newRow("vertical offset -3 mm")
        << 0x1E << QByteArray::fromHex("E8FF") << "verticalOffset"
        << "-3";
    QTest::newRow("paper type 5 is AUTO") << 0x16 << QByteArray::fromHex("05") << "paperType"
                                          << "3";
    QTest::newRow("language 1 is ZPL") << 0x02 << QByteArray::fromHex("01") << "language"
                                       << "ZPL";
    QTest::newRow("language 2 is TSPL") << 0x02 << QByteArray::fromHex("02") << "language"
                                        << "TSPL";
    QTest::newRow("language 0 is AUTO") << 0x02 << QByteArray::fromHex("00") << "language"
                                        << "AUTO";
    QTest::newRow("language 20 is AUTO") << 0x02 << QByteArray::fromHex("20") << "language"
                                         << "AUTO";
    QTest::newRow("direction byte 02 is 180 degrees")
        << 0x1C << QByteArray::fromHex("0200") << "direction+mirror"
        << "1,0";
    QTest::newRow("mirror byte 07 mirrors")
        << 0x1C << QByteArray::fromHex("0007") << "direction+mirror"
        << "0,1";
    QTest::newRow("speed beyond the list is kept as is")
        << 0x00 << QByteArray::fromHex("09") << "speed"
        << "9";
    QTest::newRow("print method non-zero is thermal transfer")
        << 0x41 << QByteArray::fromHex("05") << "printMethod"
        << "1";
}

void TestPageCodecs::printSettingsDecode()
{
    QFETCH(int, code);
    QFETCH(QByteArray, payload);
    QFETCH(QString, field);
    QFETCH(QString, shown);
    printsettings::Values v;
    Buffer buffer(payload);
    printsettings::decode(SetInfoType(code), buffer.bytes, v);
    const QHash<QString, QString> fields = {
        {"labelGap", v.labelGap.text},
        {"blackMarkGap", v.blackMarkGap.text},
        {"printOffset", v.printOffset.text},
        {"verticalOffset", v.verticalOffset.text},
        {"paperType", QString::number(v.paperType)},
        {"language", v.commandLanguage},
        {"direction+mirror", QStringLiteral("%1,%2").arg(v.direction).arg(v.mirror)},
        {"speed", QString::number(v.speed)},
        {"printMethod", QString::number(v.printMethod)},
    };
    QCOMPARE(fields.value(field), shown);
}

void TestPageCodecs::printSettingsOrder_data()
{
    QTest::addColumn<bool>("printMethod");
    QTest::addColumn<QString>("queries");
    QTest::addColumn<QString>("commands");
    QTest::newRow("without print method") << false << "00 13 19 1A 1C 1D 1E 16 01 02"
                                          << "01 00 13 19 1A 1C 16 02 1E 1D";
    QTest::newRow("with print method") << true << "00 13 19 1A 1C 1D 1E 41 16 01 02"
                                       << "01 00 13 19 1A 1C 41 16 02 1E 1D";
}

void TestPageCodecs::printSettingsOrder()
{
    QFETCH(bool, printMethod);
    QFETCH(QString, queries);
    QFETCH(QString, commands);
    QStringList asked;
    for (SetInfoType code : printsettings::readOrder(printMethod))
        asked << QString::asprintf("%02X", code);
    QCOMPARE(asked.join(' '), queries);

    printsettings::Values v;
    v.speed = v.codePage = v.density = v.paperType = v.direction = v.mirror = v.printMethod = 0;
    v.commandLanguage = "ZPL";
    v.labelGap = v.blackMarkGap = v.printOffset = v.verticalOffset = typed("0");
    QStringList sent;
    for (printsettings::Setting s : printsettings::writeOrder(printMethod))
        sent << hex(printsettings::encode(s, v)).mid(12, 2);
    QCOMPARE(sent.join(' '), commands);
}

void TestPageCodecs::printSettingsEncode_data()
{
    using S = printsettings::Setting;
    QTest::addColumn<int>("setting");
    QTest::addColumn<QString>("gapText");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("frame");
    QTest::newRow("speed 3") << int(S::Speed) << "0" << 3 << "" << setFrame("00 01 03");
    QTest::newRow("no current item is skipped, never FF") << int(S::Speed) << "0" << -1 << ""
                                                          << "skipped";
    QTest::newRow("label gap 12 mm")
        << int(S::LabelGap) << "12" << 0 << "" << setFrame("19 02 60 00");
    QTest::newRow("label gap 8191 mm")
        << int(S::LabelGap) << "8191" << 0 << "" << setFrame("19 02 F8 FF");
    QTest::newRow("direction and mirror")
        << int(S::DirectionAndMirror) << "0" << 1 << "" << setFrame("1C 02 01 01");
    QTest::newRow("ZPL") << int(S::CommandLanguage) << "0" << 0 << "ZPL" << setFrame("02 01 01");
    QTest::newRow("TSPL") << int(S::CommandLanguage) << "0" << 0 << "TSPL" << setFrame("02 01 02");
    QTest::newRow("AUTO") << int(S::CommandLanguage) << "0" << 0 << "AUTO" << setFrame("02 01 20");
    QTest::newRow("no language selected") << int(S::CommandLanguage) << "0" << 0 << ""
                                          << "skipped";
    QTest::newRow("black mode takes the language's position")
        << int(S::BlackMode) << "0" << 0 << "AUTO" << setFrame("1F 01 02");
    QTest::newRow("reset setting takes the print method")
        << int(S::ResetSetting) << "0" << 1 << "" << setFrame("21 01 01");
    QTest::newRow("print method") << int(S::PrintMethod) << "0" << 1 << "" << setFrame("41 01 01");
}

void TestPageCodecs::printSettingsEncode()
{
    QFETCH(int, setting);
    QFETCH(QString, gapText);
    QFETCH(int, index);
    QFETCH(QString, language);
    QFETCH(QString, frame);
    printsettings::Values v;
    v.speed = v.codePage = v.density = v.paperType = v.printMethod = index;
    v.direction = v.mirror = index;
    v.commandLanguage = language;
    v.labelGap = typed(gapText);
    QCOMPARE(hex(printsettings::encode(printsettings::Setting(setting), v)), frame);
}

void TestPageCodecs::printSettingsRefusals_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("readBefore"); // the field holds 100 dots read as "12"
    QTest::addColumn<QString>("refused");
    QTest::addColumn<QString>("frame");
    const QString gap = printsettings::kLabelGap;
    const QString offset = printsettings::kPrintOffset;
    QTest::newRow("unchanged read goes back exactly")
        << gap << "12" << true << "" << setFrame("19 02 64 00");
    QTest::newRow("edited read is typed mm")
        << gap << "13" << true << "" << setFrame("19 02 68 00");
    QTest::newRow("empty gap") << gap << "" << false << gap << "";
    QTest::newRow("text") << gap << "abc" << false << gap << "";
    QTest::newRow("fraction") << gap << "2.5" << false << gap << "";
    QTest::newRow("negative gap") << gap << "-1" << false << gap << "";
    QTest::newRow("gap 8192 would wrap to 0") << gap << "8192" << false << gap << "";
    QTest::newRow("huge gap") << gap << "300000000" << false << gap << "";
    QTest::newRow("offset -4096") << offset << "-4096" << false << "" << setFrame("1D 02 00 80");
    QTest::newRow("offset 4095") << offset << "4095" << false << "" << setFrame("1D 02 F8 7F");
    QTest::newRow("offset -4097") << offset << "-4097" << false << offset << "";
    QTest::newRow("offset 4096") << offset << "4096" << false << offset << "";
}

void TestPageCodecs::printSettingsRefusals()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(bool, readBefore);
    QFETCH(QString, refused);
    QFETCH(QString, frame);
    printsettings::Values v;
    v.labelGap = v.blackMarkGap = v.printOffset = v.verticalOffset = typed("0");
    NumberField f = readBefore ? NumberField::fromRead(100, "12") : NumberField{};
    f.text = text;
    const bool gap = field == printsettings::kLabelGap;
    (gap ? v.labelGap : v.printOffset) = f;
    const std::optional<pages::Refusal> refusal = printsettings::validate(v);
    QCOMPARE(refusal ? refusal->field : QString(), refused);
    if (refusal) {
        QCOMPARE(refusal->min, gap ? qint64(0) : qint64(-4096));
        QCOMPARE(refusal->max, gap ? qint64(8191) : qint64(4095));
    } else {
        const auto setting =
            gap ? printsettings::Setting::LabelGap : printsettings::Setting::PrintOffset;
        QCOMPARE(hex(printsettings::encode(setting, v)), frame);
    }
}

void TestPageCodecs::distances_data()
{
    QTest::addColumn<int>("distance");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("frame"); // "refused" when validate() refuses the typed text
    using D = distances::Distance;
    QTest::newRow("50 00 shows 10, 12 mm goes as 60 00")
        << int(D::ExitToHead) << QByteArray::fromHex("5000") << "10"
        << "12" << setFrame("33 02 60 00");
    QTest::newRow("F0 FF shows -2, -2 goes as F0 FF")
        << int(D::GapToHead) << QByteArray::fromHex("F0FF") << "-2"
        << "-2" << setFrame("34 02 F0 FF");
    QTest::newRow("F4 FF shows -1, unchanged goes back as F4 FF")
        << int(D::BlackMarkToHead) << QByteArray::fromHex("F4FF") << "-1"
        << "-1" << setFrame("35 02 F4 FF");
    QTest::newRow("tear-off in dots: 30 00 shows 48, 300 goes as 2C 01")
        << int(D::HeadToTear) << QByteArray::fromHex("3000") << "48"
        << "300" << setFrame("36 02 2C 01");
    QTest::newRow("tear-off 32767") << int(D::HeadToTear) << QByteArray::fromHex("0000") << "0"
                                    << "32767" << setFrame("36 02 FF 7F");
    QTest::newRow("tear-off 32768 refused")
        << int(D::HeadToTear) << QByteArray::fromHex("0000") << "0"
        << "32768"
        << "refused";
    QTest::newRow("mm 4096 refused") << int(D::ExitToHead) << QByteArray::fromHex("0000") << "0"
                                     << "4096"
                                     << "refused";
    QTest::newRow("empty refused, not sent as 0")
        << int(D::GapToHead) << QByteArray::fromHex("0000") << "0"
        << ""
        << "refused";
}

void TestPageCodecs::distances()
{
    QFETCH(int, distance);
    QFETCH(QByteArray, reply);
    QFETCH(QString, shown);
    QFETCH(QString, typed);
    QFETCH(QString, frame);
    const auto d = distances::Distance(distance);
    distances::Values v;
    v.exitToHead = v.gapToHead = v.blackMarkToHead = v.headToTear = ::typed("0");
    Buffer buffer(reply);
    distances::decode(distances::code(d), buffer.bytes, v);
    NumberField *fields[] = {&v.exitToHead, &v.gapToHead, &v.blackMarkToHead, &v.headToTear};
    NumberField &field = *fields[distance];
    QCOMPARE(field.text, shown);
    field.text = typed;
    const std::optional<pages::Refusal> refusal = distances::validate(v);
    QCOMPARE(refusal ? refusal->field : QString(), frame == "refused" ? distances::key(d) : "");
    if (!refusal)
        QCOMPARE(hex(distances::encode(d, v)), frame);
}

void TestPageCodecs::serialPort_data()
{
    QTest::addColumn<QByteArray>("lineReply");
    QTest::addColumn<QByteArray>("identification");
    QTest::addColumn<QByteArray>("serialReply"); // empty: the serial query failed
    QTest::addColumn<QString>("deviceInformation");
    QTest::addColumn<QString>("lineFrame");
    QTest::addColumn<QString>("serialFrame");
    QTest::newRow("115200 8N1, five texts, AB")
        << QByteArray::fromHex("07000000") << QByteArray("V\0W\0X\0Y\0Z\0", 10)
        << QByteArray("AB\0", 3) << "X" << setFrame("0E 04 07 00 00 00")
        << setFrame("10 03 41 42 00");
    QTest::newRow("two texts only: empty information")
        << QByteArray::fromHex("01010101") << QByteArray("V\0W\0", 4) << QByteArray("\0", 1) << ""
        << setFrame("0E 04 01 01 01 01") << setFrame("10 01 00");
    QTest::newRow("baud index beyond the list skips the whole line frame")
        << QByteArray::fromHex("14000000") << QByteArray("V\0W\0X\0Y\0Z\0", 10)
        << QByteArray("S1\0", 3) << "X"
        << "skipped" << setFrame("10 03 53 31 00");
    QTest::newRow("serial number not read: not written")
        << QByteArray::fromHex("07000000") << QByteArray("V\0W\0X\0Y\0Z\0", 10) << QByteArray()
        << "X" << setFrame("0E 04 07 00 00 00") << "skipped";
    QTest::newRow("254 bytes is the longest serial number")
        << QByteArray::fromHex("07000000") << QByteArray("V\0W\0X\0Y\0Z\0", 10)
        << QByteArray(254, 'S') << "X" << setFrame("0E 04 07 00 00 00")
        << setFrame(qPrintable("10 FF " + QString("53 ").repeated(254) + "00"));
    QTest::newRow("255 bytes without NUL is refused")
        << QByteArray::fromHex("07000000") << QByteArray("V\0W\0X\0Y\0Z\0", 10)
        << QByteArray(255, 'S') << "X" << setFrame("0E 04 07 00 00 00") << "refused";
}

void TestPageCodecs::serialPort()
{
    QFETCH(QByteArray, lineReply);
    QFETCH(QByteArray, identification);
    QFETCH(QByteArray, serialReply);
    QFETCH(QString, deviceInformation);
    QFETCH(QString, lineFrame);
    QFETCH(QString, serialFrame);
    serialport::Values v;
    serialport::decode(INFO_SERIAL_PORT, Buffer(lineReply).bytes, v);
    serialport::decode(INFO_DEVICE_IDENTIFICATION, Buffer(identification).bytes, v);
    if (!serialReply.isEmpty())
        serialport::decode(INFO_SERIAL_NUMBER, Buffer(serialReply).bytes, v);
    QCOMPARE(v.deviceInformation.value_or("none"), deviceInformation);
    // A list index beyond its box reaches the window as "no current item".
    if (v.baudRate > 16)
        v.baudRate = pages::kNoItem;
    QCOMPARE(hex(serialport::encode(serialport::Command::LineParameters, v)), lineFrame);
    const std::optional<pages::Refusal> refusal = serialport::validate(v);
    if (serialFrame == "refused") {
        QVERIFY(refusal);
        QCOMPARE(refusal->field, serialport::kSerialNumber);
        QCOMPARE(refusal->reason, pages::Refusal::Reason::TooLong);
    } else {
        QVERIFY(!refusal);
        QCOMPARE(hex(serialport::encode(serialport::Command::SerialNumber, v)), serialFrame);
    }
}

QString refusalText(const std::optional<pages::Refusal> &refusal)
{
    if (!refusal)
        return {};
    static const char *reasons[] = {"number", "too long", "NUL",          "address",    "no AP IP",
                                    "mask",   "not UTF-8", "leading zero", "not a host", "PIN"};
    return QStringLiteral("%1: %2").arg(refusal->field, reasons[int(refusal->reason)]);
}

void TestPageCodecs::wifiRead_data()
{
    QTest::addColumn<QByteArray>("mode");
    QTest::addColumn<QByteArray>("network");
    QTest::addColumn<QString>("shown"); // mode|station name|password|AP name|password|IP
    QTest::newRow("mode 01: station")
        << QByteArray::fromHex("01") << QByteArray("Office\0secret\0", 14) << "0|Office|secret|||";
    QTest::newRow("mode 02: access point, empty password")
        << QByteArray::fromHex("02")
        << QByteArray::fromHex("6170000031393"
                               "22E3136382E342E3100")
        << "1|||ap||192.168.4.1";
    QTest::newRow("mode 00 is an access point too") << QByteArray::fromHex("00")
                                                    << QByteArray("ap\0pw\0"
                                                                  "10.0.0.1\0",
                                                                  15)
                                                    << "1|||ap|pw|10.0.0.1";
}

void TestPageCodecs::wifiRead()
{
    QFETCH(QByteArray, mode);
    QFETCH(QByteArray, network);
    QFETCH(QString, shown);
    wifi::Values v;
    v.stationName = v.stationPassword = v.accessPointName = v.accessPointPassword = "old";
    v.accessPointIp = "old";
    wifi::decode(wifi::kModeQuery, Buffer(mode).bytes, v);
    const SetInfoType next = wifi::networkQuery(v);
    QCOMPARE(next, v.mode == wifi::kStation ? INFO_WIFI_STATION : INFO_WIFI_ACCESS_POINT);
    wifi::decode(next, Buffer(network).bytes, v);
    QCOMPARE(QStringList({QString::number(v.mode), v.stationName, v.stationPassword,
                          v.accessPointName, v.accessPointPassword, v.accessPointIp})
                 .join('|'),
             shown);

    wifi::decode(INFO_WIFI_TCP_PORT, Buffer(QByteArray::fromHex("8C23")).bytes, v);
    QCOMPARE(v.tcpPort, QStringLiteral("9100"));
    // Two digits a byte: 00 0A and 0A 00 must not look alike.
    wifi::decode(INFO_MAC_ADDRESSES,
                 Buffer(QByteArray::fromHex("0011 22AA BB0C 000A 1B2C 3D4E")).bytes, v);
    QCOMPARE(v.wifiMac, QStringLiteral("001122aabb0c"));
    QCOMPARE(v.bluetoothMac, QStringLiteral("000a1b2c3d4e"));
}

void TestPageCodecs::wifiWrite_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("stationName");
    QTest::addColumn<QString>("apIp");
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("refused");
    QTest::addColumn<QStringList>("frames");
    const QString port9100 = setFrame("29 02 8C 23");
    QTest::newRow("AP with its address")
        << wifi::kAccessPoint << ""
        << "192.168.4.1"
        << "9100"
        << ""
        << QStringList{setFrame("30 01 02"),
                       setFrame("27 10 61 70 00 00 31 39 32 2E 31 36 38 2E 34 2E 31 00"), port9100};
    QTest::newRow("station") << wifi::kStation << "Office"
                             << "..."
                             << "9100"
                             << ""
                             << QStringList{setFrame("30 01 01"),
                                            setFrame("26 08 4F 66 66 69 63 65 00 00"), port9100};
    QTest::newRow("AP without its address would erase the station network")
        << wifi::kAccessPoint << ""
        << "..."
        << "9100"
        << "ap-ip: no AP IP" << QStringList();
    QTest::newRow("AP address cut short") << wifi::kAccessPoint << ""
                                          << "192.168.4."
                                          << "9100"
                                          << "ap-ip: address" << QStringList();
    QTest::newRow("AP address group 999") << wifi::kAccessPoint << ""
                                          << "999.1.1.1"
                                          << "9100"
                                          << "ap-ip: address" << QStringList();
    QTest::newRow("port 70000 would wrap") << wifi::kStation << ""
                                           << "..."
                                           << "70000"
                                           << "tcp-port: number" << QStringList();
    QTest::newRow("port 0 reaches no one") << wifi::kStation << ""
                                           << "..."
                                           << "0"
                                           << "tcp-port: number" << QStringList();
    QTest::newRow("empty port") << wifi::kStation << ""
                                << "..."
                                << ""
                                << "tcp-port: number" << QStringList();
    QTest::newRow("name with a NUL") << wifi::kStation << QString("a") + QChar(0) + "b"
                                     << "..."
                                     << "9100"
                                     << "station-name: NUL" << QStringList();
    // A name that fits the frame but no network: SSIDs are at most 32 bytes.
    QTest::newRow("253-byte name fits the frame, not a network")
        << wifi::kStation << QString(253, 'n') << "..."
        << "1"
        << "station-name: too long" << QStringList();
    QTest::newRow("254-byte name leaves no room for the password's NUL")
        << wifi::kStation << QString(254, 'n') << "..."
        << "1"
        << "station-password: too long" << QStringList();
    QTest::newRow("no mode selected: no mode frame, station network")
        << -1 << ""
        << "..."
        << "65535"
        << "" << QStringList{setFrame("26 02 00 00"), setFrame("29 02 FF FF")};
}

void TestPageCodecs::wifiWrite()
{
    QFETCH(int, mode);
    QFETCH(QString, stationName);
    QFETCH(QString, apIp);
    QFETCH(QString, port);
    QFETCH(QString, refused);
    QFETCH(QStringList, frames);
    wifi::Values v;
    v.mode = mode;
    v.stationName = stationName;
    v.accessPointName = "ap";
    v.accessPointIp = apIp;
    v.tcpPort = port;
    QCOMPARE(refusalText(wifi::validate(v)), refused);
    if (!refused.isEmpty())
        return;
    QStringList sent;
    for (wifi::Command c : wifi::writeOrder(v)) {
        const QString f = hex(wifi::encode(c, v));
        if (f != "skipped")
            sent << f;
    }
    QCOMPARE(sent, frames);
}

void TestPageCodecs::bluetooth_data()
{
    QTest::addColumn<QByteArray>("sppReply");
    QTest::addColumn<QByteArray>("modeReply");
    QTest::addColumn<QString>("ble");
    QTest::addColumn<QString>("pin");
    QTest::addColumn<QString>("refused");
    QTest::addColumn<QStringList>("frames");
    QTest::newRow("name after its NUL is ignored; PIN pairing")
        << QByteArray("SPP\0junk", 8) << QByteArray::fromHex("01") << "abc"
        << "1234"
        << ""
        << QStringList{setFrame("2B 04 53 50 50 00"), setFrame("2C 04 61 62 63 00"),
                       setFrame("2F 01 01"), setFrame("2E 05 31 32 33 34 00")};
    QTest::newRow("empty name; mode 02 has no item and is not sent as FF")
        << QByteArray() << QByteArray::fromHex("02") << ""
        << "0000"
        << ""
        << QStringList{setFrame("2B 01 00"), setFrame("2C 01 00"),
                       setFrame("2E 05 30 30 30 30 00")};
    QTest::newRow("255-byte BLE name")
        << QByteArray() << QByteArray::fromHex("00") << QString(255, 'b') << ""
        << "ble-name: too long" << QStringList();
    QTest::newRow("PIN with a NUL") << QByteArray() << QByteArray::fromHex("00") << ""
                                    << QString("12") + QChar(0) << "pin: NUL" << QStringList();
}

void TestPageCodecs::bluetooth()
{
    QFETCH(QByteArray, sppReply);
    QFETCH(QByteArray, modeReply);
    QFETCH(QString, ble);
    QFETCH(QString, pin);
    QFETCH(QString, refused);
    QFETCH(QStringList, frames);
    bluetooth::Values v;
    bluetooth::decode(INFO_BLUETOOTH_SPP_NAME, Buffer(sppReply).bytes, v);
    bluetooth::decode(INFO_BLUETOOTH_SPP_MODE, Buffer(modeReply).bytes, v);
    if (v.pairingMode > 1)
        v.pairingMode = pages::kNoItem; // the box has two items
    v.bleName = ble;
    v.pin = pin;
    QCOMPARE(refusalText(bluetooth::validate(v)), refused);
    if (!refused.isEmpty())
        return;
    QStringList sent;
    for (SetInfoType code : bluetooth::order()) {
        const QString f = hex(bluetooth::encode(code, v));
        if (f != "skipped")
            sent << f;
    }
    QCOMPARE(sent, frames);
}

void TestPageCodecs::addressBlocks_data()
{
    // Both address pages; their mode bytes mean opposite things.
    QTest::addColumn<bool>("ethernet");
    QTest::addColumn<QByteArray>("reply"); // empty: no read, the fields below as typed
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("addresses");
    QTest::addColumn<QString>("refused");
    QTest::addColumn<QString>("frame");
    const QString untouched = "...";
    QTest::newRow("wifi: DHCP off needs complete addresses")
        << false << QByteArray() << wifiip::kDhcpOff
        << QStringList{untouched, untouched, untouched, untouched} << "ip: address"
        << "";
    QTest::newRow("wifi: DHCP on sends untouched fields as zeros")
        << false << QByteArray() << wifiip::kDhcpOn
        << QStringList{untouched, untouched, untouched, untouched} << ""
        << setFrame(qPrintable("28 11 01" + QString(" 00").repeated(16)));
    QTest::newRow("wifi: DHCP on refuses a half-filled field")
        << false << QByteArray() << wifiip::kDhcpOn
        << QStringList{untouched, "255.255..", untouched, untouched} << "mask: address"
        << "";
    QTest::newRow("wifi: group 300 is refused, not sent as 2C")
        << false << QByteArray() << wifiip::kDhcpOff
        << QStringList{"192.168.1.300", "255.255.255.0", "192.168.1.1", "8.8.8.8"} << "ip: address"
        << "";
    QTest::newRow("wifi: addresses, DHCP on")
        << false << QByteArray() << wifiip::kDhcpOn
        << QStringList{"192.168.1.10", "255.255.255.0", "192.168.1.1", "8.8.8.8"} << ""
        << setFrame("28 11 01 C0 A8 01 0A FF FF FF 00 C0 A8 01 01 08 08 08 08");
    QTest::newRow("wifi: mode 05 reads as DHCP on, its DNS comes back unchanged")
        << false << QByteArray::fromHex("05C0A8010AFFFFFF00C0A8010101020304") << -1 << QStringList()
        << "" << setFrame("28 11 01 C0 A8 01 0A FF FF FF 00 C0 A8 01 01 01 02 03 04");
    QTest::newRow("ethernet: mode 00 is DHCP on")
        << true << QByteArray::fromHex("00C0A80164FFFFFF00C0A80101") << -1 << QStringList() << ""
        << setFrame("0D 0D 00 C0 A8 01 64 FF FF FF 00 C0 A8 01 01");
    QTest::newRow("ethernet: mode 07 is DHCP off, written back as 01")
        << true << QByteArray::fromHex("07C0A80164FFFFFF00C0A80101") << -1 << QStringList() << ""
        << setFrame("0D 0D 01 C0 A8 01 64 FF FF FF 00 C0 A8 01 01");
    QTest::newRow("ethernet: fixed address")
        << true << QByteArray() << ethernet::kDhcpOff
        << QStringList{"10.0.0.5", "255.0.0.0", "10.0.0.1"} << ""
        << setFrame("0D 0D 01 0A 00 00 05 FF 00 00 00 0A 00 00 01");
    QTest::newRow("wifi: a mask with a hole")
        << false << QByteArray() << wifiip::kDhcpOn
        << QStringList{"192.168.1.10", "255.0.255.0", "192.168.1.1", "8.8.8.8"} << "mask: mask"
        << "";
    QTest::newRow("ethernet: a mask of 31 ones")
        << true << QByteArray() << ethernet::kDhcpOff
        << QStringList{"10.0.0.5", "255.255.255.254", "10.0.0.1"} << ""
        << setFrame("0D 0D 01 0A 00 00 05 FF FF FF FE 0A 00 00 01");
    QTest::newRow("ethernet: zeros, then ones")
        << true << QByteArray() << ethernet::kDhcpOff
        << QStringList{"10.0.0.5", "0.255.255.255", "10.0.0.1"} << "mask: mask"
        << "";
    QTest::newRow("ethernet: one bit out of place")
        << true << QByteArray() << ethernet::kDhcpOff
        << QStringList{"10.0.0.5", "255.255.253.0", "10.0.0.1"} << "mask: mask"
        << "";
    QTest::newRow("ethernet: DHCP off, gateway missing")
        << true << QByteArray() << ethernet::kDhcpOff
        << QStringList{"10.0.0.5", "255.0.0.0", untouched} << "gateway: address"
        << "";
}

void TestPageCodecs::addressBlocks()
{
    QFETCH(bool, ethernet);
    QFETCH(QByteArray, reply);
    QFETCH(int, mode);
    QFETCH(QStringList, addresses);
    QFETCH(QString, refused);
    QFETCH(QString, frame);
    if (ethernet) {
        ethernet::Values v;
        v.tcpPort = "9100";
        v.udpPort = "9101";
        if (!reply.isEmpty()) {
            ethernet::decode(INFO_ETHERNET_ADDRESS, Buffer(reply).bytes, v);
        } else {
            v.mode = mode;
            v.ip = addresses[0];
            v.mask = addresses[1];
            v.gateway = addresses[2];
        }
        QCOMPARE(refusalText(ethernet::validate(v)), refused);
        if (refused.isEmpty()) {
            QCOMPARE(hex(ethernet::encode(INFO_ETHERNET_ADDRESS, v)), frame);
            QCOMPARE(hex(ethernet::encode(INFO_ETHERNET_PORTS, v)), setFrame("0F 04 8C 23 8D 23"));
        } else {
            // Not built even when the check is skipped.
            QVERIFY(!ethernet::encode(INFO_ETHERNET_ADDRESS, v).frame);
        }
        return;
    }
    wifiip::Values v;
    v.dns = "9.9.9.9"; // another printer's, left in the field
    if (!reply.isEmpty()) {
        wifiip::decode(Buffer(reply).bytes, v);
        QVERIFY(!v.dnsEnabled);
    } else {
        v.mode = mode;
        v.ip = addresses[0];
        v.mask = addresses[1];
        v.gateway = addresses[2];
        v.dns = addresses[3];
    }
    QCOMPARE(refusalText(wifiip::validate(v)), refused);
    if (refused.isEmpty())
        QCOMPARE(hex(wifiip::encode(v)), frame);
    else
        QVERIFY(!wifiip::encode(v).frame);
}

void TestPageCodecs::maintenanceTable()
{
    int count = 0;
    const maintenance::Command *all = maintenance::commands(&count);
    QCOMPARE(count, 16);
    QSet<QString> buttons, names;
    for (int i = 0; i < count; ++i) {
        buttons << all[i].button;
        names << all[i].name;
        QCOMPARE(maintenance::commandNamed(all[i].name), &all[i]);
    }
    QCOMPARE(buttons.size(), 16);
    QCOMPARE(names.size(), 16);
}

QTEST_GUILESS_MAIN(TestPageCodecs)
#include "tst_pagecodecs.moc"
