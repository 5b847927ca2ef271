// The pixel layouts and per-pixel blend rules the software loops are built
// from. A loop is instantiated once per (layout, rule, key, alpha memory)
// combination, so no draw setting is tested per pixel. Products (i * j) >> 8
// are computed with a multiply and a shift, the same values the display's
// multiplication table holds. Internal to lib/soft; platform-free.
#ifndef VEXLO_SOFT_PIXEL_RULES_H
#define VEXLO_SOFT_PIXEL_RULES_H

#include <cstdint>
#include <cstring>

namespace soft {

inline int Mul8(int i, int j) { return (i * j) >> 8; }

struct Channels {
    int r, g, b;
};

// ---- Layouts ------------------------------------------------------------------
// Fixed channel positions; the guard-bit constants of the saturating add and
// subtract belong to each layout.

struct Rgb32 {
    using Pixel = uint32_t;
    static constexpr int kBytes = 4;
    static constexpr bool kIs16 = false;
    static constexpr uint32_t kRed = 0xFF0000, kGreen = 0xFF00, kBlue = 0xFF;
    static constexpr int kRedShift = 16, kGreenShift = 8;
    static constexpr int kRedMax = 255, kGreenMax = 255, kBlueMax = 255;

    static Pixel Load(const uint8_t *p)
    {
        uint32_t v;
        std::memcpy(&v, p, 4);
        return v;
    }
    static void Store(uint8_t *p, Pixel v) { std::memcpy(p, &v, 4); }
    static uint32_t SaturatingAdd(uint32_t d, uint32_t s)
    {
        uint32_t sum = (d & 0xFEFEFFu) + (s & 0xFEFEFFu);
        uint32_t carry = sum & 0x1010100u;
        return (carry - (carry >> 8)) | sum | ((s | d) & 0x10100u);
    }
    static uint32_t SaturatingSub(uint32_t d, uint32_t s)
    {
        uint32_t x = (d | 0x1010100u) - (s & 0xFEFEFEFFu);
        uint32_t g = x & 0x1010100u;
        return (g - (g >> 8)) & x;
    }
};

struct Rgb565 {
    using Pixel = uint16_t;
    static constexpr int kBytes = 2;
    static constexpr bool kIs16 = true;
    static constexpr uint32_t kRed = 0xF800, kGreen = 0x7E0, kBlue = 0x1F;
    static constexpr int kRedShift = 11, kGreenShift = 5;
    static constexpr int kRedMax = 31, kGreenMax = 63, kBlueMax = 31;

    static Pixel Load(const uint8_t *p)
    {
        uint16_t v;
        std::memcpy(&v, p, 2);
        return v;
    }
    static void Store(uint8_t *p, uint32_t v)
    {
        uint16_t w = static_cast<uint16_t>(v);
        std::memcpy(p, &w, 2);
    }
    // Guard bits of the saturating add and subtract: the bit above each
    // field, the field bits without them, and the lowest bit of each field.
    static constexpr uint32_t kGuard = 0x10820, kSumMask = 0xF7DF, kLowBits = 0x820;
    static uint32_t SaturatingAdd(uint32_t d, uint32_t s)
    {
        uint32_t sum = (d & kSumMask) + (s & kSumMask);
        uint32_t carry = sum & kGuard;
        return ((carry - (carry >> 5)) | sum | ((s | d) & kLowBits)) & 0xFFFFu;
    }
    static uint32_t SaturatingSub(uint32_t d, uint32_t s)
    {
        uint32_t x = (d | kGuard) - (s & ~kGuard);
        uint32_t g = x & kGuard;
        return ((g - (g >> 5)) & x) & 0xFFFFu;
    }
};

struct Rgb555 {
    using Pixel = uint16_t;
    static constexpr int kBytes = 2;
    static constexpr bool kIs16 = true;
    static constexpr uint32_t kRed = 0x7C00, kGreen = 0x3E0, kBlue = 0x1F;
    static constexpr int kRedShift = 10, kGreenShift = 5;
    static constexpr int kRedMax = 31, kGreenMax = 31, kBlueMax = 31;

    static Pixel Load(const uint8_t *p) { return Rgb565::Load(p); }
    static void Store(uint8_t *p, uint32_t v) { Rgb565::Store(p, v); }
    static constexpr uint32_t kGuard = 0x8420, kSumMask = 0x7BDF, kLowBits = 0x420;
    static uint32_t SaturatingAdd(uint32_t d, uint32_t s)
    {
        uint32_t sum = (d & kSumMask) + (s & kSumMask);
        return (((sum & kGuard) - ((sum >> 5) & 0x421u)) | sum | ((s | d) & kLowBits)) & 0xFFFFu;
    }
    static uint32_t SaturatingSub(uint32_t d, uint32_t s)
    {
        uint32_t x = (d | kGuard) - (s & ~kGuard);
        uint32_t g = x & kGuard;
        return ((g - (g >> 5)) & x) & 0xFFFFu;
    }
};

// 8-bit palette screens: bytes are copied, nothing is blended.
struct Index8 {
    using Pixel = uint8_t;
    static constexpr int kBytes = 1;
    static Pixel Load(const uint8_t *p) { return *p; }
    static void Store(uint8_t *p, uint32_t v) { *p = static_cast<uint8_t>(v); }
};

template <class L> Channels Split(uint32_t p)
{
    return {static_cast<int>((p & L::kRed) >> L::kRedShift), static_cast<int>((p & L::kGreen) >> L::kGreenShift),
            static_cast<int>(p & L::kBlue)};
}
template <class L> uint32_t Join(const Channels &c)
{
    return (static_cast<uint32_t>(c.r) << L::kRedShift) | (static_cast<uint32_t>(c.g) << L::kGreenShift) |
           static_cast<uint32_t>(c.b);
}

// ---- What every rule may read ---------------------------------------------------

struct RuleContext {
    int p;              // blend parameter
    int q;              // its complement: 256 - P or 255 - P, as the loop family has it
    int tintR, tintG, tintB;
    uint32_t key;
};

// The source's channels, tinted when the rule is: each channel v becomes
// (tint channel * v) >> 8, also for 5- and 6-bit values.
template <class L, bool Tint> Channels TakeSource(uint32_t s, const RuleContext &c)
{
    Channels t = Split<L>(s);
    if (Tint) t = {Mul8(c.tintR, t.r), Mul8(c.tintG, t.g), Mul8(c.tintB, t.b)};
    return t;
}

// Weighted mix on the packed words: per channel mask M, the bits of
// d + (((s & M) - (d & M)) * w >> 8) (32-bit two's complement, arithmetic
// shift), so a carry from below reaches a channel's rounding.
template <class L> uint32_t PackedAlpha(uint32_t s, uint32_t d, int w)
{
    const uint32_t masks[3] = {L::kRed, L::kGreen, L::kBlue};
    uint32_t out = 0;
    for (uint32_t m : masks) {
        uint32_t product = ((s & m) - (d & m)) * static_cast<uint32_t>(w);
        int32_t shifted = static_cast<int32_t>(product) >> 8;
        out |= (d + static_cast<uint32_t>(shifted)) & m;
    }
    return out;
}

// Per channel: what T[P][t] + T[Q][d] gives.
inline Channels TableAlpha(const Channels &t, const Channels &d, const RuleContext &c)
{
    return {Mul8(c.p, t.r) + Mul8(c.q, d.r), Mul8(c.p, t.g) + Mul8(c.q, d.g), Mul8(c.p, t.b) + Mul8(c.q, d.b)};
}
// Per channel: (d * 256 + (t - d) * w) >> 8.
inline int ChannelMix(int t, int d, int w) { return (d * 256 + (t - d) * w) >> 8; }
inline Channels ChannelAlpha(const Channels &t, const Channels &d, int w)
{
    return {ChannelMix(t.r, d.r, w), ChannelMix(t.g, d.g, w), ChannelMix(t.b, d.b, w)};
}

inline int AlphaTimesParameter(int a, const RuleContext &c) { return (a * c.p) >> 8; }

// ---- Rules -------------------------------------------------------------------------
// Apply(s, d, a, context): s the source pixel, d the destination pixel read,
// a the alpha byte (255 without alpha memory). kReadsDestination false lets
// the loop skip the read.

// Copy; with a tint each channel is the tinted one.
template <class L, bool Tint, bool AlphaMem> struct CopyRule {
    static constexpr bool kReadsDestination = false;
    static uint32_t Apply(uint32_t s, uint32_t, int, const RuleContext &c)
    {
        if constexpr (Tint) return Join<L>(TakeSource<L, Tint>(s, c));
        else return s;
    }
};

// No blending, alpha memory: opaque copies, the rest mixed by the alpha byte.
template <class L, bool Tint, bool AlphaMem> struct AlphaMemCopyRule {
    static constexpr bool kReadsDestination = true;
    static uint32_t Apply(uint32_t s, uint32_t d, int a, const RuleContext &c)
    {
        if (a == 255) return CopyRule<L, Tint, AlphaMem>::Apply(s, d, a, c);
        if (!Tint) return PackedAlpha<L>(s, d, a);
        return Join<L>(ChannelAlpha(TakeSource<L, true>(s, c), Split<L>(d), a));
    }
};

// Constant alpha: T[P][t] + T[Q][d] per channel.
template <class L, bool Tint, bool AlphaMem> struct TableAlphaRule {
    static constexpr bool kReadsDestination = true;
    static uint32_t Apply(uint32_t s, uint32_t d, int, const RuleContext &c)
    {
        return Join<L>(TableAlpha(TakeSource<L, Tint>(s, c), Split<L>(d), c));
    }
};

// Constant alpha with alpha memory (plain draws).
template <class L, bool Tint, bool AlphaMem> struct AlphaMemAlphaRule {
    static constexpr bool kReadsDestination = true;
    static uint32_t Apply(uint32_t s, uint32_t d, int a, const RuleContext &c)
    {
        int w = AlphaTimesParameter(a, c);
        if (Tint) {
            Channels t = TakeSource<L, true>(s, c), dc = Split<L>(d);
            auto mix = [w](int tv, int dv) { return (dv * (255 - w) + tv * w) >> 8; };
            return Join<L>({mix(t.r, dc.r), mix(t.g, dc.g), mix(t.b, dc.b)});
        }
        if (a == 255) return TableAlphaRule<L, false, AlphaMem>::Apply(s, d, a, c);
        return PackedAlpha<L>(s, d, w);
    }
};

// Additive and subtractive (plain draws): the source scaled to s' per
// channel, then the layout's saturating add or subtract.
template <class L, bool Tint, bool AlphaMem, bool Subtract> struct SaturatingRule {
    static constexpr bool kReadsDestination = true;
    static uint32_t Apply(uint32_t s, uint32_t d, int a, const RuleContext &c)
    {
        Channels t = TakeSource<L, Tint>(s, c), scaled;
        if (AlphaMem && (Tint || a != 255)) {
            int w = AlphaTimesParameter(a, c);
            scaled = {(t.r * w) >> 8, (t.g * w) >> 8, (t.b * w) >> 8};
        } else {
            scaled = {Mul8(c.p, t.r), Mul8(c.p, t.g), Mul8(c.p, t.b)};
        }
        uint32_t sp = Join<L>(scaled);
        return Subtract ? L::SaturatingSub(d, sp) : L::SaturatingAdd(d, sp);
    }
};
template <class L, bool Tint, bool AlphaMem> using AddRule = SaturatingRule<L, Tint, AlphaMem, false>;
template <class L, bool Tint, bool AlphaMem> using SubRule = SaturatingRule<L, Tint, AlphaMem, true>;

// Multiply: (t * d) / max per channel.
template <class L, bool Tint, bool AlphaMem> struct MulRule {
    static constexpr bool kReadsDestination = true;
    static uint32_t Apply(uint32_t s, uint32_t d, int, const RuleContext &c)
    {
        Channels t = TakeSource<L, Tint>(s, c), dc = Split<L>(d);
        return Join<L>({t.r * dc.r / L::kRedMax, t.g * dc.g / L::kGreenMax, t.b * dc.b / L::kBlueMax});
    }
};

// Exclusive or of the whole pixel (16-bit screens).
template <class L, bool Tint, bool AlphaMem> struct XorRule {
    static constexpr bool kReadsDestination = true;
    static uint32_t Apply(uint32_t s, uint32_t d, int, const RuleContext &) { return s ^ d; }
};

// ---- Rules of the scaled draw -----------------------------------------------------
// Blends with an alpha byte go channel by channel: d + floor((t - d) * w / 256).

inline int FloorMix(int t, int d, int w) { return d + (((t - d) * w) >> 8); }
template <class L> uint32_t FloorAlpha(const Channels &t, uint32_t d, int w)
{
    Channels dc = Split<L>(d);
    return Join<L>({FloorMix(t.r, dc.r, w), FloorMix(t.g, dc.g, w), FloorMix(t.b, dc.b, w)});
}

template <class L, bool Tint, bool AlphaMem> struct ScaledAlphaMemCopyRule {
    static constexpr bool kReadsDestination = true;
    static uint32_t Apply(uint32_t s, uint32_t d, int a, const RuleContext &c)
    {
        if (a == 255) return CopyRule<L, Tint, AlphaMem>::Apply(s, d, a, c);
        return FloorAlpha<L>(TakeSource<L, Tint>(s, c), d, a);
    }
};

template <class L, bool Tint, bool AlphaMem> struct ScaledAlphaMemAlphaRule {
    static constexpr bool kReadsDestination = true;
    static uint32_t Apply(uint32_t s, uint32_t d, int a, const RuleContext &c)
    {
        if (a == 255) return TableAlphaRule<L, Tint, AlphaMem>::Apply(s, d, a, c);
        return FloorAlpha<L>(TakeSource<L, Tint>(s, c), d, AlphaTimesParameter(a, c));
    }
};

template <class L, bool Tint, bool AlphaMem, bool Subtract> struct ScaledSaturatingRule {
    static constexpr bool kReadsDestination = true;
    static uint32_t Apply(uint32_t s, uint32_t d, int a, const RuleContext &c)
    {
        Channels t = TakeSource<L, Tint>(s, c);
        Channels scaled = {Mul8(c.p, t.r), Mul8(c.p, t.g), Mul8(c.p, t.b)};
        if (AlphaMem && a != 255) scaled = {(scaled.r * a) >> 8, (scaled.g * a) >> 8, (scaled.b * a) >> 8};
        uint32_t sp = Join<L>(scaled);
        return Subtract ? L::SaturatingSub(d, sp) : L::SaturatingAdd(d, sp);
    }
};
template <class L, bool Tint, bool AlphaMem> using ScaledAddRule = ScaledSaturatingRule<L, Tint, AlphaMem, false>;
template <class L, bool Tint, bool AlphaMem> using ScaledSubRule = ScaledSaturatingRule<L, Tint, AlphaMem, true>;

} // namespace soft

#endif
