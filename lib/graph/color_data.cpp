#include "color_data.h"

namespace {

uint32_t DepthMask(int bitDepth)
{
    return bitDepth >= 32 ? 0xFFFFFFFFu : (1u << bitDepth) - 1u;
}

// Lowest set bit and the run of set bits from there.
void MaskToShiftWidth(uint32_t mask, uint8_t *shift, uint8_t *width)
{
    *shift = 0;
    *width = 0;
    if (mask == 0) return;
    int s = 0;
    while (!(mask & (1u << s))) ++s;
    int w = 0;
    while (s + w < 32 && (mask & (1u << (s + w)))) ++w;
    *shift = static_cast<uint8_t>(s);
    *width = static_cast<uint8_t>(w);
}

uint32_t RunMask(int shift, int width)
{
    if (width <= 0) return 0;
    uint32_t run = width >= 32 ? 0xFFFFFFFFu : (1u << width) - 1u;
    return run << shift;
}

ColorData MakeLayout(int bitDepth, uint32_t r, uint32_t g, uint32_t b, uint32_t a)
{
    ColorData layout{};
    SetColorDataFromMasks(&layout, bitDepth, r, g, b, a);
    return layout;
}

const ColorData kBgr24 = MakeLayout(24, 0xFF0000, 0xFF00, 0xFF, 0);
const ColorData kBgra32 = MakeLayout(32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000);
const ColorData kGrey8 = MakeLayout(8, 0xFF, 0xFF, 0xFF, 0xFF);

// Top `width` bits of an 8-bit value, at the channel's place.
uint32_t PackChannel(int value, int shift, int width)
{
    if (width <= 0) return 0;
    uint32_t v = static_cast<uint32_t>(value & 0xFF);
    v = width >= 8 ? v << (width - 8) : v >> (8 - width);
    return v << shift;
}

} // namespace

void SetColorDataFromMasks(ColorData *layout, int bitDepth, uint32_t redMask, uint32_t greenMask,
                           uint32_t blueMask, uint32_t alphaMask)
{
    *layout = ColorData{};
    layout->bitDepth = static_cast<uint8_t>(bitDepth);
    layout->bytesPerPixel = static_cast<uint8_t>(bitDepth / 8);
    MaskToShiftWidth(redMask, &layout->redShift, &layout->redWidth);
    MaskToShiftWidth(greenMask, &layout->greenShift, &layout->greenWidth);
    MaskToShiftWidth(blueMask, &layout->blueShift, &layout->blueWidth);
    MaskToShiftWidth(alphaMask, &layout->alphaShift, &layout->alphaWidth);
    layout->redMask = RunMask(layout->redShift, layout->redWidth);
    layout->greenMask = RunMask(layout->greenShift, layout->greenWidth);
    layout->blueMask = RunMask(layout->blueShift, layout->blueWidth);
    layout->alphaMask = RunMask(layout->alphaShift, layout->alphaWidth);
    ComputeSpareMask(layout);
}

void ComputeSpareMask(ColorData *layout)
{
    int widths = layout->redWidth + layout->greenWidth + layout->blueWidth + layout->alphaWidth;
    if (widths == layout->bitDepth) {
        layout->spareMask = 0;
        return;
    }
    uint32_t used = layout->redMask | layout->greenMask | layout->blueMask | layout->alphaMask;
    layout->spareMask = DepthMask(layout->bitDepth) & ~used;
}

const ColorData &Bgr24Layout() { return kBgr24; }
const ColorData &Bgra32Layout() { return kBgra32; }
const ColorData &Grey8Layout() { return kGrey8; }

bool SameLayout(const ColorData *a, const ColorData *b)
{
    return a->bitDepth == b->bitDepth && a->redMask == b->redMask && a->greenMask == b->greenMask &&
           a->blueMask == b->blueMask && a->alphaMask == b->alphaMask;
}

uint32_t PackColor(const ColorData *layout, int r, int g, int b, int a)
{
    // OR rather than add: in the grey layout all channels share one byte.
    uint32_t value = PackChannel(r, layout->redShift, layout->redWidth) |
                     PackChannel(g, layout->greenShift, layout->greenWidth) |
                     PackChannel(b, layout->blueShift, layout->blueWidth);
    if (layout->alphaWidth) value |= PackChannel(a, layout->alphaShift, layout->alphaWidth);
    return value | layout->spareMask;
}

int ExpandChannel(uint32_t pixel, uint32_t mask, int shift, int width)
{
    if (width <= 0) return 0;
    uint32_t v = (pixel & mask) >> shift;
    if (width >= 8) return static_cast<int>(v >> (width - 8));
    return static_cast<int>(v * 255u / ((1u << width) - 1u));
}
