// Switching between a window and full screen.
#ifndef VEXLO_CORE_WINDOW_MODE_H
#define VEXLO_CORE_WINDOW_MODE_H

int SetWindowModeFlag(int flag);
// Gives the main window the styles and placement of the current mode.
int ApplyWindowStyle();

#endif
