#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>
#include <cstdint>
#include <initializer_list>
#include <optional>

// Building blocks shared by the settings-page codecs: number fields that remember what the last
// read showed, combo indexes that may be missing, and the reasons a write is refused.
namespace pages {

// A combo box with no current item: the printer answered an index beyond its list.
constexpr int kNoItem = -1;

// A number field as the user sees it, and what the last read put there: the wire value and the
// text it was shown as. While the text is unchanged, a write sends the wire value back exactly
// (100 dots show as "12" mm and must go back as 100, not 96).
struct NumberField {
    QString text;
    std::optional<qint64> readValue;
    QString readText;

    // What a read shows for a wire value, remembered next to it.
    static NumberField fromRead(qint64 wireValue, const QString &shown)
    {
        return {shown, wireValue, shown};
    }
};

// The range a number field accepts, in the unit the user types, and the wire units per typed
// unit (8 dots per millimetre, or 1 for a field typed in dots).
struct NumberRange {
    qint64 min;
    qint64 max;
    qint64 wireUnitsPerUnit;
};

// Why a write was refused; `field` is the page's key of the field (also the name the command
// line uses).
struct Refusal {
    enum class Reason {
        NotAWholeNumber,      // not a whole decimal number in [min, max]
        TooLong,              // more bytes than the frame's one-byte length can carry: max
        ContainsNul,          // a NUL would end the text early on the printer
        IncompleteAddress,    // not four decimal groups of 0 to 255
        AccessPointIpMissing, // access-point mode without the access point's address
        NotAMask,             // a subnet mask that is not ones then zeros
        NotUtf8,              // bytes that are no UTF-8 text (kept as they came, unpaired)
        AddressLeadingZero,   // a group of an address written with a leading zero ("01")
        NotAHostAddress,      // 0.0.0.0 or 255.255.255.255 where a printer's address belongs
        PinNotDigits,         // a PIN that is not min to max decimal digits
    };
    QString field;
    Reason reason = Reason::NotAWholeNumber;
    qint64 min = 0;
    qint64 max = 0;
};

// A whole decimal number: an optional minus sign and 1 to 18 digits, nothing else (no blanks,
// no plus sign, no fraction). Computed in 64 bits, so nothing wraps.
std::optional<qint64> parseWholeNumber(const QString &text);

// The wire value a write sends for the field: the value read while the text is unchanged,
// else the typed number times the wire units when it lies in the range; nullopt otherwise.
std::optional<qint64> wireValue(const NumberField &field, const NumberRange &range);

// A number-field refusal for `field` when its wire value cannot be had.
std::optional<Refusal> checkNumber(const QString &key, const NumberField &field,
                                   const NumberRange &range);

// A TCP or UDP port: 0 is no port a client could reach.
constexpr NumberRange kServicePortRange{1, 65535, 1};

// A field's key and its text.
struct NamedText {
    const QString &key;
    const QString &text;
};

// Dotted address fields ("000.000.000.000" mask; an untouched one reads "...").
// The four octets of a complete address: four non-empty decimal groups of 0 to 255. An untouched
// field gives 0.0.0.0 when `untouchedIsZero`; anything else is nullopt.
std::optional<QByteArray> addressOctets(const QString &text, bool untouchedIsZero);
bool isUntouchedAddress(const QString &text);
std::optional<Refusal> checkAddress(const QString &key, const QString &text, bool untouchedIsZero);
// The printer's own address: a complete address (as checkAddress) that is neither 0.0.0.0 (no
// address) nor 255.255.255.255 (every host); an untouched field when `untouchedIsZero`.
std::optional<Refusal> checkHostAddress(const QString &key, const QString &text,
                                        bool untouchedIsZero);
// A subnet mask: a complete address (as checkAddress) whose 32 bits are ones, then zeros.
std::optional<Refusal> checkMask(const QString &key, const QString &text, bool untouchedIsZero);
// An address page's block: the mode byte, then four octets per address, first octet first. With
// DHCP off every address must be complete; with DHCP on an untouched field goes as zeros.
std::optional<Refusal> checkAddresses(std::initializer_list<NamedText> addresses, bool dhcpOn);
std::optional<QByteArray> addressBlock(uint8_t mode, std::initializer_list<QString> addresses,
                                       bool dhcpOn);
// Four octets as dotted decimal text, without leading zeros.
QString addressText(const unsigned char *octets);

// Texts the printer takes NUL-terminated: the bytes in the local 8-bit encoding. A text holding
// a NUL character is refused (the printer would read only what stands before it), and so is one
// holding bytes that were no UTF-8 text (given on a command line, each kept as an unpaired
// surrogate): they would be stored as replacement characters, not as typed.
std::optional<Refusal> checkText(const QString &key, const QString &text);
// The NUL-terminated texts one after the other, refused with the key of the text that makes the
// payload longer than the 255 bytes the length byte can carry.
std::optional<Refusal> checkTexts(std::initializer_list<NamedText> texts);
QByteArray nulTerminated(std::initializer_list<QString> texts);
// Whether a text holds an unpaired surrogate: bytes that were no UTF-8 text.
bool holdsUnpairedSurrogate(const QString &text);
// The texts of a reply payload: up to `count` NUL-terminated byte strings from the start of the
// zero-filled 1024-byte buffer; fewer when the buffer holds fewer NULs.
QList<QByteArray> replyTexts(const unsigned char *buffer, int count);

} // namespace pages
