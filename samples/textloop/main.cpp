// textloop: starts full screen and redraws one line of text every frame
// until Esc is pressed.
#include <windows.h>

#include "Vexlo.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    if (InitLibrary() == -1) return -1;
    SetDrawScreen(SCREEN_BACK);
    while (ProcessMessage() == 0) {
        ClearDrawScreen();
        // The gap is the full-width space.
        DrawString(160, 240, "C++プログラミング　開始", GetColor(255, 255, 255), 0);
        FlipScreen();
        if (CheckKey(1) == 1) break;
    }
    EndLibrary();
    return 0;
}
