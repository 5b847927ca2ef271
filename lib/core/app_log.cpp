// AppLog.txt: every step and failure of the library, in Shift-JIS, CR LF line
// ends, each line prefixed with the milliseconds since the log started and
// indented with tabs. The file is opened and closed for every entry, so it is
// complete even when the process is killed.
#include "app_log.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "../Vexlo.h"
#include "../display/display.h"
#include "../font/font.h"
#include "file_access.h"
#include "library.h"
#include "log_text.h"
#include "main_window.h"
#include "screen_log_text.h"

namespace {

const char kLogFileName[] = "AppLog.txt";

struct LogState {
    int disabled;      // option: write nothing
    int noTimeStamp;   // option: no millisecond prefix
    int fileSeen;      // the last open of the file succeeded
    LogCursor cursor;
    DWORD startTime;
};
LogState g_log;

struct ScreenLogState {
    int started;
    int fontHandle;
    int fontLost;
    int fontSize;
    int active;
    ScreenLogText text;
};
ScreenLogState g_screenLog;

// Runs `write` with startDirectory current, then gives the caller back its own
// current directory.
template <typename Write>
void InStartDirectory(Write write)
{
    char saved[MAX_PATH] = {};
    FileAccessGetDir(saved);
    FileAccessSetDir(GetStartDirectory());
    write();
    FileAccessSetDir(saved);
}

int EnsureScreenLogFont()
{
    if (!g_screenLog.started && StartScreenLog() == -1) return -1;
    if (g_screenLog.fontLost) {
        g_screenLog.fontHandle = CreateFontToHandle(nullptr, g_screenLog.fontSize, 4, 1, 1, -1, -1);
        g_screenLog.fontLost = 0;
        SetFontDeletedFlag(g_screenLog.fontHandle, &g_screenLog.fontLost);
    }
    return 0;
}

// The lines that fit on the screen, one font size apart.
int VisibleScreenLogLines()
{
    int height = 0;
    GetScreenSize(nullptr, &height);
    int lines = g_screenLog.fontSize > 0 ? height / g_screenLog.fontSize : 0;
    return lines > SCREEN_LOG_LINES ? SCREEN_LOG_LINES : lines;
}

} // namespace

extern "C" int SetLogDisabled(int flag)
{
    g_log.disabled = flag;
    return 0;
}

extern "C" int SetLogNoTimeStamp(int flag)
{
    g_log.noTimeStamp = flag;
    return 0;
}

int StartAppLog()
{
    if (g_log.disabled) return 0;
    FILE *file = std::fopen(kLogFileName, "wt");
    g_log.fileSeen = file != nullptr;
    if (file) std::fclose(file);
    g_log.cursor = LogCursor{};
    g_log.startTime = timeGetTime();
    return 0;
}

int EndAppLog()
{
    return 0;
}

extern "C" int AddAppLog(const char *text)
{
    if (g_log.disabled || GetStartDirectory()[0] == '\0' || text == nullptr) return -1;
    InStartDirectory([text] {
        FILE *file = std::fopen(kLogFileName, "at");
        g_log.fileSeen = file != nullptr;
        if (!file) return;
        int elapsed = static_cast<int>(timeGetTime() - g_log.startTime);
        std::string fileText, debugText;
        ComposeLogEntry(g_log.cursor, text, !g_log.noTimeStamp, elapsed, fileText, debugText);
        std::fwrite(fileText.data(), 1, fileText.size(), file);
        std::fclose(file);
        if (!debugText.empty()) OutputDebugStringA(debugText.c_str());
    });
    return -1;
}

extern "C" int AddAppLogFormat(const char *format, ...)
{
    char line[1024];
    va_list args;
    va_start(args, format);
    int length = std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    FinishLogLine(line, sizeof line, length);
    return AddAppLog(line);
}

extern "C" int IncLogIndent(void)
{
    if (g_log.fileSeen) g_log.cursor.indent += 1;
    return 0;
}

extern "C" int DecLogIndent(void)
{
    if (g_log.fileSeen && g_log.cursor.indent > 0) g_log.cursor.indent -= 1;
    return 0;
}

extern "C" void ExitWithError(const char *text)
{
    AddAppLog(text);
    AddAppLog("\n");
    EndLibrary();
    if (GetMainWindowHandle() != nullptr) {
        while (!IsWindowGone() && ProcessMessage() == 0) {
        }
    }
    AddAppLog("ソフトをエラー終了します");
    ExitProcess(static_cast<UINT>(-1));
}

int StartScreenLog()
{
    if (!IsDisplayStarted() || GetMainWindowHandle() == nullptr) return -1;
    if (g_screenLog.started) return 0;
    g_screenLog.started = 1;
    g_screenLog.fontSize = 16;
    g_screenLog.fontHandle = -1;
    g_screenLog.fontLost = 1;
    EnsureScreenLogFont();
    g_screenLog.active = 0;
    ResetScreenLogText(&g_screenLog.text);
    return 0;
}

int EndScreenLog()
{
    if (!g_screenLog.started) return 0;
    if (!g_screenLog.fontLost) DeleteFontToHandle(g_screenLog.fontHandle);
    g_screenLog.fontLost = 1;
    g_screenLog.fontHandle = -1;
    g_screenLog.started = 0;
    return 0;
}

int GetScreenLogActive()
{
    return g_screenLog.active;
}

int DrawScreenLog()
{
    if (EnsureScreenLogFont() == -1) return 0;
    int lineCount = VisibleScreenLogLines();
    int white = GetColor(255, 255, 255), black = GetColor(0, 0, 0);
    for (int i = 0; i < lineCount; ++i)
        DrawStringToHandle(0, i * g_screenLog.fontSize, g_screenLog.text.lines[i], white, g_screenLog.fontHandle, black,
                           0);
    return 0;
}

extern "C" int ScreenLogPrintf(const char *format, ...)
{
    if (format == nullptr || EnsureScreenLogFont() == -1) return -1;
    char buffer[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    WriteScreenLogText(&g_screenLog.text, buffer, VisibleScreenLogLines());
    g_screenLog.active = 1;
    return 0;
}

extern "C" int ClearScreenLog(void)
{
    if (!g_screenLog.started) return -1;
    ResetScreenLogText(&g_screenLog.text);
    g_screenLog.active = 0;
    return 0;
}

int GetScreenLogFontHandle()
{
    return g_screenLog.started && !g_screenLog.fontLost ? g_screenLog.fontHandle : -1;
}

const char *GetScreenLogLine(int line)
{
    return line >= 0 && line < SCREEN_LOG_LINES ? g_screenLog.text.lines[line] : nullptr;
}
