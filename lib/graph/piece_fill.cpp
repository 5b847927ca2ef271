#include "piece_fill.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace {

bool HasPixels(const GraphImage *image) { return image && image->pixels && image->width > 0 && image->height > 0; }

// The part of the piece-sized rectangle at (x, y) inside width x height.
ImageRect CutRect(int x, int y, int pieceWidth, int pieceHeight, int width, int height)
{
    ImageRect r;
    r.left = std::max(x, 0);
    r.top = std::max(y, 0);
    r.right = std::min(x + pieceWidth, width);
    r.bottom = std::min(y + pieceHeight, height);
    return r;
}

bool IsEmpty(const ImageRect &r) { return r.right <= r.left || r.bottom <= r.top; }

void FillAlphaOpaque(const PieceTarget &t)
{
    for (int y = 0; y < t.height; ++y)
        std::memset(t.alphaMemory + static_cast<std::ptrdiff_t>(y) * t.alphaPitch, 255, static_cast<size_t>(t.width));
}

} // namespace

int FillPieceFromImage(const PieceTarget &t, const GraphImage *image, const GraphImage *alphaImage, int srcX,
                       int srcY)
{
    if (!HasPixels(image) || !t.pixels || t.width <= 0 || t.height <= 0) return -1;
    ImageRect rect = CutRect(srcX, srcY, t.width, t.height, image->width, image->height);
    bool imageHasAlpha = image->colorData.alphaWidth != 0;
    bool useAlphaImage = t.alphaMemory && !imageHasAlpha && HasPixels(alphaImage);
    if (useAlphaImage) {
        // The companion covers only its own size.
        ImageRect a = CutRect(srcX, srcY, t.width, t.height, alphaImage->width, alphaImage->height);
        rect.right = std::min(rect.right, a.right);
        rect.bottom = std::min(rect.bottom, a.bottom);
    }
    if (IsEmpty(rect)) return -1;
    int dstX = rect.left - srcX, dstY = rect.top - srcY;

    ConvertPixels(t.pixels, t.pitch, t.layout, image->pixels, image->pitch, &image->colorData, nullptr, 0, nullptr,
                  dstX, dstY, &rect, 0, 0, 0);
    if (!t.alphaMemory) return 0;
    if (imageHasAlpha) {
        ConvertPixels(t.alphaMemory, t.alphaPitch, &Grey8Layout(), image->pixels, image->pitch, &image->colorData,
                      nullptr, 0, nullptr, dstX, dstY, &rect, 0, 0, 1);
    } else if (useAlphaImage) {
        ConvertPixels(t.alphaMemory, t.alphaPitch, &Grey8Layout(), image->pixels, image->pitch, &image->colorData,
                      alphaImage->pixels, alphaImage->pitch, &alphaImage->colorData, dstX, dstY, &rect, 0, 0, 1);
    } else {
        FillAlphaOpaque(t);
    }
    return 0;
}
