// PKCS#7 padding for a 16-byte block size, in place in a caller buffer.
#ifndef CRYPTO_PADDING_H
#define CRYPTO_PADDING_H

#ifdef __cplusplus
extern "C" {
#endif

// Writes p = 16 - length % 16 bytes (1 to 16) of value p at offsets length to length + p - 1, so a
// length that is already a multiple of 16 gets a whole block of 0x10 bytes. The buffer needs room
// for length + p bytes; the new length, length + p, is the caller's to compute.
void PadMethod_PKCS7Fill(unsigned char *buffer, unsigned int length);

// Reads the last byte p of the length bytes. When p is 1 to 16 and not greater than length, zeroes
// the last p bytes and returns length - p. Otherwise (length 0, p = 0, p > 16 or p > length) there
// is no valid padding: nothing is changed and length is returned. Only the last byte is examined.
int PadMethod_PKCS7Unfill(unsigned char *buffer, unsigned int length);

#ifdef __cplusplus
}
#endif

#endif // CRYPTO_PADDING_H
