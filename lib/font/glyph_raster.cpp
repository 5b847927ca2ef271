// Rasterises characters into a font's bitmap glyph cache through GDI glyph
// bitmaps, writing the cache values directly: 1 ink (1 bit per pixel for
// plain fonts), 3 body and 1 edge for edged fonts, coverage 0-255 for
// antialiased ones (body and edge bytes for antialiased edged fonts).
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "Vexlo.h"
#include "font.h"
#include "font_data.h"

namespace {

// A cell-sized window onto the cache or the vertical work bitmap.
struct CellCanvas {
    unsigned char *pixels;
    int pitch;
    int bits;
    int x0, y0;
    int size;

    void Set(int x, int y, int value) const
    {
        int px = x0 + x;
        unsigned char *row = pixels + static_cast<size_t>(y0 + y) * static_cast<size_t>(pitch);
        if (bits == 1) {
            unsigned char bit = static_cast<unsigned char>(0x80 >> (px & 7));
            row[px >> 3] = static_cast<unsigned char>(value ? row[px >> 3] | bit : row[px >> 3] & ~bit);
        } else if (bits == 8) {
            row[px] = static_cast<unsigned char>(value);
        } else {
            row[px * 2] = static_cast<unsigned char>(value & 0xFF);
            row[px * 2 + 1] = static_cast<unsigned char>(value >> 8);
        }
    }
    int Get(int x, int y) const
    {
        int px = x0 + x;
        const unsigned char *row = pixels + static_cast<size_t>(y0 + y) * static_cast<size_t>(pitch);
        if (bits == 1) return (row[px >> 3] >> (7 - (px & 7))) & 1;
        if (bits == 8) return row[px];
        return row[px * 2] | row[px * 2 + 1] << 8;
    }
    void Clear() const
    {
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) Set(x, y, 0);
    }
};

struct GlyphShape {
    int width;
    int height;
    // Coverage 0-16 over the cell, or empty when the character has no ink.
    std::vector<unsigned char> levels;
};

const int NEIGHBOURS[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};

bool IsDoubleByte(int code) { return (code & 0xFF00) != 0; }

// The character code GDI takes: lead * 256 + trail for a double-byte one.
UINT GdiCode(int code)
{
    return IsDoubleByte(code) ? static_cast<UINT>((code & 0xFF) << 8 | code >> 8) : static_cast<UINT>(code);
}

SIZE TextExtentOf(HDC dc, int code)
{
    char bytes[2] = {static_cast<char>(code & 0xFF), static_cast<char>(code >> 8)};
    SIZE extent{0, 0};
    GetTextExtentPoint32A(dc, bytes, IsDoubleByte(code) ? 2 : 1, &extent);
    return extent;
}

// Reads the glyph's bitmap (1 bit or 17 grey levels) into cell coverage
// levels 0-16, placed at the glyph origin plus the edge offset.
void FetchGlyphLevels(HDC dc, const FontData *font, int code, int ascent, int offset, GlyphShape *shape)
{
    const bool grey = (font->fontType & FONT_TYPE_ANTIALIASED) != 0;
    const UINT format = grey ? GGO_GRAY4_BITMAP : GGO_BITMAP;
    const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    GLYPHMETRICS metrics{};
    DWORD bytes = GetGlyphOutlineA(dc, GdiCode(code), format, &metrics, 0, nullptr, &identity);
    if (bytes == GDI_ERROR) ExitWithError("GetGlyphOutline 関数が失敗しました");
    shape->width = metrics.gmCellIncX;
    int cell = font->cellSize;
    shape->levels.assign(static_cast<size_t>(cell) * static_cast<size_t>(cell), 0);
    int boxHeight = static_cast<int>(metrics.gmBlackBoxY);
    if (bytes == 0 || boxHeight <= 0) return;
    int pitch = static_cast<int>(bytes / static_cast<DWORD>(boxHeight)) & ~3;
    // Two spare zero rows, above and below, as a margin for the fetch.
    std::vector<unsigned char> buffer(bytes + 2 * static_cast<size_t>(pitch) + 4, 0);
    unsigned char *glyph = buffer.data() + pitch;
    if (GetGlyphOutlineA(dc, GdiCode(code), format, &metrics, bytes, glyph, &identity) == GDI_ERROR)
        ExitWithError("GetGlyphOutline 関数が失敗しました");
    int left = metrics.gmptGlyphOrigin.x + offset;
    int top = ascent - metrics.gmptGlyphOrigin.y + offset;
    if (offset > 0 && top < offset) top = offset;
    int boxWidth = static_cast<int>(metrics.gmBlackBoxX);
    // A row shorter than the black box would be read past its end.
    int rowBytes = grey ? boxWidth : (boxWidth + 7) / 8;
    if (pitch < rowBytes) return;
    for (int y = 0; y < boxHeight; ++y) {
        const unsigned char *row = glyph + static_cast<size_t>(y) * static_cast<size_t>(pitch);
        int ty = top + y;
        if (ty < 0 || ty >= cell) continue;
        for (int x = 0; x < boxWidth; ++x) {
            int tx = left + x;
            if (tx < 0 || tx >= cell) continue;
            int level = grey ? row[x] : ((row[x >> 3] >> (7 - (x & 7))) & 1) * 16;
            shape->levels[static_cast<size_t>(ty) * static_cast<size_t>(cell) + static_cast<size_t>(tx)] =
                static_cast<unsigned char>(level > 16 ? 16 : level);
        }
    }
}

int Level(const GlyphShape &shape, int cell, int x, int y)
{
    if (x < 0 || y < 0 || x >= cell || y >= cell) return 0;
    return shape.levels[static_cast<size_t>(y) * static_cast<size_t>(cell) + static_cast<size_t>(x)];
}

// Writes the levels as cache values, with the edge of edged fonts.
void WriteGlyph(const FontData *font, const GlyphShape &shape, const CellCanvas &canvas)
{
    const int cell = font->cellSize;
    const bool edged = (font->fontType & FONT_TYPE_EDGED) != 0;
    const bool grey = (font->fontType & FONT_TYPE_ANTIALIASED) != 0;
    for (int y = 0; y < cell; ++y) {
        for (int x = 0; x < cell; ++x) {
            int g = Level(shape, cell, x, y);
            int value = 0;
            if (!grey) {
                value = g ? (edged ? 3 : 1) : 0;
            } else {
                value = g ? 16 * g - 1 : 0;
                if (edged && g < 16) {
                    // The strongest neighbour's coverage makes the edge.
                    int e = 0;
                    for (const auto &d : NEIGHBOURS) {
                        int n = Level(shape, cell, x + d[0], y + d[1]);
                        if (n > e) e = n;
                    }
                    if (e) value |= (16 * e - 1) << 8;
                }
            }
            canvas.Set(x, y, value);
        }
    }
    if (edged && !grey) {
        // Bit 0 around every body pixel (bit 1) marks the edge.
        for (int y = 0; y < cell; ++y)
            for (int x = 0; x < cell; ++x) {
                if (!(Level(shape, cell, x, y))) continue;
                for (const auto &d : NEIGHBOURS) {
                    int nx = x + d[0], ny = y + d[1];
                    if (nx < 0 || ny < 0 || nx >= cell || ny >= cell) continue;
                    canvas.Set(nx, ny, canvas.Get(nx, ny) | 1);
                }
            }
    }
}

// The vertical work cell turned a quarter turn clockwise into the cache cell.
void TurnIntoCell(const CellCanvas &work, const CellCanvas &cell)
{
    int size = cell.size;
    for (int r = 0; r < size; ++r)
        for (int i = 0; i < size; ++i) cell.Set(i, r, work.Get(r, size - 1 - i));
}

void RasteriseOne(HDC dc, FontData *font, int code, int ascent)
{
    GlyphCache &cache = font->cache;
    int slot = ClaimGlyphSlot(&cache, code);
    int cx0 = 0, cy0 = 0;
    GlyphCellPosition(&cache, slot, &cx0, &cy0);
    const int cell = font->cellSize;
    const bool edged = (font->fontType & FONT_TYPE_EDGED) != 0;
    const bool grey = (font->fontType & FONT_TYPE_ANTIALIASED) != 0;
    const int offset = edged ? 1 : 0;
    const int extra = edged ? 2 : 0;
    CellCanvas target{font->cachePixels, font->cachePitch, font->bitsPerPixel, cx0, cy0, cell};
    CellCanvas work{font->verticalPixels, font->verticalPitch, font->bitsPerPixel, 0, 0, cell};
    const CellCanvas &draw = font->vertical ? work : target;

    GlyphShape shape;
    int width = 0, height = 0;
    if (code == 0x20 || code == 0x4081) {
        draw.Clear();
        if (grey) {
            width = code == 0x20 ? font->size / 2 : font->size;
            height = font->size;
        } else {
            SIZE extent = TextExtentOf(dc, code);
            width = extent.cx;
            height = extent.cy;
        }
    } else {
        FetchGlyphLevels(dc, font, code, ascent, offset, &shape);
        WriteGlyph(font, shape, draw);
        if (grey) {
            width = shape.width > cell ? cell - extra : shape.width;
            height = cell - extra;
        } else {
            SIZE extent = TextExtentOf(dc, code);
            width = extent.cx;
            height = extent.cy;
        }
    }
    if (font->vertical) {
        TurnIntoCell(work, target);
        int swap = width;
        width = height;
        height = swap;
    }
    cache.slots[slot].width = width + extra;
    cache.slots[slot].height = height + extra;
}

} // namespace

FontCacheSlot *CacheFontGlyphs(int count, const uint16_t *codes, int fontHandle)
{
    if (!IsFontDeviceReady()) return nullptr;
    FontData *font = FindFontData(fontHandle);
    if (font == nullptr || font->cachePixels == nullptr || count <= 0) return nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    if (dc == nullptr) ExitWithError("テキストキャッシュサーフェスのＤＣの取得に失敗しました");
    HGDIOBJ oldBitmap = SelectObject(dc, font->bitmap);
    HGDIOBJ oldFont = SelectObject(dc, font->font);
    if (oldBitmap == nullptr || oldFont == nullptr) {
        DeleteDC(dc);
        ExitWithError("テキストキャッシュサーフェスのＤＣの取得に失敗しました");
    }
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    int last = -1;
    for (int i = 0; i < count; ++i) {
        RasteriseOne(dc, font, codes[i], metrics.tmAscent);
        last = FindCachedGlyph(&font->cache, codes[i]);
    }
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteDC(dc);
    return last >= 0 ? &font->cache.slots[last] : nullptr;
}

int PrepareFontString(int fontHandle, const char *text, int length, FontChar *list, int *count)
{
    *count = 0;
    FontData *font = FindFontData(fontHandle);
    if (font == nullptr) return -1;
    int consumed = BuildFontCharList(text, length, list, FONT_STRING_LIST_SIZE, count);
    uint16_t missing[FONT_MISSING_LIST_SIZE];
    int n = GatherMissingGlyphs(&font->cache, list, *count, missing, FONT_MISSING_LIST_SIZE);
    if (n > 0) CacheFontGlyphs(n, missing, fontHandle);
    return consumed;
}

int GetFontCacheView(int fontHandle, FontCacheView *view)
{
    const FontData *font = FindFontData(fontHandle);
    if (font == nullptr) return -1;
    *view = FontCacheView{font->cachePixels, font->cachePitch, font->bitsPerPixel, font->cellSize,
                          font->fontType, font->vertical, &font->cache};
    return 0;
}
