// Strings drawn into the back screen of a window-mode library on the test
// desktop, read back by locking the surface: cut double-byte characters,
// cache eviction, edges, vertical text, clipping, the tint, measuring,
// refused handles, the default font after a mode change and the screen log.
#include <gtest/gtest.h>
#include <windows.h>
#include <ddraw.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "Vexlo.h"
#include "core/app_log.h"
#include "display/display.h"
#include "font/font.h"
#include "font/font_data.h"
#include "graph/surface_data.h"
#include "font/string_draw.h"
#include "soft/draw_state.h"
#include "support/checks.h"
#include "support/child_process.h"
#include "support/log_lines.h"

namespace {

// A rectangle of the back screen, pixels with the colour bits only.
struct Shot {
    int left, top, width, height;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>((y - top) * width + (x - left))]; }
    bool operator==(const Shot &other) const { return pixels == other.pixels; }
    int Count(uint32_t value) const
    {
        int n = 0;
        for (uint32_t p : pixels) n += p == value;
        return n;
    }
    int CountNot(uint32_t value) const { return static_cast<int>(pixels.size()) - Count(value); }
};

uint32_t ColourBits()
{
    const ColorData *s = GetScreenColorDataOfDisplay();
    return s->redMask | s->greenMask | s->blueMask;
}

Shot Take(int left, int top, int width, int height)
{
    Shot shot{left, top, width, height, {}};
    IDirectDrawSurface7 *back = GetBackScreen();
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    if (back == nullptr || FAILED(back->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr))) return shot;
    int bytes = static_cast<int>(desc.ddpfPixelFormat.dwRGBBitCount / 8);
    for (int y = top; y < top + height; ++y)
        for (int x = left; x < left + width; ++x) {
            uint32_t v = 0;
            std::memcpy(&v, static_cast<uint8_t *>(desc.lpSurface) + y * desc.lPitch + x * bytes,
                        static_cast<size_t>(bytes));
            shot.pixels.push_back(v & ColourBits());
        }
    back->Unlock(nullptr);
    return shot;
}

void Clear()
{
    SetDrawArea(0, 0, 640, 480);
    ClearDrawScreen();
}

StringTarget BackTarget() { return StringTarget{GetBackScreen(), nullptr, 0, {0, 0, 640, 480}}; }

// Pixel bounds of everything not black in a shot: left, top, right, bottom (exclusive).
RECT InkBounds(const Shot &s)
{
    RECT r{s.left + s.width, s.top + s.height, s.left, s.top};
    for (int y = s.top; y < s.top + s.height; ++y)
        for (int x = s.left; x < s.left + s.width; ++x) {
            if (s.At(x, y) == 0) continue;
            r.left = std::min<LONG>(r.left, x);
            r.top = std::min<LONG>(r.top, y);
            r.right = std::max<LONG>(r.right, x + 1);
            r.bottom = std::max<LONG>(r.bottom, y + 1);
        }
    return r;
}

int StartWindowLibrary()
{
    ChangeWindowMode(1);
    if (InitLibrary() != 0) return -1;
    SetDrawScreen(SCREEN_BACK);
    Clear();
    return 0;
}

CHILD_SCENARIO(string_pixels_run)
{
    Checks check;
    if (StartWindowLibrary() != 0) return 90;
    const int white = GetColor(255, 255, 255);
    const uint32_t whiteBits = static_cast<uint32_t>(white) & ColourBits();
    const int font = GetDefaultFontHandle();
    StringTarget back = BackTarget();

    // Measuring gives what drawing gives; an empty text is nothing.
    const char *line = "これでも動くのです";
    SIZE measured{0, 0}, drawn{0, 0};
    int w0 = FontCacheStringDraw(0, 0, 0, line, white, nullptr, font, 0, -1, 0, &measured);
    int w1 = FontCacheStringDraw(1, 10, 10, line, white, &back, font, 0, -1, 0, &drawn);
    check(w0 > 0 && w0 == w1 && measured.cx == drawn.cx && measured.cy == drawn.cy, "measured width equals drawn");
    Shot nine = Take(0, 0, 640, 60);
    RECT ink = InkBounds(nine);
    check(ink.left >= 10 && ink.right <= 10 + w1 && ink.top >= 10 && ink.bottom <= 10 + drawn.cy,
          "ink of the line lies in its measured box");
    check(ink.right - ink.left > w1 * 3 / 4, "the nine characters spread over the measured width");
    check(nine.CountNot(0) == nine.Count(whiteBits), "plain white text writes white only");
    Clear();
    check(DrawStringToHandle(5, 5, "", white, font, 0, 0) == 0 && Take(0, 0, 640, 40).CountNot(0) == 0,
          "an empty text draws nothing");

    // A length that ends inside a double-byte character stops before it.
    int cut = FontCacheStringDraw(1, 10, 10, "あい", white, &back, font, 0, 3, 0, nullptr);
    Shot cutShot = Take(0, 0, 100, 40);
    Clear();
    int alone = FontCacheStringDraw(1, 10, 10, "あ", white, &back, font, 0, -1, 0, nullptr);
    check(cut == alone && cut > 0, "a cut character adds no width");
    check(cutShot == Take(0, 0, 100, 40) && cutShot.CountNot(0) > 0, "a cut character draws nothing of itself");
    Clear();

    // Clipping: the draw area holds every written pixel.
    SetDrawArea(100, 100, 140, 112);
    DrawString(92, 96, "ABCDEF", white, 0);
    SetDrawArea(0, 0, 640, 480);
    Shot clipped = Take(60, 80, 140, 60);
    RECT in = InkBounds(clipped);
    check(clipped.CountNot(0) > 0 && in.left >= 100 && in.top >= 100 && in.right <= 140 && in.bottom <= 112,
          "text stays inside the draw area");
    Clear();

    // The tint scales the text colour.
    SetTintColour(0xFF0000);
    DrawString(10, 10, "ABC", white, 0);
    SetTintColour(-1);
    Shot tinted = Take(0, 0, 100, 40);
    uint32_t red = static_cast<uint32_t>(GetColor(255, 0, 0)) & ColourBits();
    check(tinted.CountNot(0) > 0 && tinted.CountNot(0) == tinted.Count(red), "a red tint makes white text red");
    Clear();

    // Edged text: an edge of the edge colour around a white body.
    int edged = CreateFontToHandle(nullptr, 24, -1, 1, 1, -1, -1);
    const int redColour = GetColor(255, 0, 0);
    check(DrawStringToHandle(20, 20, "AW", white, edged, redColour, 0) == 0, "edged text drawn");
    Shot edge = Take(0, 0, 120, 70);
    int bodyNextToBlack = 0, edgeAwayFromBody = 0;
    for (int y = 1; y < 69; ++y)
        for (int x = 1; x < 119; ++x) {
            uint32_t v = edge.At(x, y);
            uint32_t n[4] = {edge.At(x - 1, y), edge.At(x + 1, y), edge.At(x, y - 1), edge.At(x, y + 1)};
            bool touchesBlack = false, touchesBody = false;
            for (uint32_t m : n) {
                touchesBlack |= m == 0;
                touchesBody |= m == whiteBits;
            }
            if (v == whiteBits && touchesBlack) ++bodyNextToBlack;
            if (v == red && !touchesBody) ++edgeAwayFromBody;
        }
    check(edge.Count(whiteBits) > 20 && edge.Count(red) > 20, "edged text has body and edge pixels");
    check(bodyNextToBlack == 0, "no body pixel touches the background");
    check(edgeAwayFromBody == 0, "every edge pixel touches the body");
    check(edge.CountNot(0) == edge.Count(whiteBits) + edge.Count(red), "only body and edge colours written");
    Clear();

    // Vertical text stacks downwards.
    int upright = CreateFontToHandle("@ＭＳ ゴシック", 16, -1, 0, 1, -1, -1);
    SIZE tall{0, 0};
    check(upright != -1, "a vertical font");
    FontCacheStringDraw(1, 300, 100, "あいう", white, &back, upright, 0, -1, 1, &tall);
    Shot column = Take(280, 90, 60, 100);
    RECT c = InkBounds(column);
    check(tall.cy > 2 * tall.cx && c.bottom - c.top > 2 * (c.right - c.left), "vertical text is a column");
    check(c.top >= 100 && c.bottom <= 100 + tall.cy && c.bottom > 100 + tall.cy * 2 / 3,
          "the column runs down from the start");
    Clear();

    // More distinct characters than the cache holds, then the first again.
    int big = CreateFontToHandle(nullptr, 120, -1, 0, 1, -1, -1);
    FontCacheView view{};
    GetFontCacheView(big, &view);
    const int capacity = view.cache->capacity;
    check(capacity >= 20 && capacity < 30, "a large font holds few characters: " + std::to_string(capacity));
    DrawStringToHandle(0, 0, "あ", white, big, 0, 0);
    Shot first = Take(0, 0, 200, 130);
    Clear();
    const char *many = "亜唖娃阿哀愛挨姶逢葵茜穐悪握渥旭葦芦鯵梓圧斡扱宛姐虻飴絢綾鮎";
    std::string head(many, 10); // five characters
    const int headWidth = FontCacheStringDraw(0, 0, 0, head.c_str(), white, nullptr, big, 0, -1, 0, nullptr);
    check(headWidth > 0 && headWidth <= 640, "five large characters fit the screen");
    DrawStringToHandle(0, 0, many, white, big, 0, 0);
    Shot longHead = Take(0, 0, headWidth, 130);
    check(FindCachedGlyph(view.cache, 0xA082) == -1, "the first character was evicted");
    Clear();
    DrawStringToHandle(0, 0, head.c_str(), white, big, 0, 0);
    check(longHead == Take(0, 0, headWidth, 130) && longHead.CountNot(0) > 0,
          "characters drawn while others were evicted look as drawn alone");
    Clear();
    DrawStringToHandle(0, 0, "あ", white, big, 0, 0);
    check(first == Take(0, 0, 200, 130) && first.CountNot(0) > 0, "the first character again: same pixels");
    EndLibrary();
    return check.failures;
}

CHILD_SCENARIO(string_handles_run)
{
    Checks check;
    if (StartWindowLibrary() != 0) return 90;
    const int white = GetColor(255, 255, 255);
    int font = CreateFontToHandle(nullptr, 16, -1, 0, 1, -1, -1);
    check(DrawStringToHandle(10, 10, "ok", white, font, 0, 0) == 0, "a live font draws");
    DeleteFontToHandle(font);
    Clear();
    const int refused[] = {font, -1, 0x08000000, 0x20000000 | 39};
    for (int handle : refused)
        check(DrawStringToHandle(10, 10, "no", white, handle, 0, 0) == -1, "refused " + std::to_string(handle));
    check(Take(0, 0, 100, 40).CountNot(0) == 0, "a refused handle draws nothing");

    // The screen log: its font is marked lost when deleted, made again on use.
    int logFont = GetScreenLogFontHandle();
    check(logFont != -1 && CheckFontHandle(logFont) == 1, "the screen log has a font");
    DeleteFontToHandle(logFont);
    check(GetScreenLogFontHandle() == -1, "a deleted screen-log font is marked lost");
    check(ScreenLogPrintf("score %d\n", 12) == 0 && ScreenLogPrintf("\tnext") == 0, "screen log written");
    check(GetScreenLogFontHandle() != -1, "the screen log made its font again");
    check(std::string(GetScreenLogLine(0)) == "score 12" && std::string(GetScreenLogLine(1)) == "    next",
          "screen log lines");
    Clear();
    FlipScreen();
    Shot top = Take(0, 0, 200, 40);
    RECT ink = InkBounds(top);
    uint32_t whiteBits = static_cast<uint32_t>(white) & ColourBits();
    check(top.Count(whiteBits) > 20 && ink.top >= 0 && ink.bottom <= 34 && ink.left < 8,
          "FlipScreen drew the screen log at the top left");
    check(ClearScreenLog() == 0 && GetScreenLogActive() == 0 && GetScreenLogLine(0)[0] == '\0',
          "the clear empties and hides the screen log");
    Clear();
    FlipScreen();
    check(Take(0, 0, 200, 40).CountNot(0) == 0, "a hidden screen log is not drawn");
    EndLibrary();
    return check.failures;
}

CHILD_SCENARIO(string_mode_change_run)
{
    Checks check;
    if (StartWindowLibrary() != 0) return 90;
    const int before = GetDefaultFontHandle();
    int own = CreateFontToHandle(nullptr, 20, -1, 0, 1, -1, -1);
    check(SetScreenMode(800, 600, -1, -1) == 0, "screen mode change");
    check(CheckFontHandle(own) == 0, "fonts from before the change are gone");
    int after = GetDefaultFontHandle();
    check(after != -1 && CheckFontHandle(after) == 1 && GetFontSizeToHandle(after) == 16,
          "the default font is made again with its size");
    SetDrawScreen(SCREEN_BACK);
    SetDrawArea(0, 0, 800, 600);
    ClearDrawScreen();
    check(DrawString(700, 560, "End", GetColor(255, 255, 255), 0) == 0, "DrawString after the change");
    Shot corner = Take(680, 540, 120, 60);
    check(corner.CountNot(0) > 0, "text drawn beyond the old 640 x 480");
    (void)before;
    EndLibrary();
    return check.failures;
}

// Antialiased fonts go through the font's draw screen: the string lands at
// its top-left in the text colour with the coverage in its alpha memory (the
// blend onto the target is the graph blitter's).
CHILD_SCENARIO(string_draw_screen_run)
{
    Checks check;
    if (StartWindowLibrary() != 0) return 90;
    const ColorData *screen = GetScreenColorDataOfDisplay();
    const uint32_t bits = ColourBits();
    const int white = GetColor(255, 255, 255), red = GetColor(255, 0, 0);
    struct Case {
        int type;
        const char *name;
    } cases[] = {{2, "antialiased"}, {3, "antialiased edged"}};
    for (const Case &c : cases) {
        int font = CreateFontToHandle(nullptr, 24, -1, c.type, 1, -1, -1);
        check(DrawStringToHandle(50, 50, "AWあ", white, font, red, 0) == 0, std::string(c.name) + " drawn");
        const FontData *data = FindFontData(font);
        const BmpData *piece = data ? GetBmpData(data->drawScreen) : nullptr;
        const SurfaceData *entry = piece ? GetSurfaceData(piece->surfaceData) : nullptr;
        if (!entry || !entry->alphaMemory) {
            check(false, std::string(c.name) + ": a draw screen with alpha memory");
            continue;
        }
        SIZE size{0, 0};
        FontCacheStringDraw(0, 0, 0, "AWあ", white, nullptr, font, red, -1, 0, &size);
        int pitch = 0;
        void *pixels = nullptr;
        if (LockSurfaceData(piece->surfaceData, &pitch, &pixels) != 0) return 91;
        int full = 0, partial = 0, wrong = 0, edges = 0;
        for (int y = 0; y < size.cy; ++y)
            for (int x = 0; x < size.cx; ++x) {
                int a = entry->alphaMemory[y * entry->alphaPitch + x];
                uint32_t v = 0;
                std::memcpy(&v, static_cast<uint8_t *>(pixels) + y * pitch + x * screen->bytesPerPixel,
                            screen->bytesPerPixel);
                v &= bits;
                full += a == 255;
                partial += a > 0 && a < 255;
                if (a == 0) continue;
                if (c.type == 2) wrong += v != (static_cast<uint32_t>(white) & bits);
                if (c.type == 3) edges += v == (static_cast<uint32_t>(red) & bits);
            }
        UnlockSurfaceData(piece->surfaceData);
        check(full > 20 && partial > 20, std::string(c.name) + ": full and partial coverage " + std::to_string(full) +
                                             "/" + std::to_string(partial));
        check(wrong == 0, std::string(c.name) + ": covered pixels hold the text colour");
        if (c.type == 3) check(edges > 20, "antialiased edged: pure edge pixels hold the edge colour");
        const int drawScreen = data->drawScreen;
        DeleteFontToHandle(font);
        check(GetBmpData(drawScreen) == nullptr, std::string(c.name) + ": deleting the font deletes its draw screen");
    }
    EndLibrary();
    return check.failures;
}

void RunScenario(const char *name, const char *dirName, std::vector<std::string> expectLines = {})
{
    std::string dir = MakeTestDirectory(dirName);
    ChildResult child = RunChildScenario(name, dir);
    ASSERT_TRUE(child.finished);
    EXPECT_EQ(0, child.exitCode);
    LogLines log = SplitLogLines(ReadWholeFile(dir + "AppLog.txt"));
    for (const std::string &line : expectLines) EXPECT_TRUE(log.Contains(line)) << line;
}

TEST(StringDraw, PixelsOfPlainEdgedVerticalClippedAndEvictedText)
{
    RunScenario("string_pixels_run", "string_pixels");
}

TEST(StringDraw, RefusedHandlesAndTheScreenLog)
{
    std::string dir = MakeTestDirectory("string_handles");
    ChildResult child = RunChildScenario("string_handles_run", dir);
    ASSERT_TRUE(child.finished);
    EXPECT_EQ(0, child.exitCode);
    LogLines log = SplitLogLines(ReadWholeFile(dir + "AppLog.txt"));
    int refusals = 0;
    for (const std::string &line : log.lines) refusals += line.find("フォントハンドル値が異常です") != std::string::npos;
    EXPECT_EQ(refusals, 4) << "one log line per refused handle";
}

TEST(StringDraw, AntialiasedFontsThroughTheDrawScreen)
{
    RunScenario("string_draw_screen_run", "string_draw_screen");
}

TEST(StringDraw, DefaultFontAfterAScreenModeChange)
{
    RunScenario("string_mode_change_run", "string_mode_change");
}

} // namespace
