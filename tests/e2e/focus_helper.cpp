// Takes the focus away from the library program and gives it back: opens a
// window of its own, makes it the foreground window for a while, then makes
// the window of class "Vexlo" the foreground window again and ends.
// With the argument "close" it posts WM_CLOSE to that window instead: it runs
// in the same wine virtual desktop as the program, where close_window (which
// other tests run on the plain desktop) cannot see it.
// Exit code 0 when the library window was found, 1 when not.
#include <windows.h>

#include <cstring>

namespace {

void PumpFor(DWORD milliseconds)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        Sleep(10);
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 1 && std::strcmp(argv[1], "close") == 0) {
        HWND library = FindWindowA("Vexlo", nullptr);
        if (library == nullptr) return 1;
        PostMessageA(library, WM_CLOSE, 0, 0);
        return 0;
    }
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "VexloFocusHelper";
    RegisterClassA(&windowClass);
    HWND own = CreateWindowExA(0, "VexloFocusHelper", "focus helper", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300,
                               200, nullptr, nullptr, windowClass.hInstance, nullptr);
    SetForegroundWindow(own);
    PumpFor(1500);
    HWND library = FindWindowA("Vexlo", nullptr);
    DestroyWindow(own);
    if (library == nullptr) return 1;
    // A full-screen program minimises itself when it loses the focus; a
    // user switching back restores it.
    if (IsIconic(library)) ShowWindow(library, SW_RESTORE);
    SetForegroundWindow(library);
    PumpFor(300);
    return 0;
}
