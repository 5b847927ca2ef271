// The worked examples of the blend rules, the routes a draw takes, and the
// steps and skips of the scaled draw.
#include <gtest/gtest.h>

#include "draw_helpers.h"
#include "soft/blit_loops.h"

namespace {

using testbuf::Surface;

// One source pixel over one destination pixel; the destination afterwards.
uint32_t BlendOne(const reference::Layout &l, uint32_t src, uint32_t dst, int mode, int parameter,
                  int tint = -1, bool useKey = false, uint32_t key = 0)
{
    Surface s(1, 1, l.bytes), d(1, 1, l.bytes);
    s.Set(0, 0, src);
    d.Set(0, 0, dst);
    BlitBuffers b{d.At(0, 0), d.pitch, d.At(0, 0), d.pitch, s.At(0, 0), s.pitch, nullptr, 0};
    RunUnscaledBlit(reference::ColorDataOf(l), b, 1, 1, {mode, parameter, tint, useKey, key});
    return d.Get(0, 0);
}

uint32_t BoxOne(const reference::Layout &l, uint32_t colour, uint32_t dst, int mode, int parameter)
{
    Surface d(1, 1, l.bytes);
    d.Set(0, 0, dst);
    BlitBuffers b{d.At(0, 0), d.pitch, d.At(0, 0), d.pitch, nullptr, 0, nullptr, 0};
    RunFillBox(reference::ColorDataOf(l), b, 1, 1, colour, mode, parameter);
    return d.Get(0, 0);
}

TEST(BlendExamples, WorkedExamplesHold)
{
    const reference::Layout l32 = reference::Of32(), l565 = reference::Of565();
    EXPECT_EQ(0x7F007Fu, BlendOne(l32, 0xFF0000, 0x0000FF, BLEND_ALPHA, 128) & 0xFFFFFF);
    // 5:6:5 red 31 over red 0 at 128: T[128][31] + T[127][0] = 15.
    EXPECT_EQ(15u, BlendOne(l565, 31u << 11, 0, BLEND_ALPHA, 128) >> 11);
    EXPECT_EQ(0xFFFFFFu, BlendOne(l32, 0xC0C0C0, 0x808080, BLEND_ADD, 255) & 0xFFFFFF);
    EXPECT_EQ(0x001341u, BlendOne(l32, 0x604020, 0x405060, BLEND_SUB, 255) & 0xFFFFFF);
}

TEST(BlendExamples, SubtractBoxOfWhiteFromWhite)
{
    EXPECT_EQ(0x010101u, BoxOne(reference::Of32(), 0xFFFFFFFF, 0xFFFFFFFF, BLEND_SUB, 255) & 0xFFFFFF);
    EXPECT_EQ(0x0801u, BoxOne(reference::Of565(), 0xFFFF, 0xFFFF, BLEND_SUB, 255));
    EXPECT_EQ(0x0421u, BoxOne(reference::Of555(), 0x7FFF, 0x7FFF, BLEND_SUB, 255));
    EXPECT_EQ(0u, BoxOne(reference::Of32(), 0xFFFFFFFF, 0xFF000000, BLEND_SUB, 255) & 0xFFFFFF);
    EXPECT_EQ(0x1234u, BoxOne(reference::Of565(), 0xFFFF, 0x1234, BLEND_SUB, 0));
}

TEST(BlendExamples, FullAndZeroStrength)
{
    const reference::Layout l = reference::Of565();
    EXPECT_EQ(0xABCDu, BlendOne(l, 0xABCD, 0x1234, BLEND_ALPHA, 255));
    for (int mode : {BLEND_ALPHA, BLEND_ADD, BLEND_SUB}) EXPECT_EQ(0x1234u, BlendOne(l, 0xABCD, 0x1234, mode, 0));
    // Multiply makes no key test; exclusive or draws nothing on 32-bit screens.
    EXPECT_EQ(0x8410u, BlendOne(l, 0x8410, 0xFFFF, BLEND_MUL, 0, -1, true, 0x8410));
    EXPECT_EQ(0x123456u, BlendOne(reference::Of32(), 0xFFFFFF, 0x123456, BLEND_XOR, 0) & 0xFFFFFF);
    EXPECT_EQ(0x1234u ^ 0xFFFFu, BlendOne(l, 0xFFFF, 0x1234, BLEND_XOR, 0));
}

TEST(BlendExamples, AlphaByteZeroLeavesTheDestinationInEveryMode)
{
    const reference::Layout l = reference::Of32();
    for (int mode : {BLEND_NONE, BLEND_ALPHA, BLEND_ADD, BLEND_SUB}) {
        for (int tint : {-1, 0x808080}) {
            Surface s(2, 1, 4), d(2, 1, 4), a(2, 1, 1);
            s.Set(0, 0, 0xFFFFFF);
            s.Set(1, 0, 0xFFFFFF);
            d.Set(0, 0, 0x102030);
            d.Set(1, 0, 0x102030);
            a.Set(0, 0, 0);
            a.Set(1, 0, 255);
            BlitBuffers b{d.At(0, 0), d.pitch, d.At(0, 0), d.pitch, s.At(0, 0), s.pitch, a.At(0, 0), a.pitch};
            RunUnscaledBlit(reference::ColorDataOf(l), b, 2, 1, {mode, 200, tint, false, 0});
            EXPECT_EQ(0x102030u, d.Get(0, 0)) << "mode " << mode << " tint " << tint;
            EXPECT_NE(0x102030u, d.Get(1, 0) & 0xFFFFFF) << "mode " << mode << " tint " << tint;
        }
    }
}

ColorData Depth(int bits)
{
    ColorData c{};
    if (bits == 8) SetColorDataFromMasks(&c, 8, 0, 0, 0, 0);
    else if (bits == 24) SetColorDataFromMasks(&c, 24, 0xFF0000, 0xFF00, 0xFF, 0);
    else if (bits == 16) SetColorDataFromMasks(&c, 16, 0xF800, 0x7E0, 0x1F, 0);
    else SetColorDataFromMasks(&c, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    return c;
}

TEST(BlendExamples, RouteOfEachDraw)
{
    struct Case {
        int bits, mode, parameter, tint;
        bool alpha;
        BlitRoute route;
    };
    const Case cases[] = {
        {16, BLEND_NONE, 0, -1, false, BlitRoute::Plain},
        {16, BLEND_NONE, 0, 0xFFFFFF, false, BlitRoute::Blend},
        {16, BLEND_NONE, 0, -1, true, BlitRoute::Blend},
        {32, BLEND_ALPHA, 255, -1, false, BlitRoute::Plain},
        {32, BLEND_ALPHA, 0, -1, false, BlitRoute::Nothing},
        {32, BLEND_ALPHA, 128, -1, false, BlitRoute::Blend},
        {32, BLEND_XOR, 128, -1, false, BlitRoute::Nothing},
        {16, BLEND_XOR, 128, -1, false, BlitRoute::Blend},
        {32, BLEND_ADD_RAW, 128, -1, false, BlitRoute::Nothing},
        {32, 42, 128, -1, false, BlitRoute::Nothing},
        {8, BLEND_ADD, 128, -1, true, BlitRoute::Plain},
        {24, BLEND_NONE, 0, -1, false, BlitRoute::Plain},
        {24, BLEND_ALPHA, 128, -1, false, BlitRoute::Nothing},
    };
    for (const Case &c : cases) {
        BlendSettings s = {c.mode, c.parameter, c.tint, false, 0};
        EXPECT_EQ(c.route, ChooseUnscaledRoute(Depth(c.bits), s, c.alpha))
            << c.bits << "-bit mode " << c.mode << " P " << c.parameter;
    }
}

// ---- The scaled draw --------------------------------------------------------------

const PixelRect kWide = {0, 0, 1000, 1000};

TEST(ScaledSteps, DoublingCoversTwoPixelsEachWay)
{
    ScaledPlan plan;
    ASSERT_EQ(ScaledPlanResult::Draw, PlanScaledBlit(0, 0, 4, 2, 2, 1, kWide, &plan));
    EXPECT_EQ(131072, plan.stepX);
    EXPECT_EQ(131072, plan.stepY);
    const reference::Layout l = reference::Of32();
    Surface src(2, 1, 4), dst(4, 2, 4);
    src.Set(0, 0, 0xA);
    src.Set(1, 0, 0xB);
    drawtest::DrawScaled(l, dst, {&src, nullptr}, 0, 0, 4, 2, kWide, {BLEND_NONE, 0, -1, false, 0});
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(x < 2 ? 0xAu : 0xBu, dst.Get(x, y)) << x << ", " << y;
}

TEST(ScaledSteps, HalvingSkipsEverySecondColumn)
{
    ScaledPlan plan;
    ASSERT_EQ(ScaledPlanResult::Draw, PlanScaledBlit(0, 0, 2, 2, 4, 4, kWide, &plan));
    EXPECT_EQ(32768, plan.stepX);
    const reference::Layout l = reference::Of565();
    Surface src(4, 4, 2), dst(2, 2, 2);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) src.Set(x, y, static_cast<uint32_t>(10 * y + x));
    drawtest::DrawScaled(l, dst, {&src, nullptr}, 0, 0, 2, 2, kWide, {BLEND_NONE, 0, -1, false, 0});
    EXPECT_EQ(0u, dst.Get(0, 0));
    EXPECT_EQ(2u, dst.Get(1, 0));
    EXPECT_EQ(20u, dst.Get(0, 1));
    EXPECT_EQ(22u, dst.Get(1, 1));
}

TEST(ScaledSteps, LeftClipAtScaleTwoStartsInsideASourcePixel)
{
    ScaledPlan plan;
    const PixelRect area = {0, 0, 100, 100};
    ASSERT_EQ(ScaledPlanResult::Draw, PlanScaledBlit(-3, 0, 5, 1, 4, 1, area, &plan));
    EXPECT_EQ(1, plan.skipX);
    EXPECT_EQ(65536, plan.fracX);
    Surface src(4, 1, 4), dst(5, 1, 4);
    for (int x = 0; x < 4; ++x) src.Set(x, 0, static_cast<uint32_t>(x + 1));
    drawtest::DrawScaled(reference::Of32(), dst, {&src, nullptr}, -3, 0, 5, 1, area, {BLEND_NONE, 0, -1, false, 0});
    // The second half of column 1, then column 2 twice, then column 3 twice.
    const uint32_t expected[] = {2, 3, 3, 4, 4};
    for (int x = 0; x < 5; ++x) EXPECT_EQ(expected[x], dst.Get(x, 0)) << x;
}

TEST(ScaledSteps, TurnedDrawMirrorsColumnsAndReversedRowsStartAtTheBottom)
{
    Surface src(3, 2, 2), dst(3, 2, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) src.Set(x, y, static_cast<uint32_t>(0x10 * (y + 1) + x));
    BlendSettings none = {BLEND_NONE, 0, -1, false, 0};
    drawtest::DrawScaled(reference::Of565(), dst, {&src, nullptr}, 3, 0, 0, 2, kWide, none);
    EXPECT_EQ(0x12u, dst.Get(0, 0));
    EXPECT_EQ(0x11u, dst.Get(1, 0));
    EXPECT_EQ(0x10u, dst.Get(2, 0));
    drawtest::DrawScaled(reference::Of565(), dst, {&src, nullptr}, 0, 2, 3, 0, kWide, none);
    EXPECT_EQ(0x20u, dst.Get(0, 0));
    EXPECT_EQ(0x10u, dst.Get(0, 1));
}

TEST(ScaledSteps, NaturalSizeIsThePlainDrawAndEmptyRectanglesDrawNothing)
{
    ScaledPlan plan;
    EXPECT_EQ(ScaledPlanResult::SameAsUnscaled, PlanScaledBlit(5, 5, 9, 8, 4, 3, kWide, &plan));
    EXPECT_EQ(ScaledPlanResult::Draw, PlanScaledBlit(9, 5, 5, 8, 4, 3, kWide, &plan));
    EXPECT_EQ(ScaledPlanResult::Empty, PlanScaledBlit(5, 5, 5, 8, 4, 3, kWide, &plan));
    EXPECT_EQ(ScaledPlanResult::Empty, PlanScaledBlit(5, 5, 9, 5, 4, 3, kWide, &plan));
    EXPECT_EQ(ScaledPlanResult::Empty, PlanScaledBlit(2000, 5, 2010, 8, 4, 3, kWide, &plan));
}

} // namespace
