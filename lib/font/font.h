// Fonts: handles, the glyph cache and string drawing.
#ifndef VEXLO_FONT_FONT_H
#define VEXLO_FONT_FONT_H

#include <cstdint>

#include "../Vexlo.h"
#include "font_string.h"
#include "glyph_cache.h"

// ---- Font handles ---------------------------------------------------------------
// CreateFontToHandle, DeleteFontToHandle, CheckFontHandle, GetFontSizeToHandle,
// GetDefaultFontHandle and DrawStringToHandle are public (Vexlo.h).

// faceName (256 bytes), size and thickness may each be null.
int GetFontStateToHandle(char *faceName, int *size, int *thickness, int fontHandle);
// The int is set to 0 now and to 1 when the font is deleted.
int SetFontDeletedFlag(int fontHandle, int *deletedFlag);

// ---- The font subsystem -------------------------------------------------------------

// The graphics start: resets the table and makes the default font.
int StartFontManager();
// Deletes every font and makes the default font again (logged).
int InitFontManager();
// The graphics end: deletes every font, the default font last.
int EndFontManager();
// After the display was re-made: every font again, under the same handle,
// with an empty cache.
int RebuildAllFonts();
int SetDefaultFontState(const char *faceName, int size, int thickness);
int RefreshDefaultFont();
// Tests fill caches without a display: check replaces the display device
// test (null restores it).
void SetFontDeviceCheck(int (*check)());

// ---- The glyph cache ------------------------------------------------------------------

// Rasterises count codes into the next cache slots; the slot of the last,
// or null without a display device or for an invalid handle.
FontCacheSlot *CacheFontGlyphs(int count, const uint16_t *codes, int fontHandle);
// Fills list (FONT_STRING_LIST_SIZE entries) from at most length bytes of
// text (-1: all) and rasterises what is missing from the cache. The bytes
// consumed, or -1 for an invalid handle.
int PrepareFontString(int fontHandle, const char *text, int length, FontChar *list, int *count);
// Read access to a font's cache for drawing and tests: pixels, pitch, bits
// per pixel and the bookkeeping; null for an invalid handle.
struct FontCacheView {
    const unsigned char *pixels;
    int pitch;
    int bitsPerPixel;
    int cellSize;
    int fontType;
    int vertical;
    const GlyphCache *cache;
};
int GetFontCacheView(int fontHandle, FontCacheView *view);

#endif
