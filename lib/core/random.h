// The library's random generator: MT19937 seeded with the 1998 rule, whose
// outputs are computed a whole block of 624 at a time. Platform-free.
#ifndef VEXLO_CORE_RANDOM_H
#define VEXLO_CORE_RANDOM_H

#include <cstdint>

struct RandomGenerator {
    uint32_t state[624];
    uint32_t output[624];
    int index; // next output to hand out; 624 means the block is used up
};

void SeedRandomGenerator(RandomGenerator &generator, uint32_t seed);
// Advances the state by one block and tempers all 624 outputs.
void GenerateRandomBlock(RandomGenerator &generator);
uint32_t NextRandom(RandomGenerator &generator);

#endif
