// Keyboard and joypads through DirectInput.
#ifndef VEXLO_INPUT_INPUT_H
#define VEXLO_INPUT_INPUT_H

// 0 on success or when running, -1 without DirectInput, 1 without keyboard events.
int InitInput();
int EndInput();
// 1 while the DirectInput object exists.
int IsInputStarted();

// Reads the keyboard state if it is due (1 when read, 0 when kept); the 256
// states in DirectInput key order (bit 7 set while held). Without a keyboard
// device the states come from the system's virtual-key states.
int RefreshKeyboardState();
const unsigned char *GetKeyboardStates();
// Reads pad 0..7 if it is due: 0, or -1 when message processing reported
// the window gone while the pad was acquired again.
int RefreshPadState(int pad);
// Number of joypads found at the start.
int GetPadCount();
// Drains the keyboard's buffered events (run by ProcessMessage).
int FlushKeyboardBuffer();

// Two keys reported by a system hook through window messages: which = 0 or 1.
void SetHookedKeyFlag(int which, int held);
int GetHookedKeyFlag(int which);

#endif
