// ProcessMessage: the one call per frame that dispatches window messages and
// gives every polled subsystem its turn.
#include "message.h"

#include <windows.h>

#include "../Vexlo.h"
#include "../graph/graph_restore.h"
#include "../input/input.h"
#include "../net/network.h"
#include "../sound/sound.h"
#include "char_buffer.h"
#include "core_state.h"
#include "file_access.h"
#include "main_window.h"

namespace {

// At most this many messages per pass; see ProcessMessage for why a call
// dispatches at most one more than that.
const int kMessagesPerPass = 5;
const int kDirectInputKeyCount = 256;
const int kIgnoredKeyCode = 0x94;
const int kFirstHookedKeyCode = 0x44;

struct MessageState {
    int inFinalSteps;
    HWND extraWindows[100];
    int extraWindowCount;
    HWND dialogWindow;
};
MessageState g_message;

const unsigned char *(*g_keyboardStateReader)() = nullptr;

// Takes the next message for the library: a screen-saver request anywhere on
// the thread first, then thread messages, then the main window's.
bool TakeNextMessage(MSG &msg)
{
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message == WM_SYSCOMMAND &&
        (msg.wParam & 0xFFF0) == SC_SCREENSAVE)
        return PeekMessageA(&msg, msg.hwnd, WM_SYSCOMMAND, WM_SYSCOMMAND, PM_REMOVE) != 0;
    if (PeekMessageA(&msg, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE)) return true;
    HWND window = Core().window.mainWindow;
    return window != nullptr && PeekMessageA(&msg, window, 0, 0, PM_REMOVE);
}

void PumpExtraWindows()
{
    for (int i = 0; i < g_message.extraWindowCount; ++i) {
        MSG msg;
        if (PeekMessageA(&msg, g_message.extraWindows[i], 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

void RunPendingToggle()
{
    CoreState &core = Core();
    if (!core.window.toggleRequested || !core.options.allowWindowModeToggle) return;
    core.window.toggleRequested = 0;
    ChangeWindowMode(core.options.windowModeFlag == 1 ? 0 : 1);
    if (core.options.windowModeChangedCallback)
        core.options.windowModeChangedCallback(core.options.windowModeChangedData);
}

void RunFinalSteps()
{
    ProcessAsyncReads();
    RefillAllStreams();
    UpdateMusicStates();
    FlushKeyboardBuffer();
    PumpNetworkMessages(1);
    ProcessDownloads();
    g_message.inFinalSteps = 1;
    ProcessKeyInput();
    g_message.inFinalSteps = 0;
}

bool IsWaitingForActivation()
{
    const CoreState &core = Core();
    return core.window.closeRequested == 0 && core.window.activeFlag == 0 && core.options.runWhileInactive == 0;
}

} // namespace

// Messages are taken in passes. A pass ends when the queue is empty or after
// the fifth message of the call; a pass that dispatched anything is followed
// by another, so a busy queue gives 5 messages in the first pass and one more
// in the second (the count carries over): six at most per call.
extern "C" int ProcessMessage(void)
{
    if (g_message.inFinalSteps) return 0;
    RunPendingToggle();

    CoreState &core = Core();
    int count = 0;
    bool passDone = false;
    while (IsWaitingForActivation() || (!passDone && !core.window.windowGone)) {
        passDone = true;
        if (core.window.activeFlag == 0 && core.options.runWhileInactive == 0) Sleep(1);

        bool dropped = false;
        for (;;) {
            MSG msg;
            bool found = TakeNextMessage(msg);
            if (found && !(g_message.dialogWindow != nullptr && IsDialogMessageA(g_message.dialogWindow, &msg))) {
                if (msg.message == WM_ACTIVATEAPP) core.window.activeFlag = LOWORD(msg.wParam);
                if (core.window.windowGone) {
                    dropped = true;
                    break;
                }
                if (msg.message == WM_QUIT) core.window.windowGone = 1;
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
                if (++count >= kMessagesPerPass) break;
                passDone = false;
            }
            PumpExtraWindows();
            if (!found) break;
        }
        if (dropped) break;

        if (core.window.activeFlag == 0) {
            PumpNetworkMessages(1);
            ProcessDownloads();
            RefillAllStreams();
            Sleep(1);
        }
        if (core.window.windowGone) break;
    }

    RunFinalSteps();
    return core.window.windowGone ? -1 : 0;
}

void WaitWhileInactive()
{
    const CoreState &core = Core();
    // Without a main window no activation can ever come: nothing to wait for.
    if (core.window.activeFlag || core.window.mainWindow == nullptr) return;
    if (core.options.windowModeFlag && core.options.runWhileInactive) return;
    while (ProcessMessage() == 0 && core.window.activeFlag == 0) {
    }
    ReloadAllGraphs();
}

void SetKeyboardStateReader(const unsigned char *(*reader)())
{
    g_keyboardStateReader = reader;
}

extern "C" int GetMouseButtons(void)
{
    BYTE keys[256];
    if (!GetKeyboardState(keys)) return 0;
    return ((keys[VK_LBUTTON] & 0x80) ? 1 : 0) | ((keys[VK_RBUTTON] & 0x80) ? 2 : 0) |
           ((keys[VK_MBUTTON] & 0x80) ? 4 : 0);
}

extern "C" int CheckHitKeyAll(void)
{
    WaitWhileInactive();
    const unsigned char *keys;
    if (g_keyboardStateReader) {
        keys = g_keyboardStateReader();
    } else {
        if (!IsInputStarted() && GetCloseRequestedFlag() == 0) return InitInput();
        RefreshKeyboardState();
        keys = GetKeyboardStates();
    }
    for (int code = 0; code < kDirectInputKeyCount; ++code)
        if ((keys[code] & 0x80) && code != kIgnoredKeyCode) return code;
    if (GetHookedKeyFlag(0)) return kFirstHookedKeyCode;
    for (int pad = 1; pad <= GetPadCount(); ++pad)
        if (GetJoypadState(pad) != 0) return 1;
    if (GetMouseButtons() != 0) return 1;
    return 0;
}

extern "C" int WaitKey(void)
{
    while (ProcessMessage() == 0 && CheckHitKeyAll() != 0) {
    }
    while (ProcessMessage() == 0 && CheckHitKeyAll() == 0) {
    }
    int result = 0;
    while (ProcessMessage() == 0) {
        result = CheckHitKeyAll();
        if (result == 0) break;
    }
    return result;
}
