#pragma once

#include "core/protocol/codes.h"
#include "core/settings/pagefields.h"
#include "core/settings/setcommand.h"

#include <QString>
#include <optional>
#include <vector>

// The Bluetooth page without widgets or USB: the classic (SPP) and BLE names, the pairing mode
// and the PIN. Its MAC address comes from the Wi-Fi page's read.
namespace bluetooth {

struct Values {
    QString sppName;
    QString bleName;
    int pairingMode = pages::kNoItem; // 0 simple pairing, 1 PIN pairing; the index is the byte
    QString pin;
};

inline const QString kSppName = QStringLiteral("spp-name");
inline const QString kBleName = QStringLiteral("ble-name");
inline const QString kPin = QStringLiteral("pin");

// Reads and writes go in the same order: 0x2B, 0x2C, 0x2F, 0x2E.
const std::vector<SetInfoType> &order();
void decode(SetInfoType code, const unsigned char *payload, Values &values);
std::optional<pages::Refusal> validate(const Values &values);
// A PIN is 4 to 16 decimal digits: pairing with a PIN carries at most 16 bytes, the hosts that
// pair with a printer offer a keypad of digits for it, and fewer than 4 digits are no protection.
constexpr int kMinPinDigits = 4;
constexpr int kMaxPinDigits = 16;
std::optional<pages::Refusal> checkPin(const QString &pin);
pages::SetCommand encode(SetInfoType code, const Values &values);
// What a write of the page sends, in order(). Call validate() first.
std::vector<pages::SetCommand> writeCommands(const Values &values);

} // namespace bluetooth
