// The bookkeeping of a font's glyph cache: which square cell holds which
// character, which cell the next character takes, and the geometry of the
// cache bitmap. Cells are reused first in, first out. Platform-free.
#ifndef VEXLO_FONT_GLYPH_CACHE_H
#define VEXLO_FONT_GLYPH_CACHE_H

#include <cstdint>

const int GLYPH_CACHE_MAX_SLOTS = 2024;
const int GLYPH_CODE_COUNT = 65536;

struct FontCacheSlot {
    uint8_t used;    // 1 while the slot holds a character
    int32_t index;   // slot i holds i; the end mark holds -1
    int32_t width;   // advance of the cached character
    int32_t height;  // line height of the cached character
    int32_t code;    // the character held (the code map entry pointing here)
};

struct FontCodeEntry {
    uint8_t cached;
    int32_t slot;    // index of the slot holding the character
};

struct GlyphCache {
    FontCacheSlot slots[GLYPH_CACHE_MAX_SLOTS + 1]; // one end mark
    FontCodeEntry codes[GLYPH_CODE_COUNT];
    int32_t nextSlot;
    int32_t capacity;
    int32_t rows;
    int32_t cellSize;
};

// Geometry of a cache that lives in one bitmap.
struct GlyphCacheLayout {
    int cellSize;
    int width;
    int height;
    int capacity;
    int rows;
};

// The square cell for a font whose widest advance is maxAdvance: even, plus
// two for the edge of edged fonts. 0 for a non-positive advance.
int GlyphCellSize(int maxAdvance, int edged);

// Lays out the bitmap cache of cells of cellSize pixels at bitsPerPixel
// (1, 8 or 16): at most 16384 pixels high, at most 2024 cells. 0, or -1 for
// a cell size outside 1..16384.
int LayoutBitmapGlyphCache(int cellSize, int bitsPerPixel, GlyphCacheLayout *layout);

// Empties the cache: no character cached, slots numbered, next slot 0.
// The capacity is clamped to 1..2024.
void ResetGlyphCache(GlyphCache *cache, int capacity, int rows, int cellSize);

// The slot holding code, or -1.
int FindCachedGlyph(const GlyphCache *cache, int code);

// Gives the next slot to code, taking it from whatever character it held,
// and advances the next slot (wrapping at the capacity). The slot index.
int ClaimGlyphSlot(GlyphCache *cache, int code);

// Top-left pixel of a slot's cell: cells fill the cache column by column.
void GlyphCellPosition(const GlyphCache *cache, int slot, int *x, int *y);

#endif
