#include "glyph_cache.h"

#include <cstring>

namespace {
const int MAX_CACHE_HEIGHT = 16384;
const int BITMAP_CACHE_BYTES = 0x50000;
const int MIN_BITMAP_CELLS = 20;
}

int GlyphCellSize(int maxAdvance, int edged)
{
    if (maxAdvance <= 0) return 0;
    int cell = maxAdvance + (maxAdvance & 1);
    return edged ? cell + 2 : cell;
}

int LayoutBitmapGlyphCache(int cellSize, int bitsPerPixel, GlyphCacheLayout *layout)
{
    if (cellSize <= 0 || cellSize > MAX_CACHE_HEIGHT) return -1;
    int capacity = BITMAP_CACHE_BYTES / (cellSize * cellSize);
    if (capacity < MIN_BITMAP_CELLS) capacity = MIN_BITMAP_CELLS;
    if (capacity > GLYPH_CACHE_MAX_SLOTS) capacity = GLYPH_CACHE_MAX_SLOTS;
    int width = cellSize;
    int height = capacity * cellSize;
    if (bitsPerPixel == 1) {
        // One column only: a 1-bit row is the cell's width in bits.
        if (height > MAX_CACHE_HEIGHT) {
            height = (MAX_CACHE_HEIGHT / cellSize) * cellSize;
            capacity = height / cellSize;
        }
    } else {
        while (height > MAX_CACHE_HEIGHT) {
            int odd = height & 1;
            width *= 2;
            height = height / 2 + (odd ? cellSize : 0);
        }
        int fit = (width / cellSize) * (height / cellSize);
        if (capacity > fit) capacity = fit;
    }
    layout->cellSize = cellSize;
    layout->width = width;
    layout->height = height;
    layout->capacity = capacity;
    layout->rows = height / cellSize;
    return 0;
}

void ResetGlyphCache(GlyphCache *cache, int capacity, int rows, int cellSize)
{
    if (capacity < 1) capacity = 1;
    if (capacity > GLYPH_CACHE_MAX_SLOTS) capacity = GLYPH_CACHE_MAX_SLOTS;
    std::memset(cache->codes, 0, sizeof cache->codes);
    std::memset(cache->slots, 0, sizeof cache->slots);
    for (int i = 0; i < capacity; ++i) cache->slots[i].index = i;
    cache->slots[capacity].index = -1;
    cache->capacity = capacity;
    cache->rows = rows > 0 ? rows : 1;
    cache->cellSize = cellSize;
    cache->nextSlot = 0;
}

int FindCachedGlyph(const GlyphCache *cache, int code)
{
    if (code < 0 || code >= GLYPH_CODE_COUNT) return -1;
    const FontCodeEntry &entry = cache->codes[code];
    return entry.cached ? entry.slot : -1;
}

int ClaimGlyphSlot(GlyphCache *cache, int code)
{
    code &= 0xFFFF;
    int index = cache->nextSlot;
    if (index < 0 || index >= cache->capacity) index = 0;
    FontCacheSlot &slot = cache->slots[index];
    if (slot.used) {
        // Forget the old character only while its entry still points here:
        // a character gathered twice may have moved on to a later slot.
        FontCodeEntry &old = cache->codes[slot.code];
        if (old.cached && old.slot == index) old.cached = 0;
    }
    cache->codes[code].cached = 1;
    cache->codes[code].slot = index;
    slot.used = 1;
    slot.code = code;
    slot.width = 0;
    slot.height = 0;
    cache->nextSlot = index + 1 >= cache->capacity ? 0 : index + 1;
    return index;
}

void GlyphCellPosition(const GlyphCache *cache, int slot, int *x, int *y)
{
    *x = (slot / cache->rows) * cache->cellSize;
    *y = (slot % cache->rows) * cache->cellSize;
}
