// textonce: starts full screen, writes one line straight onto the visible
// screen and waits for a key.
#include <windows.h>

#include "Vexlo.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    if (InitLibrary() == -1) return -1;
    DrawString(200, 240, "これでも動くのです", GetColor(255, 255, 255), 0);
    WaitKey();
    EndLibrary();
    return 0;
}
