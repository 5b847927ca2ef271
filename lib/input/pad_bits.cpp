#include "pad_bits.h"

namespace {

struct KeyBit {
    int bit;
    unsigned char keys[2]; // a second key of 0 means none
};

// Keyboard stand-ins for the pad's directions and first ten buttons.
const KeyBit kKeyboardBits[] = {
    {0x0001, {0xD0, 0x50}}, // Down, numeric pad 2
    {0x0002, {0xCB, 0x4B}}, // Left, numeric pad 4
    {0x0004, {0xCD, 0x4D}}, // Right, numeric pad 6
    {0x0008, {0xC8, 0x48}}, // Up, numeric pad 8
    {0x0010, {0x2C, 0}},    // Z
    {0x0020, {0x2D, 0}},    // X
    {0x0040, {0x2E, 0}},    // C
    {0x0080, {0x1E, 0}},    // A
    {0x0100, {0x1F, 0}},    // S
    {0x0200, {0x20, 0}},    // D
    {0x0400, {0x10, 0}},    // Q
    {0x0800, {0x11, 0}},    // W
    {0x1000, {0x01, 0}},    // Esc
    {0x2000, {0x39, 0}},    // Space
};

constexpr int kPadNumberMask = 0xFFF;
constexpr int kHighestPadIndex = kMaxPads; // input type 9: accepted, never present

bool Held(unsigned char state) { return (state & 0x80) != 0; }

} // namespace

JoypadRequest DecodeInputType(int inputType)
{
    JoypadRequest request = {false, -1, (inputType & kInputTypeKeyboard) != 0};
    // Any bit besides the pad number and the keyboard bit makes the type
    // invalid; this also keeps negative types away from the subtraction.
    if ((inputType & ~(kPadNumberMask | kInputTypeKeyboard)) != 0) return request;
    int padIndex = (inputType & kPadNumberMask) - 1;
    if (padIndex > kHighestPadIndex) return request;
    request.valid = true;
    request.padIndex = padIndex;
    return request;
}

int PadStateBits(const PadState &pad)
{
    int bits = 0;
    if (pad.y > 0) bits |= 0x0001;
    if (pad.x < 0) bits |= 0x0002;
    if (pad.x > 0) bits |= 0x0004;
    if (pad.y < 0) bits |= 0x0008;
    for (int button = 0; button < kReportedPadButtons; ++button)
        if (Held(pad.buttons[button])) bits |= 0x10 << button;
    return bits;
}

int KeyboardPadBits(const unsigned char keys[kKeyCount])
{
    int bits = 0;
    for (const KeyBit &entry : kKeyboardBits) {
        bool held = Held(keys[entry.keys[0]]) || (entry.keys[1] != 0 && Held(keys[entry.keys[1]]));
        if (held) bits |= entry.bit;
    }
    return bits;
}

int IsKeyHeld(const unsigned char keys[kKeyCount], int keyCode)
{
    if (keyCode < 0 || keyCode >= kKeyCount) return 0;
    return Held(keys[keyCode]) ? 1 : 0;
}

int ComposeJoypadBits(int inputType, const JoypadSources &sources)
{
    JoypadRequest request = DecodeInputType(inputType);
    if (!request.valid) return 0;
    int bits = 0;
    if (request.padIndex >= 0 && request.padIndex < sources.padCount)
        bits |= PadStateBits(sources.pads[request.padIndex]);
    if (request.mergeKeyboard) bits |= KeyboardPadBits(sources.keys);
    return bits;
}
