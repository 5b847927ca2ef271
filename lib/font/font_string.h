// A string turned into the list of characters a draw walks, and the list of
// characters still to be rasterised into the glyph cache. Platform-free.
#ifndef VEXLO_FONT_FONT_STRING_H
#define VEXLO_FONT_FONT_STRING_H

#include <cstdint>

#include "glyph_cache.h"

const int FONT_STRING_LIST_SIZE = 512;
const int FONT_MISSING_LIST_SIZE = 256;

struct FontChar {
    uint16_t code;  // a byte, or a double-byte character's bytes little-endian
    uint8_t bytes;  // 1 or 2
};

// Fills list (at most maxEntries) from text, reading at most length bytes
// (-1: up to the NUL). A double-byte character is never split: a lead byte
// whose trail byte lies past the end or is NUL ends the walk. Returns the
// bytes consumed; *count receives the entries written.
int BuildFontCharList(const char *text, int length, FontChar *list, int maxEntries, int *count);

// Codes of the list not cached yet, each once, at most maxMissing and at
// most the cache's capacity. The number written.
int GatherMissingGlyphs(const GlyphCache *cache, const FontChar *list, int count,
                        uint16_t *missing, int maxMissing);

#endif
