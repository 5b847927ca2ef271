// The four screen surfaces: front and back screen (a flip chain in full
// screen, the primary surface and an off-screen surface in a window) and the
// two work surfaces; and the copy between surfaces.
#include <windows.h>
#include <ddraw.h>

#include "../Vexlo.h"
#include "display.h"
#include "display_state.h"
#include "screen_mode_rules.h"

namespace {

DDSURFACEDESC2 SurfaceDesc(DWORD caps)
{
    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = caps;
    return desc;
}

DDSURFACEDESC2 SizedSurfaceDesc(DWORD caps, int width, int height)
{
    DDSURFACEDESC2 desc = SurfaceDesc(caps);
    desc.dwFlags |= DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = static_cast<DWORD>(width);
    desc.dwHeight = static_cast<DWORD>(height);
    return desc;
}

IDirectDrawSurface7 *CreateSurfaceOrExit(DDSURFACEDESC2 desc, const char *failure)
{
    IDirectDrawSurface7 *surface = nullptr;
    if (FAILED(Display().device->CreateSurface(&desc, &surface, nullptr))) ExitWithError(failure);
    return surface;
}

void FillBlack(IDirectDrawSurface7 *surface, DWORD waitFlag)
{
    DDBLTFX fx = {};
    fx.dwSize = sizeof fx;
    fx.dwFillColor = 0;
    surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | waitFlag, &fx);
}

void CreateWindowScreens(int width, int height)
{
    DisplayState &d = Display();
    d.frontScreen = CreateSurfaceOrExit(SurfaceDesc(DDSCAPS_PRIMARYSURFACE | DDSCAPS_3DDEVICE),
                                        "プライマリサーフェスの作成に失敗しました");
    d.backScreen = CreateSurfaceOrExit(SizedSurfaceDesc(DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE, width, height),
                                       "バックサーフェスの作成に失敗しました");
    FillBlack(d.backScreen, DDBLT_WAIT);
}

void CreateFlipChain(int width, int height)
{
    DisplayState &d = Display();
    int backBuffers = BackBufferCount(d.totalVideoMemory, width, height, d.bits);
    DDSURFACEDESC2 desc =
        SurfaceDesc(DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE);
    desc.dwFlags |= DDSD_BACKBUFFERCOUNT;
    desc.dwBackBufferCount = static_cast<DWORD>(backBuffers);
    d.frontScreen = CreateSurfaceOrExit(desc, "プライマリサーフェスの作成に失敗しました");
    AddAppLogFormat("バックバッファの数 : %d", backBuffers);

    DDSCAPS2 caps = {};
    caps.dwCaps = DDSCAPS_BACKBUFFER;
    if (FAILED(d.frontScreen->GetAttachedSurface(&caps, &d.backScreen))) {
        d.backScreen = nullptr;
        ExitWithError("バックバッファのポインタ取得に失敗しました");
    }
    // Every buffer of the chain starts black.
    for (int i = 0; i < 3; ++i) {
        FillBlack(d.backScreen, DDBLT_WAIT);
        d.frontScreen->Flip(nullptr, DDFLIP_NOVSYNC);
    }
}

IDirectDrawSurface7 *CreateWorkSurface(int width, int height, const char *failure)
{
    IDirectDrawSurface7 *surface =
        CreateSurfaceOrExit(SizedSurfaceDesc(DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY, width, height), failure);
    DDCOLORKEY key = {0, 0};
    surface->SetColorKey(DDCKEY_SRCBLT, &key);
    return surface;
}

const char *MemoryPlace(IDirectDrawSurface7 *surface)
{
    DDSCAPS2 caps = {};
    surface->GetCaps(&caps);
    return (caps.dwCaps & DDSCAPS_VIDEOMEMORY) ? "VIDEOMEMORY" : "SYSTEMMEMORY";
}

} // namespace

int CreateScreenSurfaces()
{
    DisplayState &d = Display();
    if (!d.device || d.frontScreen) return -1;
    AddAppLog("DirectDraw メインサーフェスの作成を行います\n");
    IncLogIndent();
    int width = 0, height = 0;
    GetScreenSize(&width, &height);
    if (IsFullScreen())
        CreateFlipChain(width, height);
    else
        CreateWindowScreens(width, height);
    d.workSurface1 = CreateWorkSurface(width, height, "作業用サーフェスの作成に失敗しました");
    d.workSurface2 = CreateWorkSurface(width, height, "作業用サーフェス２の作成に失敗しました");

    AddAppLog("各スクリーンメモリの配置位置\n");
    IncLogIndent();
    AddAppLogFormat("PrimaryBuffer : %s  ", MemoryPlace(d.frontScreen));
    AddAppLogFormat("BaskBuffer : %s  ", MemoryPlace(d.backScreen));
    DecLogIndent();
    DecLogIndent();
    AddAppLog("DirectDraw メインサーフェスの作成は正常に終了しました\n");
    return 0;
}

int ReleaseScreenSurfaces()
{
    DisplayState &d = Display();
    if (!d.device) return -1;
    if (d.frontScreen) {
        AddAppLog("メインサーフェスを破棄をします... 完了しました\n");
        d.frontScreen->SetClipper(nullptr);
        // In a flip chain the back buffer goes with the front screen; our
        // reference to it is released first.
        ReleaseObject(d.backScreen);
        ReleaseObject(d.frontScreen);
    }
    ReleaseObject(d.workSurface1);
    ReleaseObject(d.workSurface2);
    d.drawSurface = nullptr;
    return 0;
}

int RestoreLostScreens()
{
    DisplayState &d = Display();
    if (!d.device) return -1;
    IDirectDrawSurface7 *screens[2] = {d.frontScreen, d.backScreen};
    for (IDirectDrawSurface7 *screen : screens) {
        if (screen && screen->IsLost() == DDERR_SURFACELOST) screen->Restore();
    }
    return 0;
}

int IsCopyingByBitBlt() { return Display().useBitBlt; }

int CopySurfaceRect(IDirectDrawSurface7 *destination, IDirectDrawSurface7 *source, int x, int y, RECT *sourceRect)
{
    if (!Display().useBitBlt) {
        destination->BltFast(static_cast<DWORD>(x), static_cast<DWORD>(y), source, sourceRect, DDBLTFAST_NOCOLORKEY);
        return 0;
    }
    HDC destinationDc = nullptr, sourceDc = nullptr;
    if (SUCCEEDED(destination->GetDC(&destinationDc))) {
        if (SUCCEEDED(source->GetDC(&sourceDc))) {
            BitBlt(destinationDc, x, y, sourceRect->right - sourceRect->left, sourceRect->bottom - sourceRect->top,
                   sourceDc, sourceRect->left, sourceRect->top, SRCCOPY);
            GdiFlush();
            source->ReleaseDC(sourceDc);
        }
        destination->ReleaseDC(destinationDc);
    }
    return 0;
}
