// Reading the keyboard and the pads: at most once per millisecond per device
// unless the device signalled new data, acquiring again after a loss.
#include <cstddef>
#include <cstring>

#include "../Vexlo.h"
#include "input.h"
#include "input_state.h"
#include "virtual_key_map.h"

namespace {

static_assert(sizeof(DIJOYSTATE) == sizeof(PadState), "PadState mirrors DIJOYSTATE");
static_assert(offsetof(DIJOYSTATE, lX) == offsetof(PadState, x), "x");
static_assert(offsetof(DIJOYSTATE, lY) == offsetof(PadState, y), "y");
static_assert(offsetof(DIJOYSTATE, rgdwPOV) == offsetof(PadState, pointOfView), "point of view");
static_assert(offsetof(DIJOYSTATE, rgbButtons) == offsetof(PadState, buttons), "buttons");

// Buffered keyboard events are read five at a time; the buffer holds 100,
// so a drain never needs more than this many reads.
constexpr DWORD kEventsPerRead = 5;
constexpr int kMaxDrainReads = 64;

bool IsLostAcquisition(HRESULT result) { return result == DIERR_INPUTLOST || result == DIERR_NOTACQUIRED; }

void ResetIfSignalled(HANDLE event)
{
    if (IsEventSignalled(event)) ResetEvent(event);
}

void ReadVirtualKeys(unsigned char keys[kKeyCount])
{
    BYTE virtualKeys[kKeyCount] = {};
    if (!GetKeyboardState(virtualKeys)) std::memset(virtualKeys, 0, sizeof virtualKeys);
    MapVirtualKeyStates(virtualKeys, keys);
}

// Reads the 256 key states; the keyboard is acquired again when it lost its
// acquisition (or never had it) and read once more. The states stay as they
// were when the read fails.
bool ReadKeyboardDevice(IDirectInputDevice7A *keyboard, unsigned char keys[kKeyCount])
{
    unsigned char fresh[kKeyCount];
    HRESULT result = keyboard->GetDeviceState(sizeof fresh, fresh);
    if (IsLostAcquisition(result)) {
        if (FAILED(keyboard->Acquire())) return false;
        result = keyboard->GetDeviceState(sizeof fresh, fresh);
    }
    if (FAILED(result)) return false;
    std::memcpy(keys, fresh, sizeof fresh);
    return true;
}

// Input may be ended while messages are pumped (focus loss): the pad entry
// is only touched again when it still exists.
bool PadStillExists(int pad) { return Input().directInput != nullptr && pad < Input().padCount; }

} // namespace

int RefreshKeyboardState()
{
    InputState &input = Input();
    if (input.keyboard == nullptr) {
        ReadVirtualKeys(input.keys);
        return 1;
    }
    uint32_t now = ReadInputClock();
    if (!IsDeviceReadDue(now, input.keyboardLastRead, IsEventSignalled(input.keyboardEvent))) return 0;
    if (!ReadKeyboardDevice(input.keyboard, input.keys)) return 0;
    input.keyboardLastRead = now;
    ResetIfSignalled(input.keyboardEvent);
    return 1;
}

int RefreshPadState(int pad)
{
    InputState &input = Input();
    if (pad < 0 || pad >= input.padCount) return -1;
    PadDevice &entry = input.pads[pad];
    uint32_t now = ReadInputClock();
    if (!IsDeviceReadDue(now, entry.lastRead, IsEventSignalled(entry.event))) return 0;
    entry.lastRead = now;

    DIJOYSTATE fresh;
    entry.device->Poll();
    HRESULT result = entry.device->GetDeviceState(sizeof fresh, &fresh);
    if (FAILED(result)) {
        if (ProcessMessage() != 0) return -1;
        if (!PadStillExists(pad)) return 0;
        if (SUCCEEDED(entry.device->Acquire())) {
            if (ProcessMessage() != 0) return -1;
            if (!PadStillExists(pad)) return 0;
            result = entry.device->GetDeviceState(sizeof fresh, &fresh);
        }
    }
    if (SUCCEEDED(result)) std::memcpy(&input.padStates[pad], &fresh, sizeof fresh);
    ResetIfSignalled(entry.event);
    return 0;
}

int FlushKeyboardBuffer()
{
    IDirectInputDevice7A *keyboard = Input().keyboard;
    if (keyboard == nullptr) return 0;
    DIDEVICEOBJECTDATA events[kEventsPerRead];
    for (int read = 0; read < kMaxDrainReads; ++read) {
        DWORD count = kEventsPerRead;
        HRESULT result = keyboard->GetDeviceData(sizeof events[0], events, &count, 0);
        if (FAILED(result) || count < kEventsPerRead) break;
    }
    return 0;
}
