// From a pad's state and the keyboard's key states to the bit set that
// GetJoypadState returns. Platform-free: the Windows side copies the device
// state into PadState and hands the tables over.
#ifndef VEXLO_INPUT_PAD_BITS_H
#define VEXLO_INPUT_PAD_BITS_H

#include <cstdint>

constexpr int kMaxPads = 8;
constexpr int kKeyCount = 256;
// Input-type bit that joins the fixed keyboard keys to the pad's bits.
constexpr int kInputTypeKeyboard = 0x1000;
// Axis range and dead zone the pads are set up with.
constexpr int kPadAxisMin = -1000;
constexpr int kPadAxisMax = 1000;
constexpr int kPadDeadZone = 2500; // in 1/10000 of the range: 25 %
// Buttons 0..23 are reported (bit 0x10 << button); 24..31 are not.
constexpr int kReportedPadButtons = 24;

// The same layout as the platform's 80-byte joystick state: axes already
// clamped to the range and zeroed inside the dead zone by the device; a
// button byte has bit 7 set while held.
struct PadState {
    int32_t x, y, z;
    int32_t rotationX, rotationY, rotationZ;
    int32_t sliders[2];
    uint32_t pointOfView[4];
    uint8_t buttons[32];
};
static_assert(sizeof(PadState) == 80, "PadState mirrors the 80-byte joystick state");

// What an input type asks for.
struct JoypadRequest {
    bool valid;         // false: the result is 0 whatever is held
    int padIndex;       // -1 no pad, else 0..8 (8 never exists)
    bool mergeKeyboard; // bit 0x1000
};
JoypadRequest DecodeInputType(int inputType);

// Direction bits from X and Y, and the bits of buttons 0..23.
int PadStateBits(const PadState &pad);
// The fixed keys (cursor keys, numeric pad, Z X C A S D Q W, Esc, Space).
int KeyboardPadBits(const unsigned char keys[kKeyCount]);
// 1 while the key's state has bit 7 set; codes outside 0..255 give 0.
int IsKeyHeld(const unsigned char keys[kKeyCount], int keyCode);

// Everything GetJoypadState reads, already refreshed by the caller.
struct JoypadSources {
    int padCount;                    // pads found, 0..8
    const PadState *pads;            // padCount entries (may be null when 0)
    const unsigned char *keys;       // 256 key states
};
int ComposeJoypadBits(int inputType, const JoypadSources &sources);

// A device is read again when the millisecond clock moved on since its last
// read or when it signalled new data.
inline bool IsDeviceReadDue(uint32_t now, uint32_t lastRead, bool signalled)
{
    return now != lastRead || signalled;
}

#endif
