// Table-driven AES-128 block transformation and key schedule, for any processor.
#include "aes_block.h"
#include "aes_tables.h"

namespace aes128 {
namespace {

constexpr std::array<uint32_t, 256> kEncrypt0 = makeEncryptTable(kSbox, 0);
constexpr std::array<uint32_t, 256> kEncrypt1 = makeEncryptTable(kSbox, 1);
constexpr std::array<uint32_t, 256> kEncrypt2 = makeEncryptTable(kSbox, 2);
constexpr std::array<uint32_t, 256> kEncrypt3 = makeEncryptTable(kSbox, 3);
constexpr std::array<uint32_t, 256> kDecrypt0 = makeDecryptTable(kInverseSbox, 0);
constexpr std::array<uint32_t, 256> kDecrypt1 = makeDecryptTable(kInverseSbox, 1);
constexpr std::array<uint32_t, 256> kDecrypt2 = makeDecryptTable(kInverseSbox, 2);
constexpr std::array<uint32_t, 256> kDecrypt3 = makeDecryptTable(kInverseSbox, 3);

// A column of the state as a big-endian word: byte 0 of the column is the high byte.
inline uint32_t loadColumn(const uint8_t *bytes)
{
    return word(bytes[0], bytes[1], bytes[2], bytes[3]);
}

inline void storeColumn(uint8_t *bytes, uint32_t column)
{
    bytes[0] = static_cast<uint8_t>(column >> 24);
    bytes[1] = static_cast<uint8_t>(column >> 16);
    bytes[2] = static_cast<uint8_t>(column >> 8);
    bytes[3] = static_cast<uint8_t>(column);
}

inline uint8_t byteOf(uint32_t column, int index)
{
    return static_cast<uint8_t>(column >> (24 - 8 * index));
}

// Rcon of FIPS-197: successive powers of x in GF(2^8), for rounds 1 to 10.
constexpr std::array<uint8_t, kRounds + 1> makeRoundConstants()
{
    std::array<uint8_t, kRounds + 1> rcon{};
    rcon[1] = 1;
    for (int round = 2; round <= kRounds; ++round)
        rcon[round] = xtime(rcon[round - 1]);
    return rcon;
}
constexpr std::array<uint8_t, kRounds + 1> kRoundConstants = makeRoundConstants();

// InvMixColumns of one column through the decryption tables, whose inverse S-box the S-box undoes.
inline uint32_t inverseMixColumn(uint32_t column)
{
    return kDecrypt0[kSbox[byteOf(column, 0)]] ^ kDecrypt1[kSbox[byteOf(column, 1)]] ^
           kDecrypt2[kSbox[byteOf(column, 2)]] ^ kDecrypt3[kSbox[byteOf(column, 3)]];
}

} // namespace

void expandKey(const uint8_t key[kBlockSize], uint8_t roundKeys[kScheduleSize])
{
    constexpr int kWords = 4 * (kRounds + 1);
    uint32_t w[kWords];
    for (int i = 0; i < 4; ++i)
        w[i] = loadColumn(key + 4 * i);
    for (int i = 4; i < kWords; ++i) {
        uint32_t temp = w[i - 1];
        if (i % 4 == 0) // SubWord(RotWord(temp)) ^ Rcon
            temp = word(kSbox[byteOf(temp, 1)] ^ kRoundConstants[i / 4], kSbox[byteOf(temp, 2)],
                        kSbox[byteOf(temp, 3)], kSbox[byteOf(temp, 0)]);
        w[i] = w[i - 4] ^ temp;
    }
    for (int i = 0; i < kWords; ++i)
        storeColumn(roundKeys + 4 * i, w[i]);
}

void makeDecryptionKeys(const uint8_t roundKeys[kScheduleSize],
                        uint8_t decryptionKeys[kScheduleSize])
{
    for (int round = 0; round <= kRounds; ++round) {
        const uint8_t *source = roundKeys + kBlockSize * (kRounds - round);
        uint8_t *target = decryptionKeys + kBlockSize * round;
        const bool middleRound = round != 0 && round != kRounds;
        for (int c = 0; c < 4; ++c) {
            const uint32_t column = loadColumn(source + 4 * c);
            storeColumn(target + 4 * c, middleRound ? inverseMixColumn(column) : column);
        }
    }
}

void encryptBlockPortable(const uint8_t roundKeys[kScheduleSize], uint8_t block[kBlockSize])
{
    const uint8_t *rk = roundKeys;
    uint32_t s0 = loadColumn(block) ^ loadColumn(rk);
    uint32_t s1 = loadColumn(block + 4) ^ loadColumn(rk + 4);
    uint32_t s2 = loadColumn(block + 8) ^ loadColumn(rk + 8);
    uint32_t s3 = loadColumn(block + 12) ^ loadColumn(rk + 12);
    for (int round = 1; round < kRounds; ++round) {
        rk += kBlockSize;
        // ShiftRows picks byte r of column (c + r) mod 4 for column c.
        const uint32_t t0 = kEncrypt0[byteOf(s0, 0)] ^ kEncrypt1[byteOf(s1, 1)] ^
                            kEncrypt2[byteOf(s2, 2)] ^ kEncrypt3[byteOf(s3, 3)] ^ loadColumn(rk);
        const uint32_t t1 = kEncrypt0[byteOf(s1, 0)] ^ kEncrypt1[byteOf(s2, 1)] ^
                            kEncrypt2[byteOf(s3, 2)] ^ kEncrypt3[byteOf(s0, 3)] ^
                            loadColumn(rk + 4);
        const uint32_t t2 = kEncrypt0[byteOf(s2, 0)] ^ kEncrypt1[byteOf(s3, 1)] ^
                            kEncrypt2[byteOf(s0, 2)] ^ kEncrypt3[byteOf(s1, 3)] ^
                            loadColumn(rk + 8);
        const uint32_t t3 = kEncrypt0[byteOf(s3, 0)] ^ kEncrypt1[byteOf(s0, 1)] ^
                            kEncrypt2[byteOf(s1, 2)] ^ kEncrypt3[byteOf(s2, 3)] ^
                            loadColumn(rk + 12);
        s0 = t0;
        s1 = t1;
        s2 = t2;
        s3 = t3;
    }
    rk += kBlockSize;
    const uint32_t columns[4] = {s0, s1, s2, s3};
    for (int c = 0; c < 4; ++c) { // last round: SubBytes, ShiftRows, AddRoundKey
        const uint32_t column =
            word(kSbox[byteOf(columns[c], 0)], kSbox[byteOf(columns[(c + 1) % 4], 1)],
                 kSbox[byteOf(columns[(c + 2) % 4], 2)], kSbox[byteOf(columns[(c + 3) % 4], 3)]);
        storeColumn(block + 4 * c, column ^ loadColumn(rk + 4 * c));
    }
}

void decryptBlockPortable(const uint8_t decryptionKeys[kScheduleSize], uint8_t block[kBlockSize])
{
    const uint8_t *rk = decryptionKeys;
    uint32_t s0 = loadColumn(block) ^ loadColumn(rk);
    uint32_t s1 = loadColumn(block + 4) ^ loadColumn(rk + 4);
    uint32_t s2 = loadColumn(block + 8) ^ loadColumn(rk + 8);
    uint32_t s3 = loadColumn(block + 12) ^ loadColumn(rk + 12);
    for (int round = 1; round < kRounds; ++round) {
        rk += kBlockSize;
        // InvShiftRows picks byte r of column (c - r) mod 4 for column c.
        const uint32_t t0 = kDecrypt0[byteOf(s0, 0)] ^ kDecrypt1[byteOf(s3, 1)] ^
                            kDecrypt2[byteOf(s2, 2)] ^ kDecrypt3[byteOf(s1, 3)] ^ loadColumn(rk);
        const uint32_t t1 = kDecrypt0[byteOf(s1, 0)] ^ kDecrypt1[byteOf(s0, 1)] ^
                            kDecrypt2[byteOf(s3, 2)] ^ kDecrypt3[byteOf(s2, 3)] ^
                            loadColumn(rk + 4);
        const uint32_t t2 = kDecrypt0[byteOf(s2, 0)] ^ kDecrypt1[byteOf(s1, 1)] ^
                            kDecrypt2[byteOf(s0, 2)] ^ kDecrypt3[byteOf(s3, 3)] ^
                            loadColumn(rk + 8);
        const uint32_t t3 = kDecrypt0[byteOf(s3, 0)] ^ kDecrypt1[byteOf(s2, 1)] ^
                            kDecrypt2[byteOf(s1, 2)] ^ kDecrypt3[byteOf(s0, 3)] ^
                            loadColumn(rk + 12);
        s0 = t0;
        s1 = t1;
        s2 = t2;
        s3 = t3;
    }
    rk += kBlockSize;
    const uint32_t columns[4] = {s0, s1, s2, s3};
    for (int c = 0; c < 4; ++c) { // last round: InvShiftRows, InvSubBytes, AddRoundKey
        const uint32_t column =
            word(kInverseSbox[byteOf(columns[c], 0)], kInverseSbox[byteOf(columns[(c + 3) % 4], 1)],
                 kInverseSbox[byteOf(columns[(c + 2) % 4], 2)],
                 kInverseSbox[byteOf(columns[(c + 1) % 4], 3)]);
        storeColumn(block + 4 * c, column ^ loadColumn(rk + 4 * c));
    }
}

} // namespace aes128
