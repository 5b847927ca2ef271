// The display device, the screen surfaces and the screen mode.
#ifndef VEXLO_DISPLAY_DISPLAY_H
#define VEXLO_DISPLAY_DISPLAY_H

int StartDisplay();
int EndDisplay();
int IsDisplayStarted();
// 1 while the DirectDraw device exists.
int HasDisplayDevice();
// 1 when a full-screen mode was applied and the desktop mode not yet given back.
int IsDisplayModeChanged();
// 1 when frames are presented by blitting the back screen (no flip chain).
int IsPresentingByBlit();

// Present on the vertical blank.
void SetVSyncWaitFlag(int flag);
// The colour depth asked for with SetScreenMode; 16 when none was.
int GetRequestedScreenBitDepth();
// Either pointer may be null; an unset size reads as 640 x 480.
void GetScreenSize(int *width, int *height);
// An unset depth reads as 16.
int GetScreenBitDepth();
int ChangeScreenMode(int width, int height, int bits, int force, int refreshRate);

// Giving up and rebuilding the display around focus loss and desktop changes.
int ReleaseScreenSurfaces();
int ReleaseDisplay();
int RecreateDisplay();
int CreateScreenSurfaces();
int RecreatePalette();
int SelectDrawSurface(int drawScreen);
int GetDrawScreen();
// The front screen's target rectangle follows the window's client area.
void SetFrontScreenTarget(int left, int top, int right, int bottom);

#endif
