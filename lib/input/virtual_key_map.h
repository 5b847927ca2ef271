// Key states without a keyboard device: the system's virtual-key states
// mapped onto DirectInput key codes. Platform-free.
#ifndef VEXLO_INPUT_VIRTUAL_KEY_MAP_H
#define VEXLO_INPUT_VIRTUAL_KEY_MAP_H

#include "pad_bits.h"

// Clears keys, then copies each mapped virtual key's state (bit 7 = held)
// to its key code. Enter sets both the main and the numeric-pad Enter.
void MapVirtualKeyStates(const unsigned char virtualKeys[kKeyCount], unsigned char keys[kKeyCount]);

#endif
