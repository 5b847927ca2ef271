#include "sjis.h"

size_t SjisPrefixLength(const char *text, size_t length, size_t maxLength)
{
    if (length <= maxLength) return length;
    size_t i = 0;
    while (i < maxLength) {
        size_t step = IsSjisLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
        if (i + step > maxLength) break;
        i += step;
    }
    return i;
}
