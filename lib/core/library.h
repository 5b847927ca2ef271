// Library-level state shared inside the library.
#ifndef VEXLO_CORE_LIBRARY_H
#define VEXLO_CORE_LIBRARY_H

// Values of the library-ending field.
enum {
    LIBRARY_ENDING_NO = 0,
    LIBRARY_ENDING_BY_END_LIBRARY = 1,
    LIBRARY_ENDING_WINDOW_CLOSED = 4,
};

int IsLibraryRunning();
int GetLibraryEnding();
void SetLibraryEnding(int value);

// The directory that was current when InitLibrary began; "" before that.
const char *GetStartDirectory();
// Records the current directory as the start directory (InitLibrary does it
// before anything is logged).
void RecordStartDirectory();

// Test seam: replaces the read of the desktop's colour depth (planes times
// bits per pixel); null restores the real one.
void SetDesktopColourBitsReader(int (*reader)());
int ReadDesktopColourBits();

#endif
