// The screen's pixel layout as the colour functions see it, and those
// functions. The display sets the layout (and on 8-bit screens the palette)
// after every mode change; until then it is 16-bit 5:6:5. Platform-free.
#ifndef VEXLO_GRAPH_SCREEN_COLOR_H
#define VEXLO_GRAPH_SCREEN_COLOR_H

#include <cstdint>

#include "color_data.h"

struct PaletteEntry {
    uint8_t red, green, blue;
};

// Records the screen layout; for an 8-bit layout also its 256-entry palette
// (null keeps a black palette).
void SetScreenColorData(const ColorData *layout, const PaletteEntry *palette);
const ColorData *GetScreenColorData();
// Back to the 16-bit 5:6:5 start layout.
void ResetScreenColorData();

// The value of a colour in the given layout, alpha included when the layout
// has it; on an 8-bit screen the nearest palette index instead.
uint32_t GetColorIn(const ColorData *layout, int r, int g, int b, int a);
// Channels of a screen value scaled to 0..255: 0, or -1 for a palette index
// outside 0..255 on an 8-bit screen.
int GetColorRGB(uint32_t colour, int *r, int *g, int *b);
// The nearest palette entry by squared distance; the lowest index on ties.
int NearestPaletteIndex(const PaletteEntry *palette, int r, int g, int b);

#endif
