// The display device, the screen surfaces, the screen mode, the draw screen
// and presenting.
#ifndef VEXLO_DISPLAY_DISPLAY_H
#define VEXLO_DISPLAY_DISPLAY_H

#include <windows.h>
#include <ddraw.h>

#include "../graph/color_data.h"

// ---- Device and screen surfaces -------------------------------------------------

int StartDisplay();
int EndDisplay();
int IsDisplayStarted();
// 1 while the DirectDraw device exists.
int HasDisplayDevice();
int AcquireDevice(IDirectDraw7 **device);
// 1 when a full-screen mode was applied and the desktop mode not yet given back.
int IsDisplayModeChanged();
void SetDisplayModeChanged(int flag);
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

// Giving up and rebuilding the display around focus loss and desktop changes.
int CreateScreenSurfaces();
int ReleaseScreenSurfaces();
int RestoreLostScreens();
int ReleaseDisplay();
int RecreateDisplay();
int RecreatePalette();
// Copies srcRect of source to (x, y) of destination, by GDI or DirectDraw,
// whichever the last mode change measured faster.
int CopySurfaceRect(IDirectDrawSurface7 *destination, IDirectDrawSurface7 *source, int x, int y, RECT *srcRect);
// 1 when CopySurfaceRect copies through GDI.
int IsCopyingByBitBlt();

IDirectDraw7 *GetDisplayDevice();
IDirectDrawSurface7 *GetFrontScreen();
IDirectDrawSurface7 *GetBackScreen();
IDirectDrawSurface7 *GetWorkSurface1();
IDirectDrawSurface7 *GetWorkSurface2();
IDirectDrawSurface7 *GetDrawSurface();
// 1 when the draw target is a graph held as Direct3D textures.
int IsDrawTargetTexture();
// 1 when software drawing targets the front screen of a window (positions
// then carry the client area's origin).
int IsDrawSurfaceFrontInWindow();
const ColorData *GetScreenColorDataOfDisplay();
// Copies the device capabilities (a DirectX 7 DDCAPS, 380 bytes).
void CopyDeviceCaps(void *caps380);
// The pixel format for movie overlays; null without one or below 640 x 400.
const DDPIXELFORMAT *GetOverlayFormat();
int GetMmxFlagForBlitters();

// ---- Screen mode ------------------------------------------------------------------

// -1 arguments keep the current values; force runs the change even when
// nothing differs. 0, -1 (the previous mode stayed) or -2 (fell back to
// 640 x 480 x 16).
int ChangeScreenMode(int width, int height, int bits, int force, int refreshRate);
// Measured at the last change; -1 when unknown.
int GetFrameTime();
int GetPacingThreshold();

// ---- Draw screen and presenting -----------------------------------------------------

int SelectDrawSurface(int drawScreen);
int ClearDrawSurface();
int GetDrawScreen();
// Graph management's start records a draw screen before selecting the front.
void RecordDrawScreen(int drawScreen);
// 0x4000 when the current target lies in video memory, else 0.
int GetTargetInVideoMemory();
// Left and top are added to every drawing position.
void GetDrawOffset(RECT *offset);
void GetDrawScreenSize(int *width, int *height);
// The front screen's target rectangle follows the window's client area.
void SetFrontScreenTarget(int left, int top, int right, int bottom);
int PresentByBlit();
// Waits for the blank after most of a frame has passed; the time it stored.
int WaitVSyncPaced();
// High half: times the count wrapped; low half: frames presented since the
// last mode change.
unsigned long long GetFrameCount();

#endif
