// DirectDraw surfaces behind the surface-data entries.
#include "surface_data.h"

#include <cstdlib>
#include <cstring>

#include "../Vexlo.h"
#include "../display/display.h"
#include "../display/display_needs.h"
#include "screen_color.h"

namespace {

void ReleaseEntry(SurfaceData *entry)
{
    std::free(entry->alphaMemory);
    entry->alphaMemory = nullptr;
    if (entry->surface) entry->surface->Release();
    entry->surface = nullptr;
    entry->lockCount = 0;
    entry->lockPixels = nullptr;
}

int CreateTextureEntry(SurfaceData *entry)
{
    // Texture surfaces come with the Direct3D renderer; without it no entry
    // asks for one.
    AddAppLog("テクスチャサーフェスの作成に失敗しました\n");
    return AddAppLogFormat("DrawValid:%d  AlphaChFlag%d  AlphaTestFlag:%d  ColorBitDepth:%d", entry->drawValid,
                           entry->alphaChannel, entry->alphaTest, entry->colourBitDepth);
}

bool CreatePlainSurface(IDirectDraw7 *device, SurfaceData *entry, DWORD memoryCaps)
{
    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = entry->width;
    desc.dwHeight = entry->height;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | memoryCaps;
    return SUCCEEDED(device->CreateSurface(&desc, &entry->surface, nullptr));
}

int CreateStandardEntry(SurfaceData *entry)
{
    IDirectDraw7 *device = GetDisplayDevice();
    if (!device) return -1;
    int screenWidth = 0;
    GetScreenSize(&screenWidth, nullptr);
    bool system = entry->systemMemory || entry->width > screenWidth;
    DWORD caps = system ? DDSCAPS_SYSTEMMEMORY : DDSCAPS_VIDEOMEMORY | DDSCAPS_3DDEVICE;
    if (!CreatePlainSurface(device, entry, caps) && !CreatePlainSurface(device, entry, DDSCAPS_SYSTEMMEMORY))
        return AddAppLog("標準サーフェスの作成に失敗しました\n");
    DDSCAPS2 made = {};
    entry->surface->GetCaps(&made);
    entry->systemMemory = (made.dwCaps & DDSCAPS_VIDEOMEMORY) ? 0 : 1;
    entry->drawValid = 1;
    if (!entry->alphaChannel) return 0;
    entry->alphaPitch = entry->width;
    entry->alphaMemory = static_cast<uint8_t *>(std::calloc(entry->height, entry->width));
    if (!entry->alphaMemory) {
        ReleaseEntry(entry);
        return AddAppLog("αチャンネル用メモリ領域の確保に失敗しました\n");
    }
    return 0;
}

int CreateEntrySurface(SurfaceData *entry)
{
    if (entry->surface) return 0;
    if (entry->texture) {
        if (entry->drawValid) entry->alphaChannel = entry->alphaTest = 0;
        if (entry->alphaChannel) entry->alphaTest = 0;
        return CreateTextureEntry(entry);
    }
    return CreateStandardEntry(entry);
}

int SetEntryColourKey(SurfaceData *entry)
{
    if (!entry->surface) return -1;
    int r = (entry->colourKey >> 16) & 0xFF, g = (entry->colourKey >> 8) & 0xFF, b = entry->colourKey & 0xFF;
    DWORD key = entry->colourBitDepth == 8 ? 0 : static_cast<DWORD>(GetColor(r, g, b));
    DDCOLORKEY colourKey = {key, key};
    if (SUCCEEDED(entry->surface->SetColorKey(DDCKEY_SRCBLT, &colourKey))) return 0;
    return AddAppLog(entry->texture ? "テクスチャサーフェスのカラーキーの設定に失敗しました\n"
                                    : "標準サーフェスのカラーキーの設定に失敗しました\n");
}

const SurfaceHooks kDirectDrawHooks = {CreateEntrySurface, ReleaseEntry, SetEntryColourKey};

} // namespace

void UseDirectDrawSurfaces() { SetSurfaceHooks(kDirectDrawHooks); }

// ---- BMP data ---------------------------------------------------------------------

int AddBmpData(int width, int height, int xInGraph, int yInGraph, int owner, const BmpData *share, int xInSurface,
               int yInSurface, const uint8_t flags[6])
{
    if (!HasDisplayDevice()) return AddAppLog("Ｖｅｘｌｏライブラリが初期化されていません\n");
    UseDirectDrawSurfaces();
    int handle = NewBmpData(width, height, xInGraph, yInGraph, owner, share, xInSurface, yInSurface, flags,
                            static_cast<uint32_t>(GetGraphTransColor()));
    if (handle == SURFACE_TABLE_FULL && GetBmpDataInUse() >= BMP_DATA_CAPACITY)
        return AddAppLog("２Ｄグラフィックの量が許容量を越えました\n");
    if (handle == SURFACE_TABLE_FULL) return AddAppLog("サーフェスのデータ数が許容量を越えました。\n");
    if (handle < 0) return AddAppLog("メモリの確保に失敗しました in AddBmpData \n");
    return handle;
}

int DeleteBmpData(int handle) { return RemoveBmpData(handle); }

int SetBmpDataDeletedFlag(int handle, int *flag)
{
    BmpData *piece = GetBmpData(handle);
    if (!piece) return 0;
    piece->deletedFlag = flag;
    if (flag) *flag = 0;
    return 0;
}

int DeleteAllBmpData()
{
    RemoveAllBmpData();
    return HasDisplayDevice() ? 0 : -1;
}

int ReleaseAllBmpSurfaces()
{
    for (int i = 0; i < GetSurfaceDataHighWater(); ++i) ReleaseSurfaceOfData(GetSurfaceDataHandleAt(i));
    return 0;
}

int RecreateAllBmpSurfaces()
{
    for (int i = 0; i < GetSurfaceDataHighWater(); ++i) {
        int handle = GetSurfaceDataHandleAt(i);
        if (handle == -1) continue;
        if (CreateSurfaceOfData(handle) == 0) SetSurfaceDataColourKey(handle);
    }
    return 0;
}

// ---- Surface data -------------------------------------------------------------

int CreateSurfaceData(int refCount, int width, int height, uint32_t colourKey, const uint8_t flags[6])
{
    UseDirectDrawSurfaces();
    int handle = NewSurfaceData(refCount, width, height, colourKey, flags);
    if (handle == SURFACE_TABLE_FULL) return AddAppLog("サーフェスのデータ数が許容量を越えました。\n");
    if (handle == SURFACE_NO_MEMORY) return AddAppLog("サーフェス用データを保存するメモリ領域の確保に失敗しました\n");
    return handle;
}

int DeleteSurfaceData(int handle) { return RemoveSurfaceData(handle); }

int CreateSurfaceOfData(int handle)
{
    SurfaceData *entry = GetSurfaceData(handle);
    if (!entry) return -1;
    return CreateEntrySurface(entry) == 0 ? 0 : -1;
}

int ReleaseSurfaceOfData(int handle)
{
    SurfaceData *entry = GetSurfaceData(handle);
    if (!entry) return -1;
    ReleaseEntry(entry);
    return 0;
}

int SetSurfaceDataColourKey(int handle)
{
    SurfaceData *entry = GetSurfaceData(handle);
    if (!entry) return -1;
    return SetEntryColourKey(entry);
}

int RestoreSurfaceDataIfLost(int handle)
{
    SurfaceData *entry = GetSurfaceData(handle);
    if (!entry || !entry->surface || entry->surface->IsLost() != DDERR_SURFACELOST) return 0;
    entry->surface->Restore();
    return -1;
}

int LockSurfaceData(int handle, int *pitch, void **pixels)
{
    SurfaceData *entry = GetSurfaceData(handle);
    if (!entry || !entry->surface) return -1;
    if (entry->lockCount != 0) {
        *pitch = entry->lockPitch;
        *pixels = entry->lockPixels;
        ++entry->lockCount;
        return -2;
    }
    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof desc;
    if (FAILED(entry->surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr)))
        return AddAppLog("グラフィックのロックに失敗しました");
    entry->lockPitch = static_cast<int>(desc.lPitch);
    entry->lockPixels = desc.lpSurface;
    entry->lockCount = 1;
    *pitch = entry->lockPitch;
    *pixels = entry->lockPixels;
    return 0;
}

int UnlockSurfaceData(int handle)
{
    SurfaceData *entry = GetSurfaceData(handle);
    if (!entry || entry->lockCount <= 0) return -1;
    if (--entry->lockCount == 0) {
        entry->surface->Unlock(nullptr);
        entry->lockPixels = nullptr;
    }
    return 0;
}

int FillSurfaceData(int handle, int r, int g, int b, int a)
{
    SurfaceData *entry = GetSurfaceData(handle);
    if (!entry || !entry->surface || !HasDisplayDevice()) return -1;
    DDBLTFX fx = {};
    fx.dwSize = sizeof fx;
    // Texture layouts are the Direct3D renderer's; standard surfaces have the screen's.
    fx.dwFillColor = GetColorIn(GetScreenColorData(), r, g, b, a);
    return SUCCEEDED(entry->surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx)) ? 0 : -1;
}
