// Presenting frames: a page flip in full screen, a clipped blit into the
// window's part of the desktop in window mode, paced to the vertical blank;
// and the frame counter.
#include <windows.h>
#include <ddraw.h>

#include "../Vexlo.h"
#include "../core/app_log.h"
#include "../core/main_window.h"
#include "../core/message.h"
#include "display.h"
#include "display_needs.h"
#include "display_state.h"
#include "present_rect.h"

namespace {

// A blank that does not come within this time is not waited for longer:
// a device that cannot report it must not stop the program.
const int kBlankPollLimitMs = 250;

// The screen log is drawn over the whole screen without blending.
void DrawScreenLogOnTop()
{
    if (!GetScreenLogActive()) return;
    RECT area = {};
    GetDrawArea(&area);
    int mode = 0, parameter = 0;
    GetDrawBlendMode(&mode, &parameter);
    int width = 0, height = 0;
    GetScreenSize(&width, &height);
    SetDrawArea(0, 0, width, height);
    SetDrawBlendMode(0, 0);
    DrawScreenLog();
    SetDrawArea(area.left, area.top, area.right, area.bottom);
    SetDrawBlendMode(mode, parameter);
}

bool InBlank()
{
    BOOL inBlank = FALSE;
    if (FAILED(Display().device->GetVerticalBlankStatus(&inBlank))) return true;
    return inBlank != FALSE;
}

// Polls until the blank status is `wanted`, processing messages on every
// pass; false when message processing asked to stop.
bool PollBlank(bool wanted)
{
    int start = GetMilliCount(0);
    while (Display().device && InBlank() != wanted) {
        if (ProcessMessage() != 0) return false;
        if (GetMilliCount(0) - start >= kBlankPollLimitMs) break;
    }
    return true;
}

int NowMs(void *) { return GetMilliCount(0); }
void SleepOneMs(void *) { Sleep(1); }
void WaitForBlank(void *) { Display().device->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, nullptr); }
bool InBlankOp(void *) { return InBlank(); }

bool ScreensReady()
{
    const DisplayState &d = Display();
    return d.device && d.frontScreen && d.backScreen;
}

} // namespace

void CountPresentedFrame() { CountFrame(&Display().frames); }

unsigned long long GetFrameCount() { return FrameCounterValue(Display().frames); }

int WaitVSyncPaced()
{
    DisplayState &d = Display();
    d.lastVSyncTime = RunPacedWait(d.lastVSyncTime, d.pacingThreshold, PacingOps{NowMs, SleepOneMs, WaitForBlank, InBlankOp, nullptr});
    return d.lastVSyncTime;
}

extern "C" int WaitVSync(int count)
{
    if (!Display().device) return -1;
    WaitWhileInactive();
    if (count == 0) {
        PollBlank(true);
        return 0;
    }
    for (int i = 0; i < count; ++i) {
        if (PollBlank(false)) PollBlank(true);
        if (ProcessMessage() < 0) return -1;
    }
    return 0;
}

int PresentByBlit()
{
    DisplayState &d = Display();
    if (!d.device) return -1;
    DrawScreenLogOnTop();
    if (GetDrawScreen() == SCREEN_FRONT) {
        CountPresentedFrame();
        return WaitVSync(1);
    }
    WaitWhileInactive();
    if (!ScreensReady()) return 0;
    EndScene3D();
    int width = 0, height = 0;
    GetScreenSize(&width, &height);
    if (!IsFullScreen()) {
        RECT client;
        GetWindowClientRect(&client);
        int desktopWidth = 0, desktopHeight = 0;
        GetDesktopMode(&desktopWidth, &desktopHeight, nullptr);
        PresentRects rects = ClipPresentRect(client.left, client.top, width, height, desktopWidth, desktopHeight);
        RECT source = {rects.source.left, rects.source.top, rects.source.right, rects.source.bottom};
        RECT destination = {rects.destination.left, rects.destination.top, rects.destination.right,
                            rects.destination.bottom};
        if (d.vsync) WaitVSyncPaced();
        if (source.right > source.left && source.bottom > source.top)
            d.frontScreen->Blt(&destination, d.backScreen, &source, DDBLT_WAIT, nullptr);
    } else {
        RECT source = {0, 0, width, height};
        if (d.vsync) WaitVSyncPaced();
        d.frontScreen->BltFast(0, 0, d.backScreen, &source, DDBLTFAST_WAIT);
    }
    CountPresentedFrame();
    return 0;
}

extern "C" int FlipScreen(void)
{
    DisplayState &d = Display();
    if (!d.device) return -1;
    WaitWhileInactive();
    if (!IsFullScreen()) return PresentByBlit();
    DrawScreenLogOnTop();
    if (GetDrawScreen() == SCREEN_FRONT && d.vsync) {
        CountPresentedFrame();
        return WaitVSync(1);
    }
    EndScene3D();
    if (ScreensReady()) d.frontScreen->Flip(nullptr, d.vsync ? DDFLIP_WAIT : DDFLIP_WAIT | DDFLIP_NOVSYNC);
    CountPresentedFrame();
    return 0;
}
