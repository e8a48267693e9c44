// In-place ASCII case conversion and reversal of NUL-terminated texts. A null text is left alone.
#ifndef CRYPTO_TEXTUTIL_H
#define CRYPTO_TEXTUTIL_H

#ifdef __cplusplus
extern "C" {
#endif

// "a" to "z" become "A" to "Z"; every other byte, bytes of multi-byte encodings included, stays.
void ConvertToUpper(char *text);

// "A" to "Z" become "a" to "z"; every other byte stays.
void ConvertToLower(char *text);

// Reverses the bytes before the terminating zero, for texts of any length.
void ReverseString(char *text);

#ifdef __cplusplus
}
#endif

#endif // CRYPTO_TEXTUTIL_H
