#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "input/pad_bits.h"
#include "input/virtual_key_map.h"

namespace {

constexpr unsigned char kHeld = 0x80;

struct KeyTable {
    unsigned char keys[kKeyCount] = {};
    KeyTable &Hold(int code)
    {
        keys[code] = kHeld;
        return *this;
    }
};

PadState RestingPad()
{
    PadState pad;
    std::memset(&pad, 0, sizeof pad);
    for (uint32_t &hat : pad.pointOfView) hat = 0xFFFFFFFFu; // centred
    return pad;
}

TEST(PadStateBitsTest, AxisDirections)
{
    struct Case {
        int32_t x, y;
        int bits;
    } cases[] = {
        {0, 0, 0},         {0, 1, 0x1},         {0, 1000, 0x1},       {-1, 0, 0x2},
        {-1000, 0, 0x2},   {1, 0, 0x4},         {1000, 0, 0x4},       {0, -1, 0x8},
        {0, -1000, 0x8},   {1000, 1000, 0x5},   {-1000, -1000, 0xA},  {-1000, 1000, 0x3},
        {1000, -1000, 0xC},
    };
    for (const Case &c : cases) {
        PadState pad = RestingPad();
        pad.x = c.x;
        pad.y = c.y;
        EXPECT_EQ(c.bits, PadStateBits(pad)) << "x " << c.x << " y " << c.y;
    }
}

TEST(PadStateBitsTest, OtherAxesAndPointOfViewHatsAreNotReported)
{
    const uint32_t hatValues[] = {0, 4500, 9000, 13500, 18000, 22500, 27000, 31500, 0xFFFFFFFFu};
    for (int hat = 0; hat < 4; ++hat) {
        for (uint32_t value : hatValues) {
            PadState pad = RestingPad();
            pad.pointOfView[hat] = value;
            EXPECT_EQ(0, PadStateBits(pad)) << "hat " << hat << " value " << value;
        }
    }
    PadState pad = RestingPad();
    pad.z = pad.rotationX = pad.rotationY = pad.rotationZ = -1000;
    pad.sliders[0] = pad.sliders[1] = 1000;
    EXPECT_EQ(0, PadStateBits(pad));
}

TEST(PadStateBitsTest, EachButtonGivesItsBitUpToButton23)
{
    for (int button = 0; button < 32; ++button) {
        PadState pad = RestingPad();
        pad.buttons[button] = kHeld;
        int expected = button < 24 ? 0x10 << button : 0;
        EXPECT_EQ(expected, PadStateBits(pad)) << "button " << button;
    }
    PadState all = RestingPad();
    std::memset(all.buttons, kHeld, sizeof all.buttons);
    EXPECT_EQ(0x0FFFFFF0, PadStateBits(all));
}

TEST(PadStateBitsTest, OnlyBitSevenOfAButtonByteMeansHeld)
{
    PadState pad = RestingPad();
    pad.buttons[0] = 0x7F;
    pad.buttons[1] = 0xFF;
    EXPECT_EQ(0x20, PadStateBits(pad));
}

TEST(KeyboardPadBitsTest, EachFixedKeyGivesItsBit)
{
    struct Case {
        int keyCode;
        int bit;
    } cases[] = {
        {0xD0, 0x1},    {0x50, 0x1},    {0xCB, 0x2},    {0x4B, 0x2},  {0xCD, 0x4},   {0x4D, 0x4},
        {0xC8, 0x8},    {0x48, 0x8},    {0x2C, 0x10},   {0x2D, 0x20}, {0x2E, 0x40},  {0x1E, 0x80},
        {0x1F, 0x100},  {0x20, 0x200},  {0x10, 0x400},  {0x11, 0x800}, {0x01, 0x1000}, {0x39, 0x2000},
        // Keys outside the fixed set.
        {0x00, 0},      {0x02, 0},      {0x1C, 0},      {0x9C, 0},     {0x44, 0},     {0xFF, 0},
    };
    for (const Case &c : cases) {
        KeyTable table;
        table.Hold(c.keyCode);
        EXPECT_EQ(c.bit, KeyboardPadBits(table.keys)) << "key " << c.keyCode;
    }
}

TEST(KeyboardPadBitsTest, HeldKeysCombine)
{
    KeyTable leftAndZ;
    leftAndZ.Hold(0xCB).Hold(0x2C);
    EXPECT_EQ(0x12, KeyboardPadBits(leftAndZ.keys));

    KeyTable all;
    std::memset(all.keys, kHeld, sizeof all.keys);
    EXPECT_EQ(0x3FFF, KeyboardPadBits(all.keys));

    KeyTable notHeld;
    std::memset(notHeld.keys, 0x7F, sizeof notHeld.keys);
    EXPECT_EQ(0, KeyboardPadBits(notHeld.keys));
}

TEST(IsKeyHeldTest, HeldNotHeldAndOutOfRangeCodes)
{
    KeyTable table;
    table.Hold(0x01).Hold(0xFF);
    table.keys[0x02] = 0x7F;
    struct Case {
        int keyCode;
        int held;
    } cases[] = {
        {0x01, 1}, {0xFF, 1}, {0x00, 0}, {0x02, 0}, {0xCB, 0},
        {-1, 0},   {256, 0},  {0x101, 0}, {INT_MIN, 0}, {INT_MAX, 0},
    };
    for (const Case &c : cases) EXPECT_EQ(c.held, IsKeyHeld(table.keys, c.keyCode)) << "code " << c.keyCode;
}

// Eight pads, pad n holding button n - 1, so each pad's bits tell it apart.
struct EightPads {
    PadState pads[kMaxPads];
    EightPads()
    {
        for (int i = 0; i < kMaxPads; ++i) {
            pads[i] = RestingPad();
            pads[i].buttons[i] = kHeld;
        }
    }
};

TEST(ComposeJoypadBitsTest, PadNumbersPickTheirPad)
{
    EightPads eight;
    KeyTable keys;
    keys.Hold(0xCB); // Left: shows only when the keyboard is merged
    for (int padCount = 0; padCount <= kMaxPads; ++padCount) {
        JoypadSources sources = {padCount, eight.pads, keys.keys};
        for (int number = 1; number <= 9; ++number) {
            int padBits = number <= padCount ? 0x10 << (number - 1) : 0;
            EXPECT_EQ(padBits, ComposeJoypadBits(number, sources))
                << "pad " << number << " of " << padCount;
            EXPECT_EQ(padBits | 0x2, ComposeJoypadBits(number | kInputTypeKeyboard, sources))
                << "pad " << number << " of " << padCount << " with keyboard";
        }
    }
}

TEST(ComposeJoypadBitsTest, InvalidInputTypesGiveZeroWhateverIsHeld)
{
    EightPads eight;
    KeyTable all;
    std::memset(all.keys, kHeld, sizeof all.keys);
    JoypadSources sources = {kMaxPads, eight.pads, all.keys};
    const int invalid[] = {10,      0x100A, 0xFFF,  0x1FFF,   0x2001,  0x3001,
                           0x10001, -1,     -0x1000, INT_MIN, INT_MAX, static_cast<int>(0x80001001u)};
    for (int inputType : invalid) EXPECT_EQ(0, ComposeJoypadBits(inputType, sources)) << inputType;
}

TEST(ComposeJoypadBitsTest, KeyboardOnlyAndNothing)
{
    KeyTable keys;
    keys.Hold(0xCB).Hold(0x2C);
    JoypadSources noPads = {0, nullptr, keys.keys};
    EXPECT_EQ(0x12, ComposeJoypadBits(0x1000, noPads));
    EXPECT_EQ(0x12, ComposeJoypadBits(0x1001, noPads));
    EXPECT_EQ(0, ComposeJoypadBits(0, noPads));
    EXPECT_EQ(0, ComposeJoypadBits(1, noPads));
}

TEST(ComposeJoypadBitsTest, PadAndKeyboardMerge)
{
    PadState pad = RestingPad();
    pad.x = 1000;          // right
    pad.buttons[9] = kHeld; // 0x2000, the same bit as Space
    KeyTable keys;
    keys.Hold(0xCB).Hold(0x39); // Left and Space
    JoypadSources sources = {1, &pad, keys.keys};
    EXPECT_EQ(0x2004, ComposeJoypadBits(1, sources));
    EXPECT_EQ(0x2006, ComposeJoypadBits(0x1001, sources));
}

TEST(DecodeInputTypeTest, PadIndexAndKeyboardFlag)
{
    struct Case {
        int inputType;
        bool valid;
        int padIndex;
        bool keyboard;
    } cases[] = {
        {0, true, -1, false},    {0x1000, true, -1, true}, {1, true, 0, false}, {0x1001, true, 0, true},
        {8, true, 7, false},     {9, true, 8, false},      {0x1009, true, 8, true}, {10, false, -1, false},
        {0x100A, false, -1, true}, {-1, false, -1, true},
    };
    for (const Case &c : cases) {
        JoypadRequest request = DecodeInputType(c.inputType);
        EXPECT_EQ(c.valid, request.valid) << c.inputType;
        if (c.valid) {
            EXPECT_EQ(c.padIndex, request.padIndex) << c.inputType;
        }
        EXPECT_EQ(c.keyboard, request.mergeKeyboard) << c.inputType;
    }
}

TEST(DeviceReadScheduleTest, ReadOncePerMillisecondUnlessSignalled)
{
    struct Case {
        uint32_t now, last;
        bool signalled, due;
    } cases[] = {
        {100, 100, false, false}, {100, 100, true, true}, {101, 100, false, true},
        {0, 0xFFFFFFFFu, false, true}, {99, 100, false, true},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.due, IsDeviceReadDue(c.now, c.last, c.signalled)) << c.now << " " << c.last;
}

// ---- The virtual-key fallback -------------------------------------------------

TEST(MapVirtualKeyStatesTest, MappedKeys)
{
    struct Case {
        int virtualKey;
        int codes[2]; // second 0: one code
    } cases[] = {
        {0x1B, {0x01, 0}},    // Esc
        {0x0D, {0x1C, 0x9C}}, // Enter: main and numeric pad
        {0x25, {0xCB, 0}},    // Left
        {0x26, {0xC8, 0}},    // Up
        {0x27, {0xCD, 0}},    // Right
        {0x28, {0xD0, 0}},    // Down
        {0x64, {0x4B, 0}},    // numeric pad 4
        {0x68, {0x48, 0}},    // numeric pad 8
        {0x41, {0x1E, 0}},    // A
        {0x5A, {0x2C, 0}},    // Z
        {0x30, {0x0B, 0}},    // 0
        {0x39, {0x0A, 0}},    // 9
        {0x79, {0x44, 0}},    // F10
        {0x7B, {0x58, 0}},    // F12
        {0xA5, {0xB8, 0}},    // right Alt
        {0xE2, {0x2B, 0}},
    };
    for (const Case &c : cases) {
        unsigned char virtualKeys[kKeyCount] = {};
        virtualKeys[c.virtualKey] = 0x81; // held and toggled
        unsigned char keys[kKeyCount];
        std::memset(keys, 0x55, sizeof keys); // the map clears what was there
        MapVirtualKeyStates(virtualKeys, keys);
        for (int code = 0; code < kKeyCount; ++code) {
            bool expected = code == c.codes[0] || (c.codes[1] != 0 && code == c.codes[1]);
            EXPECT_EQ(expected ? 0x80 : 0, keys[code]) << "virtual key " << c.virtualKey << " code " << code;
        }
    }
}

TEST(MapVirtualKeyStatesTest, UnmappedAndToggledOnlyKeysLeaveNothing)
{
    unsigned char virtualKeys[kKeyCount] = {};
    virtualKeys[0x01] = 0x80; // left mouse button: not a key
    virtualKeys[0x90] = 0x80; // Num Lock: not in the map
    virtualKeys[0x14] = 0x01; // Caps Lock toggled, not held
    unsigned char keys[kKeyCount];
    MapVirtualKeyStates(virtualKeys, keys);
    unsigned char none[kKeyCount] = {};
    EXPECT_EQ(0, std::memcmp(none, keys, sizeof keys));
}

TEST(MapVirtualKeyStatesTest, EveryVirtualKeyHeldSetsNinetyNineCodes)
{
    unsigned char virtualKeys[kKeyCount];
    std::memset(virtualKeys, 0xFF, sizeof virtualKeys);
    unsigned char keys[kKeyCount];
    MapVirtualKeyStates(virtualKeys, keys);
    int held = 0;
    for (unsigned char state : keys) held += state == 0x80;
    EXPECT_EQ(99, held);
}

} // namespace
