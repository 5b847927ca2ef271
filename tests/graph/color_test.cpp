#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "Vexlo.h"
#include "graph/color_data.h"
#include "graph/graph_image.h"
#include "graph/screen_color.h"

namespace {

ColorData Layout(int bits, uint32_t r, uint32_t g, uint32_t b, uint32_t a)
{
    ColorData l{};
    SetColorDataFromMasks(&l, bits, r, g, b, a);
    return l;
}

// Each test sets the screen it needs and puts the start layout back.
class ScreenColour : public ::testing::Test {
protected:
    void TearDown() override { ResetScreenColorData(); }
    void UseScreen(const ColorData &l, const PaletteEntry *palette = nullptr) { SetScreenColorData(&l, palette); }
};

TEST_F(ScreenColour, LayoutFromMasksGivesShiftsWidthsAndSpare)
{
    ColorData l = Layout(16, 0x7C00, 0x03E0, 0x001F, 0);
    EXPECT_EQ(10, l.redShift);
    EXPECT_EQ(5, l.redWidth);
    EXPECT_EQ(5, l.greenShift);
    EXPECT_EQ(0u, l.alphaMask);
    EXPECT_EQ(0x8000u, l.spareMask);
    EXPECT_EQ(2, l.bytesPerPixel);
    EXPECT_EQ(0xFF000000u, Layout(32, 0xFF0000, 0xFF00, 0xFF, 0).spareMask);
    EXPECT_EQ(0u, Layout(16, 0xF800, 0x07E0, 0x001F, 0).spareMask);
    const ColorData &grey = Grey8Layout();
    EXPECT_EQ(0u, grey.spareMask);
    EXPECT_EQ(8, grey.alphaWidth);
    EXPECT_EQ(24, Bgra32Layout().alphaShift);
}

TEST_F(ScreenColour, GetColorPacksForTheScreenWithSpareBitsSet)
{
    struct Case {
        ColorData screen;
        int r, g, b;
        uint32_t expected;
    };
    const Case cases[] = {
        {Layout(16, 0xF800, 0x07E0, 0x001F, 0), 255, 255, 255, 0xFFFF},
        {Layout(16, 0xF800, 0x07E0, 0x001F, 0), 255, 0, 0, 0xF800},
        {Layout(16, 0x7C00, 0x03E0, 0x001F, 0), 0, 0, 0, 0x8000},
        {Layout(32, 0xFF0000, 0xFF00, 0xFF, 0), 0, 0, 0, 0xFF000000},
        {Layout(32, 0xFF0000, 0xFF00, 0xFF, 0), 0x112, 0x34, 0x56, 0xFF123456}, // channels modulo 256
    };
    for (const Case &c : cases) {
        UseScreen(c.screen);
        EXPECT_EQ(c.expected, static_cast<uint32_t>(GetColor(c.r, c.g, c.b)));
    }
    ResetScreenColorData();
    EXPECT_EQ(0xF800, GetColor(255, 0, 0)); // the start layout is 5:6:5
}

TEST_F(ScreenColour, GetColorInAddsAlphaWhenTheLayoutHasIt)
{
    UseScreen(Layout(16, 0xF800, 0x07E0, 0x001F, 0));
    EXPECT_EQ(0x80FF0000u, GetColorIn(&Bgra32Layout(), 255, 0, 0, 128));
    EXPECT_EQ(0x00FF0000u, GetColorIn(&Bgr24Layout(), 255, 0, 0, 128));
    ColorData a1 = Layout(16, 0x7C00, 0x03E0, 0x001F, 0x8000);
    EXPECT_EQ(0x801Fu, GetColorIn(&a1, 0, 0, 255, 255));
}

TEST_F(ScreenColour, GetColorRGBScalesChannelsToFullRange)
{
    UseScreen(Layout(16, 0xF800, 0x07E0, 0x001F, 0));
    int r = -1, g = -1, b = -1;
    EXPECT_EQ(0, GetColorRGB(0x8410, &r, &g, &b));
    EXPECT_EQ(131, r);
    EXPECT_EQ(129, g);
    EXPECT_EQ(131, b);
    EXPECT_EQ(0, GetColorRGB(0xFFFF, &r, &g, &b));
    EXPECT_EQ(255, r);
    EXPECT_EQ(255, g);
    EXPECT_EQ(0, GetColorRGB(0xF800, &r, nullptr, nullptr)); // null pointers skipped
}

TEST_F(ScreenColour, PaletteScreensUseTheNearestEntry)
{
    PaletteEntry palette[256] = {};
    for (int i = 0; i < 256; ++i) palette[i] = PaletteEntry{static_cast<uint8_t>(i), 0, 0};
    palette[7] = PaletteEntry{10, 200, 30};
    palette[9] = PaletteEntry{10, 200, 30}; // tie: the lower index wins
    UseScreen(Layout(8, 0xE0, 0x1C, 0x03, 0), palette);
    EXPECT_EQ(7, GetColor(12, 198, 30));
    EXPECT_EQ(100, GetColor(100, 0, 0));
    EXPECT_EQ(7u, GetColorIn(&Bgra32Layout(), 10, 200, 30, 255));
    int r, g, b;
    EXPECT_EQ(0, GetColorRGB(9, &r, &g, &b));
    EXPECT_EQ(200, g);
    EXPECT_EQ(-1, GetColorRGB(256, &r, &g, &b));
}

TEST(SameLayoutTest, ComparesDepthAndMasksOnly)
{
    ColorData a = Layout(32, 0xFF0000, 0xFF00, 0xFF, 0);
    ColorData b = a;
    b.spareMask = 0;
    EXPECT_TRUE(SameLayout(&a, &b));
    EXPECT_FALSE(SameLayout(&a, &Bgra32Layout()));
    EXPECT_FALSE(SameLayout(&Bgr24Layout(), &a));
}

TEST(MirrorGraphImageTest, ReversesPixelsNotBytesForEveryWidth)
{
    for (int bpp = 1; bpp <= 4; ++bpp) {
        ColorData l = Layout(bpp * 8, bpp == 1 ? 0xE0 : 0xFF, 0, 0, 0);
        GraphImage image{};
        ASSERT_EQ(0, AllocateGraphImage(&image, &l, 3, 2, 3 * bpp + 1));
        uint8_t *p = static_cast<uint8_t *>(image.pixels);
        for (int i = 0; i < image.pitch * 2; ++i) p[i] = static_cast<uint8_t>(i);
        std::vector<uint8_t> before(p, p + image.pitch * 2);
        ASSERT_EQ(0, MirrorGraphImage(&image));
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                for (int k = 0; k < bpp; ++k)
                    EXPECT_EQ(before[static_cast<size_t>(y * image.pitch + (2 - x) * bpp + k)], p[y * image.pitch + x * bpp + k]);
        EXPECT_EQ(before[static_cast<size_t>(image.pitch - 1)], p[image.pitch - 1]); // padding untouched
        ReleaseGraphImage(&image);
        EXPECT_EQ(nullptr, image.pixels);
    }
    GraphImage empty{};
    EXPECT_EQ(-1, MirrorGraphImage(&empty));
}

TEST(AllocateGraphImageTest, RefusesBadAndOverflowingSizes)
{
    struct Case {
        int width, height, pitch;
    };
    const Case refused[] = {
        {0, 5, 0}, {5, 0, 20}, {-1, 5, 20}, {5, 5, 19}, // pitch below width x 4
        {0x7FFF, 0x7FFF, 0x7FFF * 4},                   // over 2 GB
        {100000, 100000, 400000},                        // over the pixel limit
    };
    for (const Case &c : refused) {
        GraphImage image{};
        EXPECT_EQ(-1, AllocateGraphImage(&image, &Bgra32Layout(), c.width, c.height, c.pitch)) << c.width;
        EXPECT_EQ(nullptr, image.pixels);
    }
}

} // namespace
