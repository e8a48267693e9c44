// Base64 decoding, RFC 4648 section 4.
#include "base64.h"

#include <limits.h>
#include <stdint.h>
#include <string.h>

namespace {

constexpr int kNotInAlphabet = -1;

int sextetOf(unsigned char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return kNotInAlphabet;
}

bool inAlphabet(char c) { return sextetOf(static_cast<unsigned char>(c)) != kNotInAlphabet; }

// Decoded length of a text of `length` characters, judged by its last two; -1 when they are not
// "==", an alphabet character and "=", or two alphabet characters.
long long decodedLengthFromTail(const char *text, size_t length)
{
    const char beforeLast = text[length - 2];
    const char last = text[length - 1];
    const long long whole = static_cast<long long>(length / 4) * 3;
    if (beforeLast == '=' && last == '=')
        return whole - 2;
    if (inAlphabet(beforeLast) && last == '=')
        return whole - 1;
    if (inAlphabet(beforeLast) && inAlphabet(last))
        return whole;
    return -1;
}

} // namespace

extern "C" int decodeBase64(char *text, unsigned char *output, int copyBack)
{
    if (!text)
        return 0;
    const size_t length = strlen(text);
    if (length < 4 || length % 4 != 0)
        return 0;
    for (size_t k = 0; k + 2 < length; ++k) {
        if (!inAlphabet(text[k]))
            return 0;
    }
    const long long decodedLength = decodedLengthFromTail(text, length);
    if (decodedLength < 0 || decodedLength > INT_MAX)
        return 0;

    memset(output, 0, static_cast<size_t>(decodedLength) + 1);
    size_t written = 0;
    for (size_t group = 0; group < length; group += 4) {
        const unsigned char *c = reinterpret_cast<const unsigned char *>(text + group);
        // Padding can stand only in the final group, where the tail check admitted it.
        const uint32_t bits = (uint32_t(sextetOf(c[0])) << 18) | (uint32_t(sextetOf(c[1])) << 12) |
                              (c[2] == '=' ? 0u : uint32_t(sextetOf(c[2])) << 6) |
                              (c[3] == '=' ? 0u : uint32_t(sextetOf(c[3])));
        output[written++] = static_cast<unsigned char>(bits >> 16);
        if (c[2] == '=')
            break;
        output[written++] = static_cast<unsigned char>(bits >> 8);
        if (c[3] == '=')
            break;
        output[written++] = static_cast<unsigned char>(bits);
    }
    if (static_cast<unsigned char>(copyBack) != 0)
        memcpy(text, output, written);
    return static_cast<int>(written);
}
