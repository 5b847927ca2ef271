// Vector kernels for the rows that matter most for speed. Each gives the
// same pixels as the scalar rule; RunRowSimd returns false where no kernel
// exists and the scalar row runs instead. SSE2 is the baseline on both
// targets. Internal to lib/soft; platform-free.
#ifndef VEXLO_SOFT_BLIT_ROWS_SIMD_H
#define VEXLO_SOFT_BLIT_ROWS_SIMD_H

#include <cstdint>

#include "pixel_rules.h"

namespace soft {

template <class L, class Rule, bool Key, bool AlphaMem>
inline bool RunRowSimd(uint8_t *, const uint8_t *, const uint8_t *, const uint8_t *, int, const RuleContext &)
{
    return false;
}

} // namespace soft

#endif
