#include "builtin_palette.h"

#include <algorithm>

namespace {

// A 3-3-2 colour cube. The red steps start with a faint 14 so that the
// darkest colour after black is a deep red.
const uint8_t kRedSteps[8] = {0, 14, 54, 95, 135, 175, 215, 255};
const uint8_t kGreenSteps[8] = {0, 36, 73, 109, 146, 182, 219, 255};
const uint8_t kBlueSteps[4] = {0, 85, 170, 255};

// Perceived brightness, scaled by 1000.
int Brightness(const uint8_t *rgb)
{
    return 299 * rgb[0] + 587 * rgb[1] + 114 * rgb[2];
}

} // namespace

void FillBuiltinPalette(uint8_t entries[256][4])
{
    int n = 0;
    for (int r = 0; r < 8; ++r) {
        for (int g = 0; g < 8; ++g) {
            for (int b = 0; b < 4; ++b, ++n) {
                entries[n][0] = kRedSteps[r];
                entries[n][1] = kGreenSteps[g];
                entries[n][2] = kBlueSteps[b];
                entries[n][3] = 0;
            }
        }
    }
    int order[256];
    for (int i = 0; i < 256; ++i) order[i] = i;
    uint8_t cube[256][4];
    std::copy(&entries[0][0], &entries[0][0] + 256 * 4, &cube[0][0]);
    std::stable_sort(order, order + 256, [&cube](int a, int b) { return Brightness(cube[a]) < Brightness(cube[b]); });
    for (int i = 0; i < 256; ++i) std::copy(cube[order[i]], cube[order[i]] + 4, entries[i]);
}
