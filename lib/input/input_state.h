// The input module's state block, shared by the files of lib/input only;
// other subsystems use the functions of input.h.
#ifndef VEXLO_INPUT_INPUT_STATE_H
#define VEXLO_INPUT_INPUT_STATE_H

#define DIRECTINPUT_VERSION 0x0700
#include <windows.h>
#include <dinput.h>

#include <cstdint>

#include "pad_bits.h"

struct PadDevice {
    IDirectInputDevice7A *device;
    HANDLE event;      // manual reset, signalled when the pad has new data
    uint32_t lastRead; // millisecond clock at the last read
};

struct InputState {
    IDirectInput7A *directInput; // null while stopped
    IDirectInputDevice7A *keyboard;
    HANDLE keyboardEvent;
    uint32_t keyboardLastRead;
    unsigned char keys[kKeyCount]; // by DirectInput key code, bit 7 = held
    int padCount;
    PadDevice pads[kMaxPads];
    PadState padStates[kMaxPads]; // last state read from each pad
    int hookedKeys[2];
};

InputState &Input();
// Zeroes the whole block (at every start).
void ResetInputState();

// The millisecond clock the refresh rule runs on.
uint32_t ReadInputClock();
// Zero-wait test of a notification event; a null event is never signalled.
bool IsEventSignalled(HANDLE event);

#endif
