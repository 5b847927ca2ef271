#include "input_state.h"

#include <cstring>

#include "../Vexlo.h"

namespace {
InputState g_input;
} // namespace

InputState &Input() { return g_input; }

void ResetInputState() { std::memset(&g_input, 0, sizeof g_input); }

uint32_t ReadInputClock() { return static_cast<uint32_t>(GetMilliCount(0)); }

bool IsEventSignalled(HANDLE event)
{
    return event != nullptr && WaitForSingleObject(event, 0) == WAIT_OBJECT_0;
}

int IsInputStarted() { return g_input.directInput != nullptr ? 1 : 0; }
const unsigned char *GetKeyboardStates() { return g_input.keys; }
int GetPadCount() { return g_input.padCount; }

void SetHookedKeyFlag(int which, int held)
{
    if (which == 0 || which == 1) g_input.hookedKeys[which] = held != 0 ? 1 : 0;
}

int GetHookedKeyFlag(int which)
{
    return which == 0 || which == 1 ? g_input.hookedKeys[which] : 0;
}
