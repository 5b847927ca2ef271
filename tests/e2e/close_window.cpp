// Sends WM_CLOSE to every top-level window of class "Vexlo", as another
// program closing them would. Exit code 0 when a window was found, 1 when none.
#include <windows.h>

#include <cstring>

namespace {

BOOL CALLBACK CloseIfLibraryWindow(HWND window, LPARAM found)
{
    char className[16];
    if (GetClassNameA(window, className, sizeof className) && std::strcmp(className, "Vexlo") == 0) {
        PostMessageA(window, WM_CLOSE, 0, 0);
        ++*reinterpret_cast<int *>(found);
    }
    return TRUE;
}

} // namespace

int main()
{
    int found = 0;
    EnumWindows(CloseIfLibraryWindow, reinterpret_cast<LPARAM>(&found));
    return found > 0 ? 0 : 1;
}
