/*
 * Vexlo: a 2D game library for Windows.
 *
 * A game calls InitLibrary once, runs its own frame loop and ends with
 * EndLibrary:
 *
 *     SetScreenMode(640, 480, 16, -1);
 *     ChangeWindowMode(1);
 *     if (InitLibrary() == -1) return -1;
 *     SetDrawScreen(SCREEN_BACK);
 *     int player = LoadGraph("Player.png");
 *     while (ProcessMessage() == 0) {
 *         ClearDrawScreen();
 *         DrawGraph(x, y, player, 1);
 *         FlipScreen();
 *         if (CheckKey(1) == 1) break;      // Esc
 *     }
 *     EndLibrary();
 *
 * Every function takes and returns plain integers: handles for graphs, fonts
 * and the other resources, 0 for success and -1 for failure unless noted.
 * Texts are byte strings in the ANSI code page (Shift-JIS).
 * Everything the library does is logged to AppLog.txt in the directory that
 * was current when InitLibrary began.
 */
#ifndef VEXLO_H
#define VEXLO_H

#ifdef __cplusplus
extern "C" {
#endif

/* Draw-screen values besides graph handles. */
#define SCREEN_FRONT (-4)
#define SCREEN_BACK  (-2)

/* ---- Start and end ---------------------------------------------------- */

/* Brings the whole library up: log, window, input, sound, display.
   0 on success; -1 when a step failed (the library is then ended again). */
int InitLibrary(void);
/* Takes the library down in order; always 0. */
int EndLibrary(void);

/* ---- Start-up options (set before InitLibrary) ------------------------ */

/* Non-zero: nothing is written to AppLog.txt. */
int SetLogDisabled(int flag);
/* Non-zero: log lines get no millisecond prefix. */
int SetLogNoTimeStamp(int flag);
/* Non-zero: InitLibrary skips the display start (a window without drawing). */
int SetNoDisplayStart(int flag);

/* ---- Application log -------------------------------------------------- */

/* Appends text to the log; a text without a final newline leaves the line
   open for the next call. Always returns -1, so that a failure path can
   end with `return AddAppLog("...");`. */
int AddAppLog(const char *text);
/* printf-style; each call writes one complete line. Returns -1. */
int AddAppLogFormat(const char *format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
int IncLogIndent(void);
int DecLogIndent(void);
/* Logs text, ends the library and the process with exit code -1. */
void ExitWithError(const char *text)
#if defined(__GNUC__)
    __attribute__((noreturn))
#endif
    ;

/* ---- File access ---------------------------------------------------------
   Every file the library reads goes through this table, so a game can serve
   the library's reads from its own archive. Handles are opaque pointers. */
typedef struct FileAccessFunctions {
    void *(*open)(const char *fileName, int readAhead, int blocking); /* null on failure */
    int (*close)(void *file);                          /* 0, or -1 */
    int (*tell)(void *file);                           /* position, -1 for an unknown file */
    int (*seek)(void *file, int offset, int origin);   /* origin 0 start, 1 current, 2 end */
    int (*read)(void *buffer, int itemSize, int itemCount, void *file); /* whole items read */
    int (*eof)(void *file);                            /* non-zero after a read at the end */
    int (*idle)(void *file);                           /* 1 when no read is pending */
    int (*setDirectory)(const char *path);             /* non-zero on success */
    int (*getDirectory)(char *buffer);                 /* buffer of 260 chars; length */
} FileAccessFunctions;

/* Installs a copy of the table, or the default Win32 one with null. */
int SetFileAccessFunctions(const FileAccessFunctions *functions);

/* ---- Messages, waits and keys ------------------------------------------ */

/* Dispatches waiting window messages and runs the background work.
   0 to go on; -1 once the main window is gone. */
int ProcessMessage(void);
/* Waits for a key to be pressed and released. */
int WaitKey(void);

/* ---- Window mode and screen mode -------------------------------------- */

/* 1: run in a window, 0: full screen. Before InitLibrary it only sets the
   start-up choice. */
int ChangeWindowMode(int flag);
/* Width, height, colour bits and refresh rate; -1 keeps a value. */
int SetScreenMode(int width, int height, int colourBits, int refreshRate);

/* ---- Drawing ------------------------------------------------------------ */

int SetDrawScreen(int screen);
int ClearDrawScreen(void);
int FlipScreen(void);
int LoadGraph(const char *fileName);
int DrawGraph(int x, int y, int graphHandle, int transparent);
int DrawString(int x, int y, const char *text, int colour, int edgeColour);
int GetColor(int red, int green, int blue);

/* ---- Input -------------------------------------------------------------- */

/* 1 while the key (DirectInput key code) is held, else 0. */
int CheckKey(int keyCode);
/* Direction and button bits of a pad; input type 0x1001 joins the keyboard
   to the first pad. */
int GetJoypadState(int inputType);

#ifdef __cplusplus
}
#endif

#endif /* VEXLO_H */
