// ASCII case conversion and reversal in place.
#include "textutil.h"

#include <string.h>

extern "C" {

void ConvertToUpper(char *text)
{
    if (!text)
        return;
    for (; *text; ++text) {
        if (*text >= 'a' && *text <= 'z')
            *text = static_cast<char>(*text - ('a' - 'A'));
    }
}

void ConvertToLower(char *text)
{
    if (!text)
        return;
    for (; *text; ++text) {
        if (*text >= 'A' && *text <= 'Z')
            *text = static_cast<char>(*text + ('a' - 'A'));
    }
}

void ReverseString(char *text)
{
    if (!text)
        return;
    size_t length = strlen(text);
    if (length < 2)
        return;
    for (size_t front = 0, back = length - 1; front < back; ++front, --back) {
        const char swapped = text[front];
        text[front] = text[back];
        text[back] = swapped;
    }
}

} // extern "C"
