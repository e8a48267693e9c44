#include "core/settings/bluetooth.h"

namespace bluetooth {

namespace {

QString textOf(const unsigned char *payload)
{
    return QString::fromLocal8Bit(pages::replyTexts(payload, 1).value(0));
}

} // namespace

const std::vector<SetInfoType> &order()
{
    static const std::vector<SetInfoType> codes = {INFO_BLUETOOTH_SPP_NAME, INFO_BLUETOOTH_BLE_NAME,
                                                   INFO_BLUETOOTH_SPP_MODE, INFO_BLUETOOTH_SPP_PIN};
    return codes;
}

void decode(SetInfoType code, const unsigned char *payload, Values &values)
{
    switch (code) {
    case INFO_BLUETOOTH_SPP_NAME:
        values.sppName = textOf(payload);
        break;
    case INFO_BLUETOOTH_BLE_NAME:
        values.bleName = textOf(payload);
        break;
    case INFO_BLUETOOTH_SPP_MODE:
        values.pairingMode = payload[0];
        break;
    case INFO_BLUETOOTH_SPP_PIN:
        values.pin = textOf(payload);
        break;
    default:
        break;
    }
}

std::optional<pages::Refusal> validate(const Values &v)
{
    // Each text travels in a frame of its own.
    for (const pages::NamedText &t :
         {pages::NamedText{kSppName, v.sppName}, pages::NamedText{kBleName, v.bleName},
          pages::NamedText{kPin, v.pin}}) {
        if (auto refusal = pages::checkTexts({t}))
            return refusal;
    }
    return checkPin(v.pin);
}

std::optional<pages::Refusal> checkPin(const QString &pin)
{
    bool digits = pin.size() >= kMinPinDigits && pin.size() <= kMaxPinDigits;
    for (QChar c : pin)
        digits = digits && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    if (digits)
        return std::nullopt;
    return pages::Refusal{kPin, pages::Refusal::Reason::PinNotDigits, kMinPinDigits,
                          kMaxPinDigits};
}

pages::SetCommand encode(SetInfoType code, const Values &v)
{
    switch (code) {
    case INFO_BLUETOOTH_SPP_NAME:
        return pages::SetCommand::of(code, pages::nulTerminated({v.sppName}));
    case INFO_BLUETOOTH_BLE_NAME:
        return pages::SetCommand::of(code, pages::nulTerminated({v.bleName}));
    case INFO_BLUETOOTH_SPP_PIN:
        return pages::SetCommand::of(code, pages::nulTerminated({v.pin}));
    case INFO_BLUETOOTH_SPP_MODE:
        if (v.pairingMode < 0 || v.pairingMode > 0xFF)
            return pages::SetCommand::skipped("SPP mode: no current item");
        return pages::SetCommand::of(code, QByteArray(1, char(v.pairingMode)));
    default:
        return pages::SetCommand::skipped("not a Bluetooth setting");
    }
}

std::vector<pages::SetCommand> writeCommands(const Values &values)
{
    return pages::encodeEach(order(), values, encode);
}

} // namespace bluetooth
