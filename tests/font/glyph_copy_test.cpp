// Glyph cells into pixels: the copy rules of every cache format at every
// destination depth, clipping, the antialiased edge mix and the walk along
// a string. Platform-free.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "font/glyph_copy.h"

namespace {

const uint32_t kText = 0xFFFFFFFFu; // what GetColor gives for white, spare bits set
const uint32_t kEdge = 0xFF123456u;
const uint32_t kUntouched = 0xA5A5A5A5u;

// A 4x2 destination at a depth, filled with a sentinel; alpha memory beside it.
struct Canvas {
    int bytes;
    std::vector<uint8_t> pixels;
    std::vector<uint8_t> alpha;
    explicit Canvas(int bits) : bytes(bits / 8), pixels(static_cast<size_t>(4 * 2 * (bits / 8)), 0xA5), alpha(8, 0) {}
    GlyphDestination Destination(uint32_t red = 0xF800, uint32_t green = 0x07E0, uint32_t blue = 0x001F)
    {
        return GlyphDestination{pixels.data(), 4 * bytes, bytes * 8, alpha.data(), 4, red, green, blue};
    }
    uint32_t At(int x, int y) const
    {
        uint32_t v = 0;
        std::memcpy(&v, pixels.data() + (y * 4 + x) * bytes, static_cast<size_t>(bytes));
        return v;
    }
    uint32_t Mask() const { return bytes == 4 ? 0xFFFFFFFFu : (1u << (bytes * 8)) - 1; }
};

GlyphCopyPlan WholeCell() { return GlyphCopyPlan{0, 0, 0, 0, 4, 2}; }

TEST(GlyphCopy, RuleFollowsTheCacheFormat)
{
    struct Case {
        int bits, type;
        GlyphCellRule rule;
    } cases[] = {
        {1, 0, GlyphCellRule::Ink},           {8, 0, GlyphCellRule::Ink},
        {8, 1, GlyphCellRule::Edged},         {8, 2, GlyphCellRule::Coverage},
        {16, 3, GlyphCellRule::CoverageEdged}, {16, 2, GlyphCellRule::None},
        {1, 1, GlyphCellRule::None},          {8, 3, GlyphCellRule::None},
    };
    for (const Case &c : cases) EXPECT_EQ(RuleOfGlyphCache(c.bits, c.type), c.rule) << c.bits << " " << c.type;
}

// Row 0: ink at x 1 and 2; row 1: ink at x 0.
TEST(GlyphCopy, PlainBitsTakeTheTextColourAndLeaveTheRest)
{
    const uint8_t cache[2] = {0x60, 0x80};
    GlyphCellSource source{cache, 1, 1, 0};
    for (int bits : {8, 16, 32}) {
        Canvas canvas(bits);
        CopyGlyphCell(source, WholeCell(), canvas.Destination(), GlyphInk{kText, kEdge});
        uint32_t text = kText & canvas.Mask(), none = kUntouched & canvas.Mask();
        const uint32_t expected[2][4] = {{none, text, text, none}, {text, none, none, none}};
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 4; ++x) EXPECT_EQ(canvas.At(x, y), expected[y][x]) << bits << " bits at " << x << "," << y;
    }
}

TEST(GlyphCopy, EdgedBodyTakesTextAndEdgeTakesEdgeColour)
{
    // 3 body, 1 edge, 2 (bit 1 alone) counts as body, 0 empty.
    const uint8_t cache[8] = {1, 3, 3, 1, 0, 2, 1, 0};
    GlyphCellSource source{cache, 4, 8, 1};
    for (int bits : {8, 16, 32}) {
        Canvas canvas(bits);
        CopyGlyphCell(source, WholeCell(), canvas.Destination(), GlyphInk{kText, kEdge});
        uint32_t text = kText & canvas.Mask(), none = kUntouched & canvas.Mask();
        // A 32-bit edge colour loses its top byte.
        uint32_t edge = bits == 32 ? kEdge & 0x00FFFFFFu : kEdge & canvas.Mask();
        const uint32_t expected[2][4] = {{edge, text, text, edge}, {none, text, edge, none}};
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 4; ++x) EXPECT_EQ(canvas.At(x, y), expected[y][x]) << bits << " bits at " << x << "," << y;
    }
}

TEST(GlyphCopy, CoverageGoesToTheAlphaMemory)
{
    const uint8_t cache[8] = {0, 15, 255, 0, 128, 0, 0, 1};
    GlyphCellSource source{cache, 4, 8, 2};
    Canvas canvas(16);
    std::fill(canvas.alpha.begin(), canvas.alpha.end(), 77);
    CopyGlyphCell(source, WholeCell(), canvas.Destination(), GlyphInk{0xF800, 0});
    const int alpha[8] = {77, 15, 255, 77, 128, 77, 77, 1};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(canvas.alpha[static_cast<size_t>(i)], alpha[i]) << i;
        EXPECT_EQ(canvas.At(i % 4, i / 4), cache[i] ? 0xF800u : 0xA5A5u) << i;
    }
}

TEST(GlyphCopy, AntialiasedEdgeMixByLayout)
{
    struct Case {
        int bits;
        uint32_t red, green, blue;
        int body, edge;
        bool drawn;
        uint32_t pixel;
        int alpha;
    } cases[] = {
        {16, 0xF800, 0x07E0, 0x001F, 255, 40, true, 0xFFFF, 255},   // full body: the text colour
        {16, 0xF800, 0x07E0, 0x001F, 0, 200, true, 0x0000, 200},    // edge alone: the edge colour
        {16, 0xF800, 0x07E0, 0x001F, 0, 0, false, 0, 0},            // nothing
        {16, 0xF800, 0x07E0, 0x001F, 128, 255, true, 0x7BEF, 255},  // half body over a full edge
        {16, 0x7C00, 0x03E0, 0x001F, 128, 255, true, 0x3DEF, 255},  // the same on 5:5:5
        {32, 0xFF0000, 0xFF00, 0xFF, 64, 128, true, 0x00656565, 160}, // a = 64 + 96, share 102
        {16, 0x0F00, 0x00F0, 0x000F, 255, 0, false, 0, 0},          // a layout the mix does not know
    };
    for (const Case &c : cases) {
        GlyphDestination d{nullptr, 0, c.bits, nullptr, 0, c.red, c.green, c.blue};
        uint32_t white = c.bits == 32 ? 0x00FFFFFF : 0xFFFF;
        uint32_t pixel = 0;
        int alpha = 0;
        ASSERT_EQ(MixGlyphPixel(c.body, c.edge, GlyphInk{white, 0}, d, &pixel, &alpha), c.drawn) << c.body;
        if (!c.drawn) continue;
        EXPECT_EQ(pixel, c.pixel) << c.bits << " " << c.body << " " << c.edge;
        EXPECT_EQ(alpha, c.alpha) << c.bits << " " << c.body << " " << c.edge;
    }
}

TEST(GlyphCopy, AntialiasedEdgedCellsWritePixelAndAlpha)
{
    // Little-endian pairs: body, edge.
    const uint8_t cache[16] = {0, 0, 255, 0, 0, 90, 128, 255, 0, 0, 0, 0, 0, 0, 0, 0};
    GlyphCellSource source{cache, 8, 16, 3};
    Canvas canvas(16);
    CopyGlyphCell(source, WholeCell(), canvas.Destination(), GlyphInk{0xFFFF, 0});
    EXPECT_EQ(canvas.At(0, 0), 0xA5A5u);
    EXPECT_EQ(canvas.At(1, 0), 0xFFFFu);
    EXPECT_EQ(canvas.alpha[1], 255);
    EXPECT_EQ(canvas.At(2, 0), 0x0000u);
    EXPECT_EQ(canvas.alpha[2], 90);
    EXPECT_EQ(canvas.At(3, 0), 0x7BEFu);
    EXPECT_EQ(canvas.At(0, 1), 0xA5A5u);
}

TEST(GlyphCopy, PlanClipsTheCellAndMovesTheSource)
{
    const PixelRect clip{10, 20, 50, 60};
    struct Case {
        int x, y, width, height;
        bool visible;
        GlyphCopyPlan plan;
    } cases[] = {
        {12, 22, 8, 16, true, {100, 200, 12, 22, 8, 16}},  // inside
        {6, 22, 8, 16, true, {104, 200, 10, 22, 4, 16}},   // left part cut
        {45, 50, 8, 16, true, {100, 200, 45, 50, 5, 10}},  // right and bottom cut
        {12, 10, 8, 16, true, {100, 210, 12, 20, 8, 6}},   // top cut
        {60, 22, 8, 16, false, {}},                        // wholly right of the clip
        {12, 22, 40, 40, true, {100, 200, 12, 22, 16, 16}}, // wider than the cell: cut to it
        {12, 22, 0, 0, false, {}},                         // nothing to copy
    };
    for (const Case &c : cases) {
        GlyphCopyPlan plan{};
        ASSERT_EQ(PlanGlyphCopy(c.x, c.y, 100, 200, c.width, c.height, 16, clip, &plan), c.visible) << c.x;
        if (!c.visible) continue;
        EXPECT_EQ(plan.srcX, c.plan.srcX) << c.x;
        EXPECT_EQ(plan.srcY, c.plan.srcY) << c.x;
        EXPECT_EQ(plan.dstX, c.plan.dstX) << c.x;
        EXPECT_EQ(plan.dstY, c.plan.dstY) << c.x;
        EXPECT_EQ(plan.width, c.plan.width) << c.x;
        EXPECT_EQ(plan.height, c.plan.height) << c.x;
    }
}

TEST(GlyphCopy, ClippedCopyReadsTheMovedSource)
{
    // Cell of 4x2 at the cache's left; the clip keeps only columns 2..3.
    const uint8_t cache[8] = {3, 3, 0, 3, 0, 0, 3, 0};
    GlyphCellSource source{cache, 4, 8, 1};
    GlyphCopyPlan plan{};
    ASSERT_TRUE(PlanGlyphCopy(0, 0, 0, 0, 4, 2, 4, PixelRect{2, 0, 4, 2}, &plan));
    Canvas canvas(16);
    CopyGlyphCell(source, plan, canvas.Destination(), GlyphInk{0x1111, 0x2222});
    const uint32_t expected[2][4] = {{0xA5A5, 0xA5A5, 0xA5A5, 0x1111}, {0xA5A5, 0xA5A5, 0x1111, 0xA5A5}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(canvas.At(x, y), expected[y][x]) << x << "," << y;
}

TEST(GlyphCopy, OtherDepthsDrawNothing)
{
    const uint8_t cache[1] = {0xF0};
    GlyphCellSource source{cache, 1, 1, 0};
    Canvas canvas(24);
    CopyGlyphCell(source, GlyphCopyPlan{0, 0, 0, 0, 4, 1}, canvas.Destination(), GlyphInk{kText, kEdge});
    for (uint8_t b : canvas.pixels) EXPECT_EQ(b, 0xA5);
}

// ---- The walk along a string -----------------------------------------------------

struct Placed {
    int code, x, y;
};

TEST(GlyphRun, AdvancesByEachSlotInTheWritingDirection)
{
    FontCacheSlot slots[3] = {{1, 0, 10, 16, 'a'}, {1, 1, 16, 18, 0x8382}, {1, 2, 8, 16, 0x20}};
    auto slotOf = [&](uint16_t code) -> const FontCacheSlot * {
        return code == 'a' ? &slots[0] : code == 0x20 ? &slots[2] : &slots[1];
    };
    const FontChar list[4] = {{'a', 1}, {0x8382, 2}, {0x20, 1}, {'a', 1}};
    struct Case {
        int vertical, length;
        GlyphRunSize size;
        std::vector<Placed> placed;
    } cases[] = {
        {0, -1, {44, 18}, {{'a', 5, 7}, {0x8382, 15, 7}, {0x20, 31, 7}, {'a', 39, 7}}},
        {1, -1, {16, 66}, {{'a', 5, 7}, {0x8382, 5, 23}, {0x20, 5, 41}, {'a', 5, 57}}},
        {0, 3, {26, 18}, {{'a', 5, 7}, {0x8382, 15, 7}}}, // the length stops after three bytes
    };
    for (const Case &c : cases) {
        std::vector<Placed> placed;
        GlyphRunSize size = WalkGlyphRun(list, 4, c.length, c.vertical, 5, 7, slotOf,
                                         [&](uint16_t code, const FontCacheSlot *, int x, int y) {
                                             placed.push_back({code, x, y});
                                         });
        EXPECT_EQ(size.width, c.size.width) << c.vertical << " " << c.length;
        EXPECT_EQ(size.height, c.size.height) << c.vertical << " " << c.length;
        ASSERT_EQ(placed.size(), c.placed.size()) << c.vertical << " " << c.length;
        for (size_t i = 0; i < placed.size(); ++i) {
            EXPECT_EQ(placed[i].code, c.placed[i].code) << i;
            EXPECT_EQ(placed[i].x, c.placed[i].x) << i;
            EXPECT_EQ(placed[i].y, c.placed[i].y) << i;
        }
    }
    EXPECT_TRUE(IsBlankGlyph(0x20));
    EXPECT_TRUE(IsBlankGlyph(0x4081));
    EXPECT_FALSE(IsBlankGlyph(0x8140 & 0xFF));
}

} // namespace
