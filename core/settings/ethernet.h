#pragma once

#include "core/protocol/codes.h"
#include "core/settings/pagefields.h"
#include "core/settings/setcommand.h"

#include <QString>
#include <optional>
#include <vector>

// The Ethernet page without widgets or USB: the 13-byte address block 0x0D (mode, IP, mask,
// gateway) and the port block 0x0F (TCP and UDP). The mode byte is the selector index, whose
// items run the other way round from the Wi-Fi IP page: 0 "DHCP ON", 1 "DHCP OFF".
namespace ethernet {

constexpr int kDhcpOn = 0;
constexpr int kDhcpOff = 1;

struct Values {
    int mode = pages::kNoItem;
    QString ip, mask, gateway;
    QString tcpPort, udpPort;
};

inline const QString kIp = QStringLiteral("ip");
inline const QString kMask = QStringLiteral("mask");
inline const QString kGateway = QStringLiteral("gateway");
inline const QString kTcpPort = QStringLiteral("tcp-port");
inline const QString kUdpPort = QStringLiteral("udp-port");

constexpr pages::NumberRange kPortRange = pages::kServicePortRange;

// Read: ports, then addresses. Write: addresses, then ports.
std::vector<SetInfoType> readOrder();
std::vector<SetInfoType> writeOrder();
void decode(SetInfoType code, const unsigned char *payload, Values &values);
std::optional<pages::Refusal> validate(const Values &values);
pages::SetCommand encode(SetInfoType code, const Values &values);
// What a write of the page sends, in writeOrder(). Call validate() first.
std::vector<pages::SetCommand> writeCommands(const Values &values);

} // namespace ethernet
