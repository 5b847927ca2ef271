// A font's record: the GDI font, its metrics and its glyph cache bitmap.
// Internal to the font module.
#ifndef VEXLO_FONT_FONT_DATA_H
#define VEXLO_FONT_FONT_DATA_H

#include <windows.h>

#include "glyph_cache.h"

const int FONT_TABLE_SIZE = 40;
const int FONT_TYPE_EDGED = 1;
const int FONT_TYPE_ANTIALIASED = 2;

struct FontData {
    int checkNumber;
    int *deletedFlag;
    GlyphCache cache;
    // Bitmap cache: a top-down DIB section (or, for vertical fonts, separate
    // memory, the DIB then being one cell used to draw before turning).
    HBITMAP bitmap;
    unsigned char *cachePixels;
    unsigned char *verticalPixels;
    int cachePitch;
    int verticalPitch;
    HPALETTE palette;
    LOGPALETTE *paletteMemory;
    int bitsPerPixel;
    char faceName[256];
    int thickness;
    int size;
    int cellSize;
    HFONT font;
    int fontType;
    int charsetIndex;
    int cacheWidth;
    int cacheHeight;
    int rows;
    int vertical;
    int textureMode; // always 0: the texture cache comes with Direct3D
    // The screen-sized BMP-data entry strings are drawn into first when they
    // cannot go straight to the target (antialiased fonts, targets with
    // alpha); made on first use, and marked missing when deleted.
    int drawScreen;
    int drawScreenMissing;
};

// The record of a valid font handle, else null.
FontData *FindFontData(int fontHandle);

// 1 while fonts can be made and filled: the display device exists (or the
// test seam says so).
int IsFontDeviceReady();

// Makes the bitmap cache of a measured font (cellSize, fontType and vertical
// set): -1 after logging the failure.
int CreateFontBitmapCache(FontData *font);
void ReleaseFontBitmapCache(FontData *font);

// Deletes the font draw screen unless it is already gone.
void ReleaseFontDrawScreen(FontData *font);

#endif
