// Base64 decoding (RFC 4648 standard alphabet, "=" padding) over caller buffers.
#ifndef CRYPTO_BASE64_H
#define CRYPTO_BASE64_H

#ifdef __cplusplus
extern "C" {
#endif

// Decodes the NUL-terminated text into output and returns the decoded byte count, or 0 for
// invalid input (a null text, a length below 4 or not a multiple of 4, a character outside the
// alphabet, "=" anywhere but in the last two places, or "=" followed by an alphabet character);
// invalid input leaves output untouched. No line breaks or white space are accepted.
// On success output receives the decoded bytes and one zero byte, so it needs room for
// 3 * strlen(text) / 4 + 1 bytes. When the low byte of copyBack is not zero the decoded bytes are
// also copied over the start of the text (no terminating zero is added there).
int decodeBase64(char *text, unsigned char *output, int copyBack);

#ifdef __cplusplus
}
#endif

#endif // CRYPTO_BASE64_H
