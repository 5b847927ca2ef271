// Screen modes: SetScreenMode, the full change sequence with its fallbacks,
// the first application of a mode, and the measurements taken after every
// change (copy speed and frame time).
#include <windows.h>
#include <ddraw.h>

#include "../Vexlo.h"
#include "../core/app_log.h"
#include "../core/library.h"
#include "../core/main_window.h"
#include "../core/window_mode.h"
#include "../graph/screen_color.h"
#include "display.h"
#include "display_needs.h"
#include "display_state.h"
#include "screen_mode_rules.h"

namespace {

const int kCopyRepeats = 8;
// A blank that does not come within this time means the device cannot tell
// the beam position; the frame time then stays unknown.
const int kBeamWaitLimitMs = 250;

ScreenMode CurrentMode()
{
    const DisplayState &d = Display();
    return {d.width, d.height, d.bits, d.refresh};
}

void StoreMode(const ScreenMode &mode)
{
    DisplayState &d = Display();
    d.width = mode.width;
    d.height = mode.height;
    d.bits = mode.bits;
    d.refresh = mode.refresh;
}

const char kCooperativeFailure[] = "DirectDrawの協調レベルの設定に失敗しました、ソフトを終了します";

// ---- Applying modes -------------------------------------------------------------

bool TrySetDisplayMode(void *, ScreenMode *mode)
{
    return SUCCEEDED(Display().device->SetDisplayMode(static_cast<DWORD>(mode->width), static_cast<DWORD>(mode->height),
                                                       static_cast<DWORD>(mode->bits),
                                                       static_cast<DWORD>(mode->refresh), 0));
}

// One attempt of the first application: the full-screen style first (it
// sizes the window to the mode), then the cooperative level and mode.
bool TryInitialMode(void *, ScreenMode *mode)
{
    StoreMode(*mode);
    if (IsFullScreen()) ApplyWindowStyle();
    bool applied = ApplyInitialScreenMode() == 0;
    *mode = CurrentMode();
    return applied;
}

// The device is made anew for every later change.
void RenewDevice()
{
    DisplayState &d = Display();
    AddAppLog("ＤｉｒｅｃｔＤｒａｗオブジェクトを解放します\n");
    DeleteAllBmpData();
    d.device->SetCooperativeLevel(GetMainWindowHandle(), DDSCL_NORMAL);
    ReleaseObject(d.clipper);
    ReleaseObject(d.device);
    AddAppLog("ＤｉｒｅｃｔＤｒａｗオブジェクトを解放しました\n");
    if (AcquireDevice(&d.device) == -1) ExitWithError("DirectDrawオブジェクトの作成に失敗しました");
    // The window-mode present blit is clipped to the window: the new device
    // gets its own clipper.
    if (!CreateWindowClipper()) ExitWithError("DirectDrawClipperオブジェクトの作成時にエラーが発生しました");
}

int ApplyLaterMode(const ScreenMode &wanted, const ScreenMode &old)
{
    DisplayState &d = Display();
    RenewDevice();
    if (!SetCooperativeLevelFor(IsFullScreen() ? kCooperativeFullScreen : kCooperativeNormal))
        ExitWithError(kCooperativeFailure);
    d.cooperativeFlags = IsFullScreen() ? kCooperativeFullScreen : kCooperativeNormal;
    d.displayModeChanged = 0;
    if (!IsFullScreen()) return 0;

    AddAppLog("画面解像度を変更します... ");
    ScreenMode applied;
    int result = ApplyLaterModeChain(wanted, old, ModeApplier{TrySetDisplayMode, nullptr}, &applied);
    if (result == kModeChainFailed) ExitWithError("予期せぬ画面モード変更不能現象が起きました2\n");
    StoreMode(applied);
    d.displayModeChanged = 1;
    AddAppLog("成功しました\n");
    return result;
}

int ApplyFirstMode(const ScreenMode &wanted, const ScreenMode &old)
{
    ScreenMode applied;
    int result = ApplyFirstModeChain(wanted, old, ModeApplier{TryInitialMode, nullptr}, &applied);
    if (result == kModeChainFailed) ExitWithError("予期せぬ画面モード変更不能現象が起きました\n");
    StoreMode(applied);
    return result;
}

// ---- After the mode is in force -------------------------------------------------

void ReadScreenFormat()
{
    DisplayState &d = Display();
    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof desc;
    if (FAILED(d.device->GetDisplayMode(&desc))) return;
    d.pixelFormat = desc.ddpfPixelFormat;
    const DDPIXELFORMAT &format = d.pixelFormat;
    uint32_t alpha = (format.dwFlags & DDPF_ALPHAPIXELS) ? format.dwRGBAlphaBitMask : 0;
    SetColorDataFromMasks(&d.colorData, static_cast<int>(format.dwRGBBitCount), format.dwRBitMask, format.dwGBitMask,
                          format.dwBBitMask, alpha);
    SetScreenColorData(&d.colorData, nullptr);
    AddAppLog("カラー情報\n");
    IncLogIndent();
    AddAppLogFormat("A:%08x  B:%08x  G:%08x  B:%08x", static_cast<unsigned>(alpha),
                    static_cast<unsigned>(format.dwRBitMask), static_cast<unsigned>(format.dwGBitMask),
                    static_cast<unsigned>(format.dwBBitMask));
    DecLogIndent();
    d.bits = static_cast<int>(format.dwRGBBitCount);
}

void BuildScreens()
{
    if (!IsFullScreen()) ApplyWindowStyle();
    CreateScreenSurfaces();
    StartDirect3D();
    StartGraphManagement();
    RecreateDefaultFont();
    StartScreenLog();
    CreateScreenPalette();
    // The palette exists only now; the colour functions get it for 8-bit screens.
    DisplayState &d = Display();
    if (d.bits == 8) {
        PaletteEntry palette[256];
        for (int i = 0; i < 256; ++i)
            palette[i] = {d.paletteEntries[i][0], d.paletteEntries[i][1], d.paletteEntries[i][2]};
        SetScreenColorData(&d.colorData, palette);
    }
}

// Which copies between surfaces are faster here: DirectDraw's or GDI's.
void MeasureCopySpeed()
{
    DisplayState &d = Display();
    if (!d.frontScreen || !d.workSurface1) return;
    RECT rect = {0, 0, d.width, d.height};
    long long start = GetMicroCount(0);
    for (int i = 0; i < kCopyRepeats; ++i) d.workSurface1->BltFast(0, 0, d.frontScreen, &rect, DDBLTFAST_NOCOLORKEY);
    double bltFastTime = static_cast<double>(GetMicroCount(0) - start);

    double bitBltTime = bltFastTime + 1;
    HDC workDc = nullptr, frontDc = nullptr;
    if (SUCCEEDED(d.workSurface1->GetDC(&workDc))) {
        if (SUCCEEDED(d.frontScreen->GetDC(&frontDc))) {
            start = GetMicroCount(0);
            for (int i = 0; i < kCopyRepeats; ++i) BitBlt(workDc, 0, 0, d.width, d.height, frontDc, 0, 0, SRCCOPY);
            bitBltTime = static_cast<double>(GetMicroCount(0) - start);
            d.frontScreen->ReleaseDC(frontDc);
        }
        d.workSurface1->ReleaseDC(workDc);
    }
    d.useBitBlt = bitBltTime <= bltFastTime;
    AddAppLogFormat("サーフェス間転送には %s を使用します", d.useBitBlt ? "BitBlt" : "BltFast");
    AddAppLogFormat("BitBlt:%.0lfμs   BltFast:%.0lfμs", bitBltTime, bltFastTime);
}

bool InBlank()
{
    BOOL inBlank = FALSE;
    // A device that cannot answer counts as in the blank, so no wait hangs.
    if (FAILED(Display().device->GetVerticalBlankStatus(&inBlank))) return true;
    return inBlank != FALSE;
}

DWORD ScanLine()
{
    DWORD line = 0;
    if (FAILED(Display().device->GetScanLine(&line))) return 0;
    return line;
}

// Until the beam wraps to the top or the blank begins; false on time-out.
bool WaitForWrap()
{
    DWORD noted = ScanLine();
    int start = GetMilliCount(0);
    while (GetMilliCount(0) - start < kBeamWaitLimitMs) {
        if (InBlank() || ScanLine() < noted) return true;
    }
    return false;
}

bool WaitForBlankEnd()
{
    int start = GetMilliCount(0);
    while (GetMilliCount(0) - start < kBeamWaitLimitMs) {
        if (!InBlank()) return true;
    }
    return false;
}

struct SamplerState {
    bool failed;
};

void TakeFrameSamples(void *context, int samples[kFrameSampleCount])
{
    SamplerState &state = *static_cast<SamplerState *>(context);
    for (int i = 0; i < kFrameSampleCount; ++i) {
        if (state.failed) {
            samples[i] = -1 - i; // distinct values: never taken for a frame time
            continue;
        }
        int start = GetMilliCount(0);
        state.failed = !WaitForBlankEnd() || !WaitForWrap();
        samples[i] = state.failed ? -1 - i : GetMilliCount(0) - start;
    }
}

void MeasureFrameTimeOnDevice()
{
    DisplayState &d = Display();
    SamplerState state = {false};
    for (int i = 0; i < 3 && !state.failed; ++i) state.failed = !WaitForWrap() || !WaitForBlankEnd();
    if (!state.failed) state.failed = !WaitForWrap();
    d.frameTime = MeasureFrameTime(FrameSampler{TakeFrameSamples, &state}, d.frameSamples);
    if (d.frameTime == -1)
        AddAppLog("１フレームの時間を正常に取得できませんでした\n");
    else
        AddAppLogFormat("１フレーム当たりの時間は %d msecです", d.frameTime);
    for (int i = 0; i < kFrameSampleCount; ++i) AddAppLogFormat("\tTri%02d:%d msec", i, d.frameSamples[i]);
    d.pacingThreshold = PacingThreshold(d.frameTime);
}

} // namespace

int ApplyInitialScreenMode()
{
    DisplayState &d = Display();
    if (d.width == 0) d.width = 640;
    if (d.height == 0) d.height = 480;
    if (d.bits == 0) d.bits = 16;
    int desktopWidth = 0, desktopHeight = 0;
    GetDesktopMode(&desktopWidth, &desktopHeight, nullptr);
    AddAppLogFormat("画面モードの変更処理を開始します %u x %u  %u bit ", static_cast<unsigned>(d.width),
                    static_cast<unsigned>(d.height), static_cast<unsigned>(d.bits));
    IncLogIndent();
    if (!IsFullScreen()) {
        AddAppLog("ウインドウモードにします\n");
        if (desktopWidth < d.width || desktopHeight < d.height) {
            DecLogIndent();
            ExitWithError("デスクトップ画面のサイズが足りません、ソフトを終了します");
        }
        if (d.displayModeChanged) {
            AddAppLog("フルスクリーンモードから抜けます\n");
            d.device->RestoreDisplayMode();
            d.displayModeChanged = 0;
        }
        int desktopBits = ReadDesktopColourBits();
        if (desktopBits == 24) {
            DecLogIndent();
            return -1;
        }
        d.bits = desktopBits;
        if (!SetCooperativeLevelFor(kCooperativeNormal)) ExitWithError(kCooperativeFailure);
        d.cooperativeFlags = kCooperativeNormal;
    } else {
        if (d.bits == 24) {
            DecLogIndent();
            return -1;
        }
        AddAppLog("画面解像度を変更します... ");
        if (!SetCooperativeLevelFor(kCooperativeFullScreen)) ExitWithError(kCooperativeFailure);
        d.cooperativeFlags = kCooperativeFullScreen;
        ScreenMode mode = CurrentMode();
        if (!TrySetDisplayMode(nullptr, &mode)) {
            d.refresh = mode.refresh = 0;
            if (!TrySetDisplayMode(nullptr, &mode)) {
                AddAppLog("画面モードの変更に失敗しました\n");
                DecLogIndent();
                return -1;
            }
        }
        d.displayModeChanged = 1;
        AddAppLog("成功しました\n");
    }
    DecLogIndent();
    AddAppLog("画面モードの変更は正常に終了しました \n");
    return 0;
}

int ChangeScreenMode(int width, int height, int bits, int force, int refreshRate)
{
    DisplayState &d = Display();
    ScreenMode old = CurrentMode();
    ScreenMode wanted = ResolveScreenMode(old, width, height, bits, refreshRate);
    if (SameScreenMode(wanted, old) && !force) return 0;

    AddAppLog("画面モード変更処理を開始します\n");
    IncLogIndent();
    SaveDefaultFont();
    StoreMode(wanted);
    if (!d.device) {
        DecLogIndent();
        return 0;
    }

    WaitMilliseconds(ModeChangeWait(d.lastChangeTime, GetMilliCount(0)));
    d.lastChangeTime = GetMilliCount(0);
    if (d.lastChangeTime == 0) d.lastChangeTime = 1; // 0 means "no change yet"

    DeleteAllGraphs(0);
    EndGraphManagement();
    EndDirect3D();
    ReleaseScreenPalette();
    ReleaseScreenSurfaces();

    int transColor = 0;
    int result;
    if (d.started) {
        transColor = GetGraphTransColor();
        result = ApplyLaterMode(wanted, old);
    } else {
        result = ApplyFirstMode(wanted, old);
    }

    ReadScreenFormat();
    BuildScreens();
    MeasureCopySpeed();
    MeasureFrameTimeOnDevice();

    if (d.started) SetGraphTransColor(transColor);
    DecLogIndent();
    AddAppLog("画面モード変更処理は正常に終了しました\n");
    ProcessMessage();
    ResetFrameCounter(&d.frames);
    return result;
}

extern "C" int SetScreenMode(int width, int height, int colourBits, int refreshRate)
{
    DeleteAllGraphs(0);
    ScreenMode before = CurrentMode();
    ScreenMode requested = ResolveScreenMode(before, width, height, colourBits, refreshRate);
    ChangeScreenMode(requested.width, requested.height, requested.bits, 0, requested.refresh);
    return ScreenModeResult(requested, before, CurrentMode());
}

int GetFrameTime() { return Display().frameTime; }
int GetPacingThreshold() { return Display().pacingThreshold; }
