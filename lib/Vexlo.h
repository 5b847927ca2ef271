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
/* Caption of the main window ("Vexlo" when none is set); up to 255 bytes. */
int SetMainWindowTitle(const char *title);
/* Non-zero: keep running (and drawing) while another program is active. */
int SetRunWhileInactive(int flag);
/* Non-zero: a second program of this library may run at the same time;
   otherwise the second one ends itself at start. */
int SetAllowDoubleStart(int flag);
/* Non-zero: Alt+Enter and the maximise box switch between window and full
   screen; the callback (may be null) is called with `data` after each switch. */
int SetAllowWindowModeToggle(int flag, void (*callback)(int data), int data);
/* Window decoration, 0 to 4: 0 caption and borders (default), 1 borders
   without caption, 2 bare, 3 tool window with caption, 4 bare tool window. */
int SetWindowStyleIndex(int index);
/* Icon resource of the program to use for the window (0: id 0x7F00). */
int SetWindowIconId(int resourceId);
/* Menu resource shown in window mode; the callback gets each command id. */
int SetWindowMenu(int menuResourceId, void (*callback)(int commandId));
/* Places the window-mode window's top-left corner here instead of centring it. */
int SetWindowPosition(int x, int y);
/* Called first with every message of the main window (window handle,
   message, wParam, lParam); its result is ignored. Null removes it. */
typedef void (*UserMessageHook)(void *window, unsigned int message, unsigned long long wParam, long long lParam);
int SetUserMessageHook(UserMessageHook hook);

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

/* ---- Tracked allocation ----------------------------------------------------
   Blocks that carry a 64-byte header with the place of the allocating call
   and a guard copy of it, so that leaks and overwritten headers show up in
   AppLog.txt. The totals count from the program's start, InitLibrary or not. */

/* A block of size bytes; null when size is negative or memory is short. */
void *AllocTrackedMemory(int size, const char *sourceFile, int sourceLine);
/* Null memory allocates. Null on failure, the old block then unchanged. */
void *ReallocTrackedMemory(void *memory, int size, const char *sourceFile, int sourceLine);
/* 0; -1 for a pointer that is not a live block (left alone), or when the
   block's header was overwritten (logged, and the block still released). */
int FreeTrackedMemory(void *memory);
/* Logs a line for every live block, oldest first, then the totals; -1. */
int DumpTrackedMemory(void);
/* Bytes and blocks currently allocated; 0. */
int GetTrackedMemoryTotals(int *totalSize, int *blockCount);

#define VX_ALLOC(size) AllocTrackedMemory((size), __FILE__, __LINE__)
#define VX_REALLOC(memory, size) ReallocTrackedMemory((memory), (size), __FILE__, __LINE__)
#define VX_FREE(memory) FreeTrackedMemory(memory)

/* ---- Messages, waits and keys ------------------------------------------ */

/* Dispatches waiting window messages and runs the background work.
   0 to go on; -1 once the main window is gone. */
int ProcessMessage(void);
/* Waits until no key is held, then for a key to be pressed and released.
   0 after a press and release; the code still held when the window went. */
int WaitKey(void);
/* A non-zero code while any key, pad input or mouse button is held. */
int CheckHitKeyAll(void);
/* Bit 0 left, bit 1 right, bit 2 middle mouse button held. */
int GetMouseButtons(void);

/* ---- Time and random numbers ------------------------------------------- */

/* Milliseconds of a free-running clock (compare differences as int).
   useCpuCounter 1 reads the processor's counter when there is one. */
int GetMilliCount(int useCpuCounter);
/* Microseconds of a free-running clock. */
long long GetMicroCount(int useCpuCounter);
/* Waits while pumping messages; returns early once the window is gone. */
int WaitMilliseconds(int ms);
/* Restarts the random sequence (the library seeds it from the clock at start). */
void SeedRandom(unsigned int seed);
/* The next number of the random sequence, 0 to 0xFFFFFFFF. */
unsigned int GetRandomNumber(void);

/* ---- System facts ---------------------------------------------------------- */

/* Library version (0x216E), DirectX version found (0x70000 for 7.0, 0x80100
   for 8.1) and Windows version code; each pointer may be null. */
int GetVersionCodes(int *libraryVersion, int *directXVersion, int *osVersion);

/* ---- Window mode and screen mode -------------------------------------- */

/* 1: run in a window, 0: full screen. Before InitLibrary it only sets the
   start-up choice. */
int ChangeWindowMode(int flag);
/* Width, height, colour bits and refresh rate; -1 keeps a value. Before
   InitLibrary it only records them (0). Afterwards the display is rebuilt
   and every graph is deleted: 0 when the requested mode is in force, -2
   when it fell back to 640 x 480 x 16, else -1 (the previous mode stayed, or
   a window took the desktop's colour depth). */
int SetScreenMode(int width, int height, int colourBits, int refreshRate);

/* ---- Drawing ------------------------------------------------------------ */

/* The target of drawing: SCREEN_BACK, SCREEN_FRONT or a graph handle.
   -1 before the display started or for a graph that cannot be drawn into
   (the previous target then stays). */
int SetDrawScreen(int screen);
/* Clipping rectangle of all drawing: left, top, right, bottom (exclusive). */
int SetDrawArea(int x1, int y1, int x2, int y2);
/* Fills the draw screen with black. */
int ClearDrawScreen(void);
/* Presents the back screen: a page flip in full screen, a blit into the
   window in window mode, on the vertical blank. */
int FlipScreen(void);
/* Waits for `count` vertical blanks (0: until the next blank begins).
   -1 without a display or once the window is gone. */
int WaitVSync(int count);
/* Draws a graph with its top-left at (x, y) under the blend settings;
   transparent skips its colour-key pixels. 0 (also when nothing is
   visible), or -1 for a handle that names no live graph. */
int DrawGraph(int x, int y, int graphHandle, int transparent);
/* Draws the width x height part of the graph that starts at (srcX, srcY)
   with its top-left at (x, y); turn mirrors the graph left to right first. */
int DrawRectGraph(int x, int y, int srcX, int srcY, int width, int height, int graphHandle, int transparent,
                  int turn);
/* Draws a graph stretched or shrunk into (x1, y1)-(x2, y2); corners given in
   reverse order mirror that axis. -1 also for an empty rectangle. */
int DrawExtendGraph(int x1, int y1, int x2, int y2, int graphHandle, int transparent);
/* Draws a graph mirrored left to right at its natural size. */
int DrawTurnGraph(int x, int y, int graphHandle, int transparent);
/* Fills every pixel of a graph with the colour and alpha (0..255 each). */
int FillGraphColor(int graphHandle, int red, int green, int blue, int alpha);
int DrawString(int x, int y, const char *text, int colour, int edgeColour);
int GetColor(int red, int green, int blue);

/* ---- Graphs --------------------------------------------------------------- */

/* Graphs are images held by the display, named by handles. A screen-mode
   change deletes every graph: handles from before it are stale. */

/* Loads an image file (BMP, JPEG, PNG, TGA, DDS, BGRA) into a new graph in
   the screen's pixel format. A companion "name_a.ext" beside the file gives
   the alpha through its red channel. The handle, or -1. */
int LoadGraph(const char *fileName);
/* A new graph of the size (1 to 32767 each way) with undefined pixels; with
   alphaChannel it keeps per-pixel alpha. textureWish lets it become a
   Direct3D texture. The handle, or -1 before the display started. */
int CreateGraph(int width, int height, int textureWish, int alphaChannel);
/* Deletes a graph; logIt non-zero logs the deletion. 0, or -1 for a handle
   that names no live graph. */
int DeleteGraph(int graphHandle, int logIt);
/* Size of a graph, or of the screen for SCREEN_FRONT and SCREEN_BACK;
   either pointer may be null. 0 or -1. */
int GetGraphSize(int graphHandle, int *width, int *height);
/* *flag becomes 0 now and 1 when the graph is deleted (null stops that). */
int SetGraphDeletedFlag(int graphHandle, int *flag);

/* ---- Blending ------------------------------------------------------------ */

/* Blend modes of SetDrawBlendMode. The parameter (0..255) weighs the source. */
#define BLEND_NONE    0 /* copy */
#define BLEND_ALPHA   1 /* source * P + destination * (1 - P) */
#define BLEND_ADD     2 /* destination + source * P, saturated */
#define BLEND_SUB     3 /* destination - source * P, floored at 0 */
#define BLEND_MUL     4 /* destination * source */
#define BLEND_ADD_RAW 5 /* add without the parameter (Direct3D only) */
#define BLEND_KEEP    7 /* leaves mode and parameter as they are */
#define BLEND_XOR     8 /* destination XOR source (16-bit screens) */

/* Sets the blend mode and its parameter (clamped to 0..255) for every later
   draw. Returns 0. */
int SetDrawBlendMode(int mode, int parameter);

/* ---- Fonts and text ------------------------------------------------------- */

/* Font types: bit 0 edged, bit 1 antialiased. */
#define FONT_PLAIN             0
#define FONT_EDGED             1
#define FONT_ANTIALIASED       2
#define FONT_ANTIALIASED_EDGED 3

/* A font of the face (null: the system's), size in pixels (-1: 16),
   thickness 0..9 (-1: 6) and type (-1: plain); charSetIndex 0 default,
   1 Shift-JIS, 2 Hangeul. slot and keepCheck are -1 (any slot, a new
   handle). The handle, or -1 (before the display started, too). A screen
   mode change deletes every font. */
int CreateFontToHandle(const char *faceName, int size, int thickness, int fontType, int charSetIndex, int slot,
                       int keepCheck);
int DeleteFontToHandle(int fontHandle);
/* 1 for a live font handle, else 0. */
int CheckFontHandle(int fontHandle);
/* The size, or -1. */
int GetFontSizeToHandle(int fontHandle);
/* The font the library draws DrawString with. */
int GetDefaultFontHandle(void);
/* Draws text with its top-left at (x, y) in the colour (a GetColor value);
   edged fonts take edgeColour around the characters; vertical 1 stacks the
   characters downwards. 0 (also for an empty text), or -1 for a font
   handle that names no live font (logged). */
int DrawStringToHandle(int x, int y, const char *text, int colour, int fontHandle, int edgeColour, int vertical);

/* ---- Screen log -------------------------------------------------------------
   Lines of text drawn over every frame at FlipScreen, white with a black
   edge, 16 pixels apart from the top of the screen. */

/* printf-style: writes at the end of the screen log ("\n" starts a line,
   long lines wrap, the lines scroll up when the screen is full) and shows
   it. 0, or -1 before the display started. */
int ScreenLogPrintf(const char *format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
/* Empties the screen log and hides it; -1 when it is not started. */
int ClearScreenLog(void);

/* ---- Input -------------------------------------------------------------- */

/* 1 while the key (DirectInput key code) is held, else 0. */
int CheckKey(int keyCode);
/* Direction and button bits of a pad; input type 0x1001 joins the keyboard
   to the first pad. */
int GetJoypadState(int inputType);

/* ---- Sound and music ------------------------------------------------------ */

int StopMusic(void);

#ifdef __cplusplus
}
#endif

#endif /* VEXLO_H */
