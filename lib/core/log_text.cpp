#include "log_text.h"

#include <cstring>

#include "sjis.h"

void ComposeLogEntry(LogCursor &cursor, const char *text, bool timeStamp, int elapsedMs,
                     std::string &file, std::string &debug)
{
    file.clear();
    debug.clear();
    size_t length = std::strlen(text);
    if (length == 0) return;

    if (!cursor.lineOpen) {
        if (timeStamp) file += std::to_string(elapsedMs) + ":";
        debug.append(static_cast<size_t>(cursor.indent), '\t');
    }
    debug.append(text, length);
    file += debug;
    cursor.lineOpen = text[length - 1] != '\n';
}

void FinishLogLine(char *buffer, size_t capacity, int formattedLength)
{
    // vsnprintf reports the length it wanted; a negative value is an encoding error.
    size_t length = formattedLength < 0 ? 0 : static_cast<size_t>(formattedLength);
    size_t room = capacity - 2; // the newline and the terminator
    if (length > room) length = SjisPrefixLength(buffer, std::strlen(buffer), room);
    buffer[length] = '\n';
    buffer[length + 1] = '\0';
}
