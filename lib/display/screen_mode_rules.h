// The rules of a screen-mode change that need no device: kept values, the
// spacing of changes, the fallback chains, the result code of SetScreenMode
// and the number of back buffers. Platform-free.
#ifndef VEXLO_DISPLAY_SCREEN_MODE_RULES_H
#define VEXLO_DISPLAY_SCREEN_MODE_RULES_H

struct ScreenMode {
    int width, height, bits, refresh;
};

bool SameScreenMode(const ScreenMode &a, const ScreenMode &b);
// The mode every chain falls back to last.
ScreenMode FallbackScreenMode();

// Arguments of -1 keep the current value.
ScreenMode ResolveScreenMode(const ScreenMode &current, int width, int height, int bits, int refresh);

// Milliseconds to wait before a change: changes are kept 2000 ms apart plus
// a 60 ms settling time; the first change (lastChange 0) waits 60 ms only.
int ModeChangeWait(int lastChange, int now);

// Tries one mode on the device; may rewrite the mode (a refresh rate given
// up, a depth taken from the desktop). true on success.
struct ModeApplier {
    bool (*apply)(void *context, ScreenMode *mode);
    void *context;
};

const int kModeChainFailed = -3;

// A change after the display started, in full screen: the wanted mode, then
// it at the default refresh, then the old mode at the default refresh (the
// old refresh stays recorded), then 640 x 480 x 16. *mode receives the mode
// to record. Returns 0, -2 (fell back to 640 x 480 x 16) or kModeChainFailed.
int ApplyLaterModeChain(const ScreenMode &wanted, const ScreenMode &old, const ModeApplier &device, ScreenMode *mode);

// The first application at display start: the wanted mode, then the old one
// (skipped when it is the same mode at the default refresh, which was just
// refused), then 640 x 480 x 16. Returns 0, -1 (the old mode), -2 (the
// fallback) or kModeChainFailed.
int ApplyFirstModeChain(const ScreenMode &wanted, const ScreenMode &old, const ModeApplier &device, ScreenMode *mode);

// SetScreenMode's answer: 0 when the mode in force is the requested one, -1
// when it is the one from before the call, -2 when it is 640 x 480 x 16 at
// the default refresh, -1 otherwise.
int ScreenModeResult(const ScreenMode &requested, const ScreenMode &before, const ScreenMode &after);

// Back buffers of the full-screen flip chain: 1 when the video memory is
// below 8 MiB or below eight screens of the mode, else 2.
int BackBufferCount(unsigned long long totalVideoMemory, int width, int height, int bits);

#endif
