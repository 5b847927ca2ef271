// The text of the screen log: 80 lines of up to 254 bytes, written at a
// cursor that wraps long lines, expands tabs and scrolls the lines up when
// it passes the last visible line. Platform-free.
#ifndef VEXLO_CORE_SCREEN_LOG_TEXT_H
#define VEXLO_CORE_SCREEN_LOG_TEXT_H

const int SCREEN_LOG_LINES = 80;
const int SCREEN_LOG_LINE_BYTES = 255; // including the terminating zero

struct ScreenLogText {
    char lines[SCREEN_LOG_LINES][SCREEN_LOG_LINE_BYTES];
    // The writer's layout: cursor line, cursor column (bytes), tab width,
    // and how many lines have scrolled away since the last reset.
    int layout[4];
};

enum ScreenLogLayout { SCREEN_LOG_LINE = 0, SCREEN_LOG_COLUMN = 1, SCREEN_LOG_TAB = 2, SCREEN_LOG_SCROLLED = 3 };

// Empty lines, cursor at the top left, tabs of 4.
void ResetScreenLogText(ScreenLogText *log);

// Writes text (Shift-JIS) at the cursor. "\n" starts a new line, "\t" moves
// to the next tab stop, a line that is full continues on the next one and a
// double-byte character is never split between lines. visibleLines (taken
// into 1..80) is how many lines are shown: when the cursor moves below the
// last of them, every line moves up by one and the last is emptied.
void WriteScreenLogText(ScreenLogText *log, const char *text, int visibleLines);

#endif
