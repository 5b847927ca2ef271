// Shift-JIS helpers shared by the log, the fonts and text input.
#ifndef VEXLO_CORE_SJIS_H
#define VEXLO_CORE_SJIS_H

#include <cstddef>

inline bool IsSjisLeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Length of the longest prefix of text[0, length) that is at most maxLength
// bytes and does not end in the middle of a double-byte character.
size_t SjisPrefixLength(const char *text, size_t length, size_t maxLength);

#endif
