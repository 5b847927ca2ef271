// The main window: creation, destruction and the queries other parts use.
#ifndef VEXLO_CORE_MAIN_WINDOW_H
#define VEXLO_CORE_MAIN_WINDOW_H

#include <windows.h>

int CreateMainWindow();
int DestroyMainWindow();
void BringWindowToFront(HWND window, int topmost);

HWND GetMainWindowHandle();
int GetWindowModeFlag();
int GetActiveFlag();
int GetCloseRequestedFlag();
int IsWindowGone();

#endif
