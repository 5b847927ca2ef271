// The main window: creation, destruction, its procedure and the queries
// other parts of the library use.
#ifndef VEXLO_CORE_MAIN_WINDOW_H
#define VEXLO_CORE_MAIN_WINDOW_H

#include <windows.h>

int CreateMainWindow();
int DestroyMainWindow();
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void BringWindowToFront(HWND window, int topmost);
int FitWindowToScreen();
int TrackClientRect(LPARAM packedPosition);
// With null removes the shape.
int SetWindowShape(const char *imageFileName);
int SetCursorVisible(int flag);
int SetCursorPosition(int x, int y);

HWND GetMainWindowHandle();
int GetWindowModeFlag();
int GetActiveFlag();
int GetCursorVisibleFlag();
int GetCloseRequestedFlag();
int HasWindowRegion();
int IsWindowGone();
void GetWindowClientRect(RECT *rect);
// The draw area as the program last asked for it, re-applied after a move.
void RecordDrawAreaRequest(int x1, int y1, int x2, int y2);
int GetDesktopMode(int *width, int *height, int *bits);

// The window styles of a style row, for window mode and for full screen.
struct WindowStyle {
    DWORD style;
    DWORD extendedStyle;
};
WindowStyle GetWindowModeStyle();
WindowStyle GetFullScreenStyle();

#endif
