// InitLibrary and EndLibrary: the order in which the subsystems start and end.
#include "library.h"

#include <windows.h>
#include <objbase.h>

#include <cstring>

#include "../Vexlo.h"
#include "../display/display.h"
#include "../graph/graph_restore.h"
#include "../input/input.h"
#include "../net/network.h"
#include "../sound/sound.h"
#include "app_log.h"
#include "char_buffer.h"
#include "clock.h"
#include "core_state.h"
#include "file_access.h"
#include "main_window.h"
#include "system_report.h"

namespace {

struct LibraryState {
    int running;
    int ending;
    int comStarted;
    char startDirectory[MAX_PATH];
};
LibraryState g_library;

int ReadRealDesktopColourBits()
{
    HDC screen = GetDC(nullptr);
    int bits = GetDeviceCaps(screen, PLANES) * GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    return bits;
}

int (*g_desktopColourBitsReader)() = ReadRealDesktopColourBits;

int StartCom()
{
    if (g_library.comStarted) return -1;
    AddAppLog("ＣＯＭの初期化... ");
    if (FAILED(CoInitialize(nullptr))) return AddAppLog("ＣＯＭの初期化に失敗しました\n");
    AddAppLog("成功しました\n");
    g_library.comStarted = 1;
    return 0;
}

int EndCom()
{
    if (!g_library.comStarted) return -1;
    CoUninitialize();
    AddAppLog("ＣＯＭを終了... 完了\n");
    g_library.comStarted = 0;
    return 0;
}

// A 24-bit screen cannot be drawn by the blitters: refuse a 24-bit desktop in
// window mode and a requested 24-bit full screen.
bool IsTwentyFourBitScreen()
{
    return (ReadDesktopColourBits() == 24 && GetWindowModeFlag() == 1) ||
           GetRequestedScreenBitDepth() == 24;
}

} // namespace

int IsLibraryRunning() { return g_library.running; }
int GetLibraryEnding() { return g_library.ending; }
void SetLibraryEnding(int value) { g_library.ending = value; }
const char *GetStartDirectory() { return g_library.startDirectory; }

void RecordStartDirectory()
{
    char directory[MAX_PATH] = {};
    FileAccessGetDir(directory);
    std::memcpy(g_library.startDirectory, directory, sizeof directory);
}

void SetDesktopColourBitsReader(int (*reader)())
{
    g_desktopColourBitsReader = reader ? reader : ReadRealDesktopColourBits;
}

int ReadDesktopColourBits() { return g_desktopColourBitsReader(); }

extern "C" int InitLibrary(void)
{
    SetFileAccessFunctions(nullptr);
    RecordStartDirectory();
    StartAppLog();

    if (IsTwentyFourBitScreen())
        return AddAppLog("Ｖｅｘｌｏライブラリは２４ビットカラーモードに対応していません\n");

    ProbePerformanceCounter();
    WriteSystemReport();
    InstallStreamFunctions();
    InstallDefaultGraphRestore();

    if (StartCom() == -1 || CreateMainWindow() == -1) {
        EndLibrary();
        return -1;
    }
    ResetDownloads();
    if (InitInput() == -1) {
        EndLibrary();
        return -1;
    }
    InitSound();
    if (!Core().options.noDisplayStart && StartDisplay() == -1) {
        EndLibrary();
        return -1;
    }
    StartCharBuffer();
    g_library.running = 1;
    SetVSyncWaitFlag(1);
    if (GetWindowModeFlag() == 0) BringWindowToFront(GetMainWindowHandle(), 1);
    StartScreenLog();
    return 0;
}

extern "C" int EndLibrary(void)
{
    g_library.ending = LIBRARY_ENDING_BY_END_LIBRARY;
    EndScreenLog();
    EndAllDownloads();
    EndNetwork();
    ReleaseStreamMusic();
    StopMusic();
    EndDisplay();
    EndInput();
    EndSound();
    DestroyMainWindow();
    EndCom();
    EndAppLog();
    g_library.running = 0;

    // The window may still have messages on their way (its destruction);
    // without a window nothing can arrive and nothing is waited for.
    if (GetMainWindowHandle() != nullptr) {
        while (ProcessMessage() == 0 && !IsWindowGone()) {
        }
    }
    if (g_library.startDirectory[0] != '\0') FileAccessSetDir(g_library.startDirectory);
    return 0;
}
