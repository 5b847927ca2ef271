// Sends WM_CLOSE to the top-level window of class "Vexlo", as another program
// closing it would. Exit code 0 when a window was found, 1 when none.
#include <windows.h>

int main()
{
    HWND window = FindWindowA("Vexlo", nullptr);
    if (window == nullptr) return 1;
    PostMessageA(window, WM_CLOSE, 0, 0);
    return 0;
}
