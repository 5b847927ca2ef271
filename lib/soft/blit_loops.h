// The software renderer's pixel loops over locked surface memory: unscaled
// blits, scaled and mirrored blits, and filled boxes, for 32-bit, 16-bit
// 5:6:5 and 5:5:5 screens (and byte copies on 8-bit screens). The caller
// locks the surfaces and hands over pointers at the first pixel each loop
// touches, with their pitches; the loops only read and write the W x H
// rectangles so described. Platform-free.
#ifndef VEXLO_SOFT_BLIT_LOOPS_H
#define VEXLO_SOFT_BLIT_LOOPS_H

#include <cstddef>
#include <cstdint>

#include "../Vexlo.h"
#include "../graph/color_data.h"

// The draw settings a loop reads.
struct BlendSettings {
    int mode;
    int parameter;   // 0..255
    int tintColour;  // 0x00RRGGBB, -1 for none
    bool useKey;     // skip source pixels equal to key
    uint32_t key;    // a whole pixel value in the screen's layout
};

// Destination, the pixels to blend with (the destination itself, or a copy
// of it in system memory), the source and its alpha memory.
struct BlitBuffers {
    uint8_t *dst;
    ptrdiff_t dstPitch;
    const uint8_t *dstRead;       // dst when no copy was made
    ptrdiff_t dstReadPitch;
    const uint8_t *src;           // first source pixel read
    ptrdiff_t srcPitch;
    const uint8_t *alpha;         // one byte per source pixel; null without alpha memory
    ptrdiff_t alphaPitch;
};

// How an unscaled draw goes, decided before anything is locked.
enum class BlitRoute {
    Nothing, // the settings draw nothing on this screen
    Plain,   // a (keyed) copy: the driver's blit may do it
    Blend,   // the pixel loops are needed
};
BlitRoute ChooseUnscaledRoute(const ColorData &screen, const BlendSettings &settings, bool hasAlphaMemory);

// Unscaled draw of width x height pixels; the Plain route runs as a keyed
// copy loop. Nothing is done for the Nothing route.
void RunUnscaledBlit(const ColorData &screen, const BlitBuffers &buffers, int width, int height,
                     const BlendSettings &settings);

// Scaled draw: width x height destination pixels with the 16.16 stepper.
// buffers.src (and alpha) point at the first source pixel read; a mirrored
// axis walks left (up) from there.
struct ScaledSteps {
    int64_t stepX, stepY;
    int64_t fracX, fracY;
    bool mirrorX, mirrorY;
};
void RunScaledBlit(const ColorData &screen, const BlitBuffers &buffers, int width, int height,
                   const ScaledSteps &steps, const BlendSettings &settings);
// Whether a scaled draw with these settings draws anything.
bool ScaledBlitDraws(const ColorData &screen, const BlendSettings &settings);

// Filled box of width x height pixels in colour (a screen value, already
// tinted). BLEND_NONE fills; the other modes blend the colour as a source
// pixel would be blended by an unscaled draw without key, alpha memory or
// tint (BLEND_SUB is the subtract of the string drawing's emulation).
// buffers.src and alpha are not used.
void RunFillBox(const ColorData &screen, const BlitBuffers &buffers, int width, int height, uint32_t colour,
                int mode, int parameter);
// A screen colour after the tint: each channel scaled by the tint's byte /
// 255. No tint (-1) or a white one keeps the colour as it is, as does a
// value that is no colour of an 8-bit screen's palette.
uint32_t TintScreenColour(uint32_t colour, int tintColour);

#endif
