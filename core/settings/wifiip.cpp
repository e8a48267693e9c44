#include "core/settings/wifiip.h"

#include "core/settings/pageslog.h"

namespace wifiip {

void decode(const unsigned char *payload, Values &v)
{
    v.mode = payload[0] != 0 ? kDhcpOn : kDhcpOff;
    v.ip = pages::addressText(payload + 1);
    v.mask = pages::addressText(payload + 5);
    v.gateway = pages::addressText(payload + 9);
    // The printer's own DNS, also with DHCP on (where the field only shows it), so that a write
    // without edits sends it back rather than whatever text the field held before.
    v.dns = pages::addressText(payload + 13);
    v.dnsEnabled = v.mode == kDhcpOff;
    qCDebug(lcPages).noquote() << "ip" << v.ip;
    qCDebug(lcPages).noquote() << "numString:" << v.mask;
    qCDebug(lcPages).noquote() << "sumString:" << v.gateway;
    if (v.mode == kDhcpOff)
        qCDebug(lcPages).noquote() << "DNSString:" << v.dns;
}

std::optional<pages::Refusal> validate(const Values &v)
{
    if (auto refusal = pages::checkAddresses(
            {{kIp, v.ip}, {kMask, v.mask}, {kGateway, v.gateway}, {kDns, v.dns}},
            v.mode == kDhcpOn))
        return refusal;
    // With DHCP on the address is the server's to give; the field only shows it.
    if (v.mode != kDhcpOn)
        if (auto refusal = pages::checkHostAddress(kIp, v.ip, false))
            return refusal;
    return pages::checkMask(kMask, v.mask, v.mode == kDhcpOn);
}

pages::SetCommand encode(const Values &v)
{
    if (v.mode < 0 || v.mode > kDhcpOn)
        return pages::SetCommand::skipped("IP mode: no current item");
    const std::optional<QByteArray> block =
        pages::addressBlock(uint8_t(v.mode), {v.ip, v.mask, v.gateway, v.dns}, v.mode == kDhcpOn);
    if (!block || pages::checkMask(kMask, v.mask, v.mode == kDhcpOn))
        return {};
    return pages::SetCommand::of(kCode, *block);
}

std::vector<pages::SetCommand> writeCommands(const Values &values) { return {encode(values)}; }

} // namespace wifiip
