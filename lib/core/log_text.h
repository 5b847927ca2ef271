// Line bookkeeping of the application log, free of any file or platform call.
#ifndef VEXLO_CORE_LOG_TEXT_H
#define VEXLO_CORE_LOG_TEXT_H

#include <string>

// Where the log stands between two writes.
struct LogCursor {
    int indent = 0;        // tabs put at the start of each new line
    bool lineOpen = false; // the last text did not end with "\n"
};

// What one log call adds: `file` gets the time prefix (when a new line starts
// and stamps are on) followed by the tabs and the text; `debug` gets the same
// without the prefix. Updates the cursor's open-line flag. An empty text adds
// nothing and leaves the cursor as it was.
void ComposeLogEntry(LogCursor &cursor, const char *text, bool timeStamp, int elapsedMs,
                     std::string &file, std::string &debug);

// Formats into a line of at most capacity - 1 bytes (terminator included in
// capacity) that always ends with "\n": an over-long text is cut before the
// newline without splitting a double-byte character.
void FinishLogLine(char *buffer, size_t capacity, int formattedLength);

#endif
