// Prints the screen position of the client area of the library's window
// (class "Vexlo") as "x y", so that scripts can cut the client area out of a
// screenshot. Exit code 1 when there is no such window.
#include <windows.h>

#include <cstdio>

int main()
{
    HWND library = FindWindowA("Vexlo", nullptr);
    if (library == nullptr) return 1;
    POINT origin = {0, 0};
    ClientToScreen(library, &origin);
    std::printf("%ld %ld\n", origin.x, origin.y);
    return 0;
}
