// The display device and the screen mode.
#ifndef VEXLO_DISPLAY_DISPLAY_H
#define VEXLO_DISPLAY_DISPLAY_H

int StartDisplay();
int EndDisplay();
int IsDisplayStarted();
// Present on the vertical blank.
void SetVSyncWaitFlag(int flag);
// The colour depth asked for with SetScreenMode; 16 when none was.
int GetRequestedScreenBitDepth();
// Either pointer may be null; an unset size reads as 640 x 480.
void GetScreenSize(int *width, int *height);

#endif
