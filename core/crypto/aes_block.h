// Internal to the AES routines: the key schedule and the single-block transformations.
#ifndef CRYPTO_AES_BLOCK_H
#define CRYPTO_AES_BLOCK_H

#include <stdint.h>

namespace aes128 {

constexpr int kBlockSize = 16;
constexpr int kRounds = 10;
constexpr int kScheduleSize = kBlockSize * (kRounds + 1); // 176 bytes: 11 round keys

// FIPS-197 key expansion: roundKeys[16 * r + i] is byte i of round key r.
void expandKey(const uint8_t key[kBlockSize], uint8_t roundKeys[kScheduleSize]);

// Round keys for the equivalent inverse cipher: the encryption round keys in reverse order, with
// InvMixColumns applied to rounds 1 to 9. Both decryption implementations take this form.
void makeDecryptionKeys(const uint8_t roundKeys[kScheduleSize],
                        uint8_t decryptionKeys[kScheduleSize]);

// Table-driven implementation, any processor.
void encryptBlockPortable(const uint8_t roundKeys[kScheduleSize], uint8_t block[kBlockSize]);
void decryptBlockPortable(const uint8_t decryptionKeys[kScheduleSize], uint8_t block[kBlockSize]);

// Implementation with the processor's AES instructions; call only when aesInstructionsPresent().
// Its key schedules are byte for byte those of expandKey and makeDecryptionKeys.
bool aesInstructionsPresent();
void expandKeyAesNi(const uint8_t key[kBlockSize], uint8_t roundKeys[kScheduleSize]);
void makeDecryptionKeysAesNi(const uint8_t roundKeys[kScheduleSize],
                             uint8_t decryptionKeys[kScheduleSize]);
void encryptBlockAesNi(const uint8_t roundKeys[kScheduleSize], uint8_t block[kBlockSize]);
void decryptBlockAesNi(const uint8_t decryptionKeys[kScheduleSize], uint8_t block[kBlockSize]);

} // namespace aes128

#endif // CRYPTO_AES_BLOCK_H
