#pragma once

#include "core/protocol/codes.h"
#include "core/settings/pagefields.h"
#include "core/settings/setcommand.h"

#include <QString>
#include <optional>
#include <vector>

// The Wi-Fi IP page without widgets or USB: one 17-byte block (mode, IP, mask, gateway, DNS) read
// with query 0x28 and written with command 0x28. The mode byte is the selector index:
// 0 "DHCP OFF", 1 "DHCP ON".
namespace wifiip {

constexpr int kDhcpOff = 0;
constexpr int kDhcpOn = 1;

struct Values {
    int mode = pages::kNoItem;
    QString ip, mask, gateway, dns;
    bool dnsEnabled = true; // the DNS field is for editing only with DHCP off
};

inline const QString kIp = QStringLiteral("ip");
inline const QString kMask = QStringLiteral("mask");
inline const QString kGateway = QStringLiteral("gateway");
inline const QString kDns = QStringLiteral("dns");

constexpr SetInfoType kCode = INFO_WIFI_IP;
void decode(const unsigned char *payload, Values &values);
std::optional<pages::Refusal> validate(const Values &values);
pages::SetCommand encode(const Values &values);
// What a write of the page sends: the one block. Call validate() first.
std::vector<pages::SetCommand> writeCommands(const Values &values);

} // namespace wifiip
