// Clipping: draws at every edge of the draw area, wholly outside it, at
// negative and extreme positions, through DrawRectGraph's area; nothing is
// written outside the area (guard bands), nothing read outside the source
// (sources allocated to their exact size, under the sanitizers).
#include <gtest/gtest.h>

#include <climits>

#include "draw_helpers.h"

namespace {

using drawtest::Source;
using testbuf::Sequence;
using testbuf::Surface;

// A tight source: no pitch padding, no guard band.
struct TightSprite {
    Surface pixels, alpha;
    TightSprite(const reference::Layout &l, int w, int h) : pixels(w, h, l.bytes), alpha(w, h, 1)
    {
        Sequence seq(static_cast<uint32_t>(w * 31 + h));
        pixels.Fill(seq);
        alpha.Fill(seq);
    }
};

const PixelRect kArea = {4, 3, 36, 21};

TEST(BlitClip, UnscaledDrawsAtEveryEdgeStayInsideTheArea)
{
    const reference::Layout l = reference::Of32();
    TightSprite sprite(l, 9, 7);
    const int xs[] = {-20, -9, -8, -1, 0, 3, 4, 5, 20, 27, 28, 35, 36, 60, INT_MIN, INT_MAX - 3};
    const int ys[] = {-20, -7, -6, 0, 2, 3, 10, 15, 20, 21, 40, INT_MIN, INT_MAX - 2};
    BlendSettings alpha = {BLEND_ALPHA, 100, -1, false, 0};
    for (int x : xs) {
        for (int y : ys) {
            Surface dst(40, 24, 4, 8, 32);
            Sequence seq(1);
            dst.Fill(seq);
            Surface expected = dst;
            Source src = {&sprite.pixels, &sprite.alpha};
            drawtest::DrawUnscaled(l, dst, nullptr, src, x, y, kArea, alpha);
            drawtest::ExpectUnscaled(l, expected, expected, src, x, y, kArea, alpha);
            EXPECT_EQ("", drawtest::Compare(l, dst, expected)) << "at " << x << ", " << y;
        }
    }
}

TEST(BlitClip, EmptyAreaDrawsNothing)
{
    UnscaledPlan plan;
    EXPECT_FALSE(PlanUnscaledBlit(0, 0, 10, 10, {5, 5, 5, 20}, &plan));
    EXPECT_FALSE(PlanUnscaledBlit(0, 0, 10, 10, {5, 5, 20, 5}, &plan));
    EXPECT_FALSE(PlanUnscaledBlit(0, 0, 0, 10, {0, 0, 20, 20}, &plan));
    ScaledPlan scaled;
    EXPECT_EQ(ScaledPlanResult::Empty, PlanScaledBlit(0, 0, 20, 20, 4, 4, {5, 5, 5, 20}, &scaled));
}

TEST(BlitClip, PartlyLeftAndAboveReadsFromTheClippedCorner)
{
    UnscaledPlan plan;
    ASSERT_TRUE(PlanUnscaledBlit(-3, 1, 10, 10, {0, 4, 50, 50}, &plan));
    EXPECT_EQ(0, plan.dstX);
    EXPECT_EQ(4, plan.dstY);
    EXPECT_EQ(3, plan.srcX);
    EXPECT_EQ(3, plan.srcY);
    EXPECT_EQ(7, plan.width);
    EXPECT_EQ(7, plan.height);
}

TEST(BlitClip, RectangleDrawsReachingOutsideTheGraphShowOnlyTheGraph)
{
    // DrawRectGraph: the area narrows to the requested part, the whole graph
    // is drawn through it; parts of the request beyond the graph stay
    // untouched.
    const reference::Layout l = reference::Of565();
    TightSprite sprite(l, 6, 5);
    struct Request {
        int x, y, srcX, srcY, w, h;
    };
    const Request requests[] = {{10, 8, 4, 3, 9, 9}, {10, 8, -3, -2, 5, 5}, {2, 2, 0, 0, 100, 100},
                                {10, 8, 7, 0, 3, 3}, {0, 0, INT_MAX, INT_MAX, INT_MAX, INT_MAX}};
    BlendSettings none = {BLEND_NONE, 0, -1, false, 0};
    for (const Request &r : requests) {
        Surface dst(40, 24, 2, 4, 32);
        Sequence seq(2);
        dst.Fill(seq);
        Surface expected = dst;
        PixelRect area = RectDrawArea(r.x, r.y, r.w, r.h, kArea);
        Source src = {&sprite.pixels, nullptr};
        int x = static_cast<int>(static_cast<long long>(r.x) - r.srcX);
        int y = static_cast<int>(static_cast<long long>(r.y) - r.srcY);
        drawtest::DrawUnscaled(l, dst, nullptr, src, x, y, area, none);
        drawtest::ExpectUnscaled(l, expected, expected, src, x, y, area, none);
        EXPECT_EQ("", drawtest::Compare(l, dst, expected)) << r.x << ", " << r.y << " from " << r.srcX << ", " << r.srcY;
    }
}

TEST(BlitClip, ScaledAndMirroredDrawsAtEveryEdge)
{
    const reference::Layout l = reference::Of555();
    TightSprite sprite(l, 5, 4);
    // Widths and heights of the destination rectangle: shrunk, enlarged by
    // non-integral and integral factors; negative ones mirror.
    const int widths[] = {3, 7, 10, 13, -3, -8, -10};
    const int heights[] = {2, 6, 9, -5, -9};
    const int positions[] = {-12, -5, 0, 3, 4, 30, 35, 36, 50};
    BlendSettings s = {BLEND_ADD, 200, -1, true, sprite.pixels.Get(2, 1)};
    int failures = 0;
    for (int w : widths)
        for (int h : heights)
            for (int px : positions)
                for (int py : positions) {
                    Surface dst(40, 24, 2, 6, 32);
                    Sequence seq(3);
                    dst.Fill(seq);
                    Surface expected = dst;
                    Source src = {&sprite.pixels, &sprite.alpha};
                    int x1 = w < 0 ? px - w : px, x2 = w < 0 ? px : px + w;
                    int y1 = h < 0 ? py - h : py, y2 = h < 0 ? py : py + h;
                    drawtest::DrawScaled(l, dst, src, x1, y1, x2, y2, kArea, s);
                    drawtest::ExpectScaled(l, expected, src, x1, y1, x2, y2, kArea, s);
                    std::string diff = drawtest::Compare(l, dst, expected);
                    if (!diff.empty() && ++failures <= 5)
                        ADD_FAILURE() << "(" << x1 << ", " << y1 << ", " << x2 << ", " << y2 << "): " << diff;
                }
    EXPECT_EQ(0, failures);
}

TEST(BlitClip, HostileScaledRectanglesNeitherOverflowNorReadOutside)
{
    const reference::Layout l = reference::Of32();
    TightSprite sprite(l, 3, 2);
    struct Rect {
        int x1, y1, x2, y2;
    };
    const Rect rects[] = {{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {INT_MAX, 0, INT_MIN, 10}, {-70000, 0, 70000, 24},
                          {0, 0, 1 << 30, 5}, {35, 20, 36, 21}};
    for (const Rect &r : rects) {
        Surface dst(40, 24, 4, 0, 32);
        Sequence seq(4);
        dst.Fill(seq);
        Surface expected = dst;
        Source src = {&sprite.pixels, nullptr};
        BlendSettings none = {BLEND_NONE, 0, -1, false, 0};
        drawtest::DrawScaled(l, dst, src, r.x1, r.y1, r.x2, r.y2, kArea, none);
        drawtest::ExpectScaled(l, expected, src, r.x1, r.y1, r.x2, r.y2, kArea, none);
        EXPECT_EQ("", drawtest::Compare(l, dst, expected)) << r.x1 << ", " << r.y1 << ", " << r.x2 << ", " << r.y2;
    }
}

TEST(BlitClip, BoxesAreClampedAndReversedCornersDrawNothing)
{
    const reference::Layout l = reference::Of565();
    struct Box {
        int x1, y1, x2, y2;
    };
    const Box boxes[] = {{-5, -5, 100, 100}, {10, 10, 5, 20}, {10, 10, 20, 5}, {50, 0, 60, 10}, {0, 0, 4, 3},
                         {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {35, 20, 36, 21}};
    for (const Box &b : boxes) {
        Surface dst(40, 24, 2, 2, 32);
        Sequence seq(5);
        dst.Fill(seq);
        Surface expected = dst;
        drawtest::DrawBox(l, dst, b.x1, b.y1, b.x2, b.y2, kArea, 0xFFFF, BLEND_SUB, 255);
        drawtest::ExpectBox(l, expected, b.x1, b.y1, b.x2, b.y2, kArea, 0xFFFF, BLEND_SUB, 255);
        EXPECT_EQ("", drawtest::Compare(l, dst, expected)) << b.x1 << ", " << b.y1 << ", " << b.x2 << ", " << b.y2;
    }
}

} // namespace
