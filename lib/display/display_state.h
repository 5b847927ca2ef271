// The display's module state: the DirectDraw device, the screen surfaces and
// the screen mode. Shared by the files of lib/display only; the rest of the
// library uses the functions of display.h.
#ifndef VEXLO_DISPLAY_DISPLAY_STATE_H
#define VEXLO_DISPLAY_DISPLAY_STATE_H

#include <windows.h>
#include <ddraw.h>

#include <cstdint>

#include "../graph/color_data.h"
#include "frame_timing.h"

const int kCooperativeNormal = DDSCL_NORMAL;                           // 8
const int kCooperativeFullScreen = DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN; // 0x11

struct DisplayState {
    IDirectDraw7 *device;
    IDirectDrawSurface7 *frontScreen;
    IDirectDrawSurface7 *backScreen;
    IDirectDrawSurface7 *workSurface1;
    IDirectDrawSurface7 *workSurface2;
    IDirectDrawClipper *clipper;
    IDirectDrawPalette *palette;
    uint8_t paletteEntries[256][4];

    // The requested or current mode; 0 reads as 640, 480 and 16.
    int width, height, bits, refresh;
    int cooperativeFlags;
    int displayModeChanged;
    IDirectDrawSurface7 *drawSurface;
    DDPIXELFORMAT pixelFormat;
    ColorData colorData;
    DDCAPS_DX7 deviceCaps;
    int overlayFormat; // index into the overlay table, -1 for none
    int useBitBlt;
    int vsync;
    int started;
    int useMmx; // for the software blitters
    unsigned long long totalVideoMemory;

    // Mode changes and frame timing.
    int lastChangeTime;
    int frameTime;
    int pacingThreshold;
    int frameSamples[kFrameSampleCount];
    FrameCounter frames;

    // Presenting.
    int targetIsTexture;
    int lastVSyncTime;
};

DisplayState &Display();

bool IsFullScreen();
// Sets the cooperative level; in full screen the codes that mean "already
// exclusive" or "mode unchanged" count as success.
bool SetCooperativeLevelFor(int flags);
// Releases a COM object and nulls the pointer.
template <typename T> void ReleaseObject(T *&object)
{
    if (object) object->Release();
    object = nullptr;
}

// Applies the cooperative level and display mode of the current fields at
// display start and after a focus loss (records the resulting depth).
int ApplyInitialScreenMode();
// The palette of an 8-bit screen, created from the built-in table.
int CreateScreenPalette();
int ReleaseScreenPalette();
// The clipper bound to the main window; false when it cannot be made.
bool CreateWindowClipper();
// Counts one presented frame.
void CountPresentedFrame();

#endif
