// Strings drawn from the glyph caches: the public string operations, the
// choice of path, and FontCacheStringDraw, which walks a string and copies
// each cached cell into locked surface memory.
#include "string_draw.h"

#include <cstring>

#include "../Vexlo.h"
#include "../core/message.h"
#include "../display/display.h"
#include "../display/display_needs.h"
#include "../graph/graph_table.h"
#include "../graph/screen_color.h"
#include "../graph/surface_data.h"
#include "../soft/draw_state.h"
#include "../soft/soft_renderer.h"
#include "font.h"
#include "font_data.h"
#include "glyph_copy.h"

namespace {

// A colour scaled channel by channel by the tint; no tint (or white) keeps it.
uint32_t TintedColour(int colour)
{
    return TintScreenColour(static_cast<uint32_t>(colour), GetDrawState().tintColour);
}

// Locked memory of a string target for the whole draw.
class LockedTarget {
public:
    explicit LockedTarget(IDirectDrawSurface7 *surface) : surface_(surface)
    {
        desc_.dwSize = sizeof desc_;
        if (FAILED(surface_->Lock(nullptr, &desc_, DDLOCK_WAIT, nullptr)))
            ExitWithError("描画先サーフェスのロックに失敗しました in FontCacheStringDraw");
    }
    ~LockedTarget() { Unlock(); }
    LockedTarget(const LockedTarget &) = delete;
    LockedTarget &operator=(const LockedTarget &) = delete;

    void Unlock()
    {
        if (surface_ != nullptr) surface_->Unlock(nullptr);
        surface_ = nullptr;
    }
    GlyphDestination Destination(const StringTarget &target) const
    {
        const DDPIXELFORMAT &f = desc_.ddpfPixelFormat;
        return GlyphDestination{static_cast<uint8_t *>(desc_.lpSurface), static_cast<int>(desc_.lPitch),
                                static_cast<int>(f.dwRGBBitCount), target.alpha, target.alphaPitch,
                                f.dwRBitMask, f.dwGBitMask, f.dwBBitMask};
    }
    // The clip cut to the surface: nothing is ever written outside it.
    PixelRect Clip(const PixelRect &clip) const
    {
        PixelRect whole{0, 0, static_cast<int>(desc_.dwWidth), static_cast<int>(desc_.dwHeight)};
        return ClampRectInto(clip.left, clip.top, clip.right, clip.bottom, whole);
    }

private:
    IDirectDrawSurface7 *surface_;
    DDSURFACEDESC2 desc_{};
};

// The slot of a character, rasterised alone when the cache lost it.
const FontCacheSlot *SlotOfCode(FontData *font, int fontHandle, uint16_t code, LockedTarget *lock)
{
    int slot = FindCachedGlyph(&font->cache, code);
    if (slot >= 0) return &font->cache.slots[slot];
    const FontCacheSlot *made = CacheFontGlyphs(1, &code, fontHandle);
    if (made == nullptr) {
        if (lock != nullptr) lock->Unlock();
        ExitWithError("テキストキャッシュの作成に失敗しました");
    }
    return made;
}

GlyphRunSize Join(GlyphRunSize whole, GlyphRunSize part, int vertical)
{
    if (vertical) return {whole.width > part.width ? whole.width : part.width, whole.height + part.height};
    return {whole.width + part.width, whole.height > part.height ? whole.height : part.height};
}

bool TargetHasAlphaChannel()
{
    const GraphSlot *slot = GetGraphSlot(GetDrawScreen());
    return slot != nullptr && slot->alphaChannel;
}

bool TargetIsTexture()
{
    const GraphSlot *slot = GetGraphSlot(GetDrawScreen());
    return slot != nullptr && slot->texture;
}

// Sets the draw area and tint for one draw and puts them back afterwards.
class DrawSettingsScope {
public:
    DrawSettingsScope(const PixelRect &area, int tint)
        : area_(GetDrawState().drawArea), tint_(GetDrawState().tintColour)
    {
        StoreDrawArea(area);
        SetTintColour(tint);
    }
    ~DrawSettingsScope()
    {
        StoreDrawArea(area_);
        SetTintColour(tint_);
    }
    DrawSettingsScope(const DrawSettingsScope &) = delete;
    DrawSettingsScope &operator=(const DrawSettingsScope &) = delete;

private:
    PixelRect area_;
    int tint_;
};

// Straight into the target surface, positions moved by the target's offset.
int DrawStringDirect(int x, int y, const char *text, int colour, int fontHandle, int edgeColour, int vertical)
{
    IDirectDrawSurface7 *surface = GetDrawSurface();
    if (surface == nullptr) return -1;
    RECT offset{};
    GetDrawOffset(&offset);
    PixelRect area = GetDrawState().drawArea;
    StringTarget target{surface, nullptr, 0,
                        {area.left + offset.left, area.top + offset.top, area.right + offset.left,
                         area.bottom + offset.top}};
    int drawn = FontCacheStringDraw(1, x + offset.left, y + offset.top, text, colour, &target, fontHandle, edgeColour,
                                    -1, vertical, nullptr);
    return drawn == -1 ? -1 : 0;
}

// The draw screen's key: a colour far from the text and edge colours,
// 0x00RRGGBB.
uint32_t DrawScreenKey(int colour, int edgeColour)
{
    if (GetScreenBitDepth() == 8) return 0;
    return ~static_cast<uint32_t>(colour + edgeColour + 100) & 0xFFFFFFu;
}

void ClearAlphaRect(const SurfaceData *entry, const PixelRect &rect)
{
    if (entry->alphaMemory == nullptr) return;
    for (int y = rect.top; y < rect.bottom; ++y)
        std::memset(entry->alphaMemory + static_cast<size_t>(y) * static_cast<size_t>(entry->alphaPitch) + rect.left,
                    0, static_cast<size_t>(rect.right - rect.left));
}

// Through the font's draw screen: the string is drawn at (0, 0) of it over
// its key colour (and, for antialiased fonts, into its alpha memory), then
// the draw screen is drawn as a graph piece to (x, y).
int DrawStringThroughScreen(int x, int y, const char *text, int colour, FontData *font, int fontHandle,
                            int edgeColour, int vertical)
{
    if (SetupFontCacheTargets(fontHandle) != 0) return -1;
    const BmpData *piece = GetBmpData(font->drawScreen);
    SurfaceData *entry = piece != nullptr ? GetSurfaceData(piece->surfaceData) : nullptr;
    if (entry == nullptr || entry->surface == nullptr) return -1;
    uint32_t key = DrawScreenKey(colour, edgeColour);
    entry->colourKey = key;
    SetSurfaceDataColourKey(piece->surfaceData);

    SIZE size{0, 0};
    FontCacheStringDraw(0, 0, 0, text, colour, nullptr, fontHandle, edgeColour, -1, vertical, &size);
    PixelRect rect = ClampRectInto(0, 0, size.cx, size.cy, PixelRect{0, 0, entry->width, entry->height});
    if (IsEmptyRect(rect)) return 0;
    RECT fillRect{rect.left, rect.top, rect.right, rect.bottom};
    DDBLTFX fx{};
    fx.dwSize = sizeof fx;
    fx.dwFillColor = GetScreenBitDepth() == 8
                         ? 0
                         : static_cast<DWORD>(GetColor((key >> 16) & 0xFF, (key >> 8) & 0xFF, key & 0xFF));
    entry->surface->Blt(&fillRect, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    ClearAlphaRect(entry, rect);
    StringTarget target{entry->surface, entry->alphaMemory, entry->alphaPitch, rect};
    if (FontCacheStringDraw(1, 0, 0, text, colour, &target, fontHandle, edgeColour, -1, vertical, nullptr) == -1)
        return -1;

    PixelRect area = ClampRectInto(x, y, static_cast<int64_t>(x) + size.cx, static_cast<int64_t>(y) + size.cy,
                                   GetDrawState().drawArea);
    DrawSettingsScope scope(area, -1);
    if (!IsEmptyRect(area)) G_DDraw_DrawGraph(x, y, font->drawScreen, 1);
    return 0;
}

// Before the display has finished starting: the string drawn by GDI into the
// first work surface over a background it cannot take (white for black text,
// black otherwise), then copied keyed to the back screen.
int DrawStringByGdi(int x, int y, const char *text, int colour, FontData *font)
{
    if (!HasDisplayDevice()) return -1;
    EndScene3D();
    int screenWidth = 0, screenHeight = 0;
    GetScreenSize(&screenWidth, &screenHeight);
    if (text == nullptr || text[0] == '\0' || x >= screenWidth || y >= screenHeight) return 0;
    IDirectDrawSurface7 *work = GetWorkSurface1();
    IDirectDrawSurface7 *back = GetBackScreen();
    HDC dc = nullptr;
    if (work == nullptr || back == nullptr || FAILED(work->GetDC(&dc)))
        ExitWithError("作業用サーフェスのＤＣ取得に失敗しました");
    int r = 0, g = 0, b = 0;
    GetColorRGB(static_cast<uint32_t>(colour), &r, &g, &b);
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, colour == 0 ? RGB(255, 255, 255) : RGB(0, 0, 0));
    HGDIOBJ old = SelectObject(dc, font->font);
    SetTextColor(dc, RGB(r, g, b));
    int length = static_cast<int>(std::strlen(text));
    SIZE size{0, 0};
    GetTextExtentPoint32A(dc, text, length, &size);
    TextOutA(dc, 0, 0, text, length);
    SelectObject(dc, old);
    work->ReleaseDC(dc);

    PixelRect area = ClampRectInto(x, y, static_cast<int64_t>(x) + size.cx, static_cast<int64_t>(y) + size.cy,
                                   GetDrawState().drawArea);
    if (IsEmptyRect(area)) return 0;
    DWORD keyValue = static_cast<DWORD>(colour == 0 ? GetColor(255, 255, 255) : GetColor(0, 0, 0));
    DDCOLORKEY key{keyValue, keyValue};
    work->SetColorKey(DDCKEY_SRCBLT, &key);
    RECT offset{};
    GetDrawOffset(&offset);
    RECT source{area.left - x, area.top - y, area.right - x, area.bottom - y};
    back->BltFast(static_cast<DWORD>(area.left + offset.left), static_cast<DWORD>(area.top + offset.top), work,
                  &source, DDBLTFAST_SRCCOLORKEY | DDBLTFAST_WAIT);
    if (colour == 0) {
        DDCOLORKEY black{0, 0};
        work->SetColorKey(DDCKEY_SRCBLT, &black);
    }
    return 0;
}

} // namespace

void ReleaseFontDrawScreen(FontData *font)
{
    if (!font->drawScreenMissing && font->drawScreen != -1) DeleteBmpData(font->drawScreen);
    font->drawScreen = -1;
    font->drawScreenMissing = 1;
}

int SetupFontCacheTargets(int fontHandle)
{
    FontData *font = FindFontData(fontHandle);
    if (font == nullptr) return -1;
    if (!font->drawScreenMissing) return 0;
    int width = 0, height = 0;
    GetScreenSize(&width, &height);
    const uint8_t flags[6] = {0, static_cast<uint8_t>(font->fontType & FONT_TYPE_ANTIALIASED ? 1 : 0), 1, 1, 0,
                              static_cast<uint8_t>(GetScreenBitDepth())};
    int handle = AddBmpData(width, height, 0, 0, -1, nullptr, 0, 0, flags);
    if (handle < 0) return -1; // still missing: the next draw tries again
    font->drawScreen = handle;
    SetBmpDataDeletedFlag(handle, &font->drawScreenMissing);
    return 0;
}

namespace {

// Walks the text list by list (longer strings than one character list go
// in several), copying cells while lock is given, only measuring otherwise.
GlyphRunSize WalkString(FontData *font, int fontHandle, int x, int y, const char *text, int length, int vertical,
                        const GlyphInk &ink, const StringTarget *target, LockedTarget *lock)
{
    GlyphDestination destination{};
    PixelRect clip{0, 0, 0, 0};
    if (lock != nullptr) {
        destination = lock->Destination(*target);
        clip = lock->Clip(target->clip);
    }
    const GlyphCellSource source{font->cachePixels, font->cachePitch, font->bitsPerPixel, font->fontType};
    auto slotOf = [&](uint16_t code) { return SlotOfCode(font, fontHandle, code, lock); };
    auto place = [&](uint16_t code, const FontCacheSlot *slot, int px, int py) {
        if (lock == nullptr || IsBlankGlyph(code) || (slot->width == 0 && slot->height == 0)) return;
        int cellX = 0, cellY = 0;
        GlyphCellPosition(&font->cache, slot->index, &cellX, &cellY);
        GlyphCopyPlan plan{};
        if (PlanGlyphCopy(px, py, cellX, cellY, slot->width, slot->height, font->cellSize, clip, &plan))
            CopyGlyphCell(source, plan, destination, ink);
    };
    GlyphRunSize whole{0, 0};
    int done = 0;
    while (done < length) {
        FontChar list[FONT_STRING_LIST_SIZE];
        int count = 0;
        int consumed = PrepareFontString(fontHandle, text + done, length - done, list, &count);
        if (consumed <= 0 || count == 0) break; // a lead byte without its trail ends the text
        int runX = vertical ? x : x + whole.width;
        int runY = vertical ? y + whole.height : y;
        whole = Join(whole, WalkGlyphRun(list, count, consumed, vertical, runX, runY, slotOf, place), vertical);
        done += consumed;
    }
    return whole;
}

} // namespace

int FontCacheStringDraw(int draw, int x, int y, const char *text, int colour, const StringTarget *target,
                        int fontHandle, int edgeColour, int length, int vertical, SIZE *size)
{
    if (!IsFontDeviceReady()) return -1;
    FontData *font = FindFontData(fontHandle);
    if (font == nullptr || (draw && (target == nullptr || target->surface == nullptr))) return -1;
    if (size != nullptr) *size = SIZE{0, 0};
    if (text == nullptr || text[0] == '\0') return 0;
    int bytes = static_cast<int>(std::strlen(text));
    if (length < 0 || length > bytes) length = bytes;
    const GlyphInk ink{TintedColour(colour), TintedColour(edgeColour)};
    GlyphRunSize whole{0, 0};
    if (draw) {
        LockedTarget lock(target->surface);
        whole = WalkString(font, fontHandle, x, y, text, length, vertical, ink, target, &lock);
    } else {
        whole = WalkString(font, fontHandle, x, y, text, length, vertical, ink, nullptr, nullptr);
    }
    if (size != nullptr) *size = SIZE{whole.width, whole.height};
    return vertical ? whole.height : whole.width;
}

int G_D3D_DrawString(int x, int y, const char *text, int colour, int fontHandle, int edgeColour, int vertical)
{
    const FontData *font = FindFontData(fontHandle);
    if (font == nullptr || font->textureMode) return -1;
    return G_DDraw_DrawString(x, y, text, colour, fontHandle, edgeColour, vertical);
}

int G_DDraw_DrawString(int x, int y, const char *text, int colour, int fontHandle, int edgeColour, int vertical)
{
    FontData *font = FindFontData(fontHandle);
    if (font == nullptr || font->textureMode || TargetIsTexture()) return -1;
    if (!IsDisplayStarted()) return DrawStringByGdi(x, y, text, colour, font);
    EndScene3D();
    const bool antialiased = (font->fontType & FONT_TYPE_ANTIALIASED) != 0;
    if ((!TargetHasAlphaChannel() || GetScreenBitDepth() == 8) && !antialiased)
        return DrawStringDirect(x, y, text, colour, fontHandle, edgeColour, vertical);
    return DrawStringThroughScreen(x, y, text, colour, font, fontHandle, edgeColour, vertical);
}

extern "C" int DrawStringToHandle(int x, int y, const char *text, int colour, int fontHandle, int edgeColour,
                                  int vertical)
{
    if (text == nullptr || text[0] == '\0' || GetDrawState().areaEmpty) return 0;
    if (!CheckFontHandle(fontHandle)) return AddAppLog("フォントハンドル値が異常です\n");
    WaitWhileInactive();
    // Direct3D is used only when its device is: its string path then takes
    // fonts without a texture cache back to DirectDraw.
    if (IsDirect3DInUse()) return G_D3D_DrawString(x, y, text, colour, fontHandle, edgeColour, vertical);
    return G_DDraw_DrawString(x, y, text, colour, fontHandle, edgeColour, vertical);
}

extern "C" int DrawString(int x, int y, const char *text, int colour, int edgeColour)
{
    RefreshDefaultFont();
    return DrawStringToHandle(x, y, text, colour, GetDefaultFontHandle(), edgeColour, 0);
}
