// The software renderer on the display in a window (a 32-bit desktop):
// DrawGraph, DrawRectGraph, DrawExtendGraph, DrawTurnGraph, the filled box
// and FillGraphColor write exactly the expected pixels of the back screen
// and nothing outside the draw area; dead and foreign handles are refused;
// a surface that cannot be locked ends the program with its text.
#include <gtest/gtest.h>
#include <windows.h>
#include <ddraw.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "Vexlo.h"
#include "display/display.h"
#include "font/font.h"
#include "graph/graph_table.h"
#include "graph/surface_data.h"
#include "soft/draw_state.h"
#include "soft/soft_renderer.h"
#include "support/checks.h"
#include "support/child_process.h"
#include "support/log_lines.h"

namespace {

std::string Hex(uint32_t v)
{
    char text[16];
    std::snprintf(text, sizeof text, "%06X", static_cast<unsigned>(v));
    return text;
}

// The back screen's pixels (16- or 32-bit), read through a lock.
class BackScreen {
public:
    uint32_t At(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x] & 0xFFFFFF; }
    void Read()
    {
        IDirectDrawSurface7 *back = GetBackScreen();
        DDSURFACEDESC2 desc = {};
        desc.dwSize = sizeof desc;
        if (FAILED(back->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr))) return;
        width_ = static_cast<int>(desc.dwWidth);
        height_ = static_cast<int>(desc.dwHeight);
        int bytes = static_cast<int>(desc.ddpfPixelFormat.dwRGBBitCount) / 8;
        pixels_.assign(static_cast<size_t>(width_) * height_, 0);
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                std::memcpy(&pixels_[static_cast<size_t>(y) * width_ + x],
                            static_cast<uint8_t *>(desc.lpSurface) + y * desc.lPitch + x * bytes, bytes);
        back->Unlock(nullptr);
    }
    // The coordinates of pixels that differ from background outside r.
    std::string WrittenOutside(const RECT &r, uint32_t background) const
    {
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                if ((x < r.left || x >= r.right || y < r.top || y >= r.bottom) && At(x, y) != background)
                    return std::to_string(x) + "," + std::to_string(y) + "=" + Hex(At(x, y));
        return "";
    }

private:
    std::vector<uint32_t> pixels_;
    int width_ = 0, height_ = 0;
};

// A graph of the given rows of screen values, written into its surface.
int MakeGraph(int width, int height, const std::vector<uint32_t> &pixels)
{
    int bytes = GetScreenColorDataOfDisplay()->bitDepth / 8;
    int graph = CreateGraph(width, height, 0, 0);
    const GraphSlot *slot = GetGraphSlot(graph);
    const BmpData *piece = slot ? GetBmpData(slot->pieces[0]) : nullptr;
    if (!piece) return -1;
    int pitch = 0;
    void *memory = nullptr;
    if (LockSurfaceData(piece->surfaceData, &pitch, &memory) != 0) return -1;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            std::memcpy(static_cast<uint8_t *>(memory) + (piece->yInSurface + y) * pitch + (piece->xInSurface + x) * bytes,
                        &pixels[static_cast<size_t>(y) * width + x], bytes);
    UnlockSurfaceData(piece->surfaceData);
    return graph;
}

void ClearBack(uint32_t colour)
{
    SetDrawBlendMode(BLEND_NONE, 0);
    SetDrawArea(0, 0, 640, 480);
    ClearDrawScreen();
    if (colour != 0) G_DDraw_DrawFillBox(0, 0, 640, 480, static_cast<int>(colour));
}

// Expected pixels of a small region, row by row, starting at (x, y).
void ExpectRegion(Checks &check, const BackScreen &screen, int x, int y, int width,
                  const std::vector<uint32_t> &expected, const std::string &what)
{
    for (size_t i = 0; i < expected.size(); ++i) {
        int px = x + static_cast<int>(i) % width, py = y + static_cast<int>(i) / width;
        uint32_t seen = screen.At(px, py);
        check(seen == expected[i], what + ": pixel " + std::to_string(px) + "," + std::to_string(py) + " is " +
                                       Hex(seen) + ", expected " + Hex(expected[i]));
    }
}

const uint32_t R = 0xFF0000, G = 0x00FF00, B = 0x0000FF, K = 0x000000, W = 0xFFFFFF;

bool StartInWindow()
{
    ChangeWindowMode(1);
    if (InitLibrary() != 0) return false;
    SetDrawScreen(SCREEN_BACK);
    return GetScreenColorDataOfDisplay()->bitDepth == 32;
}

CHILD_SCENARIO(soft_draw_run)
{
    Checks check;
    if (!StartInWindow()) return 90;
    BackScreen screen;
    // A B C / D K F: K is the colour key (black by default).
    int abc = MakeGraph(3, 2, {R, G, B, 0x102030, K, 0x405060});
    check(abc != -1, "graph made");

    // Keyed copy: the key pixel keeps the background; nothing else is touched.
    ClearBack(0x808080);
    check(DrawGraph(10, 20, abc, 1) == 0, "DrawGraph result");
    screen.Read();
    ExpectRegion(check, screen, 10, 20, 3, {R, G, B, 0x102030, 0x808080, 0x405060}, "keyed copy");
    check(screen.WrittenOutside({10, 20, 13, 22}, 0x808080).empty(), "keyed copy wrote outside its rectangle");
    DrawGraph(10, 20, abc, 0);
    screen.Read();
    check(screen.At(11, 21) == K, "unkeyed copy draws the key colour");

    // Alpha 128: red over blue gives 0x7F007F; add and subtract saturate.
    struct BlendCase {
        int mode, parameter;
        uint32_t background, expected;
        const char *what;
    } blends[] = {
        {BLEND_ALPHA, 128, B, 0x7F007F, "alpha 128 of red over blue"},
        {BLEND_ALPHA, 0, B, B, "alpha 0 draws nothing"},
        {BLEND_ADD, 255, 0x808080, 0xFF8080, "add of red, saturated"},
        // Green comes out one above 0x80: the low bits of red and green are the
        // subtract's guard bits.
        {BLEND_SUB, 255, 0x808080, 0x008180, "subtract of red, floored"},
        {BLEND_MUL, 0, 0x808080, 0x800000, "multiply"},
        {BLEND_XOR, 0, 0x808080, 0x808080, "exclusive or draws nothing on 32 bits"},
        {99, 0, 0x808080, 0x808080, "unknown mode draws nothing"},
    };
    for (const BlendCase &c : blends) {
        ClearBack(c.background);
        SetDrawBlendMode(c.mode, c.parameter);
        check(DrawGraph(0, 0, abc, 1) == 0, std::string(c.what) + ": result");
        screen.Read();
        check(screen.At(0, 0) == c.expected, std::string(c.what) + ": " + Hex(screen.At(0, 0)));
    }

    // Clipping: partly above and left of the draw area, and wholly outside.
    ClearBack(0);
    SetDrawArea(100, 100, 200, 200);
    check(DrawGraph(98, 99, abc, 0) == 0, "clipped draw result");
    check(DrawGraph(300, 300, abc, 0) == 0, "draw outside the area result");
    check(DrawGraph(-2147483647, -2147483647, abc, 0) == 0, "draw at the far corner");
    screen.Read();
    ExpectRegion(check, screen, 100, 100, 1, {0x405060}, "clipped draw starts inside the graph");
    check(screen.WrittenOutside({100, 100, 101, 101}, 0).empty(), "clipped draw wrote outside the area");

    // DrawRectGraph draws the part and leaves the draw area as it was, also
    // when its handle is dead.
    ClearBack(0);
    check(DrawRectGraph(50, 60, 1, 0, 2, 1, abc, 0, 0) == 0, "DrawRectGraph result");
    check(DrawRectGraph(50, 70, 0, 0, 2, 2, abc, 0, 1) == 0, "turned DrawRectGraph result");
    check(DrawRectGraph(0, 0, 0, 0, 2, 2, abc + 1, 0, 1) == -1, "turned DrawRectGraph of a dead handle");
    const PixelRect &area = GetDrawState().drawArea;
    check(area.left == 0 && area.top == 0 && area.right == 640 && area.bottom == 480, "draw area kept");
    screen.Read();
    ExpectRegion(check, screen, 50, 60, 3, {G, B, 0}, "DrawRectGraph part");
    // Turned, the part A B shows as B A.
    ExpectRegion(check, screen, 50, 70, 3, {G, R, 0, K, 0x102030, 0}, "turned DrawRectGraph part");

    // DrawTurnGraph mirrors; DrawExtendGraph doubles and halves.
    ClearBack(0);
    check(DrawTurnGraph(0, 0, abc, 0) == 0, "DrawTurnGraph result");
    check(DrawExtendGraph(10, 0, 16, 4, abc, 0) == 0, "doubled result");
    check(DrawExtendGraph(20, 2, 23, 0, abc, 0) == 0, "mirrored vertically result");
    check(DrawExtendGraph(30, 0, 30, 4, abc, 0) == -1, "empty rectangle result");
    screen.Read();
    ExpectRegion(check, screen, 0, 0, 3, {B, G, R, 0x405060, K, 0x102030}, "turned");
    ExpectRegion(check, screen, 10, 0, 6,
                 {R, R, G, G, B, B, R, R, G, G, B, B, 0x102030, 0x102030, K, K, 0x405060, 0x405060}, "doubled");
    ExpectRegion(check, screen, 20, 0, 3, {0x102030, K, 0x405060, R, G, B}, "mirrored vertically");

    // A graph drawn into itself reads a copy of itself.
    int copy = MakeGraph(2, 1, {0x101010, 0x202020});
    SetDrawScreen(copy);
    SetDrawBlendMode(BLEND_ADD, 255);
    check(DrawGraph(0, 0, copy, 0) == 0, "graph drawn into itself");
    SetDrawScreen(SCREEN_BACK);
    SetDrawBlendMode(BLEND_NONE, 0);
    ClearBack(0);
    DrawGraph(0, 0, copy, 0);
    screen.Read();
    ExpectRegion(check, screen, 0, 0, 2, {0x1F1F1F, 0x3F3F3F}, "graph added to itself");

    // Subtract box: white from white gives 0x010101; P = 0 draws nothing.
    ClearBack(W);
    SetDrawBlendMode(BLEND_SUB, 255);
    check(G_DDraw_DrawFillBox(0, 0, 2, 1, GetColor(255, 255, 255)) == 0, "box result");
    SetDrawBlendMode(BLEND_SUB, 0);
    G_DDraw_DrawFillBox(2, 0, 4, 1, GetColor(255, 255, 255));
    check(G_DDraw_DrawFillBox(5, 5, 4, 4, GetColor(255, 255, 255)) == 0, "reversed box result");
    screen.Read();
    ExpectRegion(check, screen, 0, 0, 4, {0x010101, 0x010101, W, W}, "subtract box");
    check(screen.At(4, 4) == W, "a reversed box draws nothing");

    // FillGraphColor, and handles that name no graph.
    check(FillGraphColor(abc, 0, 0, 255, 255) == 0, "FillGraphColor result");
    ClearBack(0);
    DrawGraph(0, 0, abc, 0);
    screen.Read();
    ExpectRegion(check, screen, 0, 0, 3, {B, B, B, B, B, B}, "filled graph");
    int font = CreateFontToHandle(nullptr, 16, -1, -1, -1, -1, -1);
    for (int handle : {font, abc + 0x10000, -1, 0}) {
        std::string h = Hex(static_cast<uint32_t>(handle));
        check(DrawGraph(0, 0, handle, 0) == -1, "DrawGraph refuses " + h);
        check(DrawExtendGraph(0, 0, 9, 9, handle, 0) == -1, "DrawExtendGraph refuses " + h);
        check(DrawTurnGraph(0, 0, handle, 0) == -1, "DrawTurnGraph refuses " + h);
        check(FillGraphColor(handle, 0, 0, 0, 0) == -1, "FillGraphColor refuses " + h);
    }
    DeleteGraph(abc, 0);
    check(DrawGraph(0, 0, abc, 0) == -1, "DrawGraph refuses a deleted graph");
    EndLibrary();
    check(DrawGraph(0, 0, copy, 0) == -1, "DrawGraph after the library ended");
    return check.failures;
}

// Full screen 640x480 with a 16-bit 5:6:5 flip chain (the back screen lies
// in video memory, so blends read the destination through a copy).
CHILD_SCENARIO(soft_draw_16_run)
{
    Checks check;
    SetScreenMode(640, 480, 16, -1);
    ChangeWindowMode(0);
    if (InitLibrary() != 0) return 90;
    SetDrawScreen(SCREEN_BACK);
    const ColorData *layout = GetScreenColorDataOfDisplay();
    if (layout->bitDepth != 16 || layout->redMask != 0xF800) return 90;
    const uint32_t r = 0xF800, g = 0x07E0, b = 0x001F, white = 0xFFFF, grey = 0x8410;
    int graph = MakeGraph(3, 2, {r, g, b, 0x1234, 0, 0x4321});
    BackScreen screen;

    ClearBack(grey);
    DrawGraph(10, 20, graph, 1);
    DrawExtendGraph(20, 20, 26, 24, graph, 1);
    screen.Read();
    ExpectRegion(check, screen, 10, 20, 3, {r, g, b, 0x1234, grey, 0x4321}, "16-bit keyed copy");
    ExpectRegion(check, screen, 20, 20, 6,
                 {r, r, g, g, b, b, r, r, g, g, b, b, 0x1234, 0x1234, grey, grey, 0x4321, 0x4321},
                 "16-bit doubled keyed copy");
    check(screen.WrittenOutside({10, 20, 26, 24}, grey).empty(), "16-bit draws wrote outside their rectangles");

    ClearBack(white);
    SetDrawBlendMode(BLEND_SUB, 255);
    G_DDraw_DrawFillBox(0, 1, 2, 2, GetColor(255, 255, 255));
    screen.Read();
    ExpectRegion(check, screen, 0, 1, 2, {0x0801, 0x0801}, "16-bit subtract box of white from white");

    // Alpha 128, red over blue: each channel T[128][s] + T[127][d] = 15.
    ClearBack(b);
    SetDrawBlendMode(BLEND_ALPHA, 128);
    DrawGraph(0, 0, graph, 1);
    screen.Read();
    ExpectRegion(check, screen, 0, 0, 1, {0x780F}, "16-bit alpha 128 of red over blue");
    EndLibrary();
    return check.failures;
}

// The back screen stays locked by someone else: the blend path cannot lock
// it and the program ends with the destination's text.
CHILD_SCENARIO(soft_draw_lock_failure)
{
    if (!StartInWindow()) return 90;
    int graph = MakeGraph(1, 1, {R});
    SetDrawBlendMode(argument == "box" ? BLEND_SUB : BLEND_ALPHA, 100);
    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof desc;
    if (FAILED(GetBackScreen()->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr))) return 91;
    if (argument == "box") G_DDraw_DrawFillBox(0, 0, 4, 4, GetColor(255, 255, 255));
    else if (argument == "extend") DrawExtendGraph(0, 0, 4, 4, graph, 0);
    else DrawGraph(0, 0, graph, 0);
    return 92; // not reached
}

} // namespace

TEST(SoftRenderer, DrawsExactPixelsInsideTheDrawArea)
{
    std::string dir = MakeTestDirectory("soft_draw");
    ChildResult child = RunChildScenario("soft_draw_run", dir);
    ASSERT_TRUE(child.finished);
    EXPECT_EQ(child.exitCode, 0) << "90: no 32-bit window screen; otherwise the number of failed checks";
}

// Needs a full-screen mode change: the test program runs in a wine virtual
// desktop (./vx test sets that up).
TEST(SoftRenderer, DrawsExactPixelsOnA16BitFlipChain)
{
    std::string dir = MakeTestDirectory("soft_draw_16");
    ChildResult child = RunChildScenario("soft_draw_16_run", dir);
    ASSERT_TRUE(child.finished);
    EXPECT_EQ(child.exitCode, 0) << "90: no 640x480x16 5:6:5 screen; otherwise the number of failed checks";
}

TEST(SoftRenderer, LockFailureEndsTheProgramWithItsText)
{
    struct {
        const char *argument, *text;
    } cases[] = {
        {"graph", "転送先サーフェスのロックに失敗しました in G_DDraw_DrawGraph "},
        {"extend", "転送先サーフェスのロックに失敗しました in G_DDraw_DrawExtendGraph "},
        {"box", "転送先サーフェスのロックに失敗しました in G_DDraw_DrawFillBox "},
    };
    for (const auto &c : cases) {
        std::string dir = MakeTestDirectory(std::string("soft_lock_") + c.argument);
        ChildResult child = RunChildScenario("soft_draw_lock_failure", dir, c.argument);
        ASSERT_TRUE(child.finished) << c.argument;
        EXPECT_EQ(child.exitCode, -1) << c.argument;
        LogLines log = SplitLogLines(ReadWholeFile(dir + "AppLog.txt"));
        bool found = false;
        for (const std::string &line : log.lines) found = found || line.find(c.text) != std::string::npos;
        EXPECT_TRUE(found) << c.argument;
    }
}
