#include <gtest/gtest.h>

#include <memory>

#include "font/font_string.h"
#include "font/glyph_cache.h"

namespace {

TEST(GlyphCellSize, EvenAdvancePlusEdge)
{
    struct Case { int advance, edged, cell; };
    const Case cases[] = {{16, 0, 16}, {16, 1, 18}, {15, 0, 16}, {15, 1, 18}, {1, 0, 2}, {0, 0, 0}, {-5, 1, 0}};
    for (const Case &c : cases)
        EXPECT_EQ(GlyphCellSize(c.advance, c.edged), c.cell) << c.advance << " " << c.edged;
}

TEST(LayoutBitmapGlyphCache, Table)
{
    struct Case { int cell, bits, width, height, capacity; };
    const Case cases[] = {
        {16, 1, 16, 16384, 1024},   // 1280 cells cut to one 16384-pixel column
        {18, 8, 36, 9099, 1010},    // edged: two columns
        {8, 8, 8, 16192, 2024},      // capped at 2024 cells, one column
        {200, 8, 200, 4000, 20},    // at least 20 cells
        {64, 16, 64, 5120, 80},
    };
    for (const Case &c : cases) {
        GlyphCacheLayout layout{};
        ASSERT_EQ(LayoutBitmapGlyphCache(c.cell, c.bits, &layout), 0);
        EXPECT_LE(layout.height, 16384);
        EXPECT_EQ(layout.width, c.width) << c.cell;
        EXPECT_EQ(layout.height, c.height) << c.cell;
        EXPECT_EQ(layout.capacity, c.capacity) << c.cell;
        EXPECT_EQ(layout.rows, layout.height / c.cell);
        EXPECT_LE(layout.capacity, (layout.width / c.cell) * layout.rows);
    }
    GlyphCacheLayout layout{};
    EXPECT_EQ(LayoutBitmapGlyphCache(0, 8, &layout), -1);
    EXPECT_EQ(LayoutBitmapGlyphCache(-3, 1, &layout), -1);
    EXPECT_EQ(LayoutBitmapGlyphCache(20000, 8, &layout), -1);
}

struct CacheFixture : ::testing::Test {
    std::unique_ptr<GlyphCache> cache{new GlyphCache()};
};

TEST_F(CacheFixture, ResetNumbersSlotsAndMarksEnd)
{
    ResetGlyphCache(cache.get(), 3, 2, 10);
    EXPECT_EQ(cache->slots[0].index, 0);
    EXPECT_EQ(cache->slots[2].index, 2);
    EXPECT_EQ(cache->slots[3].index, -1);
    EXPECT_EQ(cache->nextSlot, 0);
    EXPECT_EQ(FindCachedGlyph(cache.get(), 'A'), -1);
    int x = -1, y = -1;
    GlyphCellPosition(cache.get(), 3, &x, &y); // column by column, 2 rows
    EXPECT_EQ(x, 10);
    EXPECT_EQ(y, 10);
}

TEST_F(CacheFixture, EvictsFirstInFirstOutAndRecachesTheFirst)
{
    ResetGlyphCache(cache.get(), 4, 4, 8);
    const int codes[] = {'a', 'b', 'c', 'd', 'e', 'f'};
    for (int code : codes) ClaimGlyphSlot(cache.get(), code);
    EXPECT_EQ(FindCachedGlyph(cache.get(), 'a'), -1);
    EXPECT_EQ(FindCachedGlyph(cache.get(), 'b'), -1);
    EXPECT_EQ(FindCachedGlyph(cache.get(), 'e'), 0);
    EXPECT_EQ(FindCachedGlyph(cache.get(), 'f'), 1);
    EXPECT_EQ(FindCachedGlyph(cache.get(), 'c'), 2);
    EXPECT_EQ(cache->nextSlot, 2);
    EXPECT_EQ(ClaimGlyphSlot(cache.get(), 'a'), 2); // the first again takes the oldest
    EXPECT_EQ(FindCachedGlyph(cache.get(), 'c'), -1);
    EXPECT_EQ(FindCachedGlyph(cache.get(), 'a'), 2);
}

TEST_F(CacheFixture, EvictingAStaleDuplicateKeepsTheNewerCell)
{
    ResetGlyphCache(cache.get(), 2, 2, 8);
    ClaimGlyphSlot(cache.get(), 'x');
    ClaimGlyphSlot(cache.get(), 'x'); // the same code gathered twice
    ClaimGlyphSlot(cache.get(), 'y'); // evicts slot 0, which 'x' left
    EXPECT_EQ(FindCachedGlyph(cache.get(), 'x'), 1);
    EXPECT_EQ(FindCachedGlyph(cache.get(), 'y'), 0);
}

TEST(FontCharList, CutsAndDoubleByteCharacters)
{
    // "aあb" in Shift-JIS: 0x82 0xA0 for the kana.
    const char text[] = "a\x82\xA0" "b";
    struct Case { int length; int count; int consumed; };
    const Case cases[] = {
        {-1, 3, 4}, {4, 3, 4}, {3, 2, 3},
        {2, 1, 1},   // cut inside the double-byte character: it is left out
        {1, 1, 1}, {0, 0, 0}, {100, 3, 4},
    };
    for (const Case &c : cases) {
        FontChar list[8] = {};
        int count = -1;
        EXPECT_EQ(BuildFontCharList(text, c.length, list, 8, &count), c.consumed) << c.length;
        EXPECT_EQ(count, c.count) << c.length;
        if (count >= 2) {
            EXPECT_EQ(list[1].code, 0xA082);
            EXPECT_EQ(list[1].bytes, 2);
        }
    }
}

TEST(FontCharList, LeadByteBeforeTheEndIsDropped)
{
    const char text[] = "z\x81";
    FontChar list[4] = {};
    int count = 0;
    EXPECT_EQ(BuildFontCharList(text, -1, list, 4, &count), 1);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(BuildFontCharList(nullptr, -1, list, 4, &count), 0);
    EXPECT_EQ(count, 0);
    const char full[] = "\x81\x40\x81\x40\x81\x40"; // full-width spaces, list of 2
    EXPECT_EQ(BuildFontCharList(full, -1, list, 2, &count), 4);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(list[0].code, 0x4081);
}

TEST_F(CacheFixture, MissingListSkipsCachedAndRepeatedAndStopsAtCapacity)
{
    ResetGlyphCache(cache.get(), 3, 3, 8);
    ClaimGlyphSlot(cache.get(), 'b');
    FontChar list[8] = {};
    int count = 0;
    BuildFontCharList("abacdef", -1, list, 8, &count);
    uint16_t missing[8] = {};
    int n = GatherMissingGlyphs(cache.get(), list, count, missing, 8);
    ASSERT_EQ(n, 3);
    EXPECT_EQ(missing[0], 'a');
    EXPECT_EQ(missing[1], 'c');
    EXPECT_EQ(missing[2], 'd');
    EXPECT_EQ(GatherMissingGlyphs(cache.get(), list, count, missing, 1), 1);
}

} // namespace
