// The draw settings record: blend mode storage and the draw area's limits.
#include <gtest/gtest.h>

#include "soft/draw_state.h"

namespace {

class DrawSettings : public ::testing::Test {
protected:
    void SetUp() override { ResetDrawState(); }
    void TearDown() override { ResetDrawState(); }
};

TEST_F(DrawSettings, StartValues)
{
    const DrawState &s = GetDrawState();
    EXPECT_EQ(BLEND_NONE, s.blendMode);
    EXPECT_EQ(0, s.blendParameter);
    EXPECT_EQ(-1, s.tintColour);
    EXPECT_EQ(1, s.maskFlag);
    EXPECT_EQ(1, s.areaEmpty);
}

TEST_F(DrawSettings, BlendParameterIsClampedAndKeepChangesNothing)
{
    StoreBlendMode(BLEND_ALPHA, 300);
    EXPECT_EQ(BLEND_ALPHA, GetDrawState().blendMode);
    EXPECT_EQ(255, GetDrawState().blendParameter);
    StoreBlendMode(BLEND_ALPHA, -5);
    EXPECT_EQ(0, GetDrawState().blendParameter);
    StoreBlendMode(BLEND_ADD, 40);
    StoreBlendMode(BLEND_KEEP, 17);
    EXPECT_EQ(BLEND_ADD, GetDrawState().blendMode);
    EXPECT_EQ(40, GetDrawState().blendParameter);
    EXPECT_FALSE(BlendModeDiffers(BLEND_ADD, 40));
    EXPECT_TRUE(BlendModeDiffers(BLEND_ADD, 41));
}

TEST_F(DrawSettings, DrawAreaIsOrderedAndClampedIntoTheTarget)
{
    struct Case {
        int x1, y1, x2, y2;
        PixelRect expected;
    };
    const DrawAreaLimit screen = {640, 480, -1, -1};
    const Case cases[] = {
        {10, 20, 100, 200, {10, 20, 100, 200}}, {100, 200, 10, 20, {10, 20, 100, 200}},
        {-50, -50, 1000, 1000, {0, 0, 640, 480}}, {700, 10, 800, 20, {640, 10, 640, 20}},
    };
    for (const Case &c : cases) {
        PixelRect r = LimitDrawArea(c.x1, c.y1, c.x2, c.y2, screen);
        EXPECT_EQ(c.expected.left, r.left);
        EXPECT_EQ(c.expected.top, r.top);
        EXPECT_EQ(c.expected.right, r.right);
        EXPECT_EQ(c.expected.bottom, r.bottom);
    }
    StoreDrawArea(LimitDrawArea(700, 10, 800, 20, screen));
    EXPECT_EQ(1, GetDrawState().areaEmpty);
    StoreDrawArea(LimitDrawArea(0, 0, 640, 480, screen));
    EXPECT_EQ(0, GetDrawState().areaEmpty);
}

TEST_F(DrawSettings, FrontScreenOfAWindowPartlyOffTheDesktop)
{
    // Client area at (-30, 900) on a 1024 x 1000 desktop, screen 640 x 480.
    DrawAreaLimit limit = FrontScreenLimit(640, 480, -30, 900, 1024, 1000);
    EXPECT_EQ(100, limit.height);
    EXPECT_EQ(30, limit.minLeft);
    EXPECT_EQ(-1, limit.minTop);
    PixelRect r = LimitDrawArea(0, 0, 640, 480, limit);
    EXPECT_EQ(30, r.left);
    EXPECT_EQ(100, r.bottom);
    // Wholly below the desktop: an empty area, never negative limits.
    r = LimitDrawArea(0, 0, 640, 480, FrontScreenLimit(640, 480, 0, 1200, 1024, 1000));
    EXPECT_EQ(0, r.bottom - r.top);
}

} // namespace
