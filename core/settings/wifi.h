#pragma once

#include "core/protocol/codes.h"
#include "core/settings/pagefields.h"
#include "core/settings/setcommand.h"

#include <QString>
#include <optional>
#include <vector>

// The Wi-Fi page without widgets or USB: the mode, the network of the mode, the TCP port and
// the two MAC addresses.
namespace wifi {

constexpr int kStation = 0;     // "STA", 01 on the wire
constexpr int kAccessPoint = 1; // "AP", 02 on the wire

struct Values {
    int mode = pages::kNoItem;
    QString stationName;
    QString stationPassword;
    QString accessPointName;
    QString accessPointPassword;
    QString accessPointIp; // dotted text as the field gives it
    QString tcpPort;
    QString wifiMac;      // two lower-case hex digits per byte
    QString bluetoothMac; // shown on the Bluetooth page
};

inline const QString kStationName = QStringLiteral("station-name");
inline const QString kStationPassword = QStringLiteral("station-password");
inline const QString kAccessPointName = QStringLiteral("ap-name");
inline const QString kAccessPointPassword = QStringLiteral("ap-password");
inline const QString kAccessPointIp = QStringLiteral("ap-ip");
inline const QString kTcpPort = QStringLiteral("tcp-port");

constexpr pages::NumberRange kPortRange = pages::kServicePortRange;

enum class Command { Mode, Station, AccessPoint, TcpPort };

// The read asks the mode first; the network query depends on it and is skipped when the mode
// query failed. Then the port and the MAC addresses.
constexpr SetInfoType kModeQuery = INFO_WIFI_MODE;
SetInfoType networkQuery(const Values &values);
std::vector<SetInfoType> closingQueries();
void decode(SetInfoType code, const unsigned char *payload, Values &values);

// Six bytes as twelve lower-case hex digits.
QString macText(const unsigned char *bytes);

// The mode, then the network of the mode (the access point's in access-point mode, else the
// station's), then the port.
std::vector<Command> writeOrder(const Values &values);
std::optional<pages::Refusal> validate(const Values &values);
// A network name (SSID) is at most 32 bytes: no station or access point takes a longer one.
constexpr int kMaxNetworkNameBytes = 32;
std::optional<pages::Refusal> checkNetworkName(const QString &key, const QString &name);
pages::SetCommand encode(Command command, const Values &values);
// What a write of the page sends, in writeOrder(values). Call validate() first.
std::vector<pages::SetCommand> writeCommands(const Values &values);

} // namespace wifi
