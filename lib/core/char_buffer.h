// Typed characters, key-input fields and the IME.
#ifndef VEXLO_CORE_CHAR_BUFFER_H
#define VEXLO_CORE_CHAR_BUFFER_H

#include <windows.h>

// Empties the buffer of typed character codes.
int StartCharBuffer();
int IsCharBufferFull();
int PushCharCode(unsigned char code);
// The window procedure's IME messages.
void HandleImeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// One step of the active key-input field (run by ProcessMessage).
int ProcessKeyInput();
int DeleteAllKeyInputs();

#endif
