// The draw screen: which surface drawing targets (back screen, front screen
// or a graph), and clearing it.
#include <windows.h>
#include <ddraw.h>

#include "../Vexlo.h"
#include "../core/main_window.h"
#include "../core/message.h"
#include "display.h"
#include "display_needs.h"
#include "display_state.h"

namespace {

// Values below this are graph slot indices, not handles.
const unsigned kFirstHandleValue = 30000;

struct DrawScreenState {
    int drawScreen;
    int targetInVideoMemory; // 0x4000 when the target lies in video memory
    RECT offset;             // added to every drawing position
    int width, height;
};
DrawScreenState g_draw = {SCREEN_FRONT, 0, {0, 0, 0, 0}, 0, 0};

bool IsScreen(int drawScreen) { return drawScreen == SCREEN_FRONT || drawScreen == SCREEN_BACK; }

void TargetSize(int drawScreen, int *width, int *height)
{
    GraphDrawTarget target = {};
    if (!IsScreen(drawScreen) && GetGraphDrawTarget(drawScreen, &target) == 0) {
        *width = target.width;
        *height = target.height;
        return;
    }
    GetScreenSize(width, height);
}

RECT DrawOffsetFor(int drawScreen)
{
    RECT offset = {0, 0, 0, 0};
    if (drawScreen == SCREEN_FRONT && GetWindowModeFlag()) GetWindowClientRect(&offset);
    return offset;
}

// Both renderers are asked; true when one of them took the target.
bool SelectOnRenderers(int drawScreen)
{
    int direct3D = IsDirect3DInUse() ? SelectDrawScreen3D(drawScreen) : -1;
    int directDraw = SelectDrawSurface(drawScreen);
    return direct3D == 0 || directDraw == 0;
}

void FillRect(IDirectDrawSurface7 *surface, RECT *rect, DWORD waitFlag)
{
    DDBLTFX fx = {};
    fx.dwSize = sizeof fx;
    fx.dwFillColor = 0;
    surface->Blt(rect, nullptr, nullptr, DDBLT_COLORFILL | waitFlag, &fx);
}

} // namespace

extern "C" int SetDrawScreen(int drawScreen)
{
    if (!IsGraphManagementStarted()) return -1;
    WaitWhileInactive();
    if (static_cast<unsigned>(drawScreen) < kFirstHandleValue && IsGraphSlotEmpty(drawScreen)) return -1;

    int old = g_draw.drawScreen;
    int oldWidth = g_draw.width, oldHeight = g_draw.height;
    g_draw.drawScreen = drawScreen;
    g_draw.offset = DrawOffsetFor(drawScreen);
    if (!SelectOnRenderers(drawScreen)) {
        // Neither renderer can draw there (a dead handle): the previous
        // target stays selected and the caller learns of the refusal.
        g_draw.drawScreen = old;
        g_draw.offset = DrawOffsetFor(old);
        SelectOnRenderers(old);
        return -1;
    }
    TargetSize(drawScreen, &g_draw.width, &g_draw.height);
    RECT area = {0, 0, g_draw.width, g_draw.height};
    if (g_draw.width == oldWidth && g_draw.height == oldHeight) GetDrawArea(&area);
    SetDrawArea(area.left, area.top, area.right, area.bottom);
    return 0;
}

int SelectDrawSurface(int drawScreen)
{
    DisplayState &d = Display();
    if (!d.device || !d.frontScreen) return -1;
    if (drawScreen == SCREEN_FRONT) {
        d.targetIsTexture = 0;
        d.drawSurface = d.frontScreen;
        if (!IsFullScreen()) d.frontScreen->SetClipper(nullptr);
    } else if (drawScreen == SCREEN_BACK) {
        d.targetIsTexture = 0;
        d.drawSurface = d.backScreen;
        // The present blit into the front screen is clipped to the window.
        if (!IsFullScreen()) d.frontScreen->SetClipper(d.clipper);
    } else {
        GraphDrawTarget target = {};
        if (GetGraphDrawTarget(drawScreen, &target) == -1) return -1;
        if (target.isTexture) {
            d.targetIsTexture = 1;
            return -1;
        }
        if (target.surface == nullptr) return -1;
        d.targetIsTexture = 0;
        d.drawSurface = target.surface;
    }
    DDSCAPS2 caps = {};
    d.drawSurface->GetCaps(&caps);
    g_draw.targetInVideoMemory = static_cast<int>(caps.dwCaps & DDSCAPS_VIDEOMEMORY);
    return 0;
}

extern "C" int ClearDrawScreen(void)
{
    WaitWhileInactive();
    if (IsDirect3DInUse()) ClearDrawScreen3D();
    ClearDrawSurface();
    return 0;
}

int ClearDrawSurface()
{
    DisplayState &d = Display();
    if (d.targetIsTexture || !d.device || !d.drawSurface) return -1;
    EndScene3D();
    int drawScreen = g_draw.drawScreen;
    if (IsScreen(drawScreen)) {
        int width = 0, height = 0;
        GetScreenSize(&width, &height);
        RECT rect = {0, 0, width, height};
        if (drawScreen == SCREEN_FRONT && !IsFullScreen()) {
            RECT client;
            GetWindowClientRect(&client);
            rect = {client.left, client.top, client.left + width, client.top + height};
        }
        FillRect(d.drawSurface, &rect, 0);
        return 0;
    }
    GraphDrawTarget target = {};
    if (GetGraphDrawTarget(drawScreen, &target) == -1 || target.isTexture || target.surface == nullptr) return 0;
    RECT rect = {0, 0, target.surfaceWidth, target.surfaceHeight};
    FillRect(target.surface, &rect, DDBLT_WAIT);
    return 0;
}

int GetDrawScreen() { return g_draw.drawScreen; }
void RecordDrawScreen(int drawScreen) { g_draw.drawScreen = drawScreen; }
int GetTargetInVideoMemory() { return g_draw.targetInVideoMemory; }
void GetDrawOffset(RECT *offset) { *offset = g_draw.offset; }
void GetDrawScreenSize(int *width, int *height)
{
    *width = g_draw.width;
    *height = g_draw.height;
}

void SetFrontScreenTarget(int left, int top, int right, int bottom)
{
    if (g_draw.drawScreen == SCREEN_FRONT) g_draw.offset = {left, top, right, bottom};
}
