// The application log (AppLog.txt) and the screen log.
#ifndef VEXLO_CORE_APP_LOG_H
#define VEXLO_CORE_APP_LOG_H

// Empties AppLog.txt in the current directory and starts its time base.
int StartAppLog();
int EndAppLog();

int StartScreenLog();
int EndScreenLog();
int DrawScreenLog();
int GetScreenLogActive();
// The screen log's font (-1 while it has none) and its stored lines (0..79;
// null outside), for tests and the drawing.
int GetScreenLogFontHandle();
const char *GetScreenLogLine(int line);

#endif
