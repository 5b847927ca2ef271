// DrawState: the current drawing settings that both renderers read (draw
// area, blend mode and parameter, tint colour, the mask flags). The draw
// target, its offset and size belong to the display's draw screen (see
// display.h: GetDrawScreen, GetDrawOffset, GetDrawScreenSize).
// Platform-free; the public operations that change it are in
// draw_settings.cpp.
#ifndef VEXLO_SOFT_DRAW_STATE_H
#define VEXLO_SOFT_DRAW_STATE_H

#include "blit_clip.h"
#include "blit_loops.h"

// <windows.h> maps DrawState to the GDI function DrawStateA; the library
// never calls that function, and its files include <windows.h> first.
#ifdef DrawState
#undef DrawState
#endif

struct DrawState {
    PixelRect drawArea;     // clipping rectangle in target coordinates
    int areaEmpty;          // 1 when the draw area has no width or height
    int blendMode;          // BLEND_NONE ... BLEND_XOR
    int blendParameter;     // 0..255
    int tintColour;         // 0x00RRGGBB, -1 for none
    int maskFlag;           // no mask screen exists; kept for the record
    int maskInVideoMemory;
};

const DrawState &GetDrawState();
// Graph management's start: everything zero, then BLEND_NONE, no tint, mask
// flag 1. The draw area stays empty until one is set.
void ResetDrawState();

// True when (mode, parameter) differ from the stored pair.
bool BlendModeDiffers(int mode, int parameter);
// Stores mode and parameter clamped to 0..255; BLEND_KEEP changes neither.
void StoreBlendMode(int mode, int parameter);

void SetTintColour(int tintColour);

// The largest area a target allows: 0..width x 0..height. On the front
// screen of a window partly off the desktop, minLeft/minTop replace the
// requested left and top edges.
struct DrawAreaLimit {
    int width, height;
    int minLeft, minTop; // -1 when unused
};
// Orders the corners and clamps them into the limit.
PixelRect LimitDrawArea(int x1, int y1, int x2, int y2, const DrawAreaLimit &limit);
// The front screen's limit: the screen size, cut by the desktop's edges for
// a window whose client area starts at (originX, originY).
DrawAreaLimit FrontScreenLimit(int screenWidth, int screenHeight, int originX, int originY, int desktopWidth,
                               int desktopHeight);
// Stores the area as it is (DrawRectGraph sets its area this way).
void StoreDrawArea(const PixelRect &area);

// The settings as the pixel loops read them.
BlendSettings CurrentBlendSettings(bool useKey, uint32_t key);

#endif
