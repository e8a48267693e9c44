// HMAC-MD5 as defined in RFC 2104, with the 64-byte block of MD5.
#include "md5.h"

#include <string.h>

extern "C" void hmac_md5(const unsigned char *text, int textLength, const unsigned char *key,
                         int keyLength, unsigned char *digest)
{
    if (!digest)
        return;
    const uint64_t textBytes = textLength > 0 ? static_cast<uint64_t>(textLength) : 0;
    uint64_t keyBytes = keyLength > 0 ? static_cast<uint64_t>(keyLength) : 0;

    constexpr size_t kBlockSize = 64;
    unsigned char hashedKey[16];
    if (keyBytes > kBlockSize) {
        md5(key, keyBytes, hashedKey);
        key = hashedKey;
        keyBytes = sizeof hashedKey;
    }

    unsigned char innerPad[kBlockSize] = {};
    unsigned char outerPad[kBlockSize] = {};
    if (keyBytes > 0) {
        memcpy(innerPad, key, keyBytes);
        memcpy(outerPad, key, keyBytes);
    }
    for (size_t k = 0; k < kBlockSize; ++k) {
        innerPad[k] ^= 0x36;
        outerPad[k] ^= 0x5c;
    }

    MD5Context context;
    MD5Init(&context);
    MD5Update(&context, innerPad, kBlockSize);
    MD5Update(&context, text, textBytes);
    MD5Final(digest, &context);

    MD5Init(&context);
    MD5Update(&context, outerPad, kBlockSize);
    MD5Update(&context, digest, 16);
    MD5Final(digest, &context);
}
