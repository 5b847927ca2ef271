#include "screen_mode_rules.h"

namespace {

const int kChangeSpacing = 2000;
const int kChangeSettle = 60;
const unsigned long long kTwoBufferMemory = 0x800000;

bool Apply(const ModeApplier &device, ScreenMode *mode)
{
    return device.apply(device.context, mode);
}

} // namespace

bool SameScreenMode(const ScreenMode &a, const ScreenMode &b)
{
    return a.width == b.width && a.height == b.height && a.bits == b.bits && a.refresh == b.refresh;
}

ScreenMode FallbackScreenMode()
{
    return {640, 480, 16, 0};
}

ScreenMode ResolveScreenMode(const ScreenMode &current, int width, int height, int bits, int refresh)
{
    return {width == -1 ? current.width : width, height == -1 ? current.height : height,
            bits == -1 ? current.bits : bits, refresh == -1 ? current.refresh : refresh};
}

int ModeChangeWait(int lastChange, int now)
{
    if (lastChange != 0) {
        int elapsed = now - lastChange;
        if (elapsed < kChangeSpacing) return kChangeSpacing - elapsed + kChangeSettle;
    }
    return kChangeSettle;
}

int ApplyLaterModeChain(const ScreenMode &wanted, const ScreenMode &old, const ModeApplier &device, ScreenMode *mode)
{
    *mode = wanted;
    if (Apply(device, mode)) return 0;
    mode->refresh = 0;
    if (Apply(device, mode)) return 0;
    ScreenMode tried = old;
    tried.refresh = 0;
    if (Apply(device, &tried)) {
        *mode = old;
        return 0;
    }
    *mode = FallbackScreenMode();
    if (Apply(device, mode)) return -2;
    return kModeChainFailed;
}

int ApplyFirstModeChain(const ScreenMode &wanted, const ScreenMode &old, const ModeApplier &device, ScreenMode *mode)
{
    *mode = wanted;
    if (Apply(device, mode)) return 0;
    *mode = old;
    bool oldWasTried = wanted.width == old.width && wanted.height == old.height && wanted.bits == old.bits &&
                       old.refresh == 0;
    if (!oldWasTried && Apply(device, mode)) return -1;
    *mode = FallbackScreenMode();
    if (Apply(device, mode)) return -2;
    return kModeChainFailed;
}

int ScreenModeResult(const ScreenMode &requested, const ScreenMode &before, const ScreenMode &after)
{
    if (SameScreenMode(after, requested)) return 0;
    if (SameScreenMode(after, before)) return -1;
    if (SameScreenMode(after, FallbackScreenMode())) return -2;
    return -1;
}

int BackBufferCount(unsigned long long totalVideoMemory, int width, int height, int bits)
{
    unsigned long long eightScreens = static_cast<unsigned long long>(width) * static_cast<unsigned long long>(height) *
                                      static_cast<unsigned long long>(bits / 8) * 8;
    if (totalVideoMemory < kTwoBufferMemory || totalVideoMemory < eightScreens) return 1;
    return 2;
}
