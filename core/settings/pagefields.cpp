#include "core/settings/pagefields.h"

#include "core/protocol/frame.h"

#include <QStringList>

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

namespace {
constexpr int kOctets = 4;
constexpr int kMaxPayload = 255;
} // namespace

bool isUntouchedAddress(const QString &text)
{
    // A masked field reads "..." when empty; a value from elsewhere (a profile) may be "".
    return text.isEmpty() || text == QLatin1String("...");
}

std::optional<QByteArray> addressOctets(const QString &text, bool untouchedIsZero)
{
    if (isUntouchedAddress(text))
        return untouchedIsZero ? std::optional<QByteArray>(QByteArray(kOctets, '\0'))
                               : std::nullopt;
    const QStringList groups = text.split(QLatin1Char('.'));
    if (groups.size() != kOctets)
        return std::nullopt;
    QByteArray octets;
    for (const QString &group : groups) {
        const std::optional<qint64> value =
            group.startsWith(QLatin1Char('-')) ? std::nullopt : parseWholeNumber(group);
        // "01" would be stored as typed where the address travels as text, and read as octal
        // by some programs: a group is written without leading zeros.
        if (!value || *value > 255 || (group.size() > 1 && group.startsWith(QLatin1Char('0'))))
            return std::nullopt;
        octets.append(char(*value));
    }
    return octets;
}

namespace {
// Four groups of 0 to 255, one of them with a leading zero.
bool hasLeadingZeroGroup(const QString &text)
{
    const QStringList groups = text.split(QLatin1Char('.'));
    if (groups.size() != kOctets)
        return false;
    bool leadingZero = false;
    for (const QString &group : groups) {
        const std::optional<qint64> value =
            group.startsWith(QLatin1Char('-')) ? std::nullopt : parseWholeNumber(group);
        if (!value || *value > 255)
            return false;
        leadingZero = leadingZero || (group.size() > 1 && group.startsWith(QLatin1Char('0')));
    }
    return leadingZero;
}
} // namespace

std::optional<Refusal> checkAddress(const QString &key, const QString &text, bool untouchedIsZero)
{
    if (addressOctets(text, untouchedIsZero))
        return std::nullopt;
    if (hasLeadingZeroGroup(text))
        return Refusal{key, Refusal::Reason::AddressLeadingZero, 0, 255};
    return Refusal{key, Refusal::Reason::IncompleteAddress, 0, 255};
}

std::optional<Refusal> checkHostAddress(const QString &key, const QString &text,
                                        bool untouchedIsZero)
{
    if (auto refusal = checkAddress(key, text, untouchedIsZero))
        return refusal;
    if (untouchedIsZero && isUntouchedAddress(text))
        return std::nullopt;
    const QByteArray octets = *addressOctets(text, untouchedIsZero);
    if (octets == QByteArray(kOctets, '\0') || octets == QByteArray(kOctets, '\xFF'))
        return Refusal{key, Refusal::Reason::NotAHostAddress, 0, 0};
    return std::nullopt;
}

std::optional<Refusal> checkMask(const QString &key, const QString &text, bool untouchedIsZero)
{
    const std::optional<QByteArray> octets = addressOctets(text, untouchedIsZero);
    if (!octets)
        return checkAddress(key, text, untouchedIsZero);
    quint32 mask = 0;
    for (char octet : *octets)
        mask = mask << 8 | uchar(octet);
    // Ones then zeros: the zeros, read as a number, are one less than a power of two.
    const quint32 zeros = ~mask;
    if ((zeros & (zeros + 1)) != 0)
        return Refusal{key, Refusal::Reason::NotAMask, 0, 0};
    return std::nullopt;
}

std::optional<Refusal> checkAddresses(std::initializer_list<NamedText> addresses, bool dhcpOn)
{
    for (const NamedText &a : addresses) {
        if (auto refusal = checkAddress(a.key, a.text, dhcpOn))
            return refusal;
    }
    return std::nullopt;
}

std::optional<QByteArray> addressBlock(uint8_t mode, std::initializer_list<QString> addresses,
                                       bool dhcpOn)
{
    QByteArray payload(1, char(mode));
    for (const QString &text : addresses) {
        const std::optional<QByteArray> octets = addressOctets(text, dhcpOn);
        if (!octets)
            return std::nullopt;
        payload += *octets;
    }
    return payload;
}

QString addressText(const unsigned char *octets)
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg(octets[0])
        .arg(octets[1])
        .arg(octets[2])
        .arg(octets[3]);
}

std::optional<Refusal> checkText(const QString &key, const QString &text)
{
    if (text.contains(QChar(0)))
        return Refusal{key, Refusal::Reason::ContainsNul, 0, 0};
    if (holdsUnpairedSurrogate(text))
        return Refusal{key, Refusal::Reason::NotUtf8, 0, 0};
    return std::nullopt;
}

std::optional<Refusal> checkTexts(std::initializer_list<NamedText> texts)
{
    int bytes = 0;
    for (const NamedText &t : texts) {
        if (auto refusal = checkText(t.key, t.text))
            return refusal;
        bytes += t.text.toLocal8Bit().size() + 1;
        if (bytes > kMaxPayload) {
            // The room this text had, before its NUL.
            const int room = kMaxPayload - (bytes - t.text.toLocal8Bit().size() - 1) - 1;
            return Refusal{t.key, Refusal::Reason::TooLong, 0, qMax(room, 0)};
        }
    }
    return std::nullopt;
}

QByteArray nulTerminated(std::initializer_list<QString> texts)
{
    QByteArray payload;
    for (const QString &text : texts)
        payload += text.toLocal8Bit() + QByteArray(1, '\0');
    return payload;
}

bool holdsUnpairedSurrogate(const QString &text)
{
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            return true;
    }
    return false;
}

QList<QByteArray> replyTexts(const unsigned char *buffer, int count)
{
    QList<QByteArray> texts;
    int start = 0;
    for (int i = 0; i < int(frame::kResultBufferSize) && texts.size() < count; ++i) {
        if (buffer[i] == 0) {
            texts << QByteArray(reinterpret_cast<const char *>(buffer + start), i - start);
            start = i + 1;
        }
    }
    return texts;
}

} // namespace pages
