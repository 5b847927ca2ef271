// Present rectangles, mode-change rules, back-buffer counts, MulTable and the
// built-in palette.
#include <gtest/gtest.h>

#include <set>
#include <tuple>
#include <vector>

#include "display/builtin_palette.h"
#include "display/mul_table.h"
#include "display/present_rect.h"
#include "display/screen_mode_rules.h"

namespace {

struct ClipCase {
    int x, y, width, height, desktopWidth, desktopHeight;
    PresentRect source, destination;
};

TEST(PresentRect, ClipsToTheDesktop)
{
    const ClipCase cases[] = {
        {100, 50, 640, 480, 1024, 768, {0, 0, 640, 480}, {100, 50, 740, 530}},
        {-100, 0, 640, 480, 1024, 768, {100, 0, 640, 480}, {0, 0, 540, 480}},
        {0, -30, 640, 480, 1024, 768, {0, 30, 640, 480}, {0, 0, 640, 450}},
        {500, 400, 640, 480, 1024, 768, {0, 0, 524, 368}, {500, 400, 1024, 768}},
        {384, 288, 640, 480, 1024, 768, {0, 0, 640, 480}, {384, 288, 1024, 768}}, // touching the edges
        {2000, 0, 640, 480, 1024, 768, {0, 0, 0, 480}, {2000, 0, 2000, 480}},     // wholly off: empty
    };
    for (const ClipCase &c : cases) {
        PresentRects rects = ClipPresentRect(c.x, c.y, c.width, c.height, c.desktopWidth, c.desktopHeight);
        auto tie = [](const PresentRect &r) { return std::make_tuple(r.left, r.top, r.right, r.bottom); };
        EXPECT_EQ(tie(c.source), tie(rects.source)) << c.x << "," << c.y;
        EXPECT_EQ(tie(c.destination), tie(rects.destination)) << c.x << "," << c.y;
    }
}

TEST(ScreenModeRules, MinusOneKeepsValues)
{
    ScreenMode current = {640, 480, 16, 60};
    EXPECT_TRUE(SameScreenMode({640, 480, 16, 60}, ResolveScreenMode(current, -1, -1, -1, -1)));
    EXPECT_TRUE(SameScreenMode({800, 480, 32, 0}, ResolveScreenMode(current, 800, -1, 32, 0)));
}

TEST(ScreenModeRules, ChangesAreSpaced)
{
    EXPECT_EQ(60, ModeChangeWait(0, 5000));       // the first change
    EXPECT_EQ(1560, ModeChangeWait(10000, 10500)); // ends 2060 ms after the last
    EXPECT_EQ(60, ModeChangeWait(10000, 12000));
    EXPECT_EQ(60, ModeChangeWait(10000, 15000));
    EXPECT_EQ(2060, ModeChangeWait(10000, 10000));
}

// A device that accepts only the listed modes, recording every attempt; a
// listed window depth rewrites the mode as the desktop does.
struct FakeDevice {
    std::vector<ScreenMode> accepted;
    std::vector<ScreenMode> tried;
    int desktopBits = 0;

    static bool Apply(void *context, ScreenMode *mode)
    {
        FakeDevice &self = *static_cast<FakeDevice *>(context);
        self.tried.push_back(*mode);
        if (self.desktopBits) mode->bits = self.desktopBits;
        for (const ScreenMode &m : self.accepted)
            if (SameScreenMode(m, *mode)) return true;
        return false;
    }
    ModeApplier Applier() { return ModeApplier{Apply, this}; }
};

struct ChainCase {
    const char *name;
    std::vector<ScreenMode> accepted;
    int result;
    ScreenMode recorded;
    size_t attempts;
};

TEST(ScreenModeRules, LaterChainFallsBackInOrder)
{
    const ScreenMode wanted = {800, 600, 16, 75}, old = {1024, 768, 16, 60};
    const ChainCase cases[] = {
        {"wanted", {{800, 600, 16, 75}}, 0, {800, 600, 16, 75}, 1},
        {"default refresh", {{800, 600, 16, 0}}, 0, {800, 600, 16, 0}, 2},
        {"old mode", {{1024, 768, 16, 0}}, 0, {1024, 768, 16, 60}, 3},
        {"640x480x16", {{640, 480, 16, 0}}, -2, {640, 480, 16, 0}, 4},
        {"nothing", {}, kModeChainFailed, {640, 480, 16, 0}, 4},
    };
    for (const ChainCase &c : cases) {
        FakeDevice device{c.accepted, {}, 0};
        ScreenMode recorded = {};
        EXPECT_EQ(c.result, ApplyLaterModeChain(wanted, old, device.Applier(), &recorded)) << c.name;
        EXPECT_TRUE(SameScreenMode(c.recorded, recorded)) << c.name;
        EXPECT_EQ(c.attempts, device.tried.size()) << c.name;
    }
}

TEST(ScreenModeRules, FirstChainFallsBackInOrder)
{
    const ScreenMode wanted = {800, 600, 24, 0}, old = {640, 480, 32, 0};
    const ChainCase cases[] = {
        {"wanted", {{800, 600, 24, 0}}, 0, {800, 600, 24, 0}, 1},
        {"old mode", {{640, 480, 32, 0}}, -1, {640, 480, 32, 0}, 2},
        {"640x480x16", {{640, 480, 16, 0}}, -2, {640, 480, 16, 0}, 3},
        {"nothing", {}, kModeChainFailed, {640, 480, 16, 0}, 3},
    };
    for (const ChainCase &c : cases) {
        FakeDevice device{c.accepted, {}, 0};
        ScreenMode recorded = {};
        EXPECT_EQ(c.result, ApplyFirstModeChain(wanted, old, device.Applier(), &recorded)) << c.name;
        EXPECT_TRUE(SameScreenMode(c.recorded, recorded)) << c.name;
        EXPECT_EQ(c.attempts, device.tried.size()) << c.name;
    }
}

TEST(ScreenModeRules, FirstChainSkipsTheOldModeWhenItWasJustRefused)
{
    // At display start old and wanted are the same mode: a refused 24-bit
    // full screen goes straight to 640 x 480 x 16.
    const ScreenMode same = {640, 480, 24, 0};
    FakeDevice device{{{640, 480, 16, 0}}, {}, 0};
    ScreenMode recorded = {};
    EXPECT_EQ(-2, ApplyFirstModeChain(same, same, device.Applier(), &recorded));
    EXPECT_EQ(2u, device.tried.size());
    EXPECT_TRUE(SameScreenMode({640, 480, 16, 0}, recorded));
}

TEST(ScreenModeRules, WindowKeepsTheDesktopDepth)
{
    FakeDevice device{{{640, 480, 32, 0}}, {}, 32};
    ScreenMode recorded = {};
    ScreenMode requested = {640, 480, 16, 0}, before = {640, 480, 32, 0};
    EXPECT_EQ(0, ApplyFirstModeChain(requested, before, device.Applier(), &recorded));
    EXPECT_EQ(32, recorded.bits);
    EXPECT_EQ(-1, ScreenModeResult(requested, before, recorded));
}

TEST(ScreenModeRules, ResultCodes)
{
    const ScreenMode requested = {800, 600, 16, 0}, before = {1024, 768, 16, 0};
    EXPECT_EQ(0, ScreenModeResult(requested, before, {800, 600, 16, 0}));
    EXPECT_EQ(-1, ScreenModeResult(requested, before, {1024, 768, 16, 0}));
    EXPECT_EQ(-2, ScreenModeResult(requested, before, {640, 480, 16, 0}));
    EXPECT_EQ(-1, ScreenModeResult(requested, before, {800, 600, 32, 0}));
    // Asking for the fallback mode itself is a success.
    EXPECT_EQ(0, ScreenModeResult({640, 480, 16, 0}, before, {640, 480, 16, 0}));
}

TEST(BackBuffers, TwoOnlyWithEnoughVideoMemory)
{
    const unsigned long long MiB = 1024 * 1024;
    EXPECT_EQ(2, BackBufferCount(8 * MiB, 640, 480, 16));
    EXPECT_EQ(1, BackBufferCount(7 * MiB, 640, 480, 16));
    EXPECT_EQ(1, BackBufferCount(8 * MiB - 1, 640, 480, 16));
    // 1024 x 768 x 32 needs 24 MiB for eight screens.
    EXPECT_EQ(1, BackBufferCount(16 * MiB, 1024, 768, 32));
    EXPECT_EQ(2, BackBufferCount(24 * MiB, 1024, 768, 32));
    EXPECT_EQ(2, BackBufferCount(4096 * MiB, 640, 480, 16));
}

TEST(MulTable, ProductsShiftedByEight)
{
    FillMulTable();
    const MulTableRow *table = GetMulTable();
    EXPECT_EQ(254, table[255][255]);
    EXPECT_EQ(1, table[128][2]);
    EXPECT_EQ(127, table[255][128]);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(0, table[0][i]);
        EXPECT_EQ(0, table[i][0]);
        EXPECT_EQ(table[i][17], table[17][i]);
    }
}

TEST(BuiltinPalette, DarkToLightWithFixedEnds)
{
    uint8_t entries[256][4];
    FillBuiltinPalette(entries);
    EXPECT_EQ((std::vector<int>{0, 0, 0, 0}), (std::vector<int>{entries[0][0], entries[0][1], entries[0][2], entries[0][3]}));
    EXPECT_EQ((std::vector<int>{14, 0, 0}), (std::vector<int>{entries[1][0], entries[1][1], entries[1][2]}));
    EXPECT_EQ((std::vector<int>{255, 255, 255}), (std::vector<int>{entries[255][0], entries[255][1], entries[255][2]}));
    std::set<int> distinct;
    int previous = -1;
    for (int i = 0; i < 256; ++i) {
        int brightness = 299 * entries[i][0] + 587 * entries[i][1] + 114 * entries[i][2];
        EXPECT_LE(previous, brightness) << i;
        previous = brightness;
        EXPECT_EQ(0, entries[i][3]);
        distinct.insert(entries[i][0] << 16 | entries[i][1] << 8 | entries[i][2]);
    }
    EXPECT_EQ(256u, distinct.size());
}

} // namespace
