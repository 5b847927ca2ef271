#include "present_rect.h"

PresentRects ClipPresentRect(int x, int y, int width, int height, int desktopWidth, int desktopHeight)
{
    PresentRect source = {0, 0, width, height};
    if (x < 0) {
        source.left = -x;
        x = 0;
    }
    if (y < 0) {
        source.top = -y;
        y = 0;
    }
    if (x + width >= desktopWidth) source.right = desktopWidth - x;
    if (y + height >= desktopHeight) source.bottom = desktopHeight - y;
    // A window wholly off the desktop leaves nothing to copy.
    if (source.right < source.left) source.right = source.left;
    if (source.bottom < source.top) source.bottom = source.top;
    PresentRect destination = {x, y, x + (source.right - source.left), y + (source.bottom - source.top)};
    return {source, destination};
}
