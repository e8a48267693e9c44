#pragma once

#include "core/protocol/codes.h"
#include "core/settings/pagefields.h"
#include "core/settings/setcommand.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// The print-settings page without widgets or USB: what a read asks and how the replies decode,
// and which set frames a write sends in which order.
namespace printsettings {

// The command languages as the selector lists them; the printer numbers them 01, 02 and 20.
const QStringList &commandLanguages();

struct Values {
    int speed = pages::kNoItem;
    int codePage = pages::kNoItem;
    QString commandLanguage; // "ZPL", "TSPL" or "AUTO"; empty when none is selected
    int density = pages::kNoItem;
    int paperType = pages::kNoItem;
    int direction = pages::kNoItem;
    int mirror = pages::kNoItem;
    int printMethod = pages::kNoItem;
    // Only models that offer the print method read and write it.
    bool printMethodEnabled = false;
    pages::NumberField labelGap;       // mm
    pages::NumberField blackMarkGap;   // mm
    pages::NumberField printOffset;    // mm
    pages::NumberField verticalOffset; // mm
};

// One set command each; the first eleven are what the page's write sends.
enum class Setting {
    CodePage,
    Speed,
    Density,
    LabelGap,
    BlackMarkGap,
    DirectionAndMirror,
    PrintMethod,
    PaperType,
    CommandLanguage,
    VerticalOffset,
    PrintOffset,
    BlackMode,    // command 0x1F, sent by no control
    ResetSetting, // command 0x21, sent by no control
};

// Field keys, as refusals and the command line name them.
inline const QString kLabelGap = QStringLiteral("label-gap");
inline const QString kBlackMarkGap = QStringLiteral("black-mark-gap");
inline const QString kPrintOffset = QStringLiteral("print-offset");
inline const QString kVerticalOffset = QStringLiteral("vertical-offset");

// Gaps decode unsigned: 0 to 8191 mm survive the round trip. Offsets decode signed.
constexpr pages::NumberRange kGapRange{0, 8191, 8};
constexpr pages::NumberRange kOffsetRange{-4096, 4095, 8};

std::vector<SetInfoType> readOrder(bool printMethodEnabled);
// Takes one successful reply into the values; only the fields of that code change.
void decode(SetInfoType code, const unsigned char *payload, Values &values);

std::vector<Setting> writeOrder(bool printMethodEnabled);
// The first field a write would refuse, checked before anything is sent.
std::optional<pages::Refusal> validate(const Values &values);
// The set command of one setting. Call validate() first: an invalid number field gives a
// refused (absent) frame.
pages::SetCommand encode(Setting setting, const Values &values);

// What a write of the page sends, in order: the settings of writeOrder(), then the button code
// with which the printer takes the new print settings into use. Call validate() first.
std::vector<pages::SetCommand> writeCommands(const Values &values);

} // namespace printsettings
