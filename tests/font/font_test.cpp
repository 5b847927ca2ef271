// Font handles and the glyph cache under GDI, without a display: the device
// check is replaced so fonts can be made and filled.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Vexlo.h"
#include "display/display_needs.h"
#include "font/font.h"
#include "graph/handle_table.h"
#include "support/started_log.h"

namespace {

int DeviceReady() { return 1; }
int NoDevice() { return 0; }

struct FontFixture : ::testing::Test {
    FontFixture() : log("font_test") { SetFontDeviceCheck(DeviceReady); }
    ~FontFixture() override
    {
        EndFontManager();
        for (int h : made) DeleteFontToHandle(h);
        SetFontDeviceCheck(nullptr);
    }
    int Make(const char *face, int size, int type)
    {
        int h = CreateFontToHandle(face, size, -1, type, 1, -1, -1);
        if (h != -1) made.push_back(h);
        return h;
    }
    StartedLog log;
    std::vector<int> made;
};

// The cache values of one slot's cell, row by row.
std::vector<int> CellValues(int font, int slot)
{
    FontCacheView view{};
    EXPECT_EQ(GetFontCacheView(font, &view), 0);
    int x0 = 0, y0 = 0;
    GlyphCellPosition(view.cache, slot, &x0, &y0);
    std::vector<int> values;
    for (int y = y0; y < y0 + view.cellSize; ++y) {
        const unsigned char *row = view.pixels + static_cast<size_t>(y) * static_cast<size_t>(view.pitch);
        for (int x = x0; x < x0 + view.cellSize; ++x) {
            if (view.bitsPerPixel == 1) values.push_back((row[x >> 3] >> (7 - (x & 7))) & 1);
            else if (view.bitsPerPixel == 8) values.push_back(row[x]);
            else values.push_back(row[2 * x] | row[2 * x + 1] << 8);
        }
    }
    return values;
}

int Cache(int font, const char *text)
{
    FontChar list[FONT_STRING_LIST_SIZE];
    int count = 0;
    PrepareFontString(font, text, -1, list, &count);
    FontCacheView view{};
    GetFontCacheView(font, &view);
    return count > 0 ? FindCachedGlyph(view.cache, list[count - 1].code) : -1;
}

int CountValue(const std::vector<int> &values, int value)
{
    int n = 0;
    for (int v : values) n += v == value;
    return n;
}

TEST_F(FontFixture, HandlesLimitsAndDeletedFlag)
{
    int first = Make(nullptr, 16, 0);
    ASSERT_NE(first, -1);
    EXPECT_EQ(HandleKindOf(first), HANDLE_KIND_FONT);
    EXPECT_EQ(CheckFontHandle(first), 1);
    EXPECT_EQ(GetFontSizeToHandle(first), 16);
    EXPECT_EQ(CreateFontToHandle(nullptr, 16, -1, 0, 1, HandleIndexOf(first), -1), -1); // occupied slot
    for (int i = 1; i < 40; ++i) ASSERT_NE(Make(nullptr, 12, 0), -1) << i;
    EXPECT_EQ(Make(nullptr, 12, 0), -1);
    EXPECT_NE(log.Text().find("作成できるフォントハンドル数 40 の限界を超えました"), std::string::npos);
    for (int h : made) EXPECT_EQ(CheckFontHandle(h), 1);

    int flag = 7;
    EXPECT_EQ(SetFontDeletedFlag(first, &flag), 0);
    EXPECT_EQ(flag, 0);
    EXPECT_EQ(DeleteFontToHandle(first), 0);
    EXPECT_EQ(flag, 1);
    const int invalid[] = {first, -1, MakeHandle(HANDLE_KIND_GRAPH, 0, 0), MakeHandle(HANDLE_KIND_FONT, 0, 40)};
    for (int h : invalid) {
        EXPECT_EQ(CheckFontHandle(h), 0);
        EXPECT_EQ(GetFontSizeToHandle(h), -1);
        EXPECT_EQ(DeleteFontToHandle(h), -1);
        EXPECT_EQ(SetFontDeletedFlag(h, nullptr), -1);
    }
    int again = Make(nullptr, 16, 0); // takes the freed slot with a new check number
    EXPECT_EQ(HandleIndexOf(again), HandleIndexOf(first));
    EXPECT_EQ(CheckFontHandle(first), 0);
}

TEST_F(FontFixture, NoDeviceNoFontAndNoRasterising)
{
    int font = Make(nullptr, 16, 0);
    ASSERT_NE(font, -1);
    SetFontDeviceCheck(NoDevice);
    const uint16_t code = 'A';
    EXPECT_EQ(CacheFontGlyphs(1, &code, font), nullptr);
    EXPECT_EQ(CreateFontToHandle(nullptr, 16, -1, 0, 1, -1, -1), -1);
    SetFontDeviceCheck(DeviceReady);
    EXPECT_NE(CacheFontGlyphs(1, &code, font), nullptr);
}

TEST_F(FontFixture, CacheGeometryFollowsTheCell)
{
    int plain = Make(nullptr, 16, 0);
    int edged = Make(nullptr, 16, 1);
    FontCacheView p{}, e{};
    ASSERT_EQ(GetFontCacheView(plain, &p), 0);
    ASSERT_EQ(GetFontCacheView(edged, &e), 0);
    EXPECT_EQ(p.bitsPerPixel, 1);
    EXPECT_EQ(e.bitsPerPixel, 8);
    EXPECT_EQ(e.cellSize, p.cellSize + 2);
    EXPECT_EQ(p.cellSize % 2, 0);
}

TEST_F(FontFixture, PlainGlyphInkStaysInItsCell)
{
    int font = Make(nullptr, 16, 0);
    const char *texts[] = {"A", "あ", "g"};
    for (const char *text : texts) {
        int slot = Cache(font, text);
        ASSERT_GE(slot, 0);
        std::vector<int> cell = CellValues(font, slot);
        EXPECT_GT(CountValue(cell, 1), 4) << text;
        FontCacheView view{};
        GetFontCacheView(font, &view);
        EXPECT_GT(view.cache->slots[slot].width, 0);
        EXPECT_GT(view.cache->slots[slot].height, 0);
    }
    // Cells below the last one used stay empty.
    std::vector<int> unused = CellValues(font, 10);
    EXPECT_EQ(CountValue(unused, 0), static_cast<int>(unused.size()));
}

TEST_F(FontFixture, EdgedGlyphHasEdgeAroundBody)
{
    int font = Make(nullptr, 16, 1);
    int slot = Cache(font, "W");
    std::vector<int> cell = CellValues(font, slot);
    FontCacheView view{};
    GetFontCacheView(font, &view);
    int size = view.cellSize;
    ASSERT_GT(CountValue(cell, 3), 4);
    ASSERT_GT(CountValue(cell, 1), 4);
    EXPECT_EQ(CountValue(cell, 3) + CountValue(cell, 1) + CountValue(cell, 0), size * size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            int v = cell[y * size + x];
            if (v == 3) {
                // No body pixel touches the cell border or an empty pixel.
                ASSERT_TRUE(x > 0 && y > 0 && x < size - 1 && y < size - 1);
                EXPECT_NE(cell[y * size + x - 1], 0);
                EXPECT_NE(cell[y * size + x + 1], 0);
                EXPECT_NE(cell[(y - 1) * size + x], 0);
                EXPECT_NE(cell[(y + 1) * size + x], 0);
            } else if (v == 1) {
                bool nextToBody = (x > 0 && cell[y * size + x - 1] == 3) || (x < size - 1 && cell[y * size + x + 1] == 3) ||
                                  (y > 0 && cell[(y - 1) * size + x] == 3) || (y < size - 1 && cell[(y + 1) * size + x] == 3);
                EXPECT_TRUE(nextToBody) << x << "," << y;
            }
        }
}

TEST_F(FontFixture, AntialiasedCoverageAndEdgeBytes)
{
    int grey = Make(nullptr, 24, 2);
    int greyEdged = Make(nullptr, 24, 3);
    std::vector<int> g = CellValues(grey, Cache(grey, "O"));
    std::vector<int> ge = CellValues(greyEdged, Cache(greyEdged, "O"));
    EXPECT_GT(CountValue(g, 255), 4);
    int edgeOnly = 0;
    for (int v : ge) edgeOnly += (v & 0xFF) == 0 && (v >> 8) != 0;
    EXPECT_GT(edgeOnly, 4);
}

// The turn into the cell: a horizontal bar cached by a vertical font stands
// upright, and the slot's width and height trade places.
TEST_F(FontFixture, VerticalGlyphIsTurnedAndSizesSwapped)
{
    int across = Make("@ＭＳ ゴシック", 32, 1);
    int flat = Make("ＭＳ ゴシック", 32, 1);
    ASSERT_NE(across, -1);
    FontCacheView view{};
    GetFontCacheView(across, &view);
    EXPECT_EQ(view.vertical, 1);
    int vslot = Cache(across, "-");
    int hslot = Cache(flat, "-");
    std::vector<int> v = CellValues(across, vslot);
    std::vector<int> h = CellValues(flat, hslot);
    auto box = [](const std::vector<int> &cell, int size, int *w, int *hh) {
        int x0 = size, x1 = -1, y0 = size, y1 = -1;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                if (cell[y * size + x] == 3) {
                    x0 = std::min(x0, x); x1 = std::max(x1, x);
                    y0 = std::min(y0, y); y1 = std::max(y1, y);
                }
        *w = x1 - x0 + 1;
        *hh = y1 - y0 + 1;
    };
    FontCacheView hv{};
    GetFontCacheView(flat, &hv);
    int vw = 0, vh = 0, hw = 0, hh = 0;
    box(v, view.cellSize, &vw, &vh);
    box(h, hv.cellSize, &hw, &hh);
    EXPECT_GT(hw, hh);
    EXPECT_GT(vh, vw); // the bar stands upright in the cell
    EXPECT_EQ(vw, hh);
    // Wine's vertical face measures half-width glyphs a pixel narrower.
    EXPECT_NEAR(vh, hw, 1);
    const FontCacheSlot &vs = view.cache->slots[vslot];
    const FontCacheSlot &hs = hv.cache->slots[hslot];
    EXPECT_EQ(vs.width, hs.height);
    EXPECT_NEAR(vs.height, hs.width, 1);
}

TEST_F(FontFixture, EvictedCharactersComeBackWithTheSamePixels)
{
    const int types[] = {0, 1, 3};
    for (int type : types) {
        int font = Make(nullptr, 128, type); // a big cell: a cache of a few dozen cells
        ASSERT_NE(font, -1);
        FontCacheView view{};
        GetFontCacheView(font, &view);
        int capacity = view.cache->capacity;
        ASSERT_LT(capacity, 100);
        std::vector<int> first = CellValues(font, Cache(font, "あ"));
        // More distinct characters than the cache holds push the first out.
        std::string many;
        for (int i = 0; i < capacity + 5; ++i) many += static_cast<char>('!' + i);
        Cache(font, many.c_str());
        EXPECT_EQ(FindCachedGlyph(view.cache, 0xA082), -1) << type;
        int slot = Cache(font, "あ");
        EXPECT_EQ(CellValues(font, slot), first) << type;
    }
}

TEST_F(FontFixture, RebuildKeepsHandlesAndEmptiesCaches)
{
    int a = Make(nullptr, 16, 0);
    int b = Make(nullptr, 20, 1);
    int flag = 5;
    SetFontDeletedFlag(b, &flag);
    Cache(a, "xyz");
    EXPECT_EQ(RebuildAllFonts(), 0);
    EXPECT_EQ(CheckFontHandle(a), 1);
    EXPECT_EQ(CheckFontHandle(b), 1);
    EXPECT_EQ(GetFontSizeToHandle(b), 20);
    EXPECT_EQ(flag, 0);
    FontCacheView view{};
    GetFontCacheView(a, &view);
    EXPECT_EQ(FindCachedGlyph(view.cache, 'x'), -1);
    DeleteFontToHandle(b);
    EXPECT_EQ(flag, 1);
}

TEST_F(FontFixture, DefaultFontFollowsTheModeChange)
{
    ASSERT_EQ(StartFontManager(), 0);
    int first = GetDefaultFontHandle();
    EXPECT_EQ(GetFontSizeToHandle(first), 16);
    ASSERT_EQ(SetDefaultFontState(nullptr, 24, 3), 0);
    EXPECT_EQ(GetFontSizeToHandle(GetDefaultFontHandle()), 24);
    // A screen mode change: saved, graphics ended and started, made again.
    SaveDefaultFont();
    EndFontManager();
    EXPECT_EQ(CheckFontHandle(GetDefaultFontHandle()), 0);
    StartFontManager();
    RecreateDefaultFont();
    int size = 0, thickness = 0;
    ASSERT_EQ(GetFontStateToHandle(nullptr, &size, &thickness, GetDefaultFontHandle()), 0);
    EXPECT_EQ(size, 24);
    EXPECT_EQ(thickness, 3);
    EXPECT_NE(log.Text().find("フォントの初期化は正常に終了しました"), std::string::npos);
    SetDefaultFontState(nullptr, 16, 6);
}

} // namespace
