// Drawing strings from the glyph caches into DirectDraw surfaces.
#ifndef VEXLO_FONT_STRING_DRAW_H
#define VEXLO_FONT_STRING_DRAW_H

#include <windows.h>
#include <ddraw.h>

#include <cstdint>

#include "../soft/blit_clip.h"

// Where FontCacheStringDraw writes: a surface (locked for the draw), its
// alpha memory (may be null) and the clip rectangle in surface pixels.
struct StringTarget {
    IDirectDrawSurface7 *surface;
    uint8_t *alpha;
    int alphaPitch;
    PixelRect clip;
};

// Draws (draw 1) or only measures (draw 0, target may be null) at most
// length bytes of text (-1: all) at (x, y) in the font, colours as screen
// values scaled by the tint. The extent along the writing direction (width,
// or height when vertical); size receives both when given. -1 without a
// display device or for an invalid font handle.
int FontCacheStringDraw(int draw, int x, int y, const char *text, int colour, const StringTarget *target,
                        int fontHandle, int edgeColour, int length, int vertical, SIZE *size);

// The DirectDraw string path: straight into the target, through the font's
// draw screen, or through GDI before the display has finished starting.
int G_DDraw_DrawString(int x, int y, const char *text, int colour, int fontHandle, int edgeColour, int vertical);
// The Direct3D string path: fonts without a texture cache go to the
// DirectDraw path; texture caches are not available (-1).
int G_D3D_DrawString(int x, int y, const char *text, int colour, int fontHandle, int edgeColour, int vertical);

// Makes the font's draw screen when it is missing; 0 or -1.
int SetupFontCacheTargets(int fontHandle);

#endif
