// The public key and pad queries.
#include "../Vexlo.h"
#include "../core/main_window.h"
#include "../core/message.h"
#include "input.h"
#include "input_state.h"

namespace {

// Before the window exists there is neither an activation to wait for nor a
// window for the devices: the queries read the system's key state then.
bool HasMainWindow() { return GetMainWindowHandle() != nullptr; }

void WaitUntilActive()
{
    if (HasMainWindow()) WaitWhileInactive();
}

// A stopped input starts again on a query, unless the program is closing.
bool ShouldStartOnQuery()
{
    return Input().directInput == nullptr && GetCloseRequestedFlag() == 0 && HasMainWindow();
}

} // namespace

extern "C" int CheckKey(int keyCode)
{
    WaitUntilActive();
    if (ShouldStartOnQuery()) return InitInput();
    RefreshKeyboardState();
    return IsKeyHeld(Input().keys, keyCode);
}

extern "C" int GetJoypadState(int inputType)
{
    JoypadRequest request = DecodeInputType(inputType);
    WaitUntilActive();
    if (ShouldStartOnQuery()) return InitInput();
    if (!request.valid) return 0;

    InputState &input = Input();
    if (request.padIndex >= 0 && request.padIndex < input.padCount) RefreshPadState(request.padIndex);
    if (request.mergeKeyboard) RefreshKeyboardState();
    JoypadSources sources = {input.padCount, input.padStates, input.keys};
    return ComposeJoypadBits(inputType, sources);
}
