// ECB and CBC modes over the process-wide AES working state.
#include "aes.h"

#include "aes_block.h"

#include <string.h>

namespace {

using namespace aes128;

struct WorkingState {
    uint8_t *state = nullptr;     // the block being transformed in place
    const uint8_t *key = nullptr; // the key of the last expansion (a caller's buffer)
    alignas(16) uint8_t roundKeys[kScheduleSize] = {};
    const uint8_t *chainingValue = nullptr; // CBC chaining value, in a caller's buffer

    // The bytes roundKeys were expanded from, so that an unchanged key is not expanded again.
    uint8_t expandedKey[kBlockSize] = {};
    bool roundKeysValid = false;
    // Round keys of the inverse cipher, derived from roundKeys on the first decryption.
    alignas(16) uint8_t decryptionKeys[kScheduleSize] = {};
    bool decryptionKeysValid = false;
};

WorkingState working;
bool hardwareEnabled = true;

// Chaining value of a CBC call made before any chaining value was ever given.
const uint8_t kZeroBlock[kBlockSize] = {};

bool hardwarePresent()
{
    static const bool present = aesInstructionsPresent();
    return present;
}

inline bool useHardware() { return hardwareEnabled && hardwarePresent(); }

inline bool sameKey(const uint8_t *a, const uint8_t *b)
{
    uint64_t a0, a1, b0, b1;
    memcpy(&a0, a, 8);
    memcpy(&a1, a + 8, 8);
    memcpy(&b0, b, 8);
    memcpy(&b1, b + 8, 8);
    return ((a0 ^ b0) | (a1 ^ b1)) == 0;
}

// Makes key the key of the last expansion. The result equals a fresh expansion in every case.
inline void setKey(const uint8_t *key)
{
    working.key = key;
    if (working.roundKeysValid && sameKey(key, working.expandedKey))
        return;
    memcpy(working.expandedKey, key, kBlockSize);
    if (useHardware())
        expandKeyAesNi(working.expandedKey, working.roundKeys);
    else
        expandKey(working.expandedKey, working.roundKeys);
    working.roundKeysValid = true;
    working.decryptionKeysValid = false;
}

inline const uint8_t *currentDecryptionKeys()
{
    if (!working.decryptionKeysValid) {
        if (useHardware())
            makeDecryptionKeysAesNi(working.roundKeys, working.decryptionKeys);
        else
            makeDecryptionKeys(working.roundKeys, working.decryptionKeys);
        working.decryptionKeysValid = true;
    }
    return working.decryptionKeys;
}

inline void encryptState()
{
    if (useHardware())
        encryptBlockAesNi(working.roundKeys, working.state);
    else
        encryptBlockPortable(working.roundKeys, working.state);
}

inline void decryptState()
{
    const uint8_t *keys = currentDecryptionKeys();
    if (useHardware())
        decryptBlockAesNi(keys, working.state);
    else
        decryptBlockPortable(keys, working.state);
}

inline void xorBlock(uint8_t *target, const uint8_t *source)
{
    for (int i = 0; i < kBlockSize; ++i)
        target[i] ^= source[i];
}

// Applies the key and chaining-value arguments shared by both CBC directions.
void startChain(const uint8_t *key, const uint8_t *iv)
{
    if (key)
        setKey(key);
    if (iv)
        working.chainingValue = iv;
}

// The bytes after the whole blocks, padded with zero bytes to one block, as the output's last
// block.
uint8_t *placeFinalPartialBlock(uint8_t *output, const uint8_t *input, uint32_t remainder)
{
    memmove(output, input, remainder);
    memset(output + remainder, 0, kBlockSize - remainder);
    return output;
}

} // namespace

extern "C" {

void AES128_ECB_encrypt(const uint8_t *input, const uint8_t *key, uint8_t *output)
{
    memmove(output, input, kBlockSize);
    working.state = output;
    setKey(key);
    encryptState();
}

void AES128_ECB_decrypt(const uint8_t *input, const uint8_t *key, uint8_t *output)
{
    memmove(output, input, kBlockSize);
    working.state = output;
    setKey(key);
    decryptState();
}

void AES128_CBC_encrypt_buffer(uint8_t *output, uint8_t *input, uint32_t length, const uint8_t *key,
                               const uint8_t *iv)
{
    startChain(key, iv);
    const uint32_t wholeBytes = length - length % kBlockSize;
    for (uint32_t offset = 0; offset < wholeBytes; offset += kBlockSize) {
        const uint8_t *chain = working.chainingValue ? working.chainingValue : kZeroBlock;
        xorBlock(input + offset, chain);
        memmove(output + offset, input + offset, kBlockSize);
        working.state = output + offset;
        encryptState();
        working.chainingValue = output + offset;
    }
    if (const uint32_t remainder = length % kBlockSize) {
        working.state = placeFinalPartialBlock(output + wholeBytes, input + wholeBytes, remainder);
        encryptState();
    }
}

void AES128_CBC_decrypt_buffer(uint8_t *output, const uint8_t *input, uint32_t length,
                               const uint8_t *key, const uint8_t *iv)
{
    startChain(key, iv);
    const uint32_t wholeBytes = length - length % kBlockSize;
    for (uint32_t offset = 0; offset < wholeBytes; offset += kBlockSize) {
        const uint8_t *chain = working.chainingValue ? working.chainingValue : kZeroBlock;
        memmove(output + offset, input + offset, kBlockSize);
        working.state = output + offset;
        decryptState();
        xorBlock(output + offset, chain);
        working.chainingValue = input + offset;
    }
    if (const uint32_t remainder = length % kBlockSize) {
        working.state = placeFinalPartialBlock(output + wholeBytes, input + wholeBytes, remainder);
        decryptState();
    }
}

} // extern "C"

namespace aes128 {

bool hardwareAvailable() { return hardwarePresent(); }

void setHardwareEnabled(bool enabled) { hardwareEnabled = enabled; }

bool hardwareInUse() { return useHardware(); }

} // namespace aes128
