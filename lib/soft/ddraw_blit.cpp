// The software renderer over DirectDraw surfaces: a graph's piece drawn at
// its natural size, scaled or mirrored, and filled boxes. Each draw clips
// first, then either leaves a plain copy to the driver's fast blit or locks
// the surfaces and runs the pixel loop chosen for the settings. Surfaces in
// video memory are read through system-memory copies in the work surfaces.
#include <windows.h>
#include <ddraw.h>

#include <cstddef>
#include <cstdint>

#include "../Vexlo.h"
#include "../display/display.h"
#include "../display/display_needs.h"
#include "../graph/screen_color.h"
#include "../graph/surface_tables.h"
#include "blit_clip.h"
#include "blit_loops.h"
#include "draw_state.h"
#include "soft_renderer.h"

namespace {

struct LockedSurface {
    uint8_t *pixels;
    ptrdiff_t pitch;
    int width, height, bitsPerPixel;
};

// Locks surfaces for one draw and unlocks them all when it ends. A lock
// that fails unlocks the others and ends the program with its text.
class SurfaceLocks {
public:
    SurfaceLocks() = default;
    SurfaceLocks(const SurfaceLocks &) = delete;
    SurfaceLocks &operator=(const SurfaceLocks &) = delete;
    ~SurfaceLocks() { UnlockAll(); }

    LockedSurface Lock(IDirectDrawSurface7 *surface, bool readOnly, const char *failure)
    {
        DDSURFACEDESC2 desc = {};
        desc.dwSize = sizeof desc;
        DWORD flags = DDLOCK_WAIT | (readOnly ? DDLOCK_READONLY : 0);
        if (FAILED(surface->Lock(nullptr, &desc, flags, nullptr))) {
            UnlockAll();
            ExitWithError(failure);
        }
        locked_[count_++] = surface;
        return {static_cast<uint8_t *>(desc.lpSurface), static_cast<ptrdiff_t>(desc.lPitch),
                static_cast<int>(desc.dwWidth), static_cast<int>(desc.dwHeight),
                static_cast<int>(desc.ddpfPixelFormat.dwRGBBitCount)};
    }

private:
    void UnlockAll()
    {
        while (count_ > 0) locked_[--count_]->Unlock(nullptr);
    }
    IDirectDrawSurface7 *locked_[3] = {};
    int count_ = 0;
};

// The draw target as the loops see it: its surface, the offset added to
// target coordinates, and the draw area cut to the surface, so that no
// offset or area can place a pixel outside the surface's memory.
struct BlitTarget {
    IDirectDrawSurface7 *surface;
    int offsetX, offsetY;
    PixelRect area;
    bool videoMemory;
};

bool SurfaceSize(IDirectDrawSurface7 *surface, int *width, int *height)
{
    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof desc;
    if (FAILED(surface->GetSurfaceDesc(&desc))) return false;
    *width = static_cast<int>(desc.dwWidth);
    *height = static_cast<int>(desc.dwHeight);
    return true;
}

// False when the software renderer cannot draw now (a texture target, no
// device): the draw's result is -1.
bool PrepareTarget(BlitTarget *target)
{
    if (IsDrawTargetTexture() || !HasDisplayDevice()) return false;
    IDirectDrawSurface7 *surface = GetDrawSurface();
    int width = 0, height = 0;
    if (!surface || !SurfaceSize(surface, &width, &height)) return false;
    if (IsDirect3DInUse()) EndScene3D();
    RECT offset;
    GetDrawOffset(&offset);
    target->surface = surface;
    target->offsetX = offset.left;
    target->offsetY = offset.top;
    PixelRect bounds = {-offset.left, -offset.top, width - offset.left, height - offset.top};
    const PixelRect &area = GetDrawState().drawArea;
    target->area = ClampRectInto(area.left, area.top, area.right, area.bottom, bounds);
    target->videoMemory = GetTargetInVideoMemory() != 0;
    return true;
}

// The piece and its surface data; null when either handle is dead or the
// surface is gone.
SurfaceData *PieceSurface(int bmpData, const BmpData **piece)
{
    *piece = GetBmpData(bmpData);
    if (!*piece) return nullptr;
    SurfaceData *data = GetSurfaceData((*piece)->surfaceData);
    return data && data->surface ? data : nullptr;
}

uint32_t ScreenKeyOf(const SurfaceData &data)
{
    uint32_t key = data.colourKey;
    return static_cast<uint32_t>(GetColor((key >> 16) & 0xFF, (key >> 8) & 0xFF, key & 0xFF));
}

// The work surfaces are made at the screen's size: a copy that does not fit
// is not made and the surface is read in place.
bool FitsWorkSurfaces(int width, int height)
{
    int screenWidth = 0, screenHeight = 0;
    GetScreenSize(&screenWidth, &screenHeight);
    return width <= screenWidth && height <= screenHeight;
}

// True when the locked surface holds w x h pixels of bytesPerPixel from (x, y).
bool Covers(const LockedSurface &s, int x, int y, int w, int h, int bytesPerPixel)
{
    return s.pixels && s.bitsPerPixel == bytesPerPixel * 8 && x >= 0 && y >= 0 && x + w <= s.width &&
           y + h <= s.height;
}

uint8_t *PixelAt(const LockedSurface &s, int x, int y, int bytesPerPixel)
{
    return s.pixels + static_cast<ptrdiff_t>(y) * s.pitch + static_cast<ptrdiff_t>(x) * bytesPerPixel;
}

const uint8_t *AlphaAt(const SurfaceData &data, int x, int y)
{
    if (!data.alphaMemory) return nullptr;
    return data.alphaMemory + static_cast<ptrdiff_t>(y) * data.alphaPitch + x;
}

// Where the pixels to blend with and the source pixels are read from.
struct ReadPlan {
    bool copyDestination; // destination rectangle copied to work surface 1
    bool copySource;      // source rectangle copied to work surface 2
};

// A source in video memory is read from a copy; so is a source that is the
// draw target itself (a surface cannot be locked twice). False when the
// source must be copied but cannot be.
bool PlanSourceRead(const SurfaceData &data, const BlitTarget &target, int width, int height, ReadPlan *plan)
{
    bool sameSurface = data.surface == target.surface;
    bool fits = FitsWorkSurfaces(width, height);
    plan->copySource = (!data.systemMemory || sameSurface) && fits;
    return !(sameSurface && !fits);
}

// The plain path: a copy (with the source colour key) by the driver.
void PlainBlit(const BlitTarget &target, const SurfaceData &data, RECT source, int x, int y, bool useKey)
{
    DWORD keyFlag = useKey ? DDBLTFAST_SRCCOLORKEY : DDBLTFAST_NOCOLORKEY;
    bool copyFromVideo = !target.videoMemory && !data.systemMemory && IsCopyingByBitBlt();
    if (copyFromVideo && !useKey) {
        CopySurfaceRect(target.surface, data.surface, x, y, &source);
        return;
    }
    int width = source.right - source.left, height = source.bottom - source.top;
    int screenWidth = 0, screenHeight = 0;
    GetScreenSize(&screenWidth, &screenHeight);
    IDirectDrawSurface7 *work = GetWorkSurface1();
    if (copyFromVideo && width == screenWidth && height == screenHeight) {
        // The work surface's own key is colour 0, as the graph surfaces' key is by default.
        CopySurfaceRect(work, data.surface, 0, 0, &source);
        RECT whole = {0, 0, width, height};
        target.surface->BltFast(static_cast<DWORD>(x), static_cast<DWORD>(y), work, &whole,
                                DDBLTFAST_SRCCOLORKEY | DDBLTFAST_WAIT);
        return;
    }
    target.surface->BltFast(static_cast<DWORD>(x), static_cast<DWORD>(y), data.surface, &source,
                            keyFlag | DDBLTFAST_WAIT);
}

const char kDrawGraphDestination[] = "転送先サーフェスのロックに失敗しました in G_DDraw_DrawGraph ";
const char kDrawGraphSource[] = "転送元１サーフェスのロックに失敗しました in G_DDraw_DrawGraph ";
const char kDrawGraphCopy[] = "転送元２サーフェスのロックに失敗しました in G_DDraw_DrawGraph ";
const char kExtendDestination[] = "転送先サーフェスのロックに失敗しました in G_DDraw_DrawExtendGraph ";
const char kExtendSource[] = "転送元サーフェス１のロックに失敗しました in G_DDraw_DrawExtendGraph ";
const char kExtendCopy[] = "転送元サーフェス２のロックに失敗しました in G_DDraw_DrawExtendGraph ";
const char kBoxDestination[] = "転送先サーフェスのロックに失敗しました in G_DDraw_DrawFillBox ";
const char kBoxCopy[] = "転送元サーフェスのロックに失敗しました in G_DDraw_DrawFillBox ";

struct LockTexts {
    const char *destination, *source, *copy;
};

// The destination rectangle (surface coordinates) and the source rectangle
// (inside the source surface) of one locked draw.
struct LockedDraw {
    int dstX, dstY, width, height;
    RECT source;
    int srcStartX, srcStartY; // first source pixel read, surface coordinates
};

// Makes the copies, locks the surfaces, checks that every rectangle lies
// inside its memory and fills the loop's buffers. False when a rectangle
// does not (nothing is drawn then).
bool LockForDraw(SurfaceLocks &locks, const BlitTarget &target, const SurfaceData &data, const LockedDraw &draw,
                 const ReadPlan &plan, int bytesPerPixel, const LockTexts &texts, BlitBuffers *buffers)
{
    IDirectDrawSurface7 *work1 = GetWorkSurface1(), *work2 = GetWorkSurface2();
    if (plan.copyDestination) {
        RECT rect = {draw.dstX, draw.dstY, draw.dstX + draw.width, draw.dstY + draw.height};
        CopySurfaceRect(work1, target.surface, 0, 0, &rect);
    }
    RECT source = draw.source;
    if (plan.copySource) CopySurfaceRect(work2, data.surface, 0, 0, &source);

    LockedSurface dst = locks.Lock(target.surface, false, texts.destination);
    LockedSurface src = locks.Lock(plan.copySource ? work2 : data.surface, true, texts.source);
    LockedSurface read = plan.copyDestination ? locks.Lock(work1, true, texts.copy) : dst;

    int srcWidth = source.right - source.left, srcHeight = source.bottom - source.top;
    int srcX = plan.copySource ? 0 : source.left, srcY = plan.copySource ? 0 : source.top;
    int readX = plan.copyDestination ? 0 : draw.dstX, readY = plan.copyDestination ? 0 : draw.dstY;
    if (!Covers(dst, draw.dstX, draw.dstY, draw.width, draw.height, bytesPerPixel) ||
        !Covers(src, srcX, srcY, srcWidth, srcHeight, bytesPerPixel) ||
        !Covers(read, readX, readY, draw.width, draw.height, bytesPerPixel))
        return false;

    buffers->dst = PixelAt(dst, draw.dstX, draw.dstY, bytesPerPixel);
    buffers->dstPitch = dst.pitch;
    buffers->dstRead = PixelAt(read, readX, readY, bytesPerPixel);
    buffers->dstReadPitch = read.pitch;
    buffers->src = PixelAt(src, srcX + (draw.srcStartX - source.left), srcY + (draw.srcStartY - source.top),
                           bytesPerPixel);
    buffers->srcPitch = src.pitch;
    buffers->alpha = AlphaAt(data, draw.srcStartX, draw.srcStartY);
    buffers->alphaPitch = data.alphaPitch;
    return true;
}

bool IsBlendDepth(int bits) { return bits == 16 || bits == 32; }

} // namespace

int G_DDraw_DrawGraph(int x, int y, int bmpData, int transFlag)
{
    BlitTarget target;
    if (!PrepareTarget(&target)) return -1;
    const BmpData *piece = nullptr;
    SurfaceData *data = PieceSurface(bmpData, &piece);
    if (!data) return -1;
    UnscaledPlan plan;
    if (!PlanUnscaledBlit(x, y, piece->width, piece->height, target.area, &plan)) return 0;

    const ColorData &screen = *GetScreenColorData();
    BlendSettings settings = CurrentBlendSettings(transFlag != 0, ScreenKeyOf(*data));
    int sx = piece->xInSurface + plan.srcX, sy = piece->yInSurface + plan.srcY;
    RECT source = {sx, sy, sx + plan.width, sy + plan.height};
    int dstX = plan.dstX + target.offsetX, dstY = plan.dstY + target.offsetY;

    switch (ChooseUnscaledRoute(screen, settings, data->alphaMemory != nullptr)) {
    case BlitRoute::Nothing: return 0;
    case BlitRoute::Plain: PlainBlit(target, *data, source, dstX, dstY, settings.useKey); return 0;
    case BlitRoute::Blend: break;
    }
    if (!IsBlendDepth(screen.bitDepth)) return 0;

    ReadPlan read = {};
    if (!PlanSourceRead(*data, target, plan.width, plan.height, &read)) return -1;
    // Blending reads the destination: from video memory only through a copy.
    read.copyDestination = target.videoMemory && FitsWorkSurfaces(plan.width, plan.height);
    LockedDraw draw = {dstX, dstY, plan.width, plan.height, source, sx, sy};
    SurfaceLocks locks;
    BlitBuffers buffers;
    if (!LockForDraw(locks, target, *data, draw, read, screen.bitDepth / 8,
                     {kDrawGraphDestination, kDrawGraphSource, kDrawGraphCopy}, &buffers))
        return -1;
    RunUnscaledBlit(screen, buffers, plan.width, plan.height, settings);
    return 0;
}

int G_DDraw_DrawExtendGraph(int x1, int y1, int x2, int y2, GraphSlot *slot, int transFlag)
{
    BlitTarget target;
    if (!slot || slot->pieceCount == 0 || !PrepareTarget(&target)) return -1;
    const BmpData *piece = nullptr;
    SurfaceData *data = PieceSurface(slot->pieces[0], &piece);
    if (!data) return -1;
    ScaledPlan plan;
    switch (PlanScaledBlit(x1, y1, x2, y2, piece->width, piece->height, target.area, &plan)) {
    case ScaledPlanResult::Empty: return -1;
    case ScaledPlanResult::SameAsUnscaled: return DrawSoftGraph(x1, y1, slot, transFlag);
    case ScaledPlanResult::Draw: break;
    }

    const ColorData &screen = *GetScreenColorData();
    BlendSettings settings = CurrentBlendSettings(transFlag != 0, ScreenKeyOf(*data));
    if (!ScaledBlitDraws(screen, settings)) return 0;
    int bytesPerPixel = screen.bitDepth / 8;
    int sx = piece->xInSurface + plan.srcLeft, sy = piece->yInSurface + plan.srcTop;
    RECT source = {sx, sy, sx + plan.srcWidth, sy + plan.srcHeight};
    int dstX = plan.dstX + target.offsetX, dstY = plan.dstY + target.offsetY;

    ReadPlan read = {};
    if (!PlanSourceRead(*data, target, plan.srcWidth, plan.srcHeight, &read)) return -1;
    read.copyDestination = settings.mode != BLEND_NONE && screen.bitDepth != 8 && target.videoMemory &&
                           FitsWorkSurfaces(plan.width, plan.height);
    LockedDraw draw = {dstX, dstY, plan.width, plan.height, source,
                       piece->xInSurface + plan.srcStartX, piece->yInSurface + plan.srcStartY};
    SurfaceLocks locks;
    BlitBuffers buffers;
    if (!LockForDraw(locks, target, *data, draw, read, bytesPerPixel,
                     {kExtendDestination, kExtendSource, kExtendCopy}, &buffers))
        return -1;
    ScaledSteps steps = {plan.stepX, plan.stepY, plan.fracX, plan.fracY, plan.mirrorX, plan.mirrorY};
    RunScaledBlit(screen, buffers, plan.width, plan.height, steps, settings);
    return 0;
}

int G_DDraw_DrawFillBox(int x1, int y1, int x2, int y2, int colour)
{
    BlitTarget target;
    if (!PrepareTarget(&target)) return -1;
    const DrawState &state = GetDrawState();
    uint32_t c = TintScreenColour(static_cast<uint32_t>(colour), state.tintColour);
    PixelRect r = ClampRectInto(x1, y1, x2, y2, target.area);
    if (IsEmptyRect(r)) return 0;
    int width = r.right - r.left, height = r.bottom - r.top;
    int dstX = r.left + target.offsetX, dstY = r.top + target.offsetY;

    const ColorData &screen = *GetScreenColorData();
    if (state.blendMode == BLEND_NONE || screen.bitDepth == 8) {
        RECT rect = {dstX, dstY, dstX + width, dstY + height};
        DDBLTFX fx = {};
        fx.dwSize = sizeof fx;
        fx.dwFillColor = c;
        target.surface->Blt(&rect, nullptr, nullptr, DDBLT_COLORFILL, &fx);
        return 0;
    }
    int bytesPerPixel = screen.bitDepth / 8;
    IDirectDrawSurface7 *work1 = GetWorkSurface1();
    bool copy = target.videoMemory && FitsWorkSurfaces(width, height);
    if (copy) {
        RECT rect = {dstX, dstY, dstX + width, dstY + height};
        CopySurfaceRect(work1, target.surface, 0, 0, &rect);
    }
    SurfaceLocks locks;
    LockedSurface dst = locks.Lock(target.surface, false, kBoxDestination);
    LockedSurface read = copy ? locks.Lock(work1, true, kBoxCopy) : dst;
    int readX = copy ? 0 : dstX, readY = copy ? 0 : dstY;
    if (!IsBlendDepth(screen.bitDepth) || !Covers(dst, dstX, dstY, width, height, bytesPerPixel) ||
        !Covers(read, readX, readY, width, height, bytesPerPixel))
        return 0;
    BlitBuffers buffers = {};
    buffers.dst = PixelAt(dst, dstX, dstY, bytesPerPixel);
    buffers.dstPitch = dst.pitch;
    buffers.dstRead = PixelAt(read, readX, readY, bytesPerPixel);
    buffers.dstReadPitch = read.pitch;
    RunFillBox(screen, buffers, width, height, c, state.blendMode, state.blendParameter);
    return 0;
}
