// The core state block: start-up options and the main window's state.
// Shared by the files of lib/core only; other subsystems use the queries
// declared in main_window.h.
#ifndef VEXLO_CORE_STATE_H
#define VEXLO_CORE_STATE_H

#include <windows.h>

#include "../Vexlo.h"

// Options chosen before InitLibrary; they survive the reset at window creation.
struct CoreOptions {
    int windowModeFlag;                          // 1 window, 0 full screen
    int allowWindowModeToggle;                   // Alt+Enter and the maximise box toggle
    void (*windowModeChangedCallback)(int data); // after a toggle made by the user
    int windowModeChangedData;
    int runWhileInactive;
    int windowStyleIndex;                        // 0..4
    char windowTitle[256];
    int iconResourceId;                          // 0 means 0x7F00
    int useMenu;
    int menuResourceId;
    void (*menuCallback)(int commandId);
    HMENU menuHandle;
    HRGN windowRegion;
    UserMessageHook userMessageHook;
    int windowPositionSet, windowPositionX, windowPositionY;
    int noDisplayStart;
    int allowDoubleStart;
};

// Window state, zeroed at every window creation.
struct CoreWindowState {
    HINSTANCE instanceHandle;
    HWND mainWindow;
    RECT clientRect;
    int activeFlag;
    int cursorVisible;
    int closeRequested;
    int windowDestroyed;
    int windowGone;
    int toggleRequested;
    int modeChangeBusy;
    int displayChangeSeen;
    int surfacesLost;
    int styleAppliedOnce;
    int wheelCount;
    int desktopWidth, desktopHeight, desktopColourBits;
    RECT drawAreaRequest;
    char *droppedFiles[1000];
    int droppedFileCount;
    int systemKeyLock;
    char keyLockDllPath[260];
    HMODULE keyLockModule;
    HHOOK keyLockHook;
    int keyLockApplied;
};

struct CoreState {
    CoreOptions options;
    CoreWindowState window;
};

CoreState &Core();

#endif
