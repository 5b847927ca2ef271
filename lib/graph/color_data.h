// Pixel layouts: ColorData describes how a pixel of 1 to 4 little-endian
// bytes holds red, green, blue and alpha. Platform-free.
#ifndef VEXLO_GRAPH_COLOR_DATA_H
#define VEXLO_GRAPH_COLOR_DATA_H

#include <cstdint>

struct ColorData {
    uint8_t bitDepth;      // 8, 16, 24 or 32
    uint8_t bytesPerPixel; // bitDepth / 8
    uint8_t redWidth, greenWidth, blueWidth, alphaWidth; // 0: channel absent
    uint8_t redShift, greenShift, blueShift, alphaShift;
    uint32_t redMask, greenMask, blueMask, alphaMask;
    uint32_t spareMask; // bits no channel uses
};

// Fills every field from the bit depth and the four channel masks. A mask
// whose set bits are not contiguous keeps only its lowest run.
void SetColorDataFromMasks(ColorData *layout, int bitDepth, uint32_t redMask, uint32_t greenMask,
                           uint32_t blueMask, uint32_t alphaMask);
// Recomputes the spare mask from the depth, widths and masks.
void ComputeSpareMask(ColorData *layout);

// The standard layouts.
const ColorData &Bgr24Layout();  // B, G, R bytes
const ColorData &Bgra32Layout(); // B, G, R, A bytes
const ColorData &Grey8Layout();  // one byte serving as red, green, blue and alpha

// Same bit depth and the same four masks.
bool SameLayout(const ColorData *a, const ColorData *b);

// Packs 8-bit channels (each taken modulo 256) into the layout: every channel
// keeps its top bits, alpha only when the layout has it; the spare bits are
// set.
uint32_t PackColor(const ColorData *layout, int r, int g, int b, int a);
// A channel's value scaled to 0..255: v * 255 / (2^width - 1); 0 when the
// channel is absent.
int ExpandChannel(uint32_t pixel, uint32_t mask, int shift, int width);

#endif
