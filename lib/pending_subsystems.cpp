// Operations of subsystems that are not built yet. Each answers as a part
// that has not started: starts fail the way their real failure goes, ends do
// nothing, draws and queries return -1. Each subsystem removes its entries
// here when it is built.
#include <windows.h>

#include "Vexlo.h"
#include "core/app_log.h"
#include "core/char_buffer.h"
#include "core/clock.h"
#include "core/core_state.h"
#include "core/main_window.h"
#include "core/system_report.h"
#include "display/display.h"
#include "font/font.h"
#include "graph/graph_restore.h"
#include "input/input.h"
#include "net/network.h"
#include "sound/sound.h"

// ---- Main window, messages, clocks, system report --------------------------

int CreateMainWindow()
{
    return AddAppLog("ウインドウの作成に失敗しました\n");
}
int DestroyMainWindow() { return 0; }
void BringWindowToFront(HWND, int) {}
HWND GetMainWindowHandle() { return Core().window.mainWindow; }
int GetWindowModeFlag() { return Core().options.windowModeFlag; }
int GetActiveFlag() { return Core().window.activeFlag; }
int GetCloseRequestedFlag() { return Core().window.closeRequested; }
int IsWindowGone() { return Core().window.windowGone; }
extern "C" int ProcessMessage(void) { return -1; }
extern "C" int WaitKey(void) { return 0; }
void ProbePerformanceCounter() {}
int WriteSystemReport() { return 0; }
int StartCharBuffer() { return 0; }

extern "C" int ChangeWindowMode(int flag)
{
    AddAppLog("ChangeWindowMode実行 \n");
    if (flag == Core().options.windowModeFlag) return 0;
    Core().options.windowModeFlag = flag;
    return GetMainWindowHandle() == nullptr ? 0 : -1;
}

// ---- Display ------------------------------------------------------------------

namespace {
int g_requestedBits;
int g_requestedWidth;
int g_requestedHeight;
int g_requestedRefresh;
} // namespace

int StartDisplay()
{
    AddAppLog("DirectDraw オブジェクトの取得を行います....  ");
    AddAppLog("オブジェクトの取得に失敗しました\n");
    ExitWithError("DirectDrawオブジェクトの作成に失敗しました");
}
int EndDisplay() { return 0; }
int IsDisplayStarted() { return 0; }
void SetVSyncWaitFlag(int) {}
int GetRequestedScreenBitDepth() { return g_requestedBits == 0 ? 16 : g_requestedBits; }
void GetScreenSize(int *width, int *height)
{
    if (width) *width = g_requestedWidth == 0 ? 640 : g_requestedWidth;
    if (height) *height = g_requestedHeight == 0 ? 480 : g_requestedHeight;
}
extern "C" int SetScreenMode(int width, int height, int colourBits, int refreshRate)
{
    if (GetMainWindowHandle() != nullptr) return -1;
    if (width != -1) g_requestedWidth = width;
    if (height != -1) g_requestedHeight = height;
    if (colourBits != -1) g_requestedBits = colourBits;
    if (refreshRate != -1) g_requestedRefresh = refreshRate;
    return 0;
}
extern "C" int SetDrawScreen(int) { return -1; }
extern "C" int ClearDrawScreen(void) { return -1; }
extern "C" int FlipScreen(void) { return -1; }

// ---- Graphs, drawing, fonts ---------------------------------------------------

void InstallDefaultGraphRestore() {}
extern "C" int LoadGraph(const char *) { return -1; }
extern "C" int DrawGraph(int, int, int, int) { return -1; }
extern "C" int GetColor(int, int, int) { return 0; }
int CreateFontToHandle(const char *, int, int, int, int, int, int) { return -1; }
int DeleteFontToHandle(int) { return -1; }
int SetFontDeletedFlag(int, int *) { return -1; }
int DrawStringToHandle(int, int, const char *, int, int, int) { return -1; }
extern "C" int DrawString(int, int, const char *, int, int) { return -1; }

// ---- Input ----------------------------------------------------------------------

int InitInput()
{
    AddAppLog("DirectInput関係初期化処理\n");
    IncLogIndent();
    AddAppLog("DirectInputオブジェクトの取得中... ");
    AddAppLog("取得に失敗\n");
    DecLogIndent();
    return -1;
}
int EndInput() { return 0; }
int IsInputStarted() { return 0; }
int RefreshKeyboardState() { return -1; }
const unsigned char *GetKeyboardStates()
{
    static const unsigned char none[256] = {};
    return none;
}
int GetPadCount() { return 0; }
int FlushKeyboardBuffer() { return 0; }
namespace {
int g_hookedKeys[2];
}
void SetHookedKeyFlag(int which, int held) { g_hookedKeys[which & 1] = held; }
int GetHookedKeyFlag(int which) { return g_hookedKeys[which & 1]; }
extern "C" int CheckKey(int) { return 0; }
extern "C" int GetJoypadState(int) { return 0; }

// ---- Sound and network ------------------------------------------------------------

int InitSound() { return -1; }
int EndSound() { return 0; }
int ReleaseStreamMusic() { return 0; }
int StopMusic() { return 0; }
int EndNetwork() { return 0; }
int ResetDownloads() { return 0; }
int EndAllDownloads() { return 0; }
