// The font table: 40 slots of FontData behind font handles, creation and
// deletion, the default font and the rebuild after the display is re-made.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "Vexlo.h"
#include "../display/display.h"
#include "../display/display_needs.h"
#include "../graph/handle_table.h"
#include "font.h"
#include "font_data.h"

namespace {

struct FontDefaults {
    char faceName[128];
    int size;
    int thickness;
    int fontType;
    int charsetIndex;
};

struct FontModule {
    FontData *fonts[FONT_TABLE_SIZE];
    int nextCheck;
    int defaultFont;
    FontDefaults defaults;
};

FontModule g_fonts = {{}, 0, -1, {"", 16, 6, 0, 1}};
int (*g_deviceCheck)() = HasDisplayDevice;

const BYTE CHARSETS[3] = {DEFAULT_CHARSET, SHIFTJIS_CHARSET, HANGEUL_CHARSET};

HFONT CreateGdiFont(const char *face, int size, int thickness, BYTE charset)
{
    return CreateFontA(size, 0, 0, 0, thickness * 100, FALSE, FALSE, FALSE, charset,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, FIXED_PITCH,
                       face);
}

// Tries the table's charset, then the default one, then Shift-JIS for a
// named face; logs the failure.
HFONT CreateFontWithFallbacks(const FontData *font)
{
    BYTE charset = CHARSETS[font->charsetIndex];
    if (font->faceName[0] != '\0') {
        const BYTE order[3] = {charset, DEFAULT_CHARSET, SHIFTJIS_CHARSET};
        for (BYTE c : order) {
            HFONT made = CreateGdiFont(font->faceName, font->size, font->thickness, c);
            if (made != nullptr) return made;
        }
        AddAppLog("指定のフォントの作成に失敗しました\n");
        return nullptr;
    }
    const BYTE order[2] = {charset, DEFAULT_CHARSET};
    for (BYTE c : order) {
        HFONT made = CreateGdiFont(nullptr, font->size, font->thickness, c);
        if (made != nullptr) return made;
    }
    AddAppLog("フォントの作成に失敗しました\n");
    return nullptr;
}

// The widest advance of the font; -1 when no device context can be had.
int MeasureMaxAdvance(HFONT gdiFont)
{
    HDC dc = CreateCompatibleDC(nullptr);
    if (dc == nullptr) {
        AddAppLog("ＤＣの取得に失敗しました\n");
        return -1;
    }
    HGDIOBJ old = SelectObject(dc, gdiFont);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    DeleteDC(dc);
    return metrics.tmMaxCharWidth;
}

int TakeCheckNumber()
{
    int check = g_fonts.nextCheck;
    g_fonts.nextCheck = (check + 1) % HANDLE_CHECK_LIMIT;
    return check;
}

int ChooseSlot(int slot)
{
    if (slot >= 0) return slot < FONT_TABLE_SIZE && g_fonts.fonts[slot] == nullptr ? slot : -1;
    for (int i = 0; i < FONT_TABLE_SIZE; ++i)
        if (g_fonts.fonts[i] == nullptr) return i;
    AddAppLogFormat("作成できるフォントハンドル数 %d の限界を超えました", FONT_TABLE_SIZE);
    return -1;
}

void FreeFontAt(int slot)
{
    FontData *font = g_fonts.fonts[slot];
    if (font == nullptr) return;
    ReleaseFontDrawScreen(font);
    ReleaseFontBitmapCache(font);
    if (font->font != nullptr) DeleteObject(font->font);
    if (font->deletedFlag != nullptr) *font->deletedFlag = 1;
    std::free(font);
    g_fonts.fonts[slot] = nullptr;
}

// Platform font, metrics and cache of a record already in its slot.
int BuildFont(FontData *font)
{
    font->font = CreateFontWithFallbacks(font);
    if (font->font == nullptr) return -1;
    font->vertical = font->faceName[0] == '@';
    int advance = MeasureMaxAdvance(font->font);
    if (advance < 0) return -1;
    font->cellSize = GlyphCellSize(advance, font->fontType & FONT_TYPE_EDGED);
    return CreateFontBitmapCache(font);
}

} // namespace

void SetFontDeviceCheck(int (*check)())
{
    g_deviceCheck = check != nullptr ? check : HasDisplayDevice;
}

int IsFontDeviceReady() { return g_deviceCheck(); }

FontData *FindFontData(int fontHandle)
{
    if (fontHandle < 0 || HandleKindOf(fontHandle) != HANDLE_KIND_FONT) return nullptr;
    int slot = HandleIndexOf(fontHandle);
    if (slot >= FONT_TABLE_SIZE) return nullptr;
    FontData *font = g_fonts.fonts[slot];
    if (font == nullptr || font->checkNumber != HandleCheckOf(fontHandle)) return nullptr;
    return font;
}

int CreateFontToHandle(const char *faceName, int size, int thickness, int fontType,
                       int charSetIndex, int slot, int keepCheck)
{
    if (!g_deviceCheck()) return -1;
    if (size == -1) size = 16;
    if (thickness == -1) thickness = 6;
    if (fontType == -1) fontType = 0;
    // Sizes GDI cannot make into a cell of the cache are refused outright.
    if (size <= 0 || size > 1024 || fontType < 0 || fontType > 3 || charSetIndex < 0 || charSetIndex > 2 ||
        keepCheck < -1 || keepCheck >= HANDLE_CHECK_LIMIT)
        return -1;
    int index = ChooseSlot(slot);
    if (index < 0) return -1;
    FontData *font = static_cast<FontData *>(std::calloc(1, sizeof(FontData)));
    if (font == nullptr) {
        AddAppLog("フォント管理用メモリ領域の確保に失敗しました\n");
        return -1;
    }
    if (GetScreenBitDepth() == 8) fontType &= ~FONT_TYPE_ANTIALIASED;
    font->size = size;
    font->thickness = thickness;
    font->fontType = fontType;
    font->charsetIndex = charSetIndex;
    font->checkNumber = keepCheck >= 0 ? keepCheck : TakeCheckNumber();
    font->drawScreen = -1;
    font->drawScreenMissing = 1;
    if (faceName != nullptr) {
        std::snprintf(font->faceName, sizeof font->faceName, "%s", faceName);
    }
    g_fonts.fonts[index] = font;
    if (BuildFont(font) != 0) {
        FreeFontAt(index);
        return -1;
    }
    font->deletedFlag = nullptr;
    return MakeHandle(HANDLE_KIND_FONT, font->checkNumber, index);
}

int DeleteFontToHandle(int fontHandle)
{
    if (FindFontData(fontHandle) == nullptr) return -1;
    FreeFontAt(HandleIndexOf(fontHandle));
    return 0;
}

int CheckFontHandle(int fontHandle) { return FindFontData(fontHandle) != nullptr ? 1 : 0; }

int GetFontSizeToHandle(int fontHandle)
{
    const FontData *font = FindFontData(fontHandle);
    return font != nullptr ? font->size : -1;
}

int GetFontStateToHandle(char *faceName, int *size, int *thickness, int fontHandle)
{
    const FontData *font = FindFontData(fontHandle);
    if (font == nullptr) return -1;
    if (faceName != nullptr) std::strcpy(faceName, font->faceName);
    if (size != nullptr) *size = font->size;
    if (thickness != nullptr) *thickness = font->thickness;
    return 0;
}

int SetFontDeletedFlag(int fontHandle, int *deletedFlag)
{
    FontData *font = FindFontData(fontHandle);
    if (font == nullptr) return -1;
    font->deletedFlag = deletedFlag;
    if (deletedFlag != nullptr) *deletedFlag = 0;
    return 0;
}

int GetDefaultFontHandle() { return g_fonts.defaultFont; }

int InitFontManager()
{
    if (!g_deviceCheck()) return -1;
    AddAppLog("フォントの初期化を行います\n");
    IncLogIndent();
    FontDefaults made = {"", 16, 6, 0, 1};
    if (const FontData *old = FindFontData(g_fonts.defaultFont)) {
        std::snprintf(made.faceName, sizeof made.faceName, "%s", old->faceName);
        made.size = old->size;
        made.thickness = old->thickness;
        made.fontType = old->fontType;
        made.charsetIndex = old->charsetIndex;
    }
    for (int i = 0; i < FONT_TABLE_SIZE; ++i) FreeFontAt(i);
    g_fonts.defaultFont = CreateFontToHandle(made.faceName, made.size, made.thickness, made.fontType,
                                             made.charsetIndex, -1, -1);
    DecLogIndent();
    AddAppLog("フォントの初期化は正常に終了しました\n");
    return 0;
}

int EndFontManager()
{
    InitFontManager();
    DeleteFontToHandle(g_fonts.defaultFont);
    g_fonts.defaultFont = -1;
    return 0;
}

int StartFontManager()
{
    // The graphics start empties the table before the first fonts are made.
    // The default settings stay: a screen mode change saved them.
    for (int i = 0; i < FONT_TABLE_SIZE; ++i) FreeFontAt(i);
    g_fonts.nextCheck = 0;
    g_fonts.defaultFont = -1;
    return InitFontManager();
}

int RebuildAllFonts()
{
    for (int i = 0; i < FONT_TABLE_SIZE; ++i) {
        FontData *font = g_fonts.fonts[i];
        if (font == nullptr) continue;
        char face[256];
        std::memcpy(face, font->faceName, sizeof face);
        int size = font->size, thickness = font->thickness, type = font->fontType;
        int charset = font->charsetIndex, check = font->checkNumber;
        int *flag = font->deletedFlag;
        font->deletedFlag = nullptr; // the font comes back under the same handle
        FreeFontAt(i);
        int handle = CreateFontToHandle(face, size, thickness, type, charset, i, check);
        if (handle != -1) {
            FindFontData(handle)->deletedFlag = flag;
        } else if (flag != nullptr) {
            *flag = 1; // gone for good: its owner must make it again
        }
    }
    return 0;
}

int RefreshDefaultFont()
{
    const FontDefaults &want = g_fonts.defaults;
    if (const FontData *font = FindFontData(g_fonts.defaultFont)) {
        if (font->fontType == want.fontType && font->size == want.size && font->thickness == want.thickness &&
            font->charsetIndex == want.charsetIndex)
            return 0;
        DeleteFontToHandle(g_fonts.defaultFont);
    }
    g_fonts.defaultFont = CreateFontToHandle(want.faceName, want.size, want.thickness, want.fontType,
                                             want.charsetIndex, -1, -1);
    return g_fonts.defaultFont == -1 ? -1 : 0;
}

int SetDefaultFontState(const char *, int size, int thickness)
{
    if (!g_deviceCheck()) return -1;
    g_fonts.defaults.size = size == -1 ? 16 : size;
    g_fonts.defaults.thickness = thickness == -1 ? 6 : thickness;
    return RefreshDefaultFont();
}

// A screen mode change keeps the default font's size and thickness.
int SaveDefaultFont()
{
    const FontData *font = FindFontData(g_fonts.defaultFont);
    if (font == nullptr) return 0;
    g_fonts.defaults.size = font->size;
    g_fonts.defaults.thickness = font->thickness;
    return 0;
}

int RecreateDefaultFont()
{
    if (!g_deviceCheck()) return 0;
    return RefreshDefaultFont();
}
