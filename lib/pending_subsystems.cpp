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
#include "d3d/d3d.h"
#include "movie/movie.h"
#include "net/network.h"
#include "sound/sound.h"

// ---- Text input and the IME -------------------------------------------------

int StartCharBuffer() { return 0; }
int IsCharBufferFull() { return 0; }
int PushCharCode(unsigned char) { return -1; }
void HandleImeMessage(HWND, UINT, WPARAM, LPARAM) {}
int ProcessKeyInput() { return 0; }
int DeleteAllKeyInputs() { return 0; }


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
int HasDisplayDevice() { return 0; }
int IsDisplayModeChanged() { return 0; }
int IsPresentingByBlit() { return 0; }
int GetScreenBitDepth() { return GetRequestedScreenBitDepth(); }
int ChangeScreenMode(int, int, int, int, int) { return -1; }
int ReleaseScreenSurfaces() { return 0; }
int ReleaseDisplay() { return 0; }
int RecreateDisplay() { return -1; }
int CreateScreenSurfaces() { return -1; }
int RecreatePalette() { return 0; }
int SelectDrawSurface(int) { return -1; }
int GetDrawScreen() { return SCREEN_FRONT; }
void SetFrontScreenTarget(int, int, int, int) {}
int ReleaseDirect3D() { return 0; }
int ReacquireDirect3D() { return -1; }
extern "C" int SetDrawArea(int, int, int, int) { return -1; }
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
int MarkGraphsForRestore() { return 0; }
int ReloadAllGraphs() { return 0; }
HBITMAP CreateDIBGraph(const char *) { return nullptr; }
int ReleaseMovieSurfaces() { return 0; }
int RestoreMovieSurfaces() { return 0; }
int PlayAllMovies() { return 0; }
int PauseAllMovies() { return 0; }
extern "C" int LoadGraph(const char *) { return -1; }
extern "C" int DrawGraph(int, int, int, int) { return -1; }
int CreateFontToHandle(const char *, int, int, int, int, int, int) { return -1; }
int DeleteFontToHandle(int) { return -1; }
int SetFontDeletedFlag(int, int *) { return -1; }
int DrawStringToHandle(int, int, const char *, int, int, int) { return -1; }
extern "C" int DrawString(int, int, const char *, int, int) { return -1; }

// ---- Sound and network ------------------------------------------------------------

int InitSound() { return -1; }
int EndSound() { return 0; }
int ReleaseStreamMusic() { return 0; }
int RefillAllStreams() { return 0; }
int UpdateMusicStates() { return 0; }
int PauseStreamMusic() { return 0; }
int ResumeStreamMusic() { return 0; }
void OnMidiNotify(WPARAM, LPARAM) {}
void OnStreamMusicEvent() {}
extern "C" int StopMusic(void) { return 0; }
int EndNetwork() { return 0; }
LRESULT OnSocketEvent(HWND, UINT, WPARAM, LPARAM) { return 0; }
int PumpNetworkMessages(int) { return 0; }
int ProcessDownloads() { return 0; }
int ResetDownloads() { return 0; }
int EndAllDownloads() { return 0; }
