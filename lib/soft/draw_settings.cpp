// The public draw settings, SetDrawBlendMode and SetDrawArea, and the
// queries the display uses around presenting and target changes.
#include <windows.h>

#include "../Vexlo.h"
#include "../core/main_window.h"
#include "../core/message.h"
#include "../display/display.h"
#include "../display/display_needs.h"
#include "draw_state.h"

namespace {

// The limit of the current target; false for a graph target that is gone.
bool CurrentDrawAreaLimit(DrawAreaLimit *limit)
{
    int target = GetDrawScreen();
    int width = 0, height = 0;
    if (target == SCREEN_FRONT) {
        GetScreenSize(&width, &height);
        RECT client;
        GetWindowClientRect(&client);
        int desktopWidth = 0, desktopHeight = 0;
        GetDesktopMode(&desktopWidth, &desktopHeight, nullptr);
        *limit = FrontScreenLimit(width, height, client.left, client.top, desktopWidth, desktopHeight);
        return true;
    }
    if (target == SCREEN_BACK) {
        GetScreenSize(&width, &height);
        *limit = {width, height, -1, -1};
        return true;
    }
    GraphDrawTarget graph = {};
    if (GetGraphDrawTarget(target, &graph) == -1) return false;
    *limit = {graph.width, graph.height, -1, -1};
    return true;
}

} // namespace

extern "C" int SetDrawBlendMode(int mode, int parameter)
{
    if (!BlendModeDiffers(mode, parameter)) return 0;
    WaitWhileInactive();
    StoreBlendMode(mode, parameter);
    return 0;
}

extern "C" int SetDrawArea(int x1, int y1, int x2, int y2)
{
    WaitWhileInactive();
    RecordDrawAreaRequest(x1, y1, x2, y2);
    DrawAreaLimit limit;
    if (!CurrentDrawAreaLimit(&limit)) return 0;
    StoreDrawArea(LimitDrawArea(x1, y1, x2, y2, limit));
    return 0;
}

int GetDrawArea(RECT *area)
{
    const PixelRect &a = GetDrawState().drawArea;
    *area = {a.left, a.top, a.right, a.bottom};
    return 0;
}

int GetDrawBlendMode(int *mode, int *parameter)
{
    *mode = GetDrawState().blendMode;
    *parameter = GetDrawState().blendParameter;
    return 0;
}
