#include "core/settings/ethernet.h"

#include "core/settings/pageslog.h"

namespace ethernet {

namespace {

std::optional<qint64> port(const QString &text)
{
    return pages::wireValue(pages::NumberField{text, {}, {}}, kPortRange);
}

} // namespace

std::vector<SetInfoType> readOrder() { return {INFO_ETHERNET_PORTS, INFO_ETHERNET_ADDRESS}; }
std::vector<SetInfoType> writeOrder() { return {INFO_ETHERNET_ADDRESS, INFO_ETHERNET_PORTS}; }

void decode(SetInfoType code, const unsigned char *payload, Values &v)
{
    if (code == INFO_ETHERNET_PORTS) {
        v.tcpPort = QString::number(frame::readUint16Le(payload));
        v.udpPort = QString::number(frame::readUint16Le(payload + 2));
    } else if (code == INFO_ETHERNET_ADDRESS) {
        v.mode = payload[0] == 0 ? kDhcpOn : kDhcpOff;
        v.ip = pages::addressText(payload + 1);
        v.mask = pages::addressText(payload + 5);
        v.gateway = pages::addressText(payload + 9);
    }
}

std::optional<pages::Refusal> validate(const Values &v)
{
    if (auto refusal = pages::checkAddresses({{kIp, v.ip}, {kMask, v.mask}, {kGateway, v.gateway}},
                                             v.mode == kDhcpOn))
        return refusal;
    // With DHCP on the address is the server's to give; the field only shows it.
    if (v.mode != kDhcpOn)
        if (auto refusal = pages::checkHostAddress(kIp, v.ip, false))
            return refusal;
    if (auto refusal = pages::checkMask(kMask, v.mask, v.mode == kDhcpOn))
        return refusal;
    if (auto refusal = pages::checkNumber(kTcpPort, {v.tcpPort, {}, {}}, kPortRange))
        return refusal;
    return pages::checkNumber(kUdpPort, {v.udpPort, {}, {}}, kPortRange);
}

pages::SetCommand encode(SetInfoType code, const Values &v)
{
    if (code == INFO_ETHERNET_ADDRESS) {
        if (v.mode < 0 || v.mode > kDhcpOff)
            return pages::SetCommand::skipped("Ethernet IP mode: no current item");
        const std::optional<QByteArray> block =
            pages::addressBlock(uint8_t(v.mode), {v.ip, v.mask, v.gateway}, v.mode == kDhcpOn);
        if (!block || pages::checkMask(kMask, v.mask, v.mode == kDhcpOn))
            return {};
        return pages::SetCommand::of(code, *block);
    }
    const std::optional<qint64> tcp = port(v.tcpPort);
    const std::optional<qint64> udp = port(v.udpPort);
    if (!tcp || !udp)
        return {};
    qCDebug(lcPages, "PORT_MESSAGE t mm: %lld", *tcp);
    qCDebug(lcPages, "PORT_MESSAGE u mm: %lld", *udp);
    return pages::SetCommand::of(code,
                                 frame::uint16Le(uint16_t(*tcp)) + frame::uint16Le(uint16_t(*udp)));
}

std::vector<pages::SetCommand> writeCommands(const Values &values)
{
    return pages::encodeEach(writeOrder(), values, encode);
}

} // namespace ethernet
