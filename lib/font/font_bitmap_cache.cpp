// The bitmap glyph cache of a font: a top-down DIB section whose pixel values
// are palette indices, so GDI text output writes the raw cache values.
#include "font_data.h"

#include <cstdlib>
#include <cstring>

#include "Vexlo.h"

namespace {

int CacheBitsPerPixel(const FontData *font)
{
    int edged = font->fontType & FONT_TYPE_EDGED;
    int antialiased = font->fontType & FONT_TYPE_ANTIALIASED;
    if (!edged && !antialiased && !font->vertical) return 1;
    if (edged && antialiased) return 16;
    return 8;
}

int RowPitch(int width, int bitsPerPixel)
{
    return ((width * bitsPerPixel + 31) / 32) * 4;
}

// Entry i is (i, i, i) explicit; the low entries are the values the
// rasteriser draws with: 0 empty, 1 ink or edge, 3 edged body.
int CreateCachePalette(FontData *font)
{
    int entries = font->bitsPerPixel == 1 ? 2 : 256;
    size_t bytes = sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * static_cast<size_t>(entries);
    font->paletteMemory = static_cast<LOGPALETTE *>(std::calloc(1, bytes));
    if (font->paletteMemory == nullptr) {
        AddAppLog("テキストキャッシュＤＩＢ用パレットのメモリの確保に失敗しました\n");
        return -1;
    }
    LOGPALETTE *palette = font->paletteMemory;
    palette->palVersion = 0x300;
    palette->palNumEntries = static_cast<WORD>(entries);
    for (int i = 0; i < entries; ++i) {
        BYTE v = static_cast<BYTE>(i);
        palette->palPalEntry[i] = PALETTEENTRY{v, v, v, PC_EXPLICIT};
    }
    const PALETTEENTRY low[4] = {{0, 0, 0, 0}, {255, 255, 255, 0}, {128, 128, 128, 0}, {255, 255, 255, 0}};
    if (entries == 2) {
        palette->palPalEntry[0] = low[0];
        palette->palPalEntry[1] = low[1];
    } else {
        palette->palPalEntry[0] = low[0];
        palette->palPalEntry[1] = PALETTEENTRY{255, 0, 0, 0};
        palette->palPalEntry[2] = low[2];
        palette->palPalEntry[3] = low[3];
    }
    font->palette = CreatePalette(palette);
    if (font->palette == nullptr) {
        AddAppLog("テキストキャッシュＤＩＢ用パレットの作成に失敗しました\n");
        return -1;
    }
    return 0;
}

} // namespace

int CreateFontBitmapCache(FontData *font)
{
    font->bitsPerPixel = CacheBitsPerPixel(font);
    GlyphCacheLayout layout{};
    if (LayoutBitmapGlyphCache(font->cellSize, font->bitsPerPixel, &layout) != 0) {
        AddAppLog("テキストキャッシュ用ＤＩＢの作成に失敗しました\n");
        return -1;
    }
    font->cacheWidth = layout.width;
    font->cacheHeight = layout.height;
    font->rows = layout.rows;
    ResetGlyphCache(&font->cache, layout.capacity, layout.rows, layout.cellSize);

    // The colour table holds palette indices (DIB_PAL_COLORS).
    size_t infoBytes = sizeof(BITMAPINFOHEADER) + 256 * sizeof(WORD);
    BITMAPINFO *info = static_cast<BITMAPINFO *>(std::calloc(1, infoBytes));
    if (info == nullptr) {
        AddAppLog("メモリの確保に失敗しました in CreateFontToHandle");
        return -1;
    }
    int dibWidth = font->vertical ? font->cellSize : font->cacheWidth;
    int dibHeight = font->vertical ? font->cellSize : font->cacheHeight;
    info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info->bmiHeader.biWidth = dibWidth;
    info->bmiHeader.biHeight = -dibHeight;
    info->bmiHeader.biPlanes = 1;
    info->bmiHeader.biBitCount = static_cast<WORD>(font->bitsPerPixel);
    info->bmiHeader.biCompression = BI_RGB;
    UINT usage = DIB_RGB_COLORS;
    if (font->bitsPerPixel <= 8) {
        int colours = 1 << font->bitsPerPixel;
        WORD *indices = reinterpret_cast<WORD *>(info->bmiColors);
        for (int i = 0; i < colours; ++i) indices[i] = static_cast<WORD>(i);
        info->bmiHeader.biClrUsed = static_cast<DWORD>(colours);
        usage = DIB_PAL_COLORS;
    }
    void *bits = nullptr;
    HDC screen = GetDC(nullptr);
    font->bitmap = CreateDIBSection(screen, info, usage, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    std::free(info);
    if (font->bitmap == nullptr || bits == nullptr) {
        AddAppLog("テキストキャッシュ用ＤＩＢの作成に失敗しました\n");
        return -1;
    }
    int dibPitch = RowPitch(dibWidth, font->bitsPerPixel);
    if (font->vertical) {
        font->verticalPixels = static_cast<unsigned char *>(bits);
        font->verticalPitch = dibPitch;
        font->cachePitch = RowPitch(font->cacheWidth, font->bitsPerPixel);
        font->cachePixels = static_cast<unsigned char *>(
            std::calloc(static_cast<size_t>(font->cacheHeight), static_cast<size_t>(font->cachePitch)));
        if (font->cachePixels == nullptr) {
            AddAppLog("縦描画用テキストキャッシュ用メモリの確保に失敗しました\n");
            return -1;
        }
    } else {
        font->cachePixels = static_cast<unsigned char *>(bits);
        font->cachePitch = dibPitch;
    }
    if (font->bitsPerPixel <= 8 && CreateCachePalette(font) != 0) return -1;
    return 0;
}

void ReleaseFontBitmapCache(FontData *font)
{
    if (font->palette != nullptr) DeleteObject(font->palette);
    std::free(font->paletteMemory);
    if (font->vertical) std::free(font->cachePixels);
    if (font->bitmap != nullptr) DeleteObject(font->bitmap);
    font->palette = nullptr;
    font->paletteMemory = nullptr;
    font->cachePixels = nullptr;
    font->verticalPixels = nullptr;
    font->bitmap = nullptr;
}
