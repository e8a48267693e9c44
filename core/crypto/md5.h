// MD5 (RFC 1321) and HMAC-MD5 (RFC 2104) over caller buffers. Nothing is allocated; all state is
// in the caller's context record or on the stack, so distinct contexts may be used concurrently.
#ifndef CRYPTO_MD5_H
#define CRYPTO_MD5_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// One digest in progress.
typedef struct MD5Context {
    uint32_t state[4];        // running hash words A, B, C, D
    uint32_t count[2];        // message length in bits modulo 2^64, low word first
    unsigned char buffer[64]; // input not yet processed
} MD5Context;

void MD5Init(MD5Context *context);

// Absorbs length bytes. Every bit is counted, also for a single input of 4 GiB or more (the count
// is the message length in bits modulo 2^64, as MD5 defines it).
void MD5Update(MD5Context *context, const unsigned char *input, uint64_t length);

// One compression step on the four state words with a 64-byte block.
void MD5Transform(uint32_t state[4], const unsigned char block[64]);

// Writes the 16-byte digest (when digest is not null) and then zeroes the whole context record.
// With a null digest nothing is computed; the context is only wiped.
void MD5Final(unsigned char *digest, MD5Context *context);

// One-shot MD5 of length bytes into the 16-byte digest; returns digest.
unsigned char *md5(const unsigned char *input, uint64_t length, unsigned char *digest);

// HMAC-MD5 of text under key into the 16-byte digest. A key longer than 64 bytes is replaced by its
// MD5 digest first. A negative length counts as 0; a null digest writes nothing.
void hmac_md5(const unsigned char *text, int textLength, const unsigned char *key, int keyLength,
              unsigned char *digest);

#ifdef __cplusplus
}
#endif

#endif // CRYPTO_MD5_H
