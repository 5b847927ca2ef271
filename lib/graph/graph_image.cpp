#include "graph_image.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace {

int64_t g_pixelLimit = IMAGE_PIXEL_LIMIT_DEFAULT;

// The byte count must also fit an int (pitches and offsets are ints) and,
// on 32-bit builds, the address space.
const int64_t kMaxImageBytes = 0x7FFFFFFF;

void SwapBytes(uint8_t *a, uint8_t *b, int count)
{
    for (int i = 0; i < count; ++i) {
        uint8_t t = a[i];
        a[i] = b[i];
        b[i] = t;
    }
}

} // namespace

void SetImagePixelLimit(int64_t pixels) { g_pixelLimit = pixels > 0 ? pixels : IMAGE_PIXEL_LIMIT_DEFAULT; }
int64_t GetImagePixelLimit() { return g_pixelLimit; }

int AllocateGraphImage(GraphImage *image, const ColorData *layout, int width, int height, int pitch)
{
    *image = GraphImage{};
    if (width <= 0 || height <= 0 || layout->bytesPerPixel == 0) return -1;
    if (static_cast<int64_t>(width) * height > g_pixelLimit) return -1;
    if (static_cast<int64_t>(pitch) < static_cast<int64_t>(width) * layout->bytesPerPixel) return -1;
    int64_t bytes = static_cast<int64_t>(pitch) * height;
    if (bytes > kMaxImageBytes) return -1;
    void *pixels = std::malloc(static_cast<size_t>(bytes));
    if (!pixels) return -1;
    image->colorData = *layout;
    image->width = width;
    image->height = height;
    image->pitch = pitch;
    image->pixels = pixels;
    return 0;
}

void ReleaseGraphImage(GraphImage *image)
{
    std::free(image->pixels);
    *image = GraphImage{};
}

int MirrorGraphImage(GraphImage *image)
{
    if (image->width <= 0 || image->height <= 0 || !image->pixels) return -1;
    int bpp = image->colorData.bytesPerPixel;
    if (bpp < 1 || bpp > 4) return -1;
    for (int y = 0; y < image->height; ++y) {
        uint8_t *row = static_cast<uint8_t *>(image->pixels) + static_cast<ptrdiff_t>(y) * image->pitch;
        for (int l = 0, r = image->width - 1; l < r; ++l, --r) SwapBytes(row + l * bpp, row + r * bpp, bpp);
    }
    return 0;
}
