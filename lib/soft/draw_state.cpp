#include "draw_state.h"

#include <algorithm>
#include <utility>

namespace {

const DrawState kStartState = {{0, 0, 0, 0}, 1, BLEND_NONE, 0, -1, 1, 0};
DrawState g_drawState = kStartState;

int ClampTo(int v, int low, int high) { return std::min(std::max(v, low), high); }

} // namespace

const DrawState &GetDrawState() { return g_drawState; }

void ResetDrawState() { g_drawState = kStartState; }

bool BlendModeDiffers(int mode, int parameter)
{
    return mode != g_drawState.blendMode || parameter != g_drawState.blendParameter;
}

void StoreBlendMode(int mode, int parameter)
{
    if (mode == BLEND_KEEP) return;
    g_drawState.blendMode = mode;
    g_drawState.blendParameter = ClampTo(parameter, 0, 255);
}

void SetTintColour(int tintColour) { g_drawState.tintColour = tintColour; }

PixelRect LimitDrawArea(int x1, int y1, int x2, int y2, const DrawAreaLimit &limit)
{
    if (limit.minLeft >= 0) x1 = limit.minLeft;
    if (limit.minTop >= 0) y1 = limit.minTop;
    if (x2 < x1) std::swap(x1, x2);
    if (y2 < y1) std::swap(y1, y2);
    int width = std::max(limit.width, 0), height = std::max(limit.height, 0);
    return {ClampTo(x1, 0, width), ClampTo(y1, 0, height), ClampTo(x2, 0, width), ClampTo(y2, 0, height)};
}

DrawAreaLimit FrontScreenLimit(int screenWidth, int screenHeight, int originX, int originY, int desktopWidth,
                               int desktopHeight)
{
    DrawAreaLimit limit = {screenWidth, screenHeight, -1, -1};
    if (static_cast<long long>(originY) + limit.height >= desktopHeight) limit.height = desktopHeight - originY;
    if (originX < 0) limit.minLeft = -originX;
    if (originY < 0) limit.minTop = -originY;
    if (static_cast<long long>(originX) + limit.width >= desktopWidth) limit.width = desktopWidth - originX;
    return limit;
}

void StoreDrawArea(const PixelRect &area)
{
    g_drawState.drawArea = area;
    g_drawState.areaEmpty = (area.left == area.right || area.top == area.bottom) ? 1 : 0;
}

BlendSettings CurrentBlendSettings(bool useKey, uint32_t key)
{
    return {g_drawState.blendMode, g_drawState.blendParameter, g_drawState.tintColour, useKey, key};
}
