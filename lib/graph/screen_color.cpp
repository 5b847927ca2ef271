#include "screen_color.h"

#include <cstring>

#include "../Vexlo.h"

namespace {

ColorData MakeStartLayout()
{
    ColorData layout{};
    SetColorDataFromMasks(&layout, 16, 0xF800, 0x07E0, 0x001F, 0);
    return layout;
}

ColorData g_screenLayout = MakeStartLayout();
PaletteEntry g_palette[256];

bool ScreenUsesPalette() { return g_screenLayout.bitDepth == 8; }

int ScaleChannel(uint32_t colour, uint32_t mask, int shift, int width)
{
    if (width <= 0) return 0;
    uint64_t v = (colour & mask) >> shift;
    uint64_t top = (uint64_t{1} << width) - 1;
    return static_cast<int>(v * 255u / top);
}

} // namespace

void SetScreenColorData(const ColorData *layout, const PaletteEntry *palette)
{
    g_screenLayout = *layout;
    if (palette) {
        std::memcpy(g_palette, palette, sizeof g_palette);
    } else {
        std::memset(g_palette, 0, sizeof g_palette);
    }
}

const ColorData *GetScreenColorData() { return &g_screenLayout; }

void ResetScreenColorData()
{
    g_screenLayout = MakeStartLayout();
    std::memset(g_palette, 0, sizeof g_palette);
}

int NearestPaletteIndex(const PaletteEntry *palette, int r, int g, int b)
{
    int best = 0;
    long bestDistance = -1;
    for (int i = 0; i < 256; ++i) {
        long dr = r - palette[i].red, dg = g - palette[i].green, db = b - palette[i].blue;
        long distance = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

uint32_t GetColorIn(const ColorData *layout, int r, int g, int b, int a)
{
    if (ScreenUsesPalette()) return static_cast<uint32_t>(NearestPaletteIndex(g_palette, r & 0xFF, g & 0xFF, b & 0xFF));
    return PackColor(layout, r, g, b, a);
}

int GetColorRGB(uint32_t colour, int *r, int *g, int *b)
{
    if (ScreenUsesPalette()) {
        if (colour > 255) return -1;
        if (r) *r = g_palette[colour].red;
        if (g) *g = g_palette[colour].green;
        if (b) *b = g_palette[colour].blue;
        return 0;
    }
    const ColorData &s = g_screenLayout;
    if (r) *r = ScaleChannel(colour, s.redMask, s.redShift, s.redWidth);
    if (g) *g = ScaleChannel(colour, s.greenMask, s.greenShift, s.greenWidth);
    if (b) *b = ScaleChannel(colour, s.blueMask, s.blueShift, s.blueWidth);
    return 0;
}

// The screen value of a colour, alpha left out; the spare bits are set.
extern "C" int GetColor(int red, int green, int blue)
{
    if (ScreenUsesPalette()) return NearestPaletteIndex(g_palette, red & 0xFF, green & 0xFF, blue & 0xFF);
    const ColorData &s = g_screenLayout;
    ColorData noAlpha = s;
    noAlpha.alphaWidth = 0;
    return static_cast<int>(PackColor(&noAlpha, red, green, blue, 0));
}
