// MD5 message digest as defined in RFC 1321.
#include "md5.h"

#include <string.h>

namespace {

constexpr size_t kBlockSize = 64;

inline uint32_t rotateLeft(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

inline uint32_t loadLittleEndian(const unsigned char *bytes)
{
    return uint32_t(bytes[0]) | (uint32_t(bytes[1]) << 8) | (uint32_t(bytes[2]) << 16) |
           (uint32_t(bytes[3]) << 24);
}

inline void storeLittleEndian(unsigned char *bytes, uint32_t value)
{
    bytes[0] = static_cast<unsigned char>(value);
    bytes[1] = static_cast<unsigned char>(value >> 8);
    bytes[2] = static_cast<unsigned char>(value >> 16);
    bytes[3] = static_cast<unsigned char>(value >> 24);
}

inline uint32_t f(uint32_t x, uint32_t y, uint32_t z) { return (x & y) | (~x & z); }
inline uint32_t g(uint32_t x, uint32_t y, uint32_t z) { return (x & z) | (y & ~z); }
inline uint32_t h(uint32_t x, uint32_t y, uint32_t z) { return x ^ y ^ z; }
inline uint32_t i(uint32_t x, uint32_t y, uint32_t z) { return y ^ (x | ~z); }

template <uint32_t (*Function)(uint32_t, uint32_t, uint32_t)>
inline void step(uint32_t &a, uint32_t b, uint32_t c, uint32_t d, uint32_t x, int s, uint32_t t)
{
    a = b + rotateLeft(a + Function(b, c, d) + x + t, s);
}

} // namespace

extern "C" {

void MD5Init(MD5Context *context)
{
    context->count[0] = context->count[1] = 0;
    context->state[0] = 0x67452301;
    context->state[1] = 0xefcdab89;
    context->state[2] = 0x98badcfe;
    context->state[3] = 0x10325476;
}

void MD5Transform(uint32_t state[4], const unsigned char block[64])
{
    uint32_t x[16];
    for (int k = 0; k < 16; ++k)
        x[k] = loadLittleEndian(block + 4 * k);
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];

    // Round 1
    step<f>(a, b, c, d, x[0], 7, 0xd76aa478);
    step<f>(d, a, b, c, x[1], 12, 0xe8c7b756);
    step<f>(c, d, a, b, x[2], 17, 0x242070db);
    step<f>(b, c, d, a, x[3], 22, 0xc1bdceee);
    step<f>(a, b, c, d, x[4], 7, 0xf57c0faf);
    step<f>(d, a, b, c, x[5], 12, 0x4787c62a);
    step<f>(c, d, a, b, x[6], 17, 0xa8304613);
    step<f>(b, c, d, a, x[7], 22, 0xfd469501);
    step<f>(a, b, c, d, x[8], 7, 0x698098d8);
    step<f>(d, a, b, c, x[9], 12, 0x8b44f7af);
    step<f>(c, d, a, b, x[10], 17, 0xffff5bb1);
    step<f>(b, c, d, a, x[11], 22, 0x895cd7be);
    step<f>(a, b, c, d, x[12], 7, 0x6b901122);
    step<f>(d, a, b, c, x[13], 12, 0xfd987193);
    step<f>(c, d, a, b, x[14], 17, 0xa679438e);
    step<f>(b, c, d, a, x[15], 22, 0x49b40821);

    // Round 2
    step<g>(a, b, c, d, x[1], 5, 0xf61e2562);
    step<g>(d, a, b, c, x[6], 9, 0xc040b340);
    step<g>(c, d, a, b, x[11], 14, 0x265e5a51);
    step<g>(b, c, d, a, x[0], 20, 0xe9b6c7aa);
    step<g>(a, b, c, d, x[5], 5, 0xd62f105d);
    step<g>(d, a, b, c, x[10], 9, 0x02441453);
    step<g>(c, d, a, b, x[15], 14, 0xd8a1e681);
    step<g>(b, c, d, a, x[4], 20, 0xe7d3fbc8);
    step<g>(a, b, c, d, x[9], 5, 0x21e1cde6);
    step<g>(d, a, b, c, x[14], 9, 0xc33707d6);
    step<g>(c, d, a, b, x[3], 14, 0xf4d50d87);
    step<g>(b, c, d, a, x[8], 20, 0x455a14ed);
    step<g>(a, b, c, d, x[13], 5, 0xa9e3e905);
    step<g>(d, a, b, c, x[2], 9, 0xfcefa3f8);
    step<g>(c, d, a, b, x[7], 14, 0x676f02d9);
    step<g>(b, c, d, a, x[12], 20, 0x8d2a4c8a);

    // Round 3
    step<h>(a, b, c, d, x[5], 4, 0xfffa3942);
    step<h>(d, a, b, c, x[8], 11, 0x8771f681);
    step<h>(c, d, a, b, x[11], 16, 0x6d9d6122);
    step<h>(b, c, d, a, x[14], 23, 0xfde5380c);
    step<h>(a, b, c, d, x[1], 4, 0xa4beea44);
    step<h>(d, a, b, c, x[4], 11, 0x4bdecfa9);
    step<h>(c, d, a, b, x[7], 16, 0xf6bb4b60);
    step<h>(b, c, d, a, x[10], 23, 0xbebfbc70);
    step<h>(a, b, c, d, x[13], 4, 0x289b7ec6);
    step<h>(d, a, b, c, x[0], 11, 0xeaa127fa);
    step<h>(c, d, a, b, x[3], 16, 0xd4ef3085);
    step<h>(b, c, d, a, x[6], 23, 0x04881d05);
    step<h>(a, b, c, d, x[9], 4, 0xd9d4d039);
    step<h>(d, a, b, c, x[12], 11, 0xe6db99e5);
    step<h>(c, d, a, b, x[15], 16, 0x1fa27cf8);
    step<h>(b, c, d, a, x[2], 23, 0xc4ac5665);

    // Round 4
    step<i>(a, b, c, d, x[0], 6, 0xf4292244);
    step<i>(d, a, b, c, x[7], 10, 0x432aff97);
    step<i>(c, d, a, b, x[14], 15, 0xab9423a7);
    step<i>(b, c, d, a, x[5], 21, 0xfc93a039);
    step<i>(a, b, c, d, x[12], 6, 0x655b59c3);
    step<i>(d, a, b, c, x[3], 10, 0x8f0ccc92);
    step<i>(c, d, a, b, x[10], 15, 0xffeff47d);
    step<i>(b, c, d, a, x[1], 21, 0x85845dd1);
    step<i>(a, b, c, d, x[8], 6, 0x6fa87e4f);
    step<i>(d, a, b, c, x[15], 10, 0xfe2ce6e0);
    step<i>(c, d, a, b, x[6], 15, 0xa3014314);
    step<i>(b, c, d, a, x[13], 21, 0x4e0811a1);
    step<i>(a, b, c, d, x[4], 6, 0xf7537e82);
    step<i>(d, a, b, c, x[11], 10, 0xbd3af235);
    step<i>(c, d, a, b, x[2], 15, 0x2ad7d2bb);
    step<i>(b, c, d, a, x[9], 21, 0xeb86d391);

    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
}

void MD5Update(MD5Context *context, const unsigned char *input, uint64_t length)
{
    size_t index = (context->count[0] >> 3) & (kBlockSize - 1);
    // The bit count is the message length modulo 2^64: whole 64-bit arithmetic, so no bit of a
    // long input is lost.
    const uint64_t bits = ((uint64_t(context->count[1]) << 32) | context->count[0]) + (length << 3);
    context->count[0] = static_cast<uint32_t>(bits);
    context->count[1] = static_cast<uint32_t>(bits >> 32);
    if (length == 0)
        return;

    uint64_t consumed = 0;
    const size_t room = kBlockSize - index;
    if (length >= room) {
        memcpy(context->buffer + index, input, room);
        MD5Transform(context->state, context->buffer);
        for (consumed = room; length - consumed >= kBlockSize; consumed += kBlockSize)
            MD5Transform(context->state, input + consumed);
        index = 0;
    }
    memcpy(context->buffer + index, input + consumed, static_cast<size_t>(length - consumed));
}

void MD5Final(unsigned char *digest, MD5Context *context)
{
    if (digest) {
        unsigned char bitCount[8];
        storeLittleEndian(bitCount, context->count[0]);
        storeLittleEndian(bitCount + 4, context->count[1]);
        // 0x80, then zero bytes up to 56 mod 64, then the length.
        static const unsigned char padding[kBlockSize] = {0x80};
        const size_t index = (context->count[0] >> 3) & (kBlockSize - 1);
        const size_t padLength = index < 56 ? 56 - index : 120 - index;
        MD5Update(context, padding, padLength);
        MD5Update(context, bitCount, sizeof bitCount);
        for (int k = 0; k < 4; ++k)
            storeLittleEndian(digest + 4 * k, context->state[k]);
    }
    memset(context, 0, sizeof *context);
}

unsigned char *md5(const unsigned char *input, uint64_t length, unsigned char *digest)
{
    MD5Context context;
    MD5Init(&context);
    MD5Update(&context, input, length);
    MD5Final(digest, &context);
    return digest;
}

} // extern "C"
