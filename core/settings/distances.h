#pragma once

#include "core/protocol/codes.h"
#include "core/settings/pagefields.h"
#include "core/settings/setcommand.h"

#include <optional>
#include <vector>

// The distance page without widgets or USB: four sensor and mechanism distances, three typed in
// millimetres and one in dots, each a signed 16-bit number of dots on the wire.
namespace distances {

enum class Distance { ExitToHead, GapToHead, BlackMarkToHead, HeadToTear };

struct Values {
    pages::NumberField exitToHead;      // mm
    pages::NumberField gapToHead;       // mm
    pages::NumberField blackMarkToHead; // mm
    pages::NumberField headToTear;      // dots
};

inline const QString kExitToHead = QStringLiteral("exit-to-head");
inline const QString kGapToHead = QStringLiteral("gap-to-head");
inline const QString kBlackMarkToHead = QStringLiteral("black-mark-to-head");
inline const QString kHeadToTear = QStringLiteral("head-to-tear");

constexpr pages::NumberRange kMillimetreRange{-4096, 4095, 8};
constexpr pages::NumberRange kDotRange{-32768, 32767, 1};

// Query order and write order are the same: 0x33, 0x34, 0x35, 0x36.
const std::vector<Distance> &order();
SetInfoType code(Distance distance);
const QString &key(Distance distance);

void decode(SetInfoType code, const unsigned char *payload, Values &values);
std::optional<pages::Refusal> validate(const Values &values);
// Call validate() first: an invalid field gives a refused (absent) frame.
pages::SetCommand encode(Distance distance, const Values &values);
// What a write of the page sends, in order() (no closing command). Call validate() first.
std::vector<pages::SetCommand> writeCommands(const Values &values);

} // namespace distances
