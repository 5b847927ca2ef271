// Cache cells to destination pixels: one loop per (cache rule, destination
// pixel size), chosen once per cell rather than per pixel.
#include "glyph_copy.h"

#include <algorithm>
#include <cstring>

namespace {

template <int Bytes>
void PutPixel(uint8_t *row, int x, uint32_t value)
{
    if (Bytes == 1) {
        row[x] = static_cast<uint8_t>(value);
    } else if (Bytes == 2) {
        uint16_t v = static_cast<uint16_t>(value);
        std::memcpy(row + x * 2, &v, 2);
    } else {
        std::memcpy(row + x * 4, &value, 4);
    }
}

const uint8_t *SourceRow(const GlyphCellSource &s, int y)
{
    return s.pixels + static_cast<size_t>(y) * static_cast<size_t>(s.pitch);
}

uint8_t *DestinationRow(const GlyphDestination &d, int y)
{
    return d.pixels + static_cast<size_t>(y) * static_cast<size_t>(d.pitch);
}

void PutAlpha(const GlyphDestination &d, int x, int y, int alpha)
{
    if (d.alpha == nullptr) return;
    d.alpha[static_cast<size_t>(y) * static_cast<size_t>(d.alphaPitch) + static_cast<size_t>(x)] =
        static_cast<uint8_t>(alpha);
}

// The colour a cache value takes under a rule without coverage; 0 for no ink.
struct SolidInk {
    GlyphCellRule rule;
    uint32_t text, edge;
    bool Pick(int value, uint32_t *colour) const
    {
        if (value == 0) return false;
        *colour = rule == GlyphCellRule::Edged && !(value & 2) ? edge : text;
        return true;
    }
};

// Up to 56 pixels of a 1-bit cache row from pixel x, the leftmost in the
// top bit: only the bytes that hold them are read.
uint64_t RowBits(const uint8_t *row, int x, int count)
{
    const uint8_t *p = row + (x >> 3);
    int bytes = ((x & 7) + count + 7) >> 3;
    uint64_t v = 0;
    for (int i = 0; i < bytes; ++i) v |= static_cast<uint64_t>(p[i]) << (56 - 8 * i);
    v <<= (x & 7);
    return v & ~(~uint64_t{0} >> count);
}

// 1-bit cells: whole runs of empty pixels are skipped by the bit scan.
template <int Bytes>
void CopyInkBits(const GlyphCellSource &s, const GlyphCopyPlan &p, const GlyphDestination &d, uint32_t text)
{
    for (int y = 0; y < p.height; ++y) {
        const uint8_t *src = SourceRow(s, p.srcY + y);
        uint8_t *row = DestinationRow(d, p.dstY + y);
        for (int x0 = 0; x0 < p.width; x0 += 56) {
            int count = p.width - x0 < 56 ? p.width - x0 : 56;
            for (uint64_t bits = RowBits(src, p.srcX + x0, count); bits != 0; bits &= bits - 1) {
                // The lowest set bit is the rightmost pixel of the ones left.
                int i = 63 - __builtin_ctzll(bits);
                PutPixel<Bytes>(row, p.dstX + x0 + i, text);
            }
        }
    }
}

// 8-bit cells without coverage; eight empty pixels are passed at a time.
template <int Bytes>
void CopySolidBytes(const GlyphCellSource &s, const GlyphCopyPlan &p, const GlyphDestination &d, const SolidInk &ink)
{
    for (int y = 0; y < p.height; ++y) {
        const uint8_t *src = SourceRow(s, p.srcY + y) + p.srcX;
        uint8_t *row = DestinationRow(d, p.dstY + y);
        int x = 0;
        for (; x + 8 <= p.width; x += 8) {
            uint64_t eight;
            std::memcpy(&eight, src + x, 8);
            if (eight == 0) continue;
            for (int i = x; i < x + 8; ++i) {
                uint32_t colour = 0;
                if (ink.Pick(src[i], &colour)) PutPixel<Bytes>(row, p.dstX + i, colour);
            }
        }
        for (; x < p.width; ++x) {
            uint32_t colour = 0;
            if (ink.Pick(src[x], &colour)) PutPixel<Bytes>(row, p.dstX + x, colour);
        }
    }
}

template <int Bytes>
void CopySolid(const GlyphCellSource &s, const GlyphCopyPlan &p, const GlyphDestination &d, const SolidInk &ink)
{
    if (s.bitsPerPixel == 1) CopyInkBits<Bytes>(s, p, d, ink.text);
    else CopySolidBytes<Bytes>(s, p, d, ink);
}

template <int Bytes>
void CopyCoverage(const GlyphCellSource &s, const GlyphCopyPlan &p, const GlyphDestination &d, uint32_t text)
{
    for (int y = 0; y < p.height; ++y) {
        uint8_t *row = DestinationRow(d, p.dstY + y);
        const uint8_t *src = SourceRow(s, p.srcY + y) + p.srcX;
        for (int x = 0; x < p.width; ++x) {
            if (src[x] == 0) continue;
            PutPixel<Bytes>(row, p.dstX + x, text);
            PutAlpha(d, p.dstX + x, p.dstY + y, src[x]);
        }
    }
}

template <int Bytes>
void CopyCoverageEdged(const GlyphCellSource &s, const GlyphCopyPlan &p, const GlyphDestination &d,
                       const GlyphInk &ink)
{
    for (int y = 0; y < p.height; ++y) {
        uint8_t *row = DestinationRow(d, p.dstY + y);
        const uint8_t *src = SourceRow(s, p.srcY + y) + p.srcX * 2;
        for (int x = 0; x < p.width; ++x) {
            uint32_t pixel = 0;
            int alpha = 0;
            if (!MixGlyphPixel(src[x * 2], src[x * 2 + 1], ink, d, &pixel, &alpha)) continue;
            PutPixel<Bytes>(row, p.dstX + x, pixel);
            PutAlpha(d, p.dstX + x, p.dstY + y, alpha);
        }
    }
}

template <int Bytes>
void CopyWithRule(GlyphCellRule rule, const GlyphCellSource &s, const GlyphCopyPlan &p, const GlyphDestination &d,
                  const GlyphInk &ink)
{
    // A 32-bit edge keeps no top byte.
    uint32_t edge = Bytes == 4 ? ink.edge & 0x00FFFFFFu : ink.edge;
    switch (rule) {
    case GlyphCellRule::Ink:
    case GlyphCellRule::Edged:
        CopySolid<Bytes>(s, p, d, SolidInk{rule, ink.text, edge});
        break;
    case GlyphCellRule::Coverage:
        CopyCoverage<Bytes>(s, p, d, ink.text);
        break;
    case GlyphCellRule::CoverageEdged:
        CopyCoverageEdged<Bytes>(s, p, d, GlyphInk{ink.text, edge});
        break;
    case GlyphCellRule::None:
        break;
    }
}

struct Channel {
    int shift, width;
};

// The channels of the destination for the mix; false for a layout the mix
// does not know.
bool MixChannels(const GlyphDestination &d, Channel channels[3])
{
    if (d.bitsPerPixel == 32) {
        channels[0] = {16, 8};
        channels[1] = {8, 8};
        channels[2] = {0, 8};
        return true;
    }
    if (d.bitsPerPixel != 16 || d.blueMask != 0x001F) return false;
    if (d.redMask == 0xF800 && d.greenMask == 0x07E0) {
        channels[0] = {11, 5};
        channels[1] = {5, 6};
        channels[2] = {0, 5};
        return true;
    }
    if (d.redMask == 0x7C00 && d.greenMask == 0x03E0) {
        channels[0] = {10, 5};
        channels[1] = {5, 5};
        channels[2] = {0, 5};
        return true;
    }
    return false;
}

} // namespace

GlyphCellRule RuleOfGlyphCache(int bitsPerPixel, int fontType)
{
    const bool edged = (fontType & 1) != 0;
    const bool antialiased = (fontType & 2) != 0;
    if (bitsPerPixel == 1 && !edged && !antialiased) return GlyphCellRule::Ink;
    if (bitsPerPixel == 8 && !antialiased) return edged ? GlyphCellRule::Edged : GlyphCellRule::Ink;
    if (bitsPerPixel == 8 && !edged) return GlyphCellRule::Coverage;
    if (bitsPerPixel == 16 && edged && antialiased) return GlyphCellRule::CoverageEdged;
    return GlyphCellRule::None;
}

bool PlanGlyphCopy(int x, int y, int cellX, int cellY, int width, int height, int cellSize, const PixelRect &clip,
                   GlyphCopyPlan *plan)
{
    // A cell is clipped like any unscaled draw; a slot never reads past its cell.
    UnscaledPlan visible;
    if (!PlanUnscaledBlit(x, y, std::min(width, cellSize), std::min(height, cellSize), clip, &visible)) return false;
    plan->dstX = visible.dstX;
    plan->dstY = visible.dstY;
    plan->width = visible.width;
    plan->height = visible.height;
    plan->srcX = cellX + visible.srcX;
    plan->srcY = cellY + visible.srcY;
    return true;
}

void CopyGlyphCell(const GlyphCellSource &source, const GlyphCopyPlan &plan, const GlyphDestination &destination,
                   const GlyphInk &ink)
{
    GlyphCellRule rule = RuleOfGlyphCache(source.bitsPerPixel, source.fontType);
    switch (destination.bitsPerPixel) {
    case 8:
        CopyWithRule<1>(rule, source, plan, destination, ink);
        break;
    case 16:
        CopyWithRule<2>(rule, source, plan, destination, ink);
        break;
    case 32:
        CopyWithRule<4>(rule, source, plan, destination, ink);
        break;
    default:
        break;
    }
}

bool MixGlyphPixel(int body, int edge, const GlyphInk &ink, const GlyphDestination &destination, uint32_t *pixel,
                   int *alpha)
{
    Channel channels[3];
    if (!MixChannels(destination, channels)) return false;
    if (body >= 255) {
        *pixel = ink.text;
        *alpha = 255;
        return true;
    }
    if (body <= 0) {
        if (edge <= 0) return false;
        *pixel = ink.edge;
        *alpha = edge;
        return true;
    }
    // The body covers its share of the pixel, the edge part of the rest.
    int a = body + (edge * (256 - body) >> 8);
    int share = body * 256 / a;
    uint32_t mixed = 0;
    for (const Channel &c : channels) {
        int limit = (1 << c.width) - 1;
        int t = static_cast<int>(ink.text >> c.shift) & limit;
        int e = static_cast<int>(ink.edge >> c.shift) & limit;
        int v = e + (((t - e) * share) >> 8);
        mixed |= static_cast<uint32_t>(v) << c.shift;
    }
    *pixel = mixed;
    *alpha = a;
    return true;
}
