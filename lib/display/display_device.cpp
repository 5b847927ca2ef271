// The DirectDraw device: start and end of the display, the device itself,
// the overlay probe, the clipper, the 8-bit palette, and giving everything
// up and taking it again around focus loss.
#include <windows.h>
#include <ddraw.h>
#include <objbase.h>

#include <cstring>

#include "../Vexlo.h"
#include "../core/main_window.h"
#include "../core/system_report.h"
#include "builtin_palette.h"
#include "display.h"
#include "display_needs.h"
#include "display_state.h"
#include "mul_table.h"

namespace {

DisplayState g_display;

struct OverlayFormat {
    const char *name;
    DDPIXELFORMAT format;
};

DDPIXELFORMAT FourCcFormat(char a, char b, char c, char d)
{
    DDPIXELFORMAT format = {};
    format.dwSize = sizeof format;
    format.dwFlags = DDPF_FOURCC;
    format.dwFourCC = MAKEFOURCC(a, b, c, d);
    return format;
}

DDPIXELFORMAT RgbFormat(DWORD red, DWORD green, DWORD blue)
{
    DDPIXELFORMAT format = {};
    format.dwSize = sizeof format;
    format.dwFlags = DDPF_RGB;
    format.dwRGBBitCount = 16;
    format.dwRBitMask = red;
    format.dwGBitMask = green;
    format.dwBBitMask = blue;
    return format;
}

const OverlayFormat kOverlayFormats[4] = {
    {" UYVY", FourCcFormat('U', 'Y', 'V', 'Y')},
    {" YUY2", FourCcFormat('Y', 'U', 'Y', '2')},
    {" 16-bit RGB 5:5:5 ", RgbFormat(0x7C00, 0x03E0, 0x001F)},
    {" 16-bit RGB 5:6:5 ", RgbFormat(0xF800, 0x07E0, 0x001F)},
};

const unsigned kMinOverlayStretchLimit = 1000;
const unsigned kMaxOverlayStretchLimit = 2000;

// Codes a full-screen SetCooperativeLevel may answer while it still took
// effect (exclusive mode already held, mode unchanged, and the like).
const HRESULT kToleratedCooperativeCodes[3] = {
    static_cast<HRESULT>(0x8876023A),
    static_cast<HRESULT>(0x8876023B),
    static_cast<HRESULT>(0x88760245),
};

void LogDriverIdentity(IDirectDraw7 *device)
{
    DDDEVICEIDENTIFIER2 identity = {};
    if (FAILED(device->GetDeviceIdentifier(&identity, 0))) return;
    DWORD high = static_cast<DWORD>(identity.liDriverVersion.HighPart);
    DWORD low = identity.liDriverVersion.LowPart;
    AddAppLogFormat("ビデオカードドライバ:%s バージョン:%u.%u.%u.%u ", identity.szDriver,
                    static_cast<unsigned>(HIWORD(high)), static_cast<unsigned>(LOWORD(high)),
                    static_cast<unsigned>(HIWORD(low)), static_cast<unsigned>(LOWORD(low)));
    AddAppLogFormat("ドライバ記述:%s \n", identity.szDescription);
}

void LogVideoMemory(IDirectDraw7 *device)
{
    DDSCAPS2 caps = {};
    caps.dwCaps = DDSCAPS_VIDEOMEMORY;
    DWORD total = 0, available = 0;
    if (FAILED(device->GetAvailableVidMem(&caps, &total, &available))) total = available = 0;
    g_display.totalVideoMemory = total;
    AddAppLogFormat("ビデオメモリ総量:%.2fMB ビデオメモリ空き容量:%.2fMB", total / 1048576.0, available / 1048576.0);
}

// The first overlay format whose 16 x 16 test surface lands in video memory.
int FindOverlayFormat(IDirectDraw7 *device)
{
    for (int i = 0; i < 4; ++i) {
        DDSURFACEDESC2 desc = {};
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
        desc.ddsCaps.dwCaps = DDSCAPS_OVERLAY | DDSCAPS_VIDEOMEMORY;
        desc.dwWidth = 16;
        desc.dwHeight = 16;
        desc.ddpfPixelFormat = kOverlayFormats[i].format;
        IDirectDrawSurface7 *surface = nullptr;
        if (FAILED(device->CreateSurface(&desc, &surface, nullptr))) continue;
        DDSCAPS2 caps = {};
        surface->GetCaps(&caps);
        surface->Release();
        if ((caps.dwCaps & DDSCAPS_SYSTEMMEMORY) == 0) return i;
    }
    return -1;
}

void ProbeOverlay()
{
    DisplayState &d = g_display;
    d.overlayFormat = -1;
    IDirectDraw *first = nullptr;
    if (SUCCEEDED(d.device->QueryInterface(IID_IDirectDraw, reinterpret_cast<void **>(&first)))) {
        DDCAPS_DX7 caps = {};
        caps.dwSize = sizeof caps;
        if (SUCCEEDED(first->GetCaps(reinterpret_cast<DDCAPS *>(&caps), nullptr)) &&
            (caps.dwMinOverlayStretch < kMinOverlayStretchLimit || caps.dwMaxOverlayStretch < kMaxOverlayStretchLimit)) {
            d.deviceCaps = caps;
            d.overlayFormat = FindOverlayFormat(d.device);
        }
        first->Release();
    }
    if (d.overlayFormat == -1)
        AddAppLog("オーバーレイサーフェスは使用しません\n");
    else
        AddAppLogFormat("オーバーレイサーフェスを使用します　　　%s", kOverlayFormats[d.overlayFormat].name);
}

HRESULT CALLBACK AttachPalette(IDirectDrawSurface7 *surface, DDSURFACEDESC2 *, void *palette)
{
    surface->SetPalette(static_cast<IDirectDrawPalette *>(palette));
    surface->Release();
    return DDENUMRET_OK;
}

} // namespace

DisplayState &Display() { return g_display; }

bool IsFullScreen() { return GetWindowModeFlag() == 0; }

bool SetCooperativeLevelFor(int flags)
{
    HRESULT result = g_display.device->SetCooperativeLevel(GetMainWindowHandle(), static_cast<DWORD>(flags));
    if (SUCCEEDED(result)) return true;
    if ((flags & DDSCL_EXCLUSIVE) == 0) return false;
    for (HRESULT tolerated : kToleratedCooperativeCodes) {
        if (result == tolerated) return true;
    }
    return false;
}

bool CreateWindowClipper()
{
    DisplayState &d = g_display;
    ReleaseObject(d.clipper);
    if (FAILED(d.device->CreateClipper(0, &d.clipper, nullptr))) {
        d.clipper = nullptr;
        return false;
    }
    d.clipper->SetHWnd(0, GetMainWindowHandle());
    return true;
}

int AcquireDevice(IDirectDraw7 **deviceOut)
{
    AddAppLog("DirectDraw オブジェクトの取得を行います....  ");
    IDirectDraw7 *device = nullptr;
    if (FAILED(CoCreateInstance(CLSID_DirectDraw7, nullptr, CLSCTX_ALL, IID_IDirectDraw7,
                                reinterpret_cast<void **>(&device))))
        return AddAppLog("オブジェクトの取得に失敗しました\n");
    AddAppLog("成功\n");
    AddAppLog("引き続き初期化処理... ");
    if (FAILED(device->Initialize(nullptr))) {
        AddAppLog("DirectDrawオブジェクトの初期化に失敗しました\n");
        device->Release();
        return -1;
    }
    AddAppLog("初期化に成功しました\n");

    AddAppLog("ビデオカードの情報\n");
    IncLogIndent();
    // Holding the non-convert key skips the identifier, which some old
    // drivers answer slowly or wrongly.
    if ((GetAsyncKeyState(VK_NONCONVERT) & 0x8000) == 0) LogDriverIdentity(device);
    LogVideoMemory(device);
    DecLogIndent();
    *deviceOut = device;
    return 0;
}

int StartDisplay()
{
    DisplayState &d = g_display;
    if (d.device) return -1;
    AddAppLog("DirectDraw 関連の初期化を行います\n");
    IncLogIndent();
    if (AcquireDevice(&d.device) == -1) ExitWithError("DirectDrawオブジェクトの作成に失敗しました");
    if (!CreateWindowClipper()) {
        AddAppLog("ＤｉｒｅｃｔＤｒａｗＣｌｉｐｐｅｒオブジェクトの作成に失敗しました\n");
        ExitWithError("DirectDrawClipperオブジェクトの作成時にエラーが発生しました");
    }
    if (d.width == 0) d.width = 640;
    if (d.height == 0) d.height = 480;
    if (d.bits == 0) d.bits = 16;
    ChangeScreenMode(-1, -1, -1, 1, -1);

    // A shaped window shows the desktop through its holes; it keeps them.
    if (!HasWindowRegion()) {
        SetDrawScreen(SCREEN_BACK);
        ClearDrawScreen();
        PresentByBlit();
        SetDrawScreen(SCREEN_FRONT);
    }
    d.useMmx = GetMmxUseFlag();
    ProbeOverlay();
    DecLogIndent();
    AddAppLog("DirectDraw 関連の初期化は正常に終了しました\n");
    FillMulTable();
    d.started = 1;
    return 0;
}

int EndDisplay()
{
    DisplayState &d = g_display;
    if (!d.device) return 0;
    AddAppLog("DirectDraw 関連の終了処理をおこないます\n");
    IncLogIndent();
    ReleaseScreenPalette();
    EndGraphManagement();
    DeleteAllBmpData();
    EndDirect3D();
    DeleteAllBmpData();
    ReleaseScreenSurfaces();
    ReleaseObject(d.clipper);
    AddAppLog("ＤｉｒｅｃｔＤｒａｗオブジェクトを解放します\n");
    ReleaseObject(d.device);
    d.displayModeChanged = 0;
    AddAppLog("ＤｉｒｅｃｔＤｒａｗオブジェクトを解放しました\n");
    DecLogIndent();
    AddAppLog("DirectDraw 関連の終了処理は正常に終了しました\n");
    d.started = 0;
    return 0;
}

int ReleaseDisplay()
{
    DisplayState &d = g_display;
    AddAppLog("ＤｉｒｅｃｔＤｒａｗオブジェクトを解放します\n");
    if (!d.device) {
        AddAppLog("既に解放されています\n");
        return 0;
    }
    ReleaseAllBmpSurfaces();
    if (IsFullScreen() && d.displayModeChanged) {
        d.device->SetCooperativeLevel(GetMainWindowHandle(), DDSCL_NORMAL);
        d.device->RestoreDisplayMode();
        d.displayModeChanged = 0;
    }
    ReleaseScreenPalette();
    ReleaseObject(d.clipper);
    ReleaseObject(d.device);
    AddAppLog("ＤｉｒｅｃｔＤｒａｗオブジェクトを解放しました\n");
    return 0;
}

int RecreateDisplay()
{
    DisplayState &d = g_display;
    if (d.device) return 0;
    if (AcquireDevice(&d.device) == -1) ExitWithError("DirectDraw オブジェクトの作成処理時にエラーが発生しました");
    // The mode is applied again as it was; the recorded depth stays.
    int bits = d.bits;
    ApplyInitialScreenMode();
    d.bits = bits;
    RecreateAllBmpSurfaces();
    if (!IsFullScreen() && !CreateWindowClipper()) ExitWithError("クリッパーオブジェクトの作成失敗しました");
    return 0;
}

int CreateScreenPalette()
{
    DisplayState &d = g_display;
    if (d.palette || d.bits != 8 || !d.device || !d.frontScreen) return 0;
    FillBuiltinPalette(d.paletteEntries);
    if (FAILED(d.device->CreatePalette(DDPCAPS_8BIT | DDPCAPS_ALLOW256,
                                       reinterpret_cast<PALETTEENTRY *>(d.paletteEntries), &d.palette, nullptr))) {
        d.palette = nullptr;
        ExitWithError("パレットの作成に失敗しました");
    }
    d.frontScreen->SetPalette(d.palette);
    if (IsFullScreen())
        d.frontScreen->EnumAttachedSurfaces(d.palette, AttachPalette);
    else if (d.backScreen)
        d.backScreen->SetPalette(d.palette);
    return 0;
}

int ReleaseScreenPalette()
{
    ReleaseObject(g_display.palette);
    return 0;
}

int RecreatePalette()
{
    DisplayState &d = g_display;
    if (d.bits != 8) return 0;
    uint8_t saved[256][4];
    std::memcpy(saved, d.paletteEntries, sizeof saved);
    CreateScreenPalette();
    std::memcpy(d.paletteEntries, saved, sizeof saved);
    if (d.palette) {
        PALETTEENTRY *entries = reinterpret_cast<PALETTEENTRY *>(d.paletteEntries);
        d.palette->SetEntries(0, 0, 256, entries);
        d.palette->GetEntries(0, 0, 256, entries);
    }
    return 0;
}

// ---- Queries -------------------------------------------------------------------

int IsDisplayStarted() { return g_display.started; }
int HasDisplayDevice() { return g_display.device != nullptr; }
int IsDisplayModeChanged() { return g_display.displayModeChanged; }
void SetDisplayModeChanged(int flag) { g_display.displayModeChanged = flag; }
// Frames reach the screen by a blit of the back screen in window mode; only
// a full-screen flip chain is lost with the focus.
int IsPresentingByBlit() { return g_display.device != nullptr && !IsFullScreen(); }
void SetVSyncWaitFlag(int flag) { g_display.vsync = flag; }
int GetRequestedScreenBitDepth() { return g_display.bits == 0 ? 16 : g_display.bits; }
int GetScreenBitDepth() { return g_display.bits == 0 ? 16 : g_display.bits; }
int GetMmxFlagForBlitters() { return g_display.useMmx; }

void GetScreenSize(int *width, int *height)
{
    if (width) *width = g_display.width == 0 ? 640 : g_display.width;
    if (height) *height = g_display.height == 0 ? 480 : g_display.height;
}

IDirectDraw7 *GetDisplayDevice() { return g_display.device; }
IDirectDrawSurface7 *GetFrontScreen() { return g_display.frontScreen; }
IDirectDrawSurface7 *GetBackScreen() { return g_display.backScreen; }
IDirectDrawSurface7 *GetWorkSurface1() { return g_display.workSurface1; }
IDirectDrawSurface7 *GetWorkSurface2() { return g_display.workSurface2; }
IDirectDrawSurface7 *GetDrawSurface() { return g_display.drawSurface; }
int IsDrawTargetTexture() { return g_display.targetIsTexture; }
int IsDrawSurfaceFrontInWindow()
{
    return g_display.drawSurface != nullptr && g_display.drawSurface == g_display.frontScreen && !IsFullScreen();
}
const ColorData *GetScreenColorDataOfDisplay() { return &g_display.colorData; }
void CopyDeviceCaps(void *caps380) { std::memcpy(caps380, &g_display.deviceCaps, sizeof g_display.deviceCaps); }

const DDPIXELFORMAT *GetOverlayFormat()
{
    const DisplayState &d = g_display;
    if (d.overlayFormat == -1 || d.width < 640 || d.height < 400) return nullptr;
    return &kOverlayFormats[d.overlayFormat].format;
}
