// The unscaled blit and the filled box: one row loop per combination of
// layout, rule, key and alpha memory.
#include "blit_loops.h"

#include "../graph/screen_color.h"
#include "blit_rows_simd.h"
#include "loop_choice.h"

namespace soft {

namespace {

// One row of an unscaled draw. With a constant source every pixel takes
// the same source value (the filled box).
template <class L, class Rule, bool Key, bool AlphaMem, bool ConstantSource>
void BlendRow(uint8_t *dst, const uint8_t *dstRead, const uint8_t *src, const uint8_t *alpha, int width,
              const RuleContext &c)
{
    const uint32_t constant = ConstantSource ? c.key : 0;
    for (int x = 0; x < width; ++x) {
        uint32_t s = ConstantSource ? constant : L::Load(src + x * L::kBytes);
        if (Key && s == c.key) continue;
        int a = 255;
        if (AlphaMem) {
            a = alpha[x];
            if (a == 0) continue;
        }
        uint32_t d = Rule::kReadsDestination ? L::Load(dstRead + x * L::kBytes) : 0;
        L::Store(dst + x * L::kBytes, Rule::Apply(s, d, a, c));
    }
}

template <class L, class Rule, bool Key, bool AlphaMem, bool ConstantSource>
void BlendRows(const BlitBuffers &b, int width, int height, const RuleContext &c)
{
    uint8_t *dst = b.dst;
    const uint8_t *dstRead = b.dstRead, *src = b.src, *alpha = b.alpha;
    const RowKernel<L, Rule, Key, AlphaMem, ConstantSource> kernel(c);
    for (int y = 0; y < height; ++y) {
        int done = kernel(dst, dstRead, src, alpha, width);
        BlendRow<L, Rule, Key, AlphaMem, ConstantSource>(dst + done * L::kBytes, dstRead + done * L::kBytes,
                                                         ConstantSource ? src : src + done * L::kBytes,
                                                         AlphaMem ? alpha + done : alpha, width - done, c);
        if (y + 1 == height) break;
        dst += b.dstPitch;
        dstRead += b.dstReadPitch;
        if (!ConstantSource) src += b.srcPitch;
        if (AlphaMem) alpha += b.alphaPitch;
    }
}

} // namespace

} // namespace soft

using namespace soft;

BlitRoute ChooseUnscaledRoute(const ColorData &screen, const BlendSettings &settings, bool hasAlphaMemory)
{
    // Plain copies (with the key) go the same way on every screen depth; an
    // 8-bit screen copies whatever the settings.
    bool copy = settings.mode == BLEND_NONE || (settings.mode == BLEND_ALPHA && settings.parameter == 255);
    if (screen.bitDepth == 8 || (copy && settings.tintColour == -1 && !hasAlphaMemory)) return BlitRoute::Plain;
    LoopChoice c = ChooseUnscaledLoop(KindOfLayout(screen), settings, hasAlphaMemory);
    return c.rule == RuleId::Nothing ? BlitRoute::Nothing : BlitRoute::Blend;
}

void RunUnscaledBlit(const ColorData &screen, const BlitBuffers &buffers, int width, int height,
                     const BlendSettings &settings)
{
    if (width <= 0 || height <= 0) return;
    LayoutKind kind = KindOfLayout(screen);
    LoopChoice choice = ChooseUnscaledLoop(kind, settings, buffers.alpha != nullptr);
    RuleContext context = MakeRuleContext(settings, kind, false);
    auto run = [&](auto tag) {
        using T = decltype(tag);
        BlendRows<typename T::Layout, typename T::Rule, T::kKey, T::kAlphaMem, false>(buffers, width, height, context);
    };
    RunChosenLoop(kind, choice, run);
}

void RunFillBox(const ColorData &screen, const BlitBuffers &buffers, int width, int height, uint32_t colour,
                int mode, int parameter)
{
    if (width <= 0 || height <= 0) return;
    LayoutKind kind = KindOfLayout(screen);
    LoopChoice choice = ChooseFillLoop(kind, mode, parameter);
    // The box colour travels in the key field: no key test runs for boxes.
    BlendSettings settings = {mode, parameter, -1, false, colour};
    RuleContext context = MakeRuleContext(settings, kind, false);
    auto run = [&](auto tag) {
        using T = decltype(tag);
        BlendRows<typename T::Layout, typename T::Rule, false, false, true>(buffers, width, height, context);
    };
    RunChosenLoop(kind, choice, run);
}

uint32_t TintScreenColour(uint32_t colour, int tintColour)
{
    if ((tintColour & 0xFFFFFF) == 0xFFFFFF) return colour;
    int r = 0, g = 0, b = 0;
    if (GetColorRGB(colour, &r, &g, &b) != 0) return colour;
    r = r * ((tintColour >> 16) & 0xFF) / 255;
    g = g * ((tintColour >> 8) & 0xFF) / 255;
    b = b * (tintColour & 0xFF) / 255;
    return static_cast<uint32_t>(GetColor(r, g, b));
}
