// Message processing and the waits built on it.
#ifndef VEXLO_CORE_MESSAGE_H
#define VEXLO_CORE_MESSAGE_H

// Blocks while the application is inactive in full screen (or in a window
// without run-while-inactive), then restores lost screens and graphs.
void WaitWhileInactive();

// Test seam: replaces the keyboard read of CheckHitKeyAll (256 DirectInput
// key states); null restores the device read.
void SetKeyboardStateReader(const unsigned char *(*reader)());

#endif
