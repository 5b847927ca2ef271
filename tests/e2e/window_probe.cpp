// A small library program for the end-to-end tests of the main window: it
// starts the library without the display, runs a frame loop on
// ProcessMessage until its window is closed, ends the library and returns 0.
// Arguments: "allow-double" lets it run beside another library program.
#include <windows.h>

#include <cstring>

#include "Vexlo.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    SetNoDisplayStart(1);
    ChangeWindowMode(1);
    if (std::strstr(commandLine, "allow-double")) SetAllowDoubleStart(1);
    if (InitLibrary() == -1) return -1;
    while (ProcessMessage() == 0) {
        WaitMilliseconds(16);
    }
    EndLibrary();
    return 0;
}
