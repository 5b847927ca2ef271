// The screen log's lines and cursor.
#include "screen_log_text.h"

#include <cstring>

#include "sjis.h"

namespace {

const int kLineCapacity = SCREEN_LOG_LINE_BYTES - 1;

int ClampVisible(int visibleLines)
{
    if (visibleLines < 1) return 1;
    return visibleLines > SCREEN_LOG_LINES ? SCREEN_LOG_LINES : visibleLines;
}

// Moves the cursor to the start of the next line, scrolling when it would
// leave the visible lines.
void NewLine(ScreenLogText *log, int visible)
{
    log->layout[SCREEN_LOG_COLUMN] = 0;
    if (log->layout[SCREEN_LOG_LINE] + 1 < visible) {
        ++log->layout[SCREEN_LOG_LINE];
        return;
    }
    std::memmove(log->lines[0], log->lines[1], static_cast<size_t>(visible - 1) * SCREEN_LOG_LINE_BYTES);
    std::memset(log->lines[visible - 1], 0, SCREEN_LOG_LINE_BYTES);
    log->layout[SCREEN_LOG_LINE] = visible - 1;
    ++log->layout[SCREEN_LOG_SCROLLED];
}

// Appends bytes at the cursor; a character that does not fit starts a line.
void Put(ScreenLogText *log, const char *bytes, int count, int visible)
{
    if (log->layout[SCREEN_LOG_COLUMN] + count > kLineCapacity) NewLine(log, visible);
    char *line = log->lines[log->layout[SCREEN_LOG_LINE]];
    std::memcpy(line + log->layout[SCREEN_LOG_COLUMN], bytes, static_cast<size_t>(count));
    log->layout[SCREEN_LOG_COLUMN] += count;
    line[log->layout[SCREEN_LOG_COLUMN]] = '\0';
}

} // namespace

void ResetScreenLogText(ScreenLogText *log)
{
    std::memset(log->lines, 0, sizeof log->lines);
    log->layout[SCREEN_LOG_LINE] = 0;
    log->layout[SCREEN_LOG_COLUMN] = 0;
    log->layout[SCREEN_LOG_TAB] = 4;
    log->layout[SCREEN_LOG_SCROLLED] = 0;
}

void WriteScreenLogText(ScreenLogText *log, const char *text, int visibleLines)
{
    if (text == nullptr) return;
    const int visible = ClampVisible(visibleLines);
    // A smaller screen than before: the cursor comes back onto it.
    if (log->layout[SCREEN_LOG_LINE] >= visible) log->layout[SCREEN_LOG_LINE] = visible - 1;
    int tab = log->layout[SCREEN_LOG_TAB] > 0 ? log->layout[SCREEN_LOG_TAB] : 4;
    for (const char *p = text; *p != '\0';) {
        if (*p == '\n') {
            NewLine(log, visible);
            ++p;
        } else if (*p == '\t') {
            int spaces = tab - log->layout[SCREEN_LOG_COLUMN] % tab;
            for (int i = 0; i < spaces && log->layout[SCREEN_LOG_COLUMN] < kLineCapacity; ++i) Put(log, " ", 1, visible);
            ++p;
        } else if (IsSjisLeadByte(static_cast<unsigned char>(*p))) {
            if (p[1] == '\0') break; // a lead byte without its trail is dropped
            Put(log, p, 2, visible);
            p += 2;
        } else {
            Put(log, p, 1, visible);
            ++p;
        }
    }
}
