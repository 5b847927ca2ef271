#include "random.h"

#include "../Vexlo.h"

namespace {

const int kN = 624;
const int kM = 397;
const uint32_t kMatrix = 0x9908B0DFu;
const uint32_t kUpper = 0x80000000u;
const uint32_t kLower = 0x7FFFFFFFu;

uint32_t Twist(uint32_t upperSource, uint32_t lowerSource, uint32_t far)
{
    uint32_t y = (upperSource & kUpper) | (lowerSource & kLower);
    return far ^ (y >> 1) ^ ((y & 1u) ? kMatrix : 0u);
}

uint32_t Temper(uint32_t y)
{
    y ^= y >> 11;
    y ^= (y << 7) & 0x9D2C5680u;
    y ^= (y << 15) & 0xEFC60000u;
    y ^= y >> 18;
    return y;
}

RandomGenerator g_random;

} // namespace

void SeedRandomGenerator(RandomGenerator &generator, uint32_t seed)
{
    for (uint32_t &word : generator.state) {
        word = seed & 0xFFFF0000u;
        seed = 69069u * seed + 1u;
        word |= (seed & 0xFFFF0000u) >> 16;
        seed = 69069u * seed + 1u;
    }
    GenerateRandomBlock(generator);
}

void GenerateRandomBlock(RandomGenerator &generator)
{
    uint32_t *s = generator.state;
    for (int k = 0; k < kN; ++k) s[k] = Twist(s[k], s[(k + 1) % kN], s[(k + kM) % kN]);
    for (int k = 0; k < kN; ++k) generator.output[k] = Temper(s[k]);
    generator.index = 0;
}

uint32_t NextRandom(RandomGenerator &generator)
{
    if (generator.index >= kN) GenerateRandomBlock(generator);
    return generator.output[generator.index++];
}

extern "C" void SeedRandom(unsigned int seed)
{
    SeedRandomGenerator(g_random, seed);
}

extern "C" unsigned int GetRandomNumber(void)
{
    return NextRandom(g_random);
}
