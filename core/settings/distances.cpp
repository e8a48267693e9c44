#include "core/settings/distances.h"

#include "core/settings/pageslog.h"

namespace distances {

using pages::NumberField;

namespace {

struct Entry {
    Distance distance;
    SetInfoType code;
    const QString &key;
    pages::NumberField Values::*field;
    const pages::NumberRange &range;
};

const Entry kEntries[] = {
    {Distance::ExitToHead, INFO_DISTANCE_EXIT_TO_HEAD, kExitToHead, &Values::exitToHead,
     kMillimetreRange},
    {Distance::GapToHead, INFO_DISTANCE_GAP_TO_HEAD, kGapToHead, &Values::gapToHead,
     kMillimetreRange},
    {Distance::BlackMarkToHead, INFO_DISTANCE_BLACK_MARK_TO_HEAD, kBlackMarkToHead,
     &Values::blackMarkToHead, kMillimetreRange},
    {Distance::HeadToTear, INFO_DISTANCE_HEAD_TO_TEAR, kHeadToTear, &Values::headToTear, kDotRange},
};

const Entry &entry(Distance distance) { return kEntries[int(distance)]; }

} // namespace

const std::vector<Distance> &order()
{
    static const std::vector<Distance> all = {Distance::ExitToHead, Distance::GapToHead,
                                              Distance::BlackMarkToHead, Distance::HeadToTear};
    return all;
}

SetInfoType code(Distance distance) { return entry(distance).code; }
const QString &key(Distance distance) { return entry(distance).key; }

void decode(SetInfoType code, const unsigned char *payload, Values &values)
{
    for (const Entry &e : kEntries) {
        if (e.code != code)
            continue;
        // Millimetres are the signed dots divided by 8, truncated toward zero.
        const qint64 dots = frame::readInt16Le(payload);
        values.*e.field =
            NumberField::fromRead(dots, QString::number(dots / e.range.wireUnitsPerUnit));
    }
}

std::optional<pages::Refusal> validate(const Values &values)
{
    for (const Entry &e : kEntries) {
        if (auto refusal = pages::checkNumber(e.key, values.*e.field, e.range))
            return refusal;
    }
    return std::nullopt;
}

pages::SetCommand encode(Distance distance, const Values &values)
{
    const Entry &e = entry(distance);
    const std::optional<qint64> dots = pages::wireValue(values.*e.field, e.range);
    if (!dots)
        return {};
    if (e.range.wireUnitsPerUnit != 1)
        qCDebug(lcPages, "mm: %lld", *dots / e.range.wireUnitsPerUnit);
    qCDebug(lcPages, "dot: %lld", *dots);
    return pages::SetCommand::of(uint8_t(e.code), frame::uint16Le(uint16_t(*dots)));
}

std::vector<pages::SetCommand> writeCommands(const Values &values)
{
    return pages::encodeEach(order(), values, encode);
}

} // namespace distances
