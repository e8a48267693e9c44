#include "core/settings/wifi.h"

#include "core/settings/pageslog.h"

namespace wifi {

namespace {
constexpr int kMacBytes = 6;

bool sendsAccessPoint(const Values &v) { return v.mode == kAccessPoint; }
} // namespace

SetInfoType networkQuery(const Values &values)
{
    return values.mode == kStation ? INFO_WIFI_STATION : INFO_WIFI_ACCESS_POINT;
}

std::vector<SetInfoType> closingQueries() { return {INFO_WIFI_TCP_PORT, INFO_MAC_ADDRESSES}; }

QString macText(const unsigned char *bytes)
{
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char *>(bytes), kMacBytes).toHex());
}

void decode(SetInfoType code, const unsigned char *payload, Values &values)
{
    switch (code) {
    case INFO_WIFI_MODE:
        values.mode = payload[0] == 1 ? kStation : kAccessPoint;
        break;
    case INFO_WIFI_STATION: {
        const QList<QByteArray> texts = pages::replyTexts(payload, 2);
        values.stationName = QString::fromUtf8(texts.value(0));
        values.stationPassword = QString::fromUtf8(texts.value(1));
        qCDebug(lcPages).noquote() << "nameString:" << values.stationName;
        qCDebug(lcPages).noquote() << "passwordString:" << values.stationPassword;
        values.accessPointName.clear();
        values.accessPointPassword.clear();
        values.accessPointIp.clear();
        break;
    }
    case INFO_WIFI_ACCESS_POINT: {
        const QList<QByteArray> texts = pages::replyTexts(payload, 3);
        if (texts.size() < 3) {
            qCDebug(lcPages, "Error: Invalid data format!");
            break;
        }
        values.accessPointName = QString::fromUtf8(texts[0]);
        values.accessPointPassword = QString::fromUtf8(texts[1]);
        values.accessPointIp = QString::fromUtf8(texts[2]);
        qCDebug(lcPages).noquote() << "nameString:" << values.accessPointName;
        qCDebug(lcPages).noquote() << "passwordString:" << values.accessPointPassword;
        qCDebug(lcPages).noquote() << "ipString:" << values.accessPointIp;
        values.stationName.clear();
        values.stationPassword.clear();
        break;
    }
    case INFO_WIFI_TCP_PORT:
        values.tcpPort = QString::number(frame::readUint16Le(payload));
        break;
    case INFO_MAC_ADDRESSES:
        values.wifiMac = macText(payload);
        values.bluetoothMac = macText(payload + kMacBytes);
        break;
    default:
        break;
    }
}

std::vector<Command> writeOrder(const Values &values)
{
    return {Command::Mode, sendsAccessPoint(values) ? Command::AccessPoint : Command::Station,
            Command::TcpPort};
}

std::optional<pages::Refusal> validate(const Values &v)
{
    std::optional<pages::Refusal> refusal;
    if (sendsAccessPoint(v)) {
        // Without the access point's address the station command would go out instead, with the
        // station fields an access-point read left empty: the printer's network would be erased.
        if (pages::isUntouchedAddress(v.accessPointIp))
            return pages::Refusal{kAccessPointIp, pages::Refusal::Reason::AccessPointIpMissing};
        refusal = pages::checkHostAddress(kAccessPointIp, v.accessPointIp, false);
        if (!refusal)
            refusal = pages::checkTexts({{kAccessPointName, v.accessPointName},
                                         {kAccessPointPassword, v.accessPointPassword},
                                         {kAccessPointIp, v.accessPointIp}});
        if (!refusal)
            refusal = checkNetworkName(kAccessPointName, v.accessPointName);
    } else {
        refusal = pages::checkTexts(
            {{kStationName, v.stationName}, {kStationPassword, v.stationPassword}});
        if (!refusal)
            refusal = checkNetworkName(kStationName, v.stationName);
    }
    if (refusal)
        return refusal;
    return pages::checkNumber(kTcpPort, pages::NumberField{v.tcpPort, {}, {}}, kPortRange);
}

std::optional<pages::Refusal> checkNetworkName(const QString &key, const QString &name)
{
    if (name.toLocal8Bit().size() > kMaxNetworkNameBytes)
        return pages::Refusal{key, pages::Refusal::Reason::TooLong, 0, kMaxNetworkNameBytes};
    return std::nullopt;
}

pages::SetCommand encode(Command command, const Values &v)
{
    switch (command) {
    case Command::Mode:
        if (v.mode < 0)
            return pages::SetCommand::skipped("wifi mode: no current item");
        return pages::SetCommand::of(INFO_WIFI_MODE, QByteArray(1, char(v.mode + 1)));
    case Command::AccessPoint:
        return pages::SetCommand::of(
            INFO_WIFI_ACCESS_POINT,
            pages::nulTerminated({v.accessPointName, v.accessPointPassword, v.accessPointIp}));
    case Command::Station:
        return pages::SetCommand::of(INFO_WIFI_STATION,
                                     pages::nulTerminated({v.stationName, v.stationPassword}));
    case Command::TcpPort: {
        const std::optional<qint64> port =
            pages::wireValue(pages::NumberField{v.tcpPort, {}, {}}, kPortRange);
        if (!port)
            return {};
        return pages::SetCommand::of(INFO_WIFI_TCP_PORT, frame::uint16Le(uint16_t(*port)));
    }
    }
    return pages::SetCommand::skipped("unknown command");
}

std::vector<pages::SetCommand> writeCommands(const Values &values)
{
    return pages::encodeEach(writeOrder(values), values, encode);
}

} // namespace wifi
