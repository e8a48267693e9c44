// Internal to the AES routines: the S-boxes and round tables, computed at compile time from the
// definitions of FIPS-197 (multiplicative inverse in GF(2^8) followed by the affine
// transformation).
#ifndef CRYPTO_AES_TABLES_H
#define CRYPTO_AES_TABLES_H

#include <array>
#include <stdint.h>

namespace aes128 {

// Multiplication by x in GF(2^8) modulo x^8 + x^4 + x^3 + x + 1.
constexpr uint8_t xtime(uint8_t a)
{
    return static_cast<uint8_t>((a << 1) ^ ((a & 0x80) ? 0x1b : 0x00));
}

constexpr uint8_t gfMultiply(uint8_t a, uint8_t b)
{
    uint8_t product = 0;
    for (int bit = 0; bit < 8; ++bit) {
        if (b & 1)
            product ^= a;
        a = xtime(a);
        b = static_cast<uint8_t>(b >> 1);
    }
    return product;
}

constexpr uint8_t rotateLeft8(uint8_t value, int shift)
{
    return static_cast<uint8_t>((value << shift) | (value >> (8 - shift)));
}

// Walks the field with the generator 3 (p) and its inverse (q), so q = p^-1 at every step.
constexpr std::array<uint8_t, 256> makeSbox()
{
    std::array<uint8_t, 256> sbox{};
    uint8_t p = 1;
    uint8_t q = 1;
    do {
        p = static_cast<uint8_t>(p ^ xtime(p));
        q = static_cast<uint8_t>(q ^ (q << 1));
        q = static_cast<uint8_t>(q ^ (q << 2));
        q = static_cast<uint8_t>(q ^ (q << 4));
        if (q & 0x80)
            q ^= 0x09;
        const uint8_t affine = static_cast<uint8_t>(q ^ rotateLeft8(q, 1) ^ rotateLeft8(q, 2) ^
                                                    rotateLeft8(q, 3) ^ rotateLeft8(q, 4));
        sbox[p] = static_cast<uint8_t>(affine ^ 0x63);
    } while (p != 1);
    sbox[0] = 0x63; // zero has no inverse; the affine transformation of 0 is 0x63
    return sbox;
}

constexpr std::array<uint8_t, 256> makeInverseSbox(const std::array<uint8_t, 256> &sbox)
{
    std::array<uint8_t, 256> inverse{};
    for (int i = 0; i < 256; ++i)
        inverse[sbox[i]] = static_cast<uint8_t>(i);
    return inverse;
}

constexpr uint32_t word(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3)
{
    return (uint32_t(b0) << 24) | (uint32_t(b1) << 16) | (uint32_t(b2) << 8) | uint32_t(b3);
}

constexpr uint32_t rotateRight32(uint32_t value, int shift)
{
    return (value >> shift) | (value << (32 - shift));
}

// Round table for byte position `position` of a column: SubBytes and MixColumns in one look-up.
constexpr std::array<uint32_t, 256> makeEncryptTable(const std::array<uint8_t, 256> &sbox,
                                                     int position)
{
    std::array<uint32_t, 256> table{};
    for (int i = 0; i < 256; ++i) {
        const uint8_t s = sbox[i];
        const uint32_t column = word(gfMultiply(s, 2), s, s, gfMultiply(s, 3));
        table[i] = position ? rotateRight32(column, 8 * position) : column;
    }
    return table;
}

// Round table of the inverse cipher: InvSubBytes and InvMixColumns in one look-up.
constexpr std::array<uint32_t, 256> makeDecryptTable(const std::array<uint8_t, 256> &inverseSbox,
                                                     int position)
{
    std::array<uint32_t, 256> table{};
    for (int i = 0; i < 256; ++i) {
        const uint8_t s = inverseSbox[i];
        const uint32_t column = word(gfMultiply(s, 0x0e), gfMultiply(s, 0x09), gfMultiply(s, 0x0d),
                                     gfMultiply(s, 0x0b));
        table[i] = position ? rotateRight32(column, 8 * position) : column;
    }
    return table;
}

inline constexpr std::array<uint8_t, 256> kSbox = makeSbox();
inline constexpr std::array<uint8_t, 256> kInverseSbox = makeInverseSbox(kSbox);

// Entries quoted in FIPS-197 (the SubBytes example and the first entries of the table).
static_assert(kSbox[0x00] == 0x63 && kSbox[0x01] == 0x7c && kSbox[0x53] == 0xed &&
                  kSbox[0xff] == 0x16,
              "S-box differs from FIPS-197");
static_assert(kInverseSbox[0x00] == 0x52 && kInverseSbox[0xed] == 0x53, "inverse S-box differs");

} // namespace aes128

#endif // CRYPTO_AES_TABLES_H
