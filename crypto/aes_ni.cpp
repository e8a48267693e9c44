// AES-128 block transformation with the x86 AES instructions, compiled for them through target
// attributes so that the rest of the program still runs on processors without them.
#include "aes_block.h"

#if defined(__x86_64__) || defined(__i386__)
#include <wmmintrin.h>

namespace aes128
{
namespace
{
#define AES_NI_TARGET __attribute__((target("aes,sse2")))

AES_NI_TARGET inline __m128i loadKey(const uint8_t *schedule, int round)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i *>(schedule + kBlockSize * round));
}
} // namespace

bool aesInstructionsPresent()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("aes") && __builtin_cpu_supports("sse2");
}

AES_NI_TARGET void encryptBlockAesNi(const uint8_t roundKeys[kScheduleSize],
                                     uint8_t block[kBlockSize])
{
    __m128i state = _mm_loadu_si128(reinterpret_cast<const __m128i *>(block));
    state = _mm_xor_si128(state, loadKey(roundKeys, 0));
    for (int round = 1; round < kRounds; ++round)
        state = _mm_aesenc_si128(state, loadKey(roundKeys, round));
    state = _mm_aesenclast_si128(state, loadKey(roundKeys, kRounds));
    _mm_storeu_si128(reinterpret_cast<__m128i *>(block), state);
}

AES_NI_TARGET void decryptBlockAesNi(const uint8_t decryptionKeys[kScheduleSize],
                                     uint8_t block[kBlockSize])
{
    __m128i state = _mm_loadu_si128(reinterpret_cast<const __m128i *>(block));
    state = _mm_xor_si128(state, loadKey(decryptionKeys, 0));
    for (int round = 1; round < kRounds; ++round)
        state = _mm_aesdec_si128(state, loadKey(decryptionKeys, round));
    state = _mm_aesdeclast_si128(state, loadKey(decryptionKeys, kRounds));
    _mm_storeu_si128(reinterpret_cast<__m128i *>(block), state);
}

} // namespace aes128

#else // no AES instructions on this architecture: the portable code always serves

namespace aes128
{
bool aesInstructionsPresent()
{
    return false;
}
void encryptBlockAesNi(const uint8_t roundKeys[kScheduleSize], uint8_t block[kBlockSize])
{
    encryptBlockPortable(roundKeys, block);
}
void decryptBlockAesNi(const uint8_t decryptionKeys[kScheduleSize], uint8_t block[kBlockSize])
{
    decryptBlockPortable(decryptionKeys, block);
}
} // namespace aes128

#endif
