// GraphImage: decoded pixels in a known layout, rows top to bottom, and the
// operations on whole images. Platform-free.
#ifndef VEXLO_GRAPH_GRAPH_IMAGE_H
#define VEXLO_GRAPH_GRAPH_IMAGE_H

#include <cstdint>

#include "color_data.h"

struct GraphImage {
    ColorData colorData;
    int width;
    int height;
    int pitch;    // bytes from one row to the next
    void *pixels; // owned; freed by ReleaseGraphImage
};

// A rectangle of pixels: left and top inside, right and bottom outside.
struct ImageRect {
    int left, top, right, bottom;
};

// Upper bound on width x height of any image the decoders build. Images
// above it are refused before memory is taken for them.
const int64_t IMAGE_PIXEL_LIMIT_DEFAULT = int64_t{16384} * 16384;
void SetImagePixelLimit(int64_t pixels);
int64_t GetImagePixelLimit();

// Allocates pitch x height bytes for an image of the layout (uninitialised).
// -1, with the image zero-filled, when a size is not positive, the pixel
// count is over the limit, pitch is below width x bytes per pixel, or the
// byte count overflows.
int AllocateGraphImage(GraphImage *image, const ColorData *layout, int width, int height, int pitch);
// Frees the pixel memory and zero-fills the record.
void ReleaseGraphImage(GraphImage *image);
// Reverses the pixel order of every row in place. -1 for an empty image.
int MirrorGraphImage(GraphImage *image);

// Copies srcRect of the source to (dstX, dstY) of the destination, changing
// the layout. alphaSrc (may be null) supplies alpha through its red channel
// when the source has none. keyToAlpha: pixels of colour keyColour
// (0x00RRGGBB) get alpha 0, all others full alpha. alphaOnly: only alpha is
// written (for alpha memory). The caller guarantees both rectangles lie in
// their buffers. Returns 0.
int ConvertPixels(void *dst, int dstPitch, const ColorData *dstLayout, const void *src, int srcPitch,
                  const ColorData *srcLayout, const void *alphaSrc, int alphaSrcPitch,
                  const ColorData *alphaSrcLayout, int dstX, int dstY, const ImageRect *srcRect,
                  int keyToAlpha, uint32_t keyColour, int alphaOnly);

#endif
