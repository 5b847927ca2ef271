// The main window: its creation (with the double-start check and the clock
// choice), its destruction, its procedure, and the queries on its state.
#include "main_window.h"

#include <shellapi.h>

#include <cstdlib>
#include <cstring>

#include "../Vexlo.h"
#include "../d3d/d3d.h"
#include "../display/display.h"
#include "../graph/graph_restore.h"
#include "../input/input.h"
#include "../movie/movie.h"
#include "../net/network.h"
#include "../sound/sound.h"
#include "char_buffer.h"
#include "clock.h"
#include "core_state.h"
#include "library.h"
#include "mask_runs.h"
#include "system_report.h"
#include "window_mode.h"

namespace {

const char kClassName[] = "Vexlo";
const char kDefaultTitle[] = "Vexlo";
const char kKeyLockDll[] = "Ulvane.dll";
const int kDefaultIconId = 0x7F00;
const int kMaxDroppedFiles = 1000;
const UINT kHookedKey1Message = 0x46F;
const UINT kHookedKey2Message = 0x470;
const UINT kStreamMusicMessage = 0x522;

const WindowStyle kWindowModeStyles[5] = {
    {WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE},
    {WS_POPUP | WS_SYSMENU, WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE},
    {WS_POPUP | WS_SYSMENU, 0},
    {WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, WS_EX_TOOLWINDOW},
    {WS_POPUP | WS_SYSMENU, WS_EX_TOOLWINDOW},
};
const WindowStyle kFullScreenStyle = {WS_POPUP, WS_EX_TOPMOST};

CoreOptions &Options() { return Core().options; }
CoreWindowState &Window() { return Core().window; }

int ReadScreenColourBits()
{
    HDC screen = GetDC(nullptr);
    int bits = GetDeviceCaps(screen, PLANES) * GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    return bits;
}

// A second program of this library ends itself unless double start is allowed.
void CheckDoubleStart()
{
    AddAppLog("ソフトの２重起動検査... ");
    if (FindWindowA(kClassName, nullptr) == nullptr) {
        AddAppLog("２重起動はされていませんでした\n");
        return;
    }
    if (!Options().allowDoubleStart) {
        AddAppLog("２重起動されています、ソフトを終了します\n");
        ExitProcess(0);
    }
    AddAppLog("２重起動されていますが続行します\n");
}

void LogMemory()
{
    MEMORYSTATUS status = {};
    status.dwLength = sizeof status;
    GlobalMemoryStatus(&status);
    AddAppLogFormat("メモリ総量:%.2fMB  空きメモリ領域:%.2fMB ", status.dwTotalPhys / 1048576.0,
                    status.dwAvailPhys / 1048576.0);
}

void LoadWindowMenu()
{
    CoreOptions &options = Options();
    options.menuHandle = nullptr;
    if (!options.useMenu) return;
    options.menuHandle = LoadMenuA(Window().instanceHandle, MAKEINTRESOURCEA(options.menuResourceId));
    options.menuResourceId = 0;
    if (options.menuHandle == nullptr) options.useMenu = 0;
}

bool RegisterWindowClass()
{
    CoreWindowState &window = Window();
    int iconId = Options().iconResourceId == 0 ? kDefaultIconId : Options().iconResourceId;
    WNDCLASSA windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = window.instanceHandle;
    windowClass.hIcon = LoadIconA(window.instanceHandle, MAKEINTRESOURCEA(iconId));
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(Options().windowRegion ? NULL_BRUSH : BLACK_BRUSH));
    windowClass.lpszClassName = kClassName;
    AddAppLog("ウインドウクラスを登録します... ");
    if (RegisterClassA(&windowClass) == 0) {
        AddAppLog("ウインドウクラスの登録に失敗しました\n");
        return false;
    }
    AddAppLog("登録に成功しました\n");
    return true;
}

HWND CreateWindowModeWindow(int width, int height)
{
    AddAppLog("ウインドウモード起動用のウインドウを作成します\n");
    Window().cursorVisible = 1;
    WindowStyle style = GetWindowModeStyle();
    RECT rect = {0, 0, width, height};
    AdjustWindowRectEx(&rect, style.style, TRUE, style.extendedStyle);
    InflateRect(&rect, 3, 3);
    OffsetRect(&rect, (GetSystemMetrics(SM_CXSCREEN) - width) / 2, (GetSystemMetrics(SM_CYSCREEN) - height) / 2);
    const CoreOptions &options = Options();
    int x = options.windowPositionSet ? options.windowPositionX : rect.left;
    int y = options.windowPositionSet ? options.windowPositionY : rect.top;
    return CreateWindowExA(style.extendedStyle, kClassName, options.windowTitle, style.style, x, y,
                           rect.right - rect.left, rect.bottom - rect.top, nullptr, options.menuHandle,
                           Window().instanceHandle, nullptr);
}

HWND CreateFullScreenWindow(int width, int height)
{
    AddAppLog("フルスクリーンモード用のウインドウを作成します\n");
    Window().cursorVisible = 0;
    return CreateWindowExA(kFullScreenStyle.extendedStyle, kClassName, Options().windowTitle, kFullScreenStyle.style,
                           0, 0, width, height, nullptr, nullptr, Window().instanceHandle, nullptr);
}

void UpdateClientRectFromWindow()
{
    CoreWindowState &window = Window();
    RECT client;
    GetClientRect(window.mainWindow, &client);
    POINT topLeft = {0, 0};
    ClientToScreen(window.mainWindow, &topLeft);
    OffsetRect(&client, topLeft.x, topLeft.y);
    window.clientRect = client;
}

// Not every import library of user32 carries this entry, so it is looked up.
void DisableIme(HWND target)
{
    typedef BOOL(WINAPI * EnableIme)(HWND, BOOL);
    EnableIme enable = reinterpret_cast<EnableIme>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("user32.dll"), "WINNLSEnableIME")));
    if (enable) enable(target, FALSE);
}

void HideCursorOverWindow()
{
    SetCursor(nullptr);
    while (ShowCursor(FALSE) >= 0) {
    }
}

// Shared by the focus regain in full screen and the desktop change in window mode.
void RecreateScreens()
{
    RecreateDisplay();
    CreateScreenSurfaces();
    RecreatePalette();
    SelectDrawSurface(GetDrawScreen());
    ReacquireDirect3D();
    ClearDrawScreen();
    FlipScreen();
    MarkGraphsForRestore();
    RestoreMovieSurfaces();
}

void ApplySystemKeyLock()
{
    CoreWindowState &window = Window();
    if (!window.systemKeyLock) return;
    int versionCode = 0;
    GetVersionCodes(nullptr, nullptr, &versionCode);
    if (versionCode < 0x104) {
        SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, window.activeFlag, nullptr, 0);
    } else if (window.activeFlag && window.keyLockHook == nullptr) {
        window.keyLockModule = LoadLibraryA(window.keyLockDllPath);
        if (window.keyLockModule != nullptr) {
            typedef HHOOK(WINAPI * SetKeyLock)(HWND);
            SetKeyLock setKeyLock = reinterpret_cast<SetKeyLock>(
                reinterpret_cast<void (*)()>(GetProcAddress(window.keyLockModule, "SetUlvaneDll")));
            if (setKeyLock != nullptr) window.keyLockHook = setKeyLock(window.mainWindow);
            if (window.keyLockHook == nullptr) {
                FreeLibrary(window.keyLockModule);
                window.keyLockModule = nullptr;
            }
        }
    } else if (!window.activeFlag && window.keyLockHook != nullptr) {
        UnhookWindowsHookEx(window.keyLockHook);
        FreeLibrary(window.keyLockModule);
        window.keyLockHook = nullptr;
        window.keyLockModule = nullptr;
    }
    window.keyLockApplied = 1;
}

void OnActivate(WPARAM wParam)
{
    CoreWindowState &window = Window();
    window.activeFlag = LOWORD(wParam);
    if (IsPresentingByBlit()) return;
    bool fullScreen = Options().windowModeFlag == 0;
    if (window.activeFlag) {
        if (fullScreen && window.surfacesLost && IsLibraryRunning()) {
            ReleaseDirect3D();
            ReleaseScreenSurfaces();
            EndInput();
            ReleaseDisplay();
            RecreateScreens();
            window.surfacesLost = 0;
        } else {
            PlayAllMovies();
        }
        ResumeStreamMusic();
    } else {
        PauseStreamMusic();
        if (fullScreen && IsDisplayModeChanged() && HasDisplayDevice()) {
            ReleaseMovieSurfaces();
            window.surfacesLost = 1;
        } else {
            PauseAllMovies();
        }
    }
    ApplySystemKeyLock();
}

void RequestClose()
{
    CoreWindowState &window = Window();
    if (window.closeRequested) return;
    window.closeRequested = 1;
    PostMessageA(window.mainWindow, WM_CLOSE, 0, 0);
}

void OnDisplayChange(WPARAM wParam, LPARAM lParam)
{
    CoreWindowState &window = Window();
    if (Options().windowModeFlag && !window.modeChangeBusy) {
        int bits = static_cast<int>(wParam);
        int width = LOWORD(lParam), height = HIWORD(lParam);
        int screenWidth = 0, screenHeight = 0;
        GetScreenSize(&screenWidth, &screenHeight);
        int screenBits = GetScreenBitDepth();
        if (bits != screenBits || width != screenWidth || height != screenHeight) {
            if (bits == 24 || (bits != screenBits && bits == 8) || width < screenWidth || height < screenHeight) {
                AddAppLog("復元関数が登録されていないためか画面が２４ビットカラーに変更されたため終了します\n");
                AddAppLog("またはスクリーンが小さすぎるためか色ビット数の違いが大きいためか終了します\n");
                RequestClose();
            } else {
                ReleaseMovieSurfaces();
                ReleaseDirect3D();
                ReleaseScreenSurfaces();
                ReleaseDisplay();
                EndInput();
                RecreateScreens();
            }
        }
    }
    window.displayChangeSeen = 1;
}

void OnKeyDown(WPARAM key)
{
    if (IsCharBufferFull()) return;
    unsigned char code;
    switch (key) {
    case VK_DELETE: code = 0x10; break;
    case VK_LEFT: code = 0x1D; break;
    case VK_RIGHT: code = 0x1C; break;
    case VK_UP: code = 0x1E; break;
    case VK_DOWN: code = 0x1F; break;
    default: return;
    }
    PushCharCode(code);
}

void OnDropFiles(HDROP drop)
{
    CoreWindowState &window = Window();
    UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count && window.droppedFileCount < kMaxDroppedFiles; ++i) {
        UINT length = DragQueryFileA(drop, i, nullptr, 0);
        char *name = static_cast<char *>(std::malloc(length + 1));
        if (name == nullptr) break;
        DragQueryFileA(drop, i, name, length + 1);
        window.droppedFiles[window.droppedFileCount++] = name;
    }
    DragFinish(drop);
}

void FreeDroppedFiles()
{
    CoreWindowState &window = Window();
    for (int i = 0; i < window.droppedFileCount; ++i) std::free(window.droppedFiles[i]);
    window.droppedFileCount = 0;
}

} // namespace

WindowStyle GetWindowModeStyle()
{
    WindowStyle style = kWindowModeStyles[Options().windowStyleIndex];
    if (Options().allowWindowModeToggle) style.style |= WS_MAXIMIZEBOX;
    return style;
}

WindowStyle GetFullScreenStyle()
{
    return kFullScreenStyle;
}

int CreateMainWindow()
{
    Core().window = CoreWindowState{};
    CoreWindowState &window = Window();
    std::strcpy(window.keyLockDllPath, kKeyLockDll);
    window.instanceHandle = GetModuleHandleA(nullptr);

    CheckDoubleStart();
    LogMemory();
    LoadWindowMenu();
    window.desktopWidth = GetSystemMetrics(SM_CXSCREEN);
    window.desktopHeight = GetSystemMetrics(SM_CYSCREEN);
    window.desktopColourBits = ReadScreenColourBits();
    int width = 0, height = 0;
    GetScreenSize(&width, &height);
    AddAppLog("ソフトの実行優先レベルを上げました\n");
    if (!RegisterWindowClass()) return -1;

    if (Options().windowTitle[0] == '\0') std::strcpy(Options().windowTitle, kDefaultTitle);
    window.mainWindow = Options().windowModeFlag ? CreateWindowModeWindow(width, height)
                                                 : CreateFullScreenWindow(width, height);
    if (window.mainWindow == nullptr) return AddAppLog("ウインドウの作成に失敗しました\n");

    window.closeRequested = 0;
    window.windowDestroyed = 0;
    window.activeFlag = 1;
    if (!Options().windowModeFlag) {
        AddAppLog("カーソルを不可視にしました\n");
        SetCursor(nullptr);
    }
    AddAppLog("ＩＭＥを無効にしました\n");
    DisableIme(window.mainWindow);
    if (Options().windowModeFlag) UpdateClientRectFromWindow();
    SetLibraryEnding(LIBRARY_ENDING_NO);

    ChooseClock();
    SeedRandom(static_cast<unsigned>(GetMilliCount(0)));
    int start = GetMilliCount(0);
    while (GetMilliCount(0) - start < 200) {
        ProcessMessage();
    }
    FitWindowToScreen();
    return 0;
}

int DestroyMainWindow()
{
    CoreWindowState &window = Window();
    if (window.windowDestroyed) {
        // Closed by the user already; the class goes too, so that the library
        // can be started again in this process.
        UnregisterClassA(kClassName, window.instanceHandle);
        return 0;
    }
    if (window.keyLockHook != nullptr) {
        UnhookWindowsHookEx(window.keyLockHook);
        FreeLibrary(window.keyLockModule);
        window.keyLockHook = nullptr;
        window.keyLockModule = nullptr;
    }
    SetWindowShape(nullptr);
    if (Options().menuHandle != nullptr) {
        if (window.mainWindow) SetMenu(window.mainWindow, nullptr);
        DestroyMenu(Options().menuHandle);
        Options().menuHandle = nullptr;
    }
    // Without a window (its creation failed) there is nothing to close or wait for.
    if (window.mainWindow != nullptr) {
        if (!window.closeRequested) {
            window.closeRequested = 1;
            PostMessageA(window.mainWindow, WM_CLOSE, 0, 0);
        }
        while (ProcessMessage() == 0) {
        }
    }
    DeleteAllKeyInputs();
    UnregisterClassA(kClassName, window.instanceHandle);
    FreeDroppedFiles();
    return 0;
}

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CoreOptions &options = Options();
    CoreWindowState &window = Window();
    if (options.userMessageHook)
        options.userMessageHook(hwnd, message, static_cast<unsigned long long>(wParam), static_cast<long long>(lParam));

    switch (message) {
    case WM_CREATE:
        if (options.windowRegion) SetWindowRgn(hwnd, options.windowRegion, FALSE);
        break;
    case WM_DESTROY:
        AddAppLog("ウインドウが破棄されようとしています\n");
        window.windowDestroyed = 1;
        AddAppLog("ソフトを終了する準備が整いました\n");
        PostQuitMessage(0);
        window.windowGone = 1;
        break;
    case WM_MOVE:
        if (options.windowModeFlag && !window.modeChangeBusy) TrackClientRect(lParam);
        break;
    case WM_SIZE:
        if (wParam == SIZE_MAXIMIZED) {
            if (options.allowWindowModeToggle && !window.modeChangeBusy && options.windowModeFlag)
                window.toggleRequested = 1;
        } else {
            FitWindowToScreen();
        }
        break;
    case WM_ACTIVATE:
        OnActivate(wParam);
        break;
    case WM_CLOSE:
        AddAppLog("ウインドウを閉じようとしています\n");
        DestroyWindow(hwnd);
        if (GetLibraryEnding() == LIBRARY_ENDING_NO) SetLibraryEnding(LIBRARY_ENDING_WINDOW_CLOSED);
        return 0; // the window is destroyed already; the default would destroy it again
    case WM_SETCURSOR:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
        if (!window.cursorVisible) HideCursorOverWindow();
        break;
    case WM_DISPLAYCHANGE:
        OnDisplayChange(wParam, lParam);
        break;
    case WM_KEYDOWN:
        OnKeyDown(wParam);
        break;
    case WM_CHAR:
        PushCharCode(static_cast<unsigned char>(wParam & 0xFF));
        break;
    case WM_SYSCHAR:
        if (wParam == '\r' && options.allowWindowModeToggle) {
            window.toggleRequested = 1;
            return 0;
        }
        break;
    case WM_IME_STARTCOMPOSITION:
    case WM_IME_ENDCOMPOSITION:
    case WM_IME_COMPOSITION:
    case WM_IME_SETCONTEXT:
    case WM_IME_NOTIFY:
        HandleImeMessage(hwnd, message, wParam, lParam);
        return 0;
    case WM_COMMAND:
        if (options.useMenu == 1) {
            if (options.menuCallback) options.menuCallback(LOWORD(wParam));
            options.menuResourceId = 0;
        }
        break;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_SCREENSAVE) return 1;
        if ((wParam & 0xFFF0) == SC_CLOSE && window.systemKeyLock) return 0;
        break;
    case WM_MOUSEWHEEL:
        window.wheelCount += static_cast<short>(HIWORD(wParam)) > 0 ? 1 : -1;
        break;
    case WM_MOVING:
        if (!options.windowModeFlag) GetWindowRect(hwnd, reinterpret_cast<RECT *>(lParam));
        break;
    case WM_DROPFILES:
        OnDropFiles(reinterpret_cast<HDROP>(wParam));
        break;
    case MM_MCINOTIFY:
        OnMidiNotify(wParam, lParam);
        break;
    case kHookedKey1Message:
        SetHookedKeyFlag(0, wParam == 1);
        break;
    case kHookedKey2Message:
        SetHookedKeyFlag(1, wParam == 1);
        break;
    case WM_VEXLO_SOCKET:
        return OnSocketEvent(hwnd, message, wParam, lParam);
    case kStreamMusicMessage:
        OnStreamMusicEvent();
        break;
    default:
        break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void BringWindowToFront(HWND target, int topmost)
{
    DWORD ownThread = GetCurrentThreadId();
    DWORD foregroundThread = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
    bool attached = foregroundThread != 0 && foregroundThread != ownThread &&
                    AttachThreadInput(ownThread, foregroundThread, TRUE);
    DWORD lockTimeout = 0;
    SystemParametersInfoA(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &lockTimeout, 0);
    SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, nullptr, 0);
    SetForegroundWindow(target);
    SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, reinterpret_cast<void *>(static_cast<uintptr_t>(lockTimeout)), 0);
    if (attached) AttachThreadInput(ownThread, foregroundThread, FALSE);
    if (topmost == 1)
        SetWindowPos(Window().mainWindow, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOREDRAW);
}

int FitWindowToScreen()
{
    CoreWindowState &window = Window();
    RECT client, outer;
    if (!GetClientRect(window.mainWindow, &client)) return 0;
    GetWindowRect(window.mainWindow, &outer);
    int width = 0, height = 0;
    GetScreenSize(&width, &height);
    int newWidth = (outer.right - outer.left) - client.right + width;
    int newHeight = (outer.bottom - outer.top) - client.bottom + height;
    MoveWindow(window.mainWindow, outer.left, outer.top, newWidth, newHeight, TRUE);
    if (Options().windowModeFlag && !window.styleAppliedOnce) {
        window.styleAppliedOnce = 1;
        ApplyWindowStyle();
    }
    return 0;
}

int TrackClientRect(LPARAM packedPosition)
{
    CoreWindowState &window = Window();
    RECT client;
    GetClientRect(window.mainWindow, &client);
    int left = static_cast<short>(LOWORD(packedPosition));
    int top = static_cast<short>(HIWORD(packedPosition));
    window.clientRect = {left, top, left + client.right, top + client.bottom};
    if (GetDrawScreen() == SCREEN_FRONT)
        SetFrontScreenTarget(window.clientRect.left, window.clientRect.top, window.clientRect.right,
                             window.clientRect.bottom);
    // A draw area is only re-applied once the program (or the display) set one.
    const RECT &area = window.drawAreaRequest;
    if (area.right > area.left && area.bottom > area.top) SetDrawArea(area.left, area.top, area.right, area.bottom);
    return 0;
}

int SetWindowShape(const char *imageFileName)
{
    CoreOptions &options = Options();
    if (imageFileName == nullptr) {
        if (options.windowRegion) DeleteObject(options.windowRegion);
        options.windowRegion = nullptr;
        return 0;
    }
    HBITMAP bitmap = CreateDIBGraph(imageFileName);
    if (bitmap == nullptr) return -1;
    DIBSECTION dib = {};
    if (GetObjectA(bitmap, sizeof dib, &dib) != sizeof dib || dib.dsBm.bmBits == nullptr) {
        DeleteObject(bitmap);
        return -1;
    }
    int width = dib.dsBm.bmWidth, height = dib.dsBm.bmHeight;
    int bytesPerPixel = dib.dsBm.bmBitsPixel / 8;
    int pitch = (width * bytesPerPixel + 3) / 4 * 4;
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ForEachOpaqueRun(width, height, static_cast<const unsigned char *>(dib.dsBm.bmBits), pitch, bytesPerPixel,
                     [region](int left, int right, int y) {
                         HRGN run = CreateRectRgn(left, y, right, y + 1);
                         CombineRgn(region, region, run, RGN_OR);
                         DeleteObject(run);
                     });
    DeleteObject(bitmap);
    if (options.windowRegion) DeleteObject(options.windowRegion);
    options.windowRegion = region;
    // The window owns the region it is given; it gets a copy so that ours stays valid.
    if (Window().mainWindow) {
        HRGN copy = CreateRectRgn(0, 0, 0, 0);
        CombineRgn(copy, region, nullptr, RGN_COPY);
        SetWindowRgn(Window().mainWindow, copy, TRUE);
    }
    return 0;
}

int SetCursorVisible(int flag)
{
    CoreWindowState &window = Window();
    if (flag == window.cursorVisible) return 0;
    window.cursorVisible = flag;
    if (flag) {
        while (ShowCursor(TRUE) < 0) {
        }
    } else {
        while (ShowCursor(FALSE) >= 0) {
        }
    }
    if (window.mainWindow) PostMessageA(window.mainWindow, WM_SETCURSOR, reinterpret_cast<WPARAM>(window.mainWindow), 0);
    return 0;
}

int SetCursorPosition(int x, int y)
{
    int width = 0, height = 0;
    GetScreenSize(&width, &height);
    x = x < 0 ? 0 : x > width ? width : x;
    y = y < 0 ? 0 : y > height ? height : y;
    if (Options().windowModeFlag) {
        x += Window().clientRect.left;
        y += Window().clientRect.top;
    }
    SetCursorPos(x, y);
    return 0;
}

HWND GetMainWindowHandle() { return Window().mainWindow; }
int GetWindowModeFlag() { return Options().windowModeFlag; }
int GetActiveFlag() { return Window().activeFlag; }
int GetCursorVisibleFlag() { return Window().cursorVisible; }
int GetCloseRequestedFlag() { return Window().closeRequested; }
int HasWindowRegion() { return Options().windowRegion != nullptr; }
int IsWindowGone() { return Window().windowGone; }
void GetWindowClientRect(RECT *rect) { *rect = Window().clientRect; }

void RecordDrawAreaRequest(int x1, int y1, int x2, int y2) { Window().drawAreaRequest = {x1, y1, x2, y2}; }

int GetDesktopMode(int *width, int *height, int *bits)
{
    if (width) *width = Window().desktopWidth;
    if (height) *height = Window().desktopHeight;
    if (bits) *bits = Window().desktopColourBits;
    return 0;
}
