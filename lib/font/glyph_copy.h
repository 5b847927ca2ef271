// Copying glyph cache cells into surface pixels: which cache values take the
// text colour, which the edge colour, how antialiased coverage and edges mix,
// and the walk along a string that places each cell. Platform-free: the
// string drawer hands in locked memory (pointer, pitch, depth).
#ifndef VEXLO_FONT_GLYPH_COPY_H
#define VEXLO_FONT_GLYPH_COPY_H

#include <cstdint>

#include "../soft/blit_clip.h"
#include "font_string.h"
#include "glyph_cache.h"

// A font's cache pixels as the rasteriser wrote them.
struct GlyphCellSource {
    const uint8_t *pixels;
    int pitch;
    int bitsPerPixel; // 1, 8 or 16
    int fontType;     // bit 0 edged, bit 1 antialiased
};

// Locked destination memory. alpha (one byte per pixel) may be null.
struct GlyphDestination {
    uint8_t *pixels;
    int pitch;
    int bitsPerPixel; // 8, 16 or 32; other depths draw nothing
    uint8_t *alpha;
    int alphaPitch;
    uint32_t redMask, greenMask, blueMask;
};

// Text and edge colour as screen values.
struct GlyphInk {
    uint32_t text;
    uint32_t edge;
};

// How the cache values of a font become pixels.
enum class GlyphCellRule {
    Ink,           // 1 bit per pixel (plain) or 8-bit value 1 (plain vertical): text colour
    Edged,         // 8 bits: bit 1 body (text colour), other non-zero edge colour
    Coverage,      // 8 bits: coverage to the alpha memory, text colour
    CoverageEdged, // 16 bits: body and edge coverage mixed
    None,          // a cache format no rule reads
};
GlyphCellRule RuleOfGlyphCache(int bitsPerPixel, int fontType);

// The part of a cell that lands inside clip: cell pixels (cellX, cellY) ..
// (+width, +height) drawn with their top-left at (x, y). The rectangle is
// first cut to the cell (a slot can report more than its cell holds).
struct GlyphCopyPlan {
    int srcX, srcY;
    int dstX, dstY;
    int width, height;
};
// False when nothing is visible.
bool PlanGlyphCopy(int x, int y, int cellX, int cellY, int width, int height, int cellSize,
                   const PixelRect &clip, GlyphCopyPlan *plan);

// Copies the planned cell part into the destination; transparent: pixels
// without ink are left untouched (the only mode the library uses).
void CopyGlyphCell(const GlyphCellSource &source, const GlyphCopyPlan &plan, const GlyphDestination &destination,
                   const GlyphInk &ink);

// An antialiased edged pixel: body coverage b, edge coverage e (0-255).
// Writes the pixel value and alpha; false when nothing is drawn (no
// coverage, or a 16-bit layout other than 5:6:5 and 5:5:5).
bool MixGlyphPixel(int body, int edge, const GlyphInk &ink, const GlyphDestination &destination,
                   uint32_t *pixel, int *alpha);

// ---- Walking a string -------------------------------------------------------------

struct GlyphRunSize {
    int width;
    int height;
};

// The codes that advance without drawing: the space and the full-width space.
inline bool IsBlankGlyph(int code) { return code == 0x20 || code == 0x4081; }

// Walks list entries while their bytes lie below length (-1: all), placing
// each at (x, y) and advancing along the writing direction. slotOf(code)
// returns the FontCacheSlot* holding the character (rasterising it when
// needed); place(code, slot, x, y) is called for every entry with its
// position. The whole run's width and height: widths add and heights take
// the largest horizontally; the reverse vertically.
template <typename SlotOf, typename Place>
GlyphRunSize WalkGlyphRun(const FontChar *list, int count, int length, int vertical, int x, int y, SlotOf slotOf,
                          Place place)
{
    GlyphRunSize size{0, 0};
    int bytes = 0;
    for (int i = 0; i < count && (length < 0 || bytes < length); ++i) {
        const FontCacheSlot *slot = slotOf(list[i].code);
        place(list[i].code, slot, x, y);
        bytes += list[i].bytes;
        if (vertical) {
            if (slot->width > size.width) size.width = slot->width;
            size.height += slot->height;
            y += slot->height;
        } else {
            size.width += slot->width;
            if (slot->height > size.height) size.height = slot->height;
            x += slot->width;
        }
    }
    return size;
}

#endif
