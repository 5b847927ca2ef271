#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>
#include <vector>

#include "core/mask_runs.h"

namespace {

using MaskRun = std::tuple<int, int, int>; // left, right, y

std::vector<MaskRun> Runs(int width, int height, const std::vector<uint8_t> &pixels, int pitch, int bytesPerPixel)
{
    std::vector<MaskRun> runs;
    ForEachOpaqueRun(width, height, pixels.data(), pitch, bytesPerPixel,
                     [&](int left, int right, int y) { runs.emplace_back(left, right, y); });
    return runs;
}

TEST(MaskRuns, OneRunPerStretchOfNonZeroPixelsClosedAtTheRowEnd)
{
    // 1 byte per pixel, pitch 8 with padding bytes that must be ignored.
    std::vector<uint8_t> pixels = {
        0, 1, 1, 0, 2, 0xFF, 0xFF, 0xFF, // row 0: runs [1,3) and [4,5); padding after x=5
        3, 3, 3, 3, 3, 0xFF, 0xFF, 0xFF, // row 1: one run to the end
        0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, // row 2: none
    };
    EXPECT_EQ((std::vector<MaskRun>{{1, 3, 0}, {4, 5, 0}, {0, 5, 1}}), Runs(5, 3, pixels, 8, 1));
}

TEST(MaskRuns, APixelIsZeroOnlyWhenAllItsBytesAre)
{
    struct Case { int bytesPerPixel; std::vector<uint8_t> pixels; std::vector<MaskRun> expected; };
    const Case cases[] = {
        {2, {0, 0, 0, 1, 0, 0}, {{1, 2, 0}}},
        {3, {0, 0, 5, 0, 0, 0}, {{0, 1, 0}}},
        {4, {0, 0, 0, 0, 0, 0, 0, 9}, {{1, 2, 0}}},
    };
    for (const Case &c : cases) {
        int width = static_cast<int>(c.pixels.size()) / c.bytesPerPixel;
        EXPECT_EQ(c.expected, Runs(width, 1, c.pixels, static_cast<int>(c.pixels.size()), c.bytesPerPixel))
            << c.bytesPerPixel;
    }
}

TEST(MaskRuns, NothingForEmptyOrInvalidImages)
{
    std::vector<uint8_t> pixels = {1, 1, 1, 1};
    EXPECT_TRUE(Runs(0, 1, pixels, 4, 1).empty());
    EXPECT_TRUE(Runs(4, 0, pixels, 4, 1).empty());
    EXPECT_TRUE(Runs(1, 1, pixels, 4, 5).empty());
}

} // namespace
