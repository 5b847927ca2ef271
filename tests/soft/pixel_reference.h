// Per-pixel reference of the software renderer's rules, written plainly
// from the rule tables (one pixel at a time, products from the display's
// multiplication table) so that the loops can be checked against it.
#ifndef VEXLO_TESTS_SOFT_PIXEL_REFERENCE_H
#define VEXLO_TESTS_SOFT_PIXEL_REFERENCE_H

#include <cstdint>

#include "graph/color_data.h"

namespace reference {

struct Layout {
    int bytes;                  // 2 or 4
    uint32_t mask[3];           // red, green, blue
    int shift[3];
    int max[3];
};
Layout Of32();
Layout Of565();
Layout Of555();
ColorData ColorDataOf(const Layout &l);

struct Settings {
    int mode, parameter, tint; // tint -1 for none
    bool useKey;
    uint32_t key;
    bool alphaMemory;
};

// The pixel an unscaled draw leaves: `written` false when the destination
// keeps its own pixel. d is the pixel read for blending.
uint32_t Unscaled(const Layout &l, const Settings &s, uint32_t src, uint32_t d, int a, bool *written);
// The same for the scaled draw's rules.
uint32_t Scaled(const Layout &l, const Settings &s, uint32_t src, uint32_t d, int a, bool *written);
// A filled box pixel (colour already tinted): subtract by the box formulas,
// the other modes as an unscaled draw of the colour.
uint32_t Box(const Layout &l, int mode, int parameter, uint32_t colour, uint32_t d, bool *written);

} // namespace reference

#endif
