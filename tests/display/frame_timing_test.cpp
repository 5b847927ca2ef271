// Frame-time search, pacing threshold, paced waits and the frame counter.
#include <gtest/gtest.h>

#include <vector>

#include "display/frame_timing.h"

namespace {

struct SearchCase {
    int samples[4];
    int frameTime;
};

TEST(FrameTimeSearch, FirstRepeatedSampleWins)
{
    const SearchCase cases[] = {
        {{16, 17, 16, 17}, 16},
        {{17, 16, 16, 17}, 17},
        {{15, 16, 17, 16}, 16},
        {{20, 21, 22, 20}, 20},
        {{16, 17, 18, 19}, -1},
        {{1, 2, 3, 3}, 3}, // sample 2 repeated by sample 3
    };
    for (const SearchCase &c : cases) EXPECT_EQ(c.frameTime, SearchFrameTime(c.samples)) << c.samples[0];
}

// Hands out the given passes one after another, counting them.
struct ScriptedSampler {
    std::vector<std::vector<int>> passes;
    int taken = 0;

    static void Take(void *context, int samples[kFrameSampleCount])
    {
        ScriptedSampler &self = *static_cast<ScriptedSampler *>(context);
        const std::vector<int> &pass = self.passes[static_cast<size_t>(self.taken) % self.passes.size()];
        for (int i = 0; i < kFrameSampleCount; ++i) samples[i] = pass[static_cast<size_t>(i)];
        ++self.taken;
    }
};

TEST(FrameTimeMeasure, FindsTimeAndThreshold)
{
    ScriptedSampler sampler{{{16, 17, 16, 17}}};
    int last[4] = {};
    int frameTime = MeasureFrameTime(FrameSampler{ScriptedSampler::Take, &sampler}, last);
    EXPECT_EQ(16, frameTime);
    EXPECT_EQ(1, sampler.taken);
    EXPECT_EQ(9, PacingThreshold(frameTime));
}

TEST(FrameTimeMeasure, GivesUpAfterFivePasses)
{
    ScriptedSampler sampler{{{16, 17, 18, 19}}};
    int last[4] = {};
    EXPECT_EQ(-1, MeasureFrameTime(FrameSampler{ScriptedSampler::Take, &sampler}, last));
    EXPECT_EQ(5, sampler.taken);
    EXPECT_EQ(19, last[3]);
    EXPECT_EQ(-1, PacingThreshold(-1));
}

TEST(FrameTimeMeasure, FifthPassIsNotSearched)
{
    // Only the fifth pass holds a repeat; it is taken but not searched.
    ScriptedSampler sampler{{{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}, {13, 14, 15, 16}, {16, 16, 16, 16}}};
    int last[4] = {};
    EXPECT_EQ(-1, MeasureFrameTime(FrameSampler{ScriptedSampler::Take, &sampler}, last));
    EXPECT_EQ(16, last[0]);
    ScriptedSampler fourth{{{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}, {14, 14, 15, 16}}};
    EXPECT_EQ(14, MeasureFrameTime(FrameSampler{ScriptedSampler::Take, &fourth}, last));
    EXPECT_EQ(4, fourth.taken);
}

TEST(PacingThreshold, TwoThirdsOfAFrameLessFourThirds)
{
    const int cases[][2] = {{16, 9}, {17, 10}, {33, 20}, {10, 5}, {2, 0}};
    for (const auto &c : cases) EXPECT_EQ(c[1], PacingThreshold(c[0])) << c[0];
    EXPECT_EQ(5, EffectivePacingThreshold(-1));
    EXPECT_EQ(9, EffectivePacingThreshold(9));
}

// A clock that moves only when slept on or when the blank is waited for.
struct FakeBeam {
    int now = 0;
    int blankAt = 0; // the time the next blank begins
    bool inBlank = false;
    std::vector<int> sleptAt;
    std::vector<int> blankWaitedAt;

    static int Now(void *c) { return static_cast<FakeBeam *>(c)->now; }
    static void Sleep1(void *c)
    {
        FakeBeam &b = *static_cast<FakeBeam *>(c);
        b.sleptAt.push_back(b.now);
        ++b.now;
    }
    static void WaitBlank(void *c)
    {
        FakeBeam &b = *static_cast<FakeBeam *>(c);
        b.blankWaitedAt.push_back(b.now);
        if (b.now < b.blankAt) b.now = b.blankAt;
    }
    static bool InBlank(void *c) { return static_cast<FakeBeam *>(c)->inBlank; }
    PacingOps Ops() { return PacingOps{Now, Sleep1, WaitBlank, InBlank, this}; }
};

TEST(PacedWait, EarlyPresentSleepsToThresholdThenWaitsForBlank)
{
    FakeBeam beam;
    beam.now = 103; // 3 ms after the last present at 100
    beam.blankAt = 116;
    int stored = RunPacedWait(100, PacingThreshold(16), beam.Ops());
    EXPECT_EQ((std::vector<int>{103, 104, 105, 106, 107, 108}), beam.sleptAt);
    ASSERT_EQ(1u, beam.blankWaitedAt.size());
    EXPECT_EQ(109, beam.blankWaitedAt[0]);
    EXPECT_EQ(116, stored);
}

TEST(PacedWait, LatePresentWaitsOnlyOutsideTheBlank)
{
    FakeBeam beam;
    beam.now = 120;
    beam.blankAt = 125;
    EXPECT_EQ(125, RunPacedWait(100, 9, beam.Ops()));
    EXPECT_TRUE(beam.sleptAt.empty());
    EXPECT_EQ(1u, beam.blankWaitedAt.size());

    FakeBeam inBlank;
    inBlank.now = 120;
    inBlank.inBlank = true;
    EXPECT_EQ(120, RunPacedWait(100, 9, inBlank.Ops()));
    EXPECT_TRUE(inBlank.blankWaitedAt.empty());
}

TEST(PacedWait, UnmeasuredFrameUsesFiveMilliseconds)
{
    FakeBeam beam;
    beam.now = 0;
    RunPacedWait(0, -1, beam.Ops());
    EXPECT_EQ(5u, beam.sleptAt.size());
    EXPECT_EQ(5, beam.blankWaitedAt.at(0));
}

TEST(FrameCounter, WrapsIntoTheHighHalf)
{
    FrameCounter counter = {};
    CountFrame(&counter);
    EXPECT_EQ(1u, FrameCounterValue(counter));
    counter.count = 0xFFFFFFFEu;
    CountFrame(&counter);
    EXPECT_EQ(0xFFFFFFFFull, FrameCounterValue(counter));
    CountFrame(&counter); // the 2^32nd present
    EXPECT_EQ(0x100000000ull, FrameCounterValue(counter));
    CountFrame(&counter);
    EXPECT_EQ(0x100000001ull, FrameCounterValue(counter));
    ResetFrameCounter(&counter);
    EXPECT_EQ(0u, FrameCounterValue(counter));
}

} // namespace
