#include "core/settings/printsettings.h"

#include "core/settings/pageslog.h"

namespace printsettings {

using pages::NumberField;
using pages::SetCommand;

namespace {

constexpr int kAutoPaperType = 3;
constexpr int kAutoLanguage = 2;
const uint8_t kLanguageCodes[] = {0x01, 0x02, 0x20};

// Gaps are unsigned 16-bit dots shown in whole millimetres; offsets signed, truncated toward zero.
NumberField gapFromReply(const unsigned char *payload)
{
    const qint64 dots = frame::readUint16Le(payload);
    return NumberField::fromRead(dots, QString::number(dots >> 3));
}

NumberField offsetFromReply(const unsigned char *payload)
{
    const qint64 dots = frame::readInt16Le(payload);
    return NumberField::fromRead(dots, QString::number(dots / 8));
}

SetCommand indexCommand(uint8_t code, int index, const char *what)
{
    if (index < 0 || index > 0xFF)
        return SetCommand::skipped(what);
    return SetCommand::of(code, QByteArray(1, char(index)));
}

SetCommand dotsCommand(uint8_t code, const NumberField &field, const pages::NumberRange &range)
{
    const std::optional<qint64> dots = pages::wireValue(field, range);
    if (!dots)
        return {};
    qCDebug(lcPages, "mm: %lld", *dots / range.wireUnitsPerUnit);
    qCDebug(lcPages, "dot: %lld", *dots);
    return SetCommand::of(code, frame::uint16Le(uint16_t(*dots)));
}

} // namespace

const QStringList &commandLanguages()
{
    static const QStringList names = {QStringLiteral("ZPL"), QStringLiteral("TSPL"),
                                      QStringLiteral("AUTO")};
    return names;
}

std::vector<SetInfoType> readOrder(bool printMethodEnabled)
{
    std::vector<SetInfoType> codes = {INFO_PRINT_SPEED,
                                      INFO_PRINT_DENSITY,
                                      INFO_LABEL_GAP,
                                      INFO_BLACK_MARK_GAP,
                                      INFO_PRINT_DIRECTION_AND_MODE,
                                      INFO_PRINT_OFFSET,
                                      INFO_VERTICAL_OFFSET};
    if (printMethodEnabled)
        codes.push_back(INFO_PRINT_METHOD);
    codes.insert(codes.end(), {INFO_PAPER_TYPE, INFO_CODE_PAGE, INFO_COMMAND_LANGUAGE});
    return codes;
}

void decode(SetInfoType code, const unsigned char *payload, Values &values)
{
    const uint8_t p0 = payload[0];
    switch (code) {
    case INFO_PRINT_SPEED:
        values.speed = p0;
        break;
    case INFO_CODE_PAGE:
        values.codePage = p0;
        break;
    case INFO_COMMAND_LANGUAGE:
        values.commandLanguage = commandLanguages().at(p0 == 1 ? 0 : p0 == 2 ? 1 : kAutoLanguage);
        break;
    case INFO_PRINT_DENSITY:
        values.density = p0;
        break;
    case INFO_PAPER_TYPE:
        values.paperType = p0 <= 2 ? p0 : kAutoPaperType;
        break;
    case INFO_LABEL_GAP:
        values.labelGap = gapFromReply(payload);
        break;
    case INFO_BLACK_MARK_GAP:
        values.blackMarkGap = gapFromReply(payload);
        break;
    case INFO_PRINT_DIRECTION_AND_MODE:
        values.direction = p0 != 0 ? 1 : 0;
        values.mirror = payload[1] != 0 ? 1 : 0;
        break;
    case INFO_PRINT_OFFSET:
        values.printOffset = offsetFromReply(payload);
        break;
    case INFO_VERTICAL_OFFSET:
        values.verticalOffset = offsetFromReply(payload);
        break;
    case INFO_PRINT_METHOD:
        values.printMethod = p0 != 0 ? 1 : 0;
        break;
    default:
        break;
    }
}

std::vector<Setting> writeOrder(bool printMethodEnabled)
{
    std::vector<Setting> order = {Setting::CodePage,     Setting::Speed,
                                  Setting::Density,      Setting::LabelGap,
                                  Setting::BlackMarkGap, Setting::DirectionAndMirror};
    if (printMethodEnabled)
        order.push_back(Setting::PrintMethod);
    order.insert(order.end(), {Setting::PaperType, Setting::CommandLanguage,
                               Setting::VerticalOffset, Setting::PrintOffset});
    return order;
}

std::optional<pages::Refusal> validate(const Values &values)
{
    const struct {
        const QString &key;
        const NumberField &field;
        const pages::NumberRange &range;
    } fields[] = {
        {kLabelGap, values.labelGap, kGapRange},
        {kBlackMarkGap, values.blackMarkGap, kGapRange},
        {kVerticalOffset, values.verticalOffset, kOffsetRange},
        {kPrintOffset, values.printOffset, kOffsetRange},
    };
    for (const auto &f : fields) {
        if (auto refusal = pages::checkNumber(f.key, f.field, f.range))
            return refusal;
    }
    return std::nullopt;
}

SetCommand encode(Setting setting, const Values &values)
{
    switch (setting) {
    case Setting::CodePage:
        return indexCommand(INFO_CODE_PAGE, values.codePage, "code page: no current item");
    case Setting::Speed:
        return indexCommand(INFO_PRINT_SPEED, values.speed, "print speed: no current item");
    case Setting::Density:
        return indexCommand(INFO_PRINT_DENSITY, values.density, "density: no current item");
    case Setting::LabelGap:
        return dotsCommand(INFO_LABEL_GAP, values.labelGap, kGapRange);
    case Setting::BlackMarkGap:
        return dotsCommand(INFO_BLACK_MARK_GAP, values.blackMarkGap, kGapRange);
    case Setting::DirectionAndMirror: {
        if (values.direction < 0 || values.mirror < 0)
            return SetCommand::skipped("print direction or mode: no current item");
        const char payload[2] = {char(values.direction), char(values.mirror)};
        return SetCommand::of(INFO_PRINT_DIRECTION_AND_MODE, QByteArray(payload, 2));
    }
    case Setting::PrintMethod:
        return indexCommand(INFO_PRINT_METHOD, values.printMethod, "print method: no current item");
    case Setting::PaperType:
        return indexCommand(INFO_PAPER_TYPE, values.paperType, "paper type: no current item");
    case Setting::CommandLanguage: {
        const int index = commandLanguages().indexOf(values.commandLanguage);
        if (index < 0)
            return SetCommand::skipped("command language: no current item");
        return SetCommand::of(INFO_COMMAND_LANGUAGE, QByteArray(1, char(kLanguageCodes[index])));
    }
    case Setting::VerticalOffset:
        return dotsCommand(INFO_VERTICAL_OFFSET, values.verticalOffset, kOffsetRange);
    case Setting::PrintOffset:
        return dotsCommand(INFO_PRINT_OFFSET, values.printOffset, kOffsetRange);
    case Setting::BlackMode:
        return indexCommand(INFO_BLACK_MODE, commandLanguages().indexOf(values.commandLanguage),
                            "black mode: no command language selected");
    case Setting::ResetSetting:
        return indexCommand(INFO_RESET_SETTING, values.printMethod,
                            "reset setting: no print method selected");
    }
    return SetCommand::skipped("unknown setting");
}

std::vector<SetCommand> writeCommands(const Values &values)
{
    std::vector<SetCommand> commands =
        pages::encodeEach(writeOrder(values.printMethodEnabled), values, encode);
    commands.push_back(SetCommand::button(POWER_APPLY_PRINT_SETTINGS));
    return commands;
}

} // namespace printsettings
