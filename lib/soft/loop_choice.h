// Which loop a draw runs: the rule, and the flags the loop is instantiated
// with, chosen once per draw from the screen layout and the draw settings.
// Internal to lib/soft; platform-free.
#ifndef VEXLO_SOFT_LOOP_CHOICE_H
#define VEXLO_SOFT_LOOP_CHOICE_H

#include "blit_loops.h"
#include "pixel_rules.h"

namespace soft {

enum class LayoutKind { Rgb32, Rgb565, Rgb555, Index8, Other };
LayoutKind KindOfLayout(const ColorData &screen);

enum class RuleId {
    Nothing,
    Copy,
    AlphaMemCopy,
    TableAlpha,
    AlphaMemAlpha,
    Add,
    Sub,
    Mul,
    Xor,
    ScaledAlphaMemCopy,
    ScaledAlphaMemAlpha,
    ScaledAdd,
    ScaledSub,
};

struct LoopChoice {
    RuleId rule;
    bool tint, alphaMem, key;
};

LoopChoice ChooseUnscaledLoop(LayoutKind kind, const BlendSettings &settings, bool hasAlphaMemory);
LoopChoice ChooseScaledLoop(LayoutKind kind, const BlendSettings &settings, bool hasAlphaMemory);
LoopChoice ChooseFillLoop(LayoutKind kind, int mode, int parameter);

// The parameter, its complement and the tint bytes. The plain draws weigh
// 32-bit destinations by 256 - P, everything else by 255 - P.
RuleContext MakeRuleContext(const BlendSettings &settings, LayoutKind kind, bool scaled);

// Calls run.template operator()<Layout, Rule, Key, AlphaMem>() through a tag
// for the chosen combination.
template <class L, class R, bool Key, bool AlphaMem> struct LoopTag {
    using Layout = L;
    using Rule = R;
    static constexpr bool kKey = Key;
    static constexpr bool kAlphaMem = AlphaMem;
};

template <class L, template <class, bool, bool> class R, bool Tint, bool AlphaMem, class Run>
void RunWithKey(bool key, Run &run)
{
    if (key) run(LoopTag<L, R<L, Tint, AlphaMem>, true, AlphaMem>{});
    else run(LoopTag<L, R<L, Tint, AlphaMem>, false, AlphaMem>{});
}

template <class L, template <class, bool, bool> class R, class Run> void RunWithFlags(const LoopChoice &c, Run &run)
{
    if (c.tint) {
        if (c.alphaMem) RunWithKey<L, R, true, true>(c.key, run);
        else RunWithKey<L, R, true, false>(c.key, run);
    } else {
        if (c.alphaMem) RunWithKey<L, R, false, true>(c.key, run);
        else RunWithKey<L, R, false, false>(c.key, run);
    }
}

template <class L, class Run> void RunWithRule(const LoopChoice &c, Run &run)
{
    switch (c.rule) {
    case RuleId::Copy: RunWithFlags<L, CopyRule>(c, run); break;
    case RuleId::AlphaMemCopy: RunWithFlags<L, AlphaMemCopyRule>(c, run); break;
    case RuleId::TableAlpha: RunWithFlags<L, TableAlphaRule>(c, run); break;
    case RuleId::AlphaMemAlpha: RunWithFlags<L, AlphaMemAlphaRule>(c, run); break;
    case RuleId::Add: RunWithFlags<L, AddRule>(c, run); break;
    case RuleId::Sub: RunWithFlags<L, SubRule>(c, run); break;
    case RuleId::Mul: RunWithFlags<L, MulRule>(c, run); break;
    case RuleId::Xor: RunWithFlags<L, XorRule>(c, run); break;
    case RuleId::ScaledAlphaMemCopy: RunWithFlags<L, ScaledAlphaMemCopyRule>(c, run); break;
    case RuleId::ScaledAlphaMemAlpha: RunWithFlags<L, ScaledAlphaMemAlphaRule>(c, run); break;
    case RuleId::ScaledAdd: RunWithFlags<L, ScaledAddRule>(c, run); break;
    case RuleId::ScaledSub: RunWithFlags<L, ScaledSubRule>(c, run); break;
    case RuleId::Nothing: break;
    }
}

// The layout first, then the rule and its flags. 8-bit screens only copy.
template <class Run> void RunChosenLoop(LayoutKind kind, const LoopChoice &c, Run &run)
{
    switch (kind) {
    case LayoutKind::Rgb32: RunWithRule<Rgb32>(c, run); break;
    case LayoutKind::Rgb565: RunWithRule<Rgb565>(c, run); break;
    case LayoutKind::Rgb555: RunWithRule<Rgb555>(c, run); break;
    case LayoutKind::Index8:
        if (c.rule == RuleId::Copy) RunWithKey<Index8, CopyRule, false, false>(c.key, run);
        break;
    case LayoutKind::Other: break;
    }
}

} // namespace soft

#endif
