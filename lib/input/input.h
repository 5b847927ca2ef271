// Keyboard and joypads through DirectInput.
#ifndef VEXLO_INPUT_INPUT_H
#define VEXLO_INPUT_INPUT_H

// 0 on success or when running, -1 without DirectInput, 1 without keyboard events.
int InitInput();
int EndInput();
// 1 while the DirectInput object exists.
int IsInputStarted();

// Reads the keyboard state if it is due; the 256 states in DirectInput key
// order (bit 7 set while held).
int RefreshKeyboardState();
const unsigned char *GetKeyboardStates();
// Number of joypads found at the start.
int GetPadCount();
// Drains the keyboard's buffered events (run by ProcessMessage).
int FlushKeyboardBuffer();

// Two keys reported by a system hook through window messages: which = 0 or 1.
void SetHookedKeyFlag(int which, int held);
int GetHookedKeyFlag(int which);

#endif
