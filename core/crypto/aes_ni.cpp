// AES-128 block transformation with the x86 AES instructions, compiled for them through target
// attributes so that the rest of the program still runs on processors without them.
#include "aes_block.h"

#if defined(__x86_64__) || defined(__i386__)
#include <wmmintrin.h>

namespace aes128 {
namespace {
#define AES_NI_TARGET __attribute__((target("aes,sse2")))

AES_NI_TARGET inline __m128i loadKey(const uint8_t *schedule, int round)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i *>(schedule + kBlockSize * round));
}
AES_NI_TARGET inline void storeKey(uint8_t *schedule, int round, __m128i key)
{
    _mm_storeu_si128(reinterpret_cast<__m128i *>(schedule + kBlockSize * round), key);
}

// One step of the key expansion: `assist` holds SubWord(RotWord(w3)) ^ Rcon in its top word.
AES_NI_TARGET inline __m128i nextRoundKey(__m128i key, __m128i assist)
{
    assist = _mm_shuffle_epi32(assist, _MM_SHUFFLE(3, 3, 3, 3));
    key = _mm_xor_si128(key, _mm_slli_si128(key, 4));
    key = _mm_xor_si128(key, _mm_slli_si128(key, 4));
    key = _mm_xor_si128(key, _mm_slli_si128(key, 4));
    return _mm_xor_si128(key, assist);
}
} // namespace

// The round constant must be an immediate operand, hence one line per round.
#define EXPAND_ROUND(round, rcon)                                                                  \
    key = nextRoundKey(key, _mm_aeskeygenassist_si128(key, rcon));                                 \
    storeKey(roundKeys, round, key)

AES_NI_TARGET void expandKeyAesNi(const uint8_t key16[kBlockSize], uint8_t roundKeys[kScheduleSize])
{
    __m128i key = _mm_loadu_si128(reinterpret_cast<const __m128i *>(key16));
    storeKey(roundKeys, 0, key);
    EXPAND_ROUND(1, 0x01);
    EXPAND_ROUND(2, 0x02);
    EXPAND_ROUND(3, 0x04);
    EXPAND_ROUND(4, 0x08);
    EXPAND_ROUND(5, 0x10);
    EXPAND_ROUND(6, 0x20);
    EXPAND_ROUND(7, 0x40);
    EXPAND_ROUND(8, 0x80);
    EXPAND_ROUND(9, 0x1b);
    EXPAND_ROUND(10, 0x36);
}
#undef EXPAND_ROUND

AES_NI_TARGET void makeDecryptionKeysAesNi(const uint8_t roundKeys[kScheduleSize],
                                           uint8_t decryptionKeys[kScheduleSize])
{
    storeKey(decryptionKeys, 0, loadKey(roundKeys, kRounds));
    for (int round = 1; round < kRounds; ++round)
        storeKey(decryptionKeys, round, _mm_aesimc_si128(loadKey(roundKeys, kRounds - round)));
    storeKey(decryptionKeys, kRounds, loadKey(roundKeys, 0));
}

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

namespace aes128 {
bool aesInstructionsPresent() { return false; }
void expandKeyAesNi(const uint8_t key[kBlockSize], uint8_t roundKeys[kScheduleSize])
{
    expandKey(key, roundKeys);
}
void makeDecryptionKeysAesNi(const uint8_t roundKeys[kScheduleSize],
                             uint8_t decryptionKeys[kScheduleSize])
{
    makeDecryptionKeys(roundKeys, decryptionKeys);
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
