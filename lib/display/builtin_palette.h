// The built-in palette of 8-bit screens: 256 colours ordered from dark to
// light, black first and white last. Platform-free.
#ifndef VEXLO_DISPLAY_BUILTIN_PALETTE_H
#define VEXLO_DISPLAY_BUILTIN_PALETTE_H

#include <cstdint>

// 256 entries of red, green, blue and a zero byte.
void FillBuiltinPalette(uint8_t entries[256][4]);

#endif
