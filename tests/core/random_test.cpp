#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "core/random.h"

namespace {

// A second, independent generator written from the published algorithm: the
// 1998 seeding (two 69069 steps per word, high halves) and the reference
// genrand loop that twists one word at a time and tempers on output.
class ReferenceTwister {
public:
    explicit ReferenceTwister(uint32_t seed)
    {
        for (int i = 0; i < 624; ++i) {
            mt_[i] = seed & 0xffff0000u;
            seed = 69069u * seed + 1u;
            mt_[i] |= (seed & 0xffff0000u) >> 16;
            seed = 69069u * seed + 1u;
        }
    }
    uint32_t Next()
    {
        static const uint32_t mag01[2] = {0x0u, 0x9908b0dfu};
        if (mti_ >= 624) {
            int kk;
            uint32_t y;
            for (kk = 0; kk < 624 - 397; kk++) {
                y = (mt_[kk] & 0x80000000u) | (mt_[kk + 1] & 0x7fffffffu);
                mt_[kk] = mt_[kk + 397] ^ (y >> 1) ^ mag01[y & 0x1];
            }
            for (; kk < 623; kk++) {
                y = (mt_[kk] & 0x80000000u) | (mt_[kk + 1] & 0x7fffffffu);
                mt_[kk] = mt_[kk + (397 - 624)] ^ (y >> 1) ^ mag01[y & 0x1];
            }
            y = (mt_[623] & 0x80000000u) | (mt_[0] & 0x7fffffffu);
            mt_[623] = mt_[396] ^ (y >> 1) ^ mag01[y & 0x1];
            mti_ = 0;
        }
        uint32_t y = mt_[mti_++];
        y ^= y >> 11;
        y ^= (y << 7) & 0x9d2c5680u;
        y ^= (y << 15) & 0xefc60000u;
        y ^= y >> 18;
        return y;
    }

private:
    uint32_t mt_[624];
    int mti_ = 624;
};

TEST(RandomGenerator, MatchesTheReferenceOverSeveralBlocks)
{
    for (uint32_t seed : {0u, 1u, 4357u, 0xDEADBEEFu, 0xFFFFFFFFu}) {
        RandomGenerator generator;
        SeedRandomGenerator(generator, seed);
        ReferenceTwister reference(seed);
        for (int i = 0; i < 624 * 3; ++i) ASSERT_EQ(reference.Next(), NextRandom(generator)) << seed << " #" << i;
    }
}

TEST(RandomGenerator, SameSeedGivesTheSameBlock)
{
    RandomGenerator a, b;
    SeedRandomGenerator(a, 12345);
    SeedRandomGenerator(b, 12345);
    EXPECT_EQ(0, a.index);
    EXPECT_EQ(std::vector<uint32_t>(a.output, a.output + 624), std::vector<uint32_t>(b.output, b.output + 624));
    SeedRandomGenerator(b, 12346);
    EXPECT_NE(std::vector<uint32_t>(a.output, a.output + 624), std::vector<uint32_t>(b.output, b.output + 624));
}

} // namespace
