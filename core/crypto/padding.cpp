// PKCS#7 padding (RFC 5652 section 6.3) with 16-byte blocks.
#include "padding.h"

#include <string.h>

namespace {
constexpr unsigned int kBlockSize = 16;
}

extern "C" {

void PadMethod_PKCS7Fill(unsigned char *buffer, unsigned int length)
{
    const unsigned int padLength = kBlockSize - length % kBlockSize;
    memset(buffer + length, static_cast<int>(padLength), padLength);
}

int PadMethod_PKCS7Unfill(unsigned char *buffer, unsigned int length)
{
    if (length == 0)
        return static_cast<int>(length);
    const unsigned int padLength = buffer[length - 1];
    if (padLength == 0 || padLength > kBlockSize || padLength > length)
        return static_cast<int>(length);
    memset(buffer + length - padLength, 0, padLength);
    return static_cast<int>(length - padLength);
}

} // extern "C"
