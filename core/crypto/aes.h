// AES-128 in ECB and CBC mode over caller buffers.
//
// The four routines share one process-wide working state (the block being transformed, the key of
// the last expansion, the 11 round keys and the CBC chaining value), so they are not reentrant: at
// most one call may run at a time in the whole process. Nothing is allocated.
//
// Key expansion: every call behaves as if it expanded its key afresh. The expansion of the last
// key is kept and reused while the 16 key bytes stay the same, which no caller can tell apart from
// a fresh expansion (it only saves the time).
//
// Block transformation: FIPS-197. On x86 processors with the AES instructions those are used; the
// choice is made at run time, and a table-driven portable implementation serves everywhere else.
#ifndef CRYPTO_AES_H
#define CRYPTO_AES_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// output = AES-128 encryption of the 16-byte input block under the 16-byte key. The input is
// copied to the output first, so output may be the same buffer as input. The CBC chaining value is
// neither used nor changed; the round keys of this key stay in force for a CBC call without key.
void AES128_ECB_encrypt(const uint8_t *input, const uint8_t *key, uint8_t *output);

// output = AES-128 decryption of the 16-byte input block under the 16-byte key. Same buffer rules
// as AES128_ECB_encrypt.
void AES128_ECB_decrypt(const uint8_t *input, const uint8_t *key, uint8_t *output);

// CBC encryption of length bytes from input to output.
// - key: when not null it is expanded; when null the round keys of the previous expansion (by any
//   of the four routines) stay in force.
// - iv: when not null it becomes the chaining value; when null the chain continues from the block
//   the previous CBC call left as chaining value. That is a pointer into the previous call's
//   buffer, not a copy, so that buffer must still exist and hold the block. With no chaining value
//   ever set, a block of zero bytes is used.
// - Each whole block: the chaining value is XORed into the input block IN PLACE (the caller's input
//   keeps the XORed bytes), the block is copied to the output and encrypted there, and the output
//   block becomes the chaining value. output may be the same buffer as input.
// - A length that is not a multiple of 16: after the whole blocks, the remaining r input bytes,
//   followed by 16 - r zero bytes, form one more output block, which is encrypted without chaining
//   (no XOR, the chaining value stays at the last whole block). Only length input bytes are read,
//   but the output needs room for length rounded up to a multiple of 16.
// - A length of 0 touches neither buffer (the key and iv arguments still take effect).
void AES128_CBC_encrypt_buffer(uint8_t *output, uint8_t *input, uint32_t length, const uint8_t *key,
                               const uint8_t *iv);

// CBC decryption of length bytes from input to output; key and iv as for encryption. Each whole
// block is copied to the output, decrypted there, the chaining value is XORed into it, and the
// input block becomes the chaining value: after the call the chaining value points at the caller's
// last whole input block. The input is not modified. output must not overlap input (the chaining
// value is read from the input after the output is written). A length that is not a multiple of 16
// ends with one more block formed from the remaining bytes padded with zero bytes and decrypted
// without chaining; the output needs room for length rounded up to a multiple of 16.
void AES128_CBC_decrypt_buffer(uint8_t *output, const uint8_t *input, uint32_t length,
                               const uint8_t *key, const uint8_t *iv);

#ifdef __cplusplus
}

// Choice of block implementation, for tests and benchmarks: both must give the same results.
namespace aes128 {
// True when the processor offers the AES instructions and this build can use them.
bool hardwareAvailable();
// Uses the AES instructions when enabled and available, else the portable tables (default: use
// them when available). Not thread-safe, like the AES routines themselves.
void setHardwareEnabled(bool enabled);
// True when the AES instructions are in use right now.
bool hardwareInUse();
} // namespace aes128
#endif

#endif // CRYPTO_AES_H
