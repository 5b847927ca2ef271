#include "draw_helpers.h"

#include <algorithm>
#include <cstdio>

namespace drawtest {

namespace {

BlitBuffers BuffersAt(Surface &dst, int dx, int dy, Surface &read, const Source &src, int sx, int sy)
{
    BlitBuffers b{};
    b.dst = dst.At(dx, dy);
    b.dstPitch = dst.pitch;
    b.dstRead = read.At(dx, dy);
    b.dstReadPitch = read.pitch;
    b.src = src.pixels->At(sx, sy);
    b.srcPitch = src.pixels->pitch;
    if (src.alpha) {
        b.alpha = src.alpha->At(sx, sy);
        b.alphaPitch = src.alpha->pitch;
    }
    return b;
}

int AlphaAt(const Source &src, int x, int y) { return src.alpha ? static_cast<int>(src.alpha->Get(x, y)) : 255; }

} // namespace

reference::Settings ReferenceSettings(const BlendSettings &s, bool alphaMemory)
{
    return {s.mode, s.parameter, s.tintColour, s.useKey, s.key, alphaMemory};
}

void DrawUnscaled(const reference::Layout &l, Surface &dst, Surface *dstRead, const Source &src, int x, int y,
                  const PixelRect &area, const BlendSettings &s)
{
    UnscaledPlan plan;
    if (!PlanUnscaledBlit(x, y, src.pixels->width, src.pixels->height, area, &plan)) return;
    Surface &read = dstRead ? *dstRead : dst;
    BlitBuffers b = BuffersAt(dst, plan.dstX, plan.dstY, read, src, plan.srcX, plan.srcY);
    RunUnscaledBlit(reference::ColorDataOf(l), b, plan.width, plan.height, s);
}

void ExpectUnscaled(const reference::Layout &l, Surface &expected, Surface &dstRead, const Source &src, int x,
                    int y, const PixelRect &area, const BlendSettings &s)
{
    reference::Settings rs = ReferenceSettings(s, src.alpha != nullptr);
    for (int sy = 0; sy < src.pixels->height; ++sy) {
        for (int sx = 0; sx < src.pixels->width; ++sx) {
            long long dx = static_cast<long long>(x) + sx, dy = static_cast<long long>(y) + sy;
            if (dx < area.left || dx >= area.right || dy < area.top || dy >= area.bottom) continue;
            bool written = false;
            uint32_t v = reference::Unscaled(l, rs, src.pixels->Get(sx, sy), dstRead.Get(int(dx), int(dy)),
                                             AlphaAt(src, sx, sy), &written);
            if (written) expected.Set(int(dx), int(dy), v);
        }
    }
}

ScaledPlanResult DrawScaled(const reference::Layout &l, Surface &dst, const Source &src, int x1, int y1, int x2,
                            int y2, const PixelRect &area, const BlendSettings &s)
{
    ScaledPlan plan;
    ScaledPlanResult result = PlanScaledBlit(x1, y1, x2, y2, src.pixels->width, src.pixels->height, area, &plan);
    if (result == ScaledPlanResult::SameAsUnscaled) DrawUnscaled(l, dst, nullptr, src, x1, y1, area, s);
    if (result != ScaledPlanResult::Draw) return result;
    BlitBuffers b = BuffersAt(dst, plan.dstX, plan.dstY, dst, src, plan.srcStartX, plan.srcStartY);
    ScaledSteps steps = {plan.stepX, plan.stepY, plan.fracX, plan.fracY, plan.mirrorX, plan.mirrorY};
    RunScaledBlit(reference::ColorDataOf(l), b, plan.width, plan.height, steps, s);
    return result;
}

void ExpectScaled(const reference::Layout &l, Surface &expected, const Source &src, int x1, int y1, int x2, int y2,
                  const PixelRect &area, const BlendSettings &s)
{
    int gw = src.pixels->width, gh = src.pixels->height;
    bool mirrorX = x2 < x1, mirrorY = y2 < y1;
    if (mirrorX) std::swap(x1, x2);
    if (mirrorY) std::swap(y1, y2);
    long long w = static_cast<long long>(x2) - x1, h = static_cast<long long>(y2) - y1;
    if (w == 0 || h == 0) return;
    if (w == gw && h == gh && !mirrorX && !mirrorY) {
        ExpectUnscaled(l, expected, expected, src, x1, y1, area, s);
        return;
    }
    long long stepX = w * 65536 / gw, stepY = h * 65536 / gh;
    reference::Settings rs = ReferenceSettings(s, src.alpha != nullptr);
    for (long long dy = std::max<long long>(y1, area.top); dy < std::min<long long>(y2, area.bottom); ++dy) {
        int sy = static_cast<int>((dy - y1) * 65536 / stepY);
        if (mirrorY) sy = gh - 1 - sy;
        for (long long dx = std::max<long long>(x1, area.left); dx < std::min<long long>(x2, area.right); ++dx) {
            int sx = static_cast<int>((dx - x1) * 65536 / stepX);
            if (mirrorX) sx = gw - 1 - sx;
            bool written = false;
            uint32_t v = reference::Scaled(l, rs, src.pixels->Get(sx, sy), expected.Get(int(dx), int(dy)),
                                           AlphaAt(src, sx, sy), &written);
            if (written) expected.Set(int(dx), int(dy), v);
        }
    }
}

void DrawBox(const reference::Layout &l, Surface &dst, int x1, int y1, int x2, int y2, const PixelRect &area,
             uint32_t colour, int mode, int parameter)
{
    PixelRect r = ClampRectInto(x1, y1, x2, y2, area);
    if (IsEmptyRect(r)) return;
    BlitBuffers b{};
    b.dst = dst.At(r.left, r.top);
    b.dstPitch = dst.pitch;
    b.dstRead = b.dst;
    b.dstReadPitch = dst.pitch;
    RunFillBox(reference::ColorDataOf(l), b, r.right - r.left, r.bottom - r.top, colour, mode, parameter);
}

void ExpectBox(const reference::Layout &l, Surface &expected, int x1, int y1, int x2, int y2, const PixelRect &area,
               uint32_t colour, int mode, int parameter)
{
    for (int y = std::max(y1, area.top); y < std::min(y2, area.bottom); ++y) {
        for (int x = std::max(x1, area.left); x < std::min(x2, area.right); ++x) {
            bool written = false;
            uint32_t v = reference::Box(l, mode, parameter, colour, expected.Get(x, y), &written);
            if (written) expected.Set(x, y, v);
        }
    }
}

std::string Compare(const reference::Layout &l, Surface &actual, Surface &expected)
{
    uint32_t mask = l.bytes == 4 ? 0xFFFFFFu : 0xFFFFu;
    int count = 0;
    char first[160] = "";
    for (int y = 0; y < actual.height; ++y) {
        for (int x = 0; x < actual.width; ++x) {
            uint32_t a = actual.Get(x, y) & mask, e = expected.Get(x, y) & mask;
            if (a == e) continue;
            if (count++ == 0) std::snprintf(first, sizeof first, " first at (%d, %d): 0x%X, expected 0x%X", x, y, a, e);
        }
    }
    // Guard bands and the bytes between rows past the width.
    size_t outside = 0;
    for (size_t i = 0; i < actual.memory.size(); ++i) {
        ptrdiff_t inGuard = static_cast<ptrdiff_t>(i) - actual.guard;
        bool inPixels = inGuard >= 0 && inGuard < static_cast<ptrdiff_t>(actual.pitch) * actual.height &&
                        inGuard % actual.pitch < actual.width * actual.bytes;
        if (!inPixels && actual.memory[i] != 0xA7) ++outside;
    }
    if (count == 0 && outside == 0) return "";
    return std::to_string(count) + " pixels differ," + first + "; " + std::to_string(outside) +
           " bytes outside the pixels changed";
}

} // namespace drawtest
