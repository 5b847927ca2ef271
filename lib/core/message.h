// Message processing and the waits built on it.
#ifndef VEXLO_CORE_MESSAGE_H
#define VEXLO_CORE_MESSAGE_H

// Blocks while the application is inactive in full screen (or in a window
// without run-while-inactive), then restores lost screens and graphs.
void WaitWhileInactive();

#endif
