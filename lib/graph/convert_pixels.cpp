// ConvertPixels: one rectangle of pixels from any layout into any other.
// The general path works channel by channel; the fast copy and the 24-bit
// shortcuts give the same results for the cases every image load hits.
#include <cstddef>
#include <cstring>

#include "graph_image.h"

namespace {

// How one channel moves from the source layout to the destination layout.
struct ChannelMove {
    uint32_t srcMask;
    int srcShift;
    int srcWidth; // 0: absent in the source, gives 0
    int dstShift;
    int dstWidth; // 0: absent in the destination, not written
};

ChannelMove MakeMove(uint32_t srcMask, int srcShift, int srcWidth, int dstShift, int dstWidth)
{
    return ChannelMove{srcMask, srcShift, srcWidth, dstShift, dstWidth};
}

// Width change: a narrower destination drops low bits; a wider one spreads
// the value over the full range, (v << k) + v * (2^k - 1) / (2^w - 1).
uint32_t MoveChannel(const ChannelMove &m, uint32_t pixel)
{
    if (m.dstWidth <= 0 || m.srcWidth <= 0) return 0;
    uint32_t v = (pixel & m.srcMask) >> m.srcShift;
    if (m.dstWidth < m.srcWidth) {
        v >>= (m.srcWidth - m.dstWidth);
    } else if (m.dstWidth > m.srcWidth) {
        int k = m.dstWidth - m.srcWidth;
        uint64_t wide = (uint64_t{v} << k) + uint64_t{v} * ((uint64_t{1} << k) - 1) / ((uint64_t{1} << m.srcWidth) - 1);
        v = static_cast<uint32_t>(wide);
    }
    return v << m.dstShift;
}

uint32_t ReadPixel(const uint8_t *p, int bytes)
{
    switch (bytes) {
    case 1: return p[0];
    case 2: return uint32_t{p[0]} | uint32_t{p[1]} << 8;
    case 3: return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16;
    default: return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
    }
}

void WritePixel(uint8_t *p, int bytes, uint32_t v)
{
    p[0] = static_cast<uint8_t>(v);
    if (bytes > 1) p[1] = static_cast<uint8_t>(v >> 8);
    if (bytes > 2) p[2] = static_cast<uint8_t>(v >> 16);
    if (bytes > 3) p[3] = static_cast<uint8_t>(v >> 24);
}

uint32_t ColourMask(const ColorData *l) { return l->redMask | l->greenMask | l->blueMask; }

bool SameColourParts(const ColorData *a, const ColorData *b)
{
    return a->bitDepth == b->bitDepth && a->redMask == b->redMask && a->greenMask == b->greenMask &&
           a->blueMask == b->blueMask;
}

// Everything a row loop needs, decided once per call.
struct Conversion {
    const uint8_t *src;
    int srcPitch;
    int srcBytes;
    uint8_t *dst;
    int dstPitch;
    int dstBytes;
    const uint8_t *alphaSrc; // null unless alpha comes from the alpha source
    int alphaPitch;
    int alphaBytes;
    ChannelMove red, green, blue, alpha;
    bool alphaOnly;
    bool keyToAlpha;
    uint32_t keyColour;  // packed colour bits of the key in the destination
    uint32_t colourMask; // destination colour bits
    uint32_t alphaMask;  // destination alpha bits
    uint32_t spare;      // ORed into 2- and 4-byte destinations
    int width, height;
};

void ConvertGeneral(const Conversion &c)
{
    for (int y = 0; y < c.height; ++y) {
        const uint8_t *s = c.src + static_cast<ptrdiff_t>(y) * c.srcPitch;
        const uint8_t *a = c.alphaSrc ? c.alphaSrc + static_cast<ptrdiff_t>(y) * c.alphaPitch : nullptr;
        uint8_t *d = c.dst + static_cast<ptrdiff_t>(y) * c.dstPitch;
        for (int x = 0; x < c.width; ++x) {
            uint32_t pixel = ReadPixel(s + x * c.srcBytes, c.srcBytes);
            uint32_t alphaPixel = a ? ReadPixel(a + x * c.alphaBytes, c.alphaBytes) : pixel;
            uint32_t colour = 0;
            if (!c.alphaOnly) colour = MoveChannel(c.red, pixel) | MoveChannel(c.green, pixel) | MoveChannel(c.blue, pixel);
            uint32_t alpha = MoveChannel(c.alpha, alphaPixel);
            if (c.keyToAlpha) alpha = colour == c.keyColour ? 0 : c.alphaMask;
            WritePixel(d + x * c.dstBytes, c.dstBytes, colour | alpha | c.spare);
        }
    }
}

void CopyRows(const Conversion &c)
{
    size_t rowBytes = static_cast<size_t>(c.width) * static_cast<size_t>(c.srcBytes);
    for (int y = 0; y < c.height; ++y) {
        std::memcpy(c.dst + static_cast<ptrdiff_t>(y) * c.dstPitch, c.src + static_cast<ptrdiff_t>(y) * c.srcPitch, rowBytes);
    }
}

// Same colour layout, key to alpha: the colour bits are kept, alpha is
// cleared on key pixels and set on all others.
void CopyWithKey(const Conversion &c)
{
    for (int y = 0; y < c.height; ++y) {
        const uint8_t *s = c.src + static_cast<ptrdiff_t>(y) * c.srcPitch;
        uint8_t *d = c.dst + static_cast<ptrdiff_t>(y) * c.dstPitch;
        for (int x = 0; x < c.width; ++x) {
            uint32_t colour = ReadPixel(s + x * c.srcBytes, c.srcBytes) & c.colourMask;
            uint32_t alpha = colour == c.keyColour ? 0 : c.alphaMask;
            WritePixel(d + x * c.dstBytes, c.dstBytes, colour | alpha | c.spare);
        }
    }
}

enum class Shortcut { None, To565, To1555, ToScreen32 };

// The three 24-bit BGR sources with byte-level loops.
Shortcut FindShortcut(const ColorData *dst, const ColorData *src)
{
    if (!SameLayout(src, &Bgr24Layout())) return Shortcut::None;
    if (dst->alphaMask) return Shortcut::None;
    if (dst->bitDepth == 16 && dst->redMask == 0xF800 && dst->greenMask == 0x07E0 && dst->blueMask == 0x001F &&
        dst->spareMask == 0)
        return Shortcut::To565;
    if (dst->bitDepth == 16 && dst->redMask == 0x7C00 && dst->greenMask == 0x03E0 && dst->blueMask == 0x001F &&
        dst->spareMask == 0x8000)
        return Shortcut::To1555;
    if (dst->bitDepth == 32 && dst->redMask == 0xFF0000 && dst->greenMask == 0xFF00 && dst->blueMask == 0xFF &&
        dst->spareMask == 0xFF000000)
        return Shortcut::ToScreen32;
    return Shortcut::None;
}

void ConvertBgr24(const Conversion &c, Shortcut shortcut)
{
    for (int y = 0; y < c.height; ++y) {
        const uint8_t *s = c.src + static_cast<ptrdiff_t>(y) * c.srcPitch;
        uint8_t *d = c.dst + static_cast<ptrdiff_t>(y) * c.dstPitch;
        for (int x = 0; x < c.width; ++x, s += 3) {
            uint32_t b = s[0], g = s[1], r = s[2];
            if (shortcut == Shortcut::ToScreen32) {
                d[0] = s[0];
                d[1] = s[1];
                d[2] = s[2];
                d[3] = 0xFF;
                d += 4;
                continue;
            }
            uint32_t v = shortcut == Shortcut::To565 ? (r >> 3 << 11 | g >> 2 << 5 | b >> 3)
                                                     : (0x8000 | r >> 3 << 10 | g >> 3 << 5 | b >> 3);
            d[0] = static_cast<uint8_t>(v);
            d[1] = static_cast<uint8_t>(v >> 8);
            d += 2;
        }
    }
}

} // namespace

int ConvertPixels(void *dst, int dstPitch, const ColorData *dstLayout, const void *src, int srcPitch,
                  const ColorData *srcLayout, const void *alphaSrc, int alphaSrcPitch,
                  const ColorData *alphaSrcLayout, int dstX, int dstY, const ImageRect *srcRect,
                  int keyToAlpha, uint32_t keyColour, int alphaOnly)
{
    Conversion c{};
    c.width = srcRect->right - srcRect->left;
    c.height = srcRect->bottom - srcRect->top;
    if (c.width <= 0 || c.height <= 0) return 0;
    c.srcBytes = srcLayout->bytesPerPixel;
    c.dstBytes = dstLayout->bytesPerPixel;
    if (c.srcBytes < 1 || c.srcBytes > 4 || c.dstBytes < 1 || c.dstBytes > 4) return 0;
    c.srcPitch = srcPitch;
    c.dstPitch = dstPitch;
    c.src = static_cast<const uint8_t *>(src) + static_cast<ptrdiff_t>(srcRect->top) * srcPitch +
            static_cast<ptrdiff_t>(srcRect->left) * c.srcBytes;
    c.dst = static_cast<uint8_t *>(dst) + static_cast<ptrdiff_t>(dstY) * dstPitch + static_cast<ptrdiff_t>(dstX) * c.dstBytes;

    bool dstHasAlpha = dstLayout->alphaWidth != 0;
    bool srcHasAlpha = srcLayout->alphaWidth != 0;
    bool useAlphaSrc = dstHasAlpha && !srcHasAlpha && alphaSrc && alphaSrcLayout &&
                       alphaSrcLayout->bytesPerPixel >= 1 && alphaSrcLayout->bytesPerPixel <= 4;
    c.keyToAlpha = keyToAlpha && dstHasAlpha && !srcHasAlpha && !useAlphaSrc;
    c.alphaOnly = alphaOnly != 0;
    c.alphaMask = dstLayout->alphaMask;
    c.colourMask = ColourMask(dstLayout);
    c.spare = (c.dstBytes == 2 || c.dstBytes == 4) ? dstLayout->spareMask : 0;
    // The key's colour bits as the destination holds them.
    c.keyColour = PackColor(dstLayout, (keyColour >> 16) & 0xFF, (keyColour >> 8) & 0xFF, keyColour & 0xFF, 0) &
                  c.colourMask;

    if (SameLayout(dstLayout, srcLayout) && !alphaSrc && !c.keyToAlpha && !c.alphaOnly) {
        CopyRows(c);
        return 0;
    }
    if (c.keyToAlpha && !c.alphaOnly && SameColourParts(dstLayout, srcLayout)) {
        CopyWithKey(c);
        return 0;
    }
    Shortcut shortcut = c.alphaOnly || c.keyToAlpha ? Shortcut::None : FindShortcut(dstLayout, srcLayout);
    if (shortcut != Shortcut::None) {
        ConvertBgr24(c, shortcut);
        return 0;
    }

    const ColorData *s = srcLayout;
    const ColorData *d = dstLayout;
    c.red = MakeMove(s->redMask, s->redShift, s->redWidth, d->redShift, d->redWidth);
    c.green = MakeMove(s->greenMask, s->greenShift, s->greenWidth, d->greenShift, d->greenWidth);
    c.blue = MakeMove(s->blueMask, s->blueShift, s->blueWidth, d->blueShift, d->blueWidth);
    if (useAlphaSrc) {
        const ColorData *a = alphaSrcLayout;
        c.alpha = MakeMove(a->redMask, a->redShift, a->redWidth, d->alphaShift, d->alphaWidth);
        c.alphaBytes = a->bytesPerPixel;
        c.alphaPitch = alphaSrcPitch;
        c.alphaSrc = static_cast<const uint8_t *>(alphaSrc) + static_cast<ptrdiff_t>(srcRect->top) * alphaSrcPitch +
                     static_cast<ptrdiff_t>(srcRect->left) * c.alphaBytes;
    } else {
        c.alpha = MakeMove(s->alphaMask, s->alphaShift, s->alphaWidth, d->alphaShift, d->alphaWidth);
    }
    ConvertGeneral(c);
    return 0;
}
