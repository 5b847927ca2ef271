#include "loop_choice.h"

namespace soft {

namespace {

const LoopChoice kNothing = {RuleId::Nothing, false, false, false};

// BLEND_NONE, and full-strength BLEND_ALPHA: a copy unless alpha memory or
// a tint make it a blend.
LoopChoice CopyChoice(RuleId alphaMemRule, const BlendSettings &s, bool alphaMem)
{
    return {alphaMem ? alphaMemRule : RuleId::Copy, s.tintColour != -1, alphaMem, s.useKey};
}

LoopChoice BlendChoice(RuleId rule, const BlendSettings &s, bool alphaMem)
{
    return {rule, s.tintColour != -1, alphaMem, s.useKey};
}

} // namespace

LayoutKind KindOfLayout(const ColorData &screen)
{
    if (screen.bitDepth == 32) return LayoutKind::Rgb32;
    if (screen.bitDepth == 8) return LayoutKind::Index8;
    if (screen.bitDepth != 16) return LayoutKind::Other;
    if (screen.redMask == 0xF800 && screen.greenMask == 0x7E0 && screen.blueMask == 0x1F) return LayoutKind::Rgb565;
    if (screen.redMask == 0x7C00 && screen.greenMask == 0x3E0 && screen.blueMask == 0x1F) return LayoutKind::Rgb555;
    return LayoutKind::Other;
}

LoopChoice ChooseUnscaledLoop(LayoutKind kind, const BlendSettings &s, bool alphaMem)
{
    if (kind == LayoutKind::Other) return kNothing;
    if (kind == LayoutKind::Index8) return {RuleId::Copy, false, false, s.useKey};
    int p = s.parameter;
    switch (s.mode) {
    case BLEND_NONE: return CopyChoice(RuleId::AlphaMemCopy, s, alphaMem);
    case BLEND_ALPHA:
        if (p == 0) return kNothing;
        if (p == 255) return CopyChoice(RuleId::AlphaMemCopy, s, alphaMem);
        return BlendChoice(alphaMem ? RuleId::AlphaMemAlpha : RuleId::TableAlpha, s, alphaMem);
    case BLEND_ADD: return p == 0 ? kNothing : BlendChoice(RuleId::Add, s, alphaMem);
    case BLEND_SUB: return p == 0 ? kNothing : BlendChoice(RuleId::Sub, s, alphaMem);
    case BLEND_MUL: return {RuleId::Mul, s.tintColour != -1, false, false};
    case BLEND_XOR:
        if (kind == LayoutKind::Rgb32) return kNothing;
        return {RuleId::Xor, false, false, s.useKey};
    default: return kNothing;
    }
}

LoopChoice ChooseScaledLoop(LayoutKind kind, const BlendSettings &s, bool alphaMem)
{
    if (kind == LayoutKind::Other) return kNothing;
    if (kind == LayoutKind::Index8) return {RuleId::Copy, false, false, s.useKey};
    int p = s.parameter;
    switch (s.mode) {
    case BLEND_NONE: return CopyChoice(RuleId::ScaledAlphaMemCopy, s, alphaMem);
    case BLEND_ALPHA:
        if (p == 0) return kNothing;
        if (p == 255) return CopyChoice(RuleId::ScaledAlphaMemCopy, s, alphaMem);
        return BlendChoice(alphaMem ? RuleId::ScaledAlphaMemAlpha : RuleId::TableAlpha, s, alphaMem);
    case BLEND_ADD: return p == 0 ? kNothing : BlendChoice(RuleId::ScaledAdd, s, alphaMem);
    case BLEND_SUB: return p == 0 ? kNothing : BlendChoice(RuleId::ScaledSub, s, alphaMem);
    case BLEND_MUL: return {RuleId::Mul, s.tintColour != -1, false, false};
    default: return kNothing;
    }
}

LoopChoice ChooseFillLoop(LayoutKind kind, int mode, int p)
{
    if (kind == LayoutKind::Other) return kNothing;
    if (kind == LayoutKind::Index8 || mode == BLEND_NONE) return {RuleId::Copy, false, false, false};
    switch (mode) {
    case BLEND_ALPHA:
        if (p == 0) return kNothing;
        return {p == 255 ? RuleId::Copy : RuleId::TableAlpha, false, false, false};
    case BLEND_ADD: return p == 0 ? kNothing : LoopChoice{RuleId::Add, false, false, false};
    case BLEND_SUB: return p == 0 ? kNothing : LoopChoice{RuleId::Sub, false, false, false};
    case BLEND_MUL: return {RuleId::Mul, false, false, false};
    case BLEND_XOR: return kind == LayoutKind::Rgb32 ? kNothing : LoopChoice{RuleId::Xor, false, false, false};
    default: return kNothing;
    }
}

RuleContext MakeRuleContext(const BlendSettings &s, LayoutKind kind, bool scaled)
{
    RuleContext c;
    c.p = s.parameter < 0 ? 0 : (s.parameter > 255 ? 255 : s.parameter);
    c.q = (kind == LayoutKind::Rgb32 && !scaled ? 256 : 255) - c.p;
    int tint = s.tintColour;
    c.tintR = (tint >> 16) & 0xFF;
    c.tintG = (tint >> 8) & 0xFF;
    c.tintB = tint & 0xFF;
    c.key = s.key;
    return c;
}

} // namespace soft
