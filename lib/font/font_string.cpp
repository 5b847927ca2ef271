#include "font_string.h"

#include "../core/sjis.h"

int BuildFontCharList(const char *text, int length, FontChar *list, int maxEntries, int *count)
{
    int n = 0;
    int pos = 0;
    if (text != nullptr) {
        while (n < maxEntries && (length < 0 || pos < length)) {
            unsigned char lead = static_cast<unsigned char>(text[pos]);
            if (lead == 0) break;
            if (!IsSjisLeadByte(lead)) {
                list[n].code = lead;
                list[n].bytes = 1;
                ++n;
                pos += 1;
                continue;
            }
            if (length >= 0 && pos + 1 >= length) break;
            unsigned char trail = static_cast<unsigned char>(text[pos + 1]);
            if (trail == 0) break;
            list[n].code = static_cast<uint16_t>(lead | trail << 8);
            list[n].bytes = 2;
            ++n;
            pos += 2;
        }
    }
    *count = n;
    return pos;
}

int GatherMissingGlyphs(const GlyphCache *cache, const FontChar *list, int count,
                        uint16_t *missing, int maxMissing)
{
    int limit = maxMissing < cache->capacity ? maxMissing : cache->capacity;
    int n = 0;
    for (int i = 0; i < count && n < limit; ++i) {
        uint16_t code = list[i].code;
        if (FindCachedGlyph(cache, code) != -1) continue;
        bool seen = false;
        for (int j = 0; j < n && !seen; ++j) seen = missing[j] == code;
        if (!seen) missing[n++] = code;
    }
    return n;
}
