#ifndef VEXLO_CORE_CHAR_BUFFER_H
#define VEXLO_CORE_CHAR_BUFFER_H

// Empties the buffer of typed character codes.
int StartCharBuffer();

#endif
