// The core state block and the setters of the start-up options.
#include "core_state.h"

#include <cstring>

#include "../Vexlo.h"

namespace {
CoreState g_core;
}

CoreState &Core()
{
    return g_core;
}

extern "C" int SetNoDisplayStart(int flag)
{
    g_core.options.noDisplayStart = flag;
    return 0;
}

extern "C" int SetMainWindowTitle(const char *title)
{
    if (title == nullptr) return -1;
    char *target = g_core.options.windowTitle;
    std::strncpy(target, title, sizeof g_core.options.windowTitle - 1);
    target[sizeof g_core.options.windowTitle - 1] = '\0';
    if (g_core.window.mainWindow) SetWindowTextA(g_core.window.mainWindow, target);
    return 0;
}

extern "C" int SetRunWhileInactive(int flag)
{
    g_core.options.runWhileInactive = flag;
    return 0;
}

extern "C" int SetAllowDoubleStart(int flag)
{
    g_core.options.allowDoubleStart = flag;
    return 0;
}

extern "C" int SetAllowWindowModeToggle(int flag, void (*callback)(int), int data)
{
    g_core.options.allowWindowModeToggle = flag ? 1 : 0;
    g_core.options.windowModeChangedCallback = callback;
    g_core.options.windowModeChangedData = data;
    return 0;
}

extern "C" int SetWindowStyleIndex(int index)
{
    if (index < 0 || index > 4) return -1;
    g_core.options.windowStyleIndex = index;
    return 0;
}

extern "C" int SetWindowIconId(int resourceId)
{
    g_core.options.iconResourceId = resourceId;
    return 0;
}

extern "C" int SetWindowMenu(int menuResourceId, void (*callback)(int))
{
    g_core.options.useMenu = menuResourceId != 0;
    g_core.options.menuResourceId = menuResourceId;
    g_core.options.menuCallback = callback;
    return 0;
}

extern "C" int SetWindowPosition(int x, int y)
{
    g_core.options.windowPositionSet = 1;
    g_core.options.windowPositionX = x;
    g_core.options.windowPositionY = y;
    return 0;
}

extern "C" int SetUserMessageHook(UserMessageHook hook)
{
    g_core.options.userMessageHook = hook;
    return 0;
}
