#include "window_mode.h"

#include <windows.h>

#include "../Vexlo.h"
#include "../display/display.h"
#include "core_state.h"
#include "main_window.h"

namespace {

// How long a run-time switch waits for the desktop to report the new mode.
const int kDisplayChangeWaitMs = 2000;

void PlaceWindow(HWND window, const RECT &rect)
{
    const CoreOptions &options = Core().options;
    int x = options.windowPositionSet ? options.windowPositionX : rect.left;
    int y = options.windowPositionSet ? options.windowPositionY : rect.top;
    SetWindowPos(window, nullptr, x, y, rect.right - rect.left, rect.bottom - rect.top, SWP_NOZORDER);
}

void ApplyWindowModeStyle(HWND window, int width, int height)
{
    CoreWindowState &state = Core().window;
    AddAppLog("ウインドウスタイルをウインドウモード用に変更します... ");
    WindowStyle style = GetWindowModeStyle();
    if (state.styleAppliedOnce) style.style |= WS_VISIBLE;
    SetWindowLongPtrA(window, GWL_EXSTYLE, static_cast<LONG_PTR>(style.extendedStyle));
    SetWindowLongPtrA(window, GWL_STYLE, static_cast<LONG_PTR>(style.style));

    RECT rect = {0, 0, width, height};
    AdjustWindowRectEx(&rect, style.style, TRUE, style.extendedStyle);
    InflateRect(&rect, 3, 3);
    OffsetRect(&rect, (state.desktopWidth - width) / 2, (state.desktopHeight - height) / 2);
    PlaceWindow(window, rect);

    // Keep the client area on the screen: a window whose centred client area
    // would start above or left of the screen moves so that it starts at 0, 0.
    RECT client;
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    state.clientRect = {origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};
    if (origin.x < 0 || origin.y < 0) {
        int dx = origin.x < 0 ? -origin.x : 0, dy = origin.y < 0 ? -origin.y : 0;
        OffsetRect(&rect, dx, dy);
        OffsetRect(&state.clientRect, dx, dy);
        PlaceWindow(window, rect);
    }
    SetCursorVisible(1);
    AddAppLog("完了\n");
}

void ApplyFullScreenStyle(HWND window, int width, int height)
{
    AddAppLog("ウインドウスタイルをフルスクリーンモード用に変更します... ");
    WindowStyle style = GetFullScreenStyle();
    SetWindowLongPtrA(window, GWL_EXSTYLE, static_cast<LONG_PTR>(style.extendedStyle));
    SetWindowLongPtrA(window, GWL_STYLE, static_cast<LONG_PTR>(style.style));
    Core().window.clientRect = {0, 0, width, height};
    SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOREDRAW);
    SetCursorVisible(0);
    AddAppLog("完了\n");
}

} // namespace

int SetWindowModeFlag(int flag)
{
    CoreOptions &options = Core().options;
    HWND window = Core().window.mainWindow;
    options.windowModeFlag = flag;
    if (flag) {
        AddAppLog("ウインドウモードフラグが立てられました\n");
        if (options.useMenu == 1 && window) SetMenu(window, options.menuHandle);
    } else {
        AddAppLog("ウインドウモードフラグが倒されました\n");
        if (options.useMenu == 1 && window) SetMenu(window, nullptr);
    }
    return 0;
}

int ApplyWindowStyle()
{
    HWND window = Core().window.mainWindow;
    if (window == nullptr) return 0;
    int width = 0, height = 0;
    GetScreenSize(&width, &height);
    if (Core().options.windowModeFlag)
        ApplyWindowModeStyle(window, width, height);
    else
        ApplyFullScreenStyle(window, width, height);
    PostMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), 0);
    SetActiveWindow(window);
    return 0;
}

extern "C" int ChangeWindowMode(int flag)
{
    AddAppLog("ChangeWindowMode実行 \n");
    CoreWindowState &state = Core().window;
    if (flag == Core().options.windowModeFlag) return 0;
    state.styleAppliedOnce = 0;
    SetWindowModeFlag(flag);
    if (state.mainWindow == nullptr) return 0;

    state.modeChangeBusy = 1;
    state.displayChangeSeen = 0;
    ApplyWindowStyle();
    int result = ChangeScreenMode(-1, -1, -1, 1, -1);
    // The mode change announces itself with WM_DISPLAYCHANGE; a change that
    // failed, or one that leaves the desktop's mode as it was (full screen
    // at the desktop's own size and depth), may never send one, so the wait
    // is bounded.
    if (result != -1) {
        int start = GetMilliCount(0);
        while (!state.displayChangeSeen && GetMilliCount(0) - start < kDisplayChangeWaitMs && ProcessMessage() == 0) {
        }
    }
    state.modeChangeBusy = 0;
    return result;
}
