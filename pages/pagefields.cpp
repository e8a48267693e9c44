#include "pages/pagefields.h"

namespace pages {

namespace {
constexpr int kMaxDigits = 18; // any 18-digit number fits 64 bits
}

std::optional<qint64> parseWholeNumber(const QString &text)
{
    const bool negative = text.startsWith(QLatin1Char('-'));
    const QStringRef digits = text.midRef(negative ? 1 : 0);
    if (digits.isEmpty() || digits.size() > kMaxDigits)
        return std::nullopt;
    qint64 value = 0;
    for (QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        value = value * 10 + (c.unicode() - '0');
    }
    return negative ? -value : value;
}

std::optional<qint64> wireValue(const NumberField &field, const NumberRange &range)
{
    if (field.readValue && field.text == field.readText)
        return field.readValue;
    const std::optional<qint64> typed = parseWholeNumber(field.text);
    if (!typed || *typed < range.min || *typed > range.max)
        return std::nullopt;
    return *typed * range.wireUnitsPerUnit;
}

std::optional<Refusal> checkNumber(const QString &key, const NumberField &field,
                                   const NumberRange &range)
{
    if (wireValue(field, range))
        return std::nullopt;
    return Refusal{key, Refusal::Reason::NotAWholeNumber, range.min, range.max};
}

} // namespace pages
