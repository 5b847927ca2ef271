// A library program for the end-to-end tests of the display. It notes what
// it sees in AppLog.txt with lines that start with "probe:".
// Argument (one word):
//   present  full screen 640 x 480 x 16; clears, draws "Player.png" (when
//            the working directory has it) with its top-left at (295, 215)
//            and flips until its window is closed, noting every 30th frame
//   toggle   starts in a window, switches to full screen and back with
//            ChangeWindowMode, then presents until closed; Alt+Enter is
//            allowed to switch as well
//   modes    full screen; tries screen modes with SetScreenMode and ends
#include <windows.h>

#include <cstring>

#include "Vexlo.h"

namespace {

int g_frames;
int g_sprite = -1; // drawn every frame when loaded

void NoteMode(const char *when)
{
    AddAppLogFormat("probe: %s frames %d", when, g_frames);
}

void Toggled(int)
{
    AddAppLog("probe: toggled by the user\n");
}

// One cleared frame presented; false once the window is gone.
bool PresentFrame()
{
    if (ProcessMessage() != 0) return false;
    ClearDrawScreen();
    if (g_sprite != -1) DrawGraph(295, 215, g_sprite, 1);
    FlipScreen();
    ++g_frames;
    if (g_frames % 30 == 0) NoteMode("presented");
    return true;
}

int RunPresent()
{
    g_sprite = LoadGraph("Player.png");
    while (PresentFrame()) {
    }
    return 0;
}

int RunToggle()
{
    for (int i = 0; i < 30 && PresentFrame(); ++i) {
    }
    AddAppLogFormat("probe: ChangeWindowMode(0) = %d", ChangeWindowMode(0));
    SetDrawScreen(SCREEN_BACK);
    for (int i = 0; i < 60 && PresentFrame(); ++i) {
    }
    AddAppLogFormat("probe: ChangeWindowMode(1) = %d", ChangeWindowMode(1));
    SetDrawScreen(SCREEN_BACK);
    for (int i = 0; i < 60 && PresentFrame(); ++i) {
    }
    AddAppLog("probe: waiting for Alt+Enter\n");
    while (PresentFrame()) {
    }
    return 0;
}

int RunModes()
{
    struct Wish {
        int width, height, bits;
    };
    const Wish wishes[] = {{640, 480, 24}, {800, 600, 16}, {800, 600, 32}, {640, 480, 16}};
    for (const Wish &wish : wishes) {
        int result = SetScreenMode(wish.width, wish.height, wish.bits, -1);
        SetDrawScreen(SCREEN_BACK);
        for (int i = 0; i < 10 && PresentFrame(); ++i) {
        }
        AddAppLogFormat("probe: SetScreenMode(%d, %d, %d) = %d", wish.width, wish.height, wish.bits, result);
    }
    return 0;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    bool toggle = std::strstr(commandLine, "toggle") != nullptr;
    SetScreenMode(640, 480, 16, -1);
    ChangeWindowMode(toggle ? 1 : 0);
    if (toggle) SetAllowWindowModeToggle(1, Toggled, 0);
    if (InitLibrary() == -1) return -1;
    SetDrawScreen(SCREEN_BACK);
    int result = 0;
    if (toggle)
        result = RunToggle();
    else if (std::strstr(commandLine, "modes"))
        result = RunModes();
    else
        result = RunPresent();
    EndLibrary();
    return result;
}
