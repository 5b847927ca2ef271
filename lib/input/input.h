#ifndef VEXLO_INPUT_INPUT_H
#define VEXLO_INPUT_INPUT_H

// 0 on success or when running, -1 without DirectInput, 1 without keyboard events.
int InitInput();
int EndInput();

#endif
