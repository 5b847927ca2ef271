// The rectangles of a window-mode present: the back screen is copied into
// the window's client area on the desktop, clipped to the desktop's edges.
// Platform-free.
#ifndef VEXLO_DISPLAY_PRESENT_RECT_H
#define VEXLO_DISPLAY_PRESENT_RECT_H

struct PresentRect {
    int left, top, right, bottom;
};

struct PresentRects {
    PresentRect source;      // in the back screen
    PresentRect destination; // on the desktop (the front screen)
};

// (x, y): the client area's origin on the desktop; width x height: the
// screen size; desktopWidth x desktopHeight: the desktop size. Parts left of
// or above the desktop are cut from the source's start, parts reaching the
// right or bottom edge from its end.
PresentRects ClipPresentRect(int x, int y, int width, int height, int desktopWidth, int desktopHeight);

#endif
