// Graphs on the display in a window, through InitLibrary on the test
// desktop: LoadGraph puts the decoded pixels into a DirectDraw surface in the
// screen's layout and the alpha into the surface data's alpha memory; the
// graph operations refuse stale and foreign handles; the default restore
// reloads a graph from its file. Run on a 32-bit and a 16-bit desktop.
#include <gtest/gtest.h>
#include <windows.h>
#include <ddraw.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "Vexlo.h"
#include "display/display.h"
#include "display/display_needs.h"
#include "font/font.h"
#include "graph/graph_dib.h"
#include "graph/graph_restore.h"
#include "graph/graph_table.h"
#include "graph/surface_data.h"
#include "support/checks.h"
#include "support/child_process.h"
#include "support/log_lines.h"

namespace {

std::string FixtureDir() { return std::string(VEXLO_GRAPH_FIXTURES) + "\\"; }

// The fixture's expected R, G, B, A bytes (made by an independent tool).
std::string ExpectedRgba(const char *name) { return ReadWholeFile(FixtureDir() + name); }

const SurfaceData *SurfaceOfGraph(int graph, int *handle)
{
    const GraphSlot *slot = GetGraphSlot(graph);
    const BmpData *piece = slot && slot->pieceCount ? GetBmpData(slot->pieces[0]) : nullptr;
    if (!piece) return nullptr;
    *handle = piece->surfaceData;
    return GetSurfaceData(piece->surfaceData);
}

// A colour as the screen holds it, computed here from the masks.
uint32_t ScreenValue(const ColorData *s, int r, int g, int b)
{
    auto place = [](int v, uint32_t mask, int shift, int width) {
        return (static_cast<uint32_t>(v) >> (8 - width) << shift) & mask;
    };
    return place(r, s->redMask, s->redShift, s->redWidth) | place(g, s->greenMask, s->greenShift, s->greenWidth) |
           place(b, s->blueMask, s->blueShift, s->blueWidth);
}

// Compares the graph's surface pixels with the colour channels of rgba and
// its alpha memory with the channel alphaFrom (3: alpha, 0: red) of alphaRgba.
std::string CompareGraph(int graph, const std::string &rgba, const std::string &alphaRgba, int alphaFrom)
{
    int handle = -1;
    const SurfaceData *entry = SurfaceOfGraph(graph, &handle);
    if (!entry) return "no surface data";
    int width = entry->width, height = entry->height;
    if (rgba.size() != static_cast<size_t>(width * height * 4)) return "fixture size differs";
    const ColorData *layout = GetScreenColorDataOfDisplay();
    uint32_t colourBits = layout->redMask | layout->greenMask | layout->blueMask;
    int pitch = 0;
    void *pixels = nullptr;
    if (LockSurfaceData(handle, &pitch, &pixels) != 0) return "lock failed";
    std::string miss;
    for (int y = 0; y < height && miss.empty(); ++y) {
        for (int x = 0; x < width && miss.empty(); ++x) {
            const auto *e = reinterpret_cast<const unsigned char *>(rgba.data()) + (y * width + x) * 4;
            uint32_t seen = 0;
            std::memcpy(&seen, static_cast<uint8_t *>(pixels) + y * pitch + x * layout->bytesPerPixel,
                        layout->bytesPerPixel);
            uint32_t expected = ScreenValue(layout, e[0], e[1], e[2]);
            if ((seen & colourBits) != expected) miss = "pixel " + std::to_string(x) + "," + std::to_string(y);
            int alpha = static_cast<unsigned char>(alphaRgba[static_cast<size_t>((y * width + x) * 4 + alphaFrom)]);
            if (!entry->alphaMemory || entry->alphaMemory[y * entry->alphaPitch + x] != alpha)
                miss = "alpha " + std::to_string(x) + "," + std::to_string(y);
        }
    }
    UnlockSurfaceData(handle);
    return miss;
}

bool Copy(const char *fixture, const char *name)
{
    return CopyFileA((FixtureDir() + fixture).c_str(), name, FALSE) != 0;
}

int GraphsRefuse(int handle)
{
    int width = 0, flag = 5;
    return DeleteGraph(handle, 0) == -1 && GetGraphSize(handle, &width, nullptr) == -1 &&
           SetGraphDeletedFlag(handle, &flag) == -1 && flag == 5;
}

CHILD_SCENARIO(graph_window_run)
{
    Checks check;
    bool copied = Copy("png_rgba.png", "rgba.png") && Copy("png_rgb.png", "pic.png") &&
                  Copy("png_grey.png", "pic_a.png") && Copy("png_rgb.png", "odd.png") &&
                  Copy("jpeg_colour.jpg", "odd_a.png");
    FILE *text = std::fopen("notimage.png", "wb");
    if (!copied || !text) return 91;
    std::fputs("no image here", text);
    std::fclose(text);
    check(LoadGraph("rgba.png") == -1, "LoadGraph before the display started");
    ChangeWindowMode(1);
    if (InitLibrary() != 0) return 90;

    SetGraphTransColor(0xFF00FF);
    int rgba = LoadGraph("rgba.png");
    check(rgba == 0x08000000, "first graph handle");
    std::string miss = CompareGraph(rgba, ExpectedRgba("png_rgba.rgba"), ExpectedRgba("png_rgba.rgba"), 3);
    check(miss.empty(), "RGBA PNG in the surface: " + miss);
    int surface = -1;
    const SurfaceData *entry = SurfaceOfGraph(rgba, &surface);
    DDCOLORKEY key = {};
    check(entry && SUCCEEDED(entry->surface->GetColorKey(DDCKEY_SRCBLT, &key)) &&
              key.dwColorSpaceLowValue == static_cast<DWORD>(GetColor(255, 0, 255)),
          "colour key of the transparent colour");
    int pitch1 = 0, pitch2 = 0;
    void *p1 = nullptr, *p2 = nullptr;
    check(LockSurfaceData(surface, &pitch1, &p1) == 0 && LockSurfaceData(surface, &pitch2, &p2) == -2 && p1 == p2 &&
              pitch1 == pitch2,
          "a second lock hands out the same memory");
    check(UnlockSurfaceData(surface) == 0 && UnlockSurfaceData(surface) == 0 && UnlockSurfaceData(surface) == -1,
          "two unlocks, then none left");

    int pic = LoadGraph("pic.png");
    check(pic == 0x08010001, "second graph handle");
    miss = CompareGraph(pic, ExpectedRgba("png_rgb.rgba"), ExpectedRgba("png_grey.rgba"), 0);
    check(miss.empty(), "RGB PNG with its _a companion: " + miss);

    check(LoadGraph("odd.png") == -1, "companion of another size refused");
    check(LoadGraph("missing.png") == -1, "missing file");
    check(LoadGraph("notimage.png") == -1, "a file that is no image");

    int width = 0, height = 0;
    check(GetGraphSize(rgba, &width, &height) == 0 && width == 13 && height == 5, "graph size");
    check(GetGraphSize(SCREEN_BACK, &width, &height) == 0 && width == 640 && height == 480, "screen size");
    int font = GetDefaultFontHandle();
    check(font != -1 && GraphsRefuse(font), "a font handle is refused by every graph operation");
    check(CreateGraph(0, 5, 0, 0) == -1 && CreateGraph(5, 40000, 0, 0) == -1, "sizes outside the slot refused");

    int flag = 5;
    check(SetGraphDeletedFlag(pic, &flag) == 0 && flag == 0, "deleted flag cleared");
    check(DeleteGraph(pic, 1) == 0 && flag == 1, "deletion sets the flag");
    check(GraphsRefuse(pic), "a deleted graph's handle is refused");
    int blank = CreateGraph(8, 8, 0, 0);
    check(blank == 0x08020001, "the next graph takes the slot above the mark with the next check number");

    // Lost pixels come back from the file.
    FillSurfaceData(surface, 0, 0, 0, 0);
    std::memset(SurfaceOfGraph(rgba, &surface)->alphaMemory, 0, 13 * 5);
    MarkGraphsForRestore();
    miss = CompareGraph(rgba, ExpectedRgba("png_rgba.rgba"), ExpectedRgba("png_rgba.rgba"), 3);
    check(miss.empty(), "pixels after the restore: " + miss);

    check(SetScreenMode(800, 600, -1, -1) == 0, "screen mode change");
    check(GraphsRefuse(rgba) && GraphsRefuse(blank), "handles from before the change are stale");
    check(LoadGraph("rgba.png") == 0x08000000, "the first graph after the change");
    EndLibrary();
    return check.failures;
}

TEST(Graphs, LoadFillRefuseAndRestoreInAWindow)
{
    std::string dir = MakeTestDirectory("graph_window");
    ChildResult child = RunChildScenario("graph_window_run", dir);
    ASSERT_TRUE(child.finished);
    EXPECT_EQ(0, child.exitCode);
    LogLines log = SplitLogLines(ReadWholeFile(dir + "AppLog.txt"));
    auto has = [&log](const std::string &text) {
        for (const std::string &line : log.lines)
            if (line.find(text) != std::string::npos) return true;
        return false;
    };
    EXPECT_TRUE(has("グラフィック管理系の初期化は正常に終了しました"));
    EXPECT_TRUE(has("グラフィックファイル missing.png がありません"));
    EXPECT_TRUE(has("右記のグラフィックファイルのロードに失敗しました：notimage.png "));
    EXPECT_FALSE(has("odd.png")) << "a companion of another size is refused without a message";
    EXPECT_TRUE(has("グラフィック pic.png の削除"));
    EXPECT_TRUE(has("グラフィックを復帰します"));
    EXPECT_TRUE(has("ファイル:rgba.png をロードします"));
    EXPECT_TRUE(has("グラフィック管理系の終了処理は正常に終了しました"));
}

// ---- DIBs -------------------------------------------------------------------------

TEST(GraphDib, ImagesBecomeTopDown24BitDibs)
{
    GraphImage image = {};
    ASSERT_EQ(0, AllocateGraphImage(&image, &Bgra32Layout(), 40, 10, 160));
    auto *p = static_cast<uint8_t *>(image.pixels);
    for (int i = 0; i < 40 * 10 * 4; ++i) p[i] = static_cast<uint8_t>(i * 7 + 3);
    BITMAPINFO info;
    void *bits = nullptr;
    ASSERT_EQ(1, GraphImageToDib(&image, &info, &bits, 0));
    EXPECT_EQ(40, info.bmiHeader.biWidth);
    EXPECT_EQ(-10, info.bmiHeader.biHeight);
    EXPECT_EQ(24, info.bmiHeader.biBitCount);
    // Rows of 120 bytes: pixel (1, 1) starts at 123.
    const auto *d = static_cast<const uint8_t *>(bits);
    EXPECT_EQ(0, std::memcmp(d + 123, p + 160 + 4, 3));
    std::free(bits);
    ReleaseGraphImage(&image);

    ASSERT_EQ(0, AllocateGraphImage(&image, &Bgr24Layout(), 4, 2, 12));
    EXPECT_EQ(0, GraphImageToDib(&image, &info, &bits, 0));
    EXPECT_EQ(image.pixels, bits); // already in the DIB's layout and stride
    EXPECT_EQ(1, GraphImageToDib(&image, &info, &bits, 1));
    EXPECT_NE(image.pixels, bits);
    std::free(bits);
    ReleaseGraphImage(&image);
}

TEST(GraphDib, CreateDIBGraphHoldsTheFilesPixels)
{
    EXPECT_EQ(nullptr, CreateDIBGraph((FixtureDir() + "missing.png").c_str()));
    HBITMAP bitmap = CreateDIBGraph((FixtureDir() + "png_rgb.png").c_str());
    ASSERT_NE(nullptr, bitmap);
    DIBSECTION dib = {};
    ASSERT_EQ(static_cast<int>(sizeof dib), GetObjectA(bitmap, sizeof dib, &dib));
    EXPECT_EQ(13, dib.dsBm.bmWidth);
    EXPECT_EQ(5, dib.dsBm.bmHeight);
    EXPECT_EQ(24, dib.dsBm.bmBitsPixel);
    std::string rgba = ExpectedRgba("png_rgb.rgba");
    ASSERT_EQ(13u * 5 * 4, rgba.size());
    const auto *bits = static_cast<const uint8_t *>(dib.dsBm.bmBits);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 13; ++x) {
            const uint8_t *px = bits + y * dib.dsBm.bmWidthBytes + x * 3;
            const auto *e = reinterpret_cast<const uint8_t *>(rgba.data()) + (y * 13 + x) * 4;
            EXPECT_TRUE(px[0] == e[2] && px[1] == e[1] && px[2] == e[0]) << x << "," << y;
        }
    DeleteObject(bitmap);
}

} // namespace
