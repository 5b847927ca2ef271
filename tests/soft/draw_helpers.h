// Draws through the clipping plans and the loops the way the renderer's
// surface glue does (pointers at the first touched pixel, pitches), and the
// expected images computed independently, pixel by pixel, from the
// reference rules.
#ifndef VEXLO_TESTS_SOFT_DRAW_HELPERS_H
#define VEXLO_TESTS_SOFT_DRAW_HELPERS_H

#include <string>

#include "blit_buffers.h"
#include "pixel_reference.h"
#include "soft/blit_clip.h"
#include "soft/blit_loops.h"

namespace drawtest {

using testbuf::Surface;

struct Source {
    Surface *pixels;
    Surface *alpha; // one byte per pixel, or null
};

reference::Settings ReferenceSettings(const BlendSettings &s, bool alphaMemory);

// dstRead null: the destination itself is read.
void DrawUnscaled(const reference::Layout &l, Surface &dst, Surface *dstRead, const Source &src, int x, int y,
                  const PixelRect &area, const BlendSettings &s);
void ExpectUnscaled(const reference::Layout &l, Surface &expected, Surface &dstRead, const Source &src, int x,
                    int y, const PixelRect &area, const BlendSettings &s);

ScaledPlanResult DrawScaled(const reference::Layout &l, Surface &dst, const Source &src, int x1, int y1, int x2,
                            int y2, const PixelRect &area, const BlendSettings &s);
void ExpectScaled(const reference::Layout &l, Surface &expected, const Source &src, int x1, int y1, int x2, int y2,
                  const PixelRect &area, const BlendSettings &s);

void DrawBox(const reference::Layout &l, Surface &dst, int x1, int y1, int x2, int y2, const PixelRect &area,
             uint32_t colour, int mode, int parameter);
void ExpectBox(const reference::Layout &l, Surface &expected, int x1, int y1, int x2, int y2, const PixelRect &area,
               uint32_t colour, int mode, int parameter);

// Empty when equal; else the count of differing pixels and the first one.
// 32-bit pixels are compared without their fourth byte, which no rule
// defines; the guard bands must be untouched byte for byte.
std::string Compare(const reference::Layout &l, Surface &actual, Surface &expected);

} // namespace drawtest

#endif
