// Vector kernels for the rows that matter most for speed: on 32-bit screens
// constant alpha, add, subtract, multiply, keyed copy and alpha-memory copy;
// on 5:6:5 and 5:5:5 screens constant alpha, add, subtract, keyed copy and
// alpha-memory copy. The filled box runs the same kernels with one constant
// source pixel. Each kernel gives exactly the scalar rule's pixels (the
// integer formulas are the same, only computed on 4 or 8 pixels at once);
// a RowKernel returns how many pixels of a row it did (a multiple of the
// vector width, 0 where no kernel exists) and the scalar row finishes the
// rest. SSE2 is the baseline on both Windows targets, so nothing here needs a
// run-time check. Internal to lib/soft; platform-free.
#ifndef VEXLO_SOFT_BLIT_ROWS_SIMD_H
#define VEXLO_SOFT_BLIT_ROWS_SIMD_H

#include <cstdint>
#include <cstring>
#include <type_traits>

#include "pixel_rules.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace soft {

#if defined(__SSE2__)

namespace simd {

inline __m128i Load(const uint8_t *p) { return _mm_loadu_si128(reinterpret_cast<const __m128i *>(p)); }
inline void Store(uint8_t *p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i *>(p), v); }
inline __m128i Set16(uint32_t v) { return _mm_set1_epi16(static_cast<short>(v & 0xFFFFu)); }
inline __m128i Set32(uint32_t v) { return _mm_set1_epi32(static_cast<int>(v)); }
// Lanes of `mask` take `a`, the others `b`.
inline __m128i Select(__m128i mask, __m128i a, __m128i b)
{
    return _mm_or_si128(_mm_and_si128(mask, a), _mm_andnot_si128(mask, b));
}

// The pixel width of a row kernel: four 32-bit or eight 16-bit pixels a step.
template <int Bytes> struct Lanes;
template <> struct Lanes<4> {
    static constexpr int kPixels = 4;
    static __m128i Broadcast(uint32_t v) { return Set32(v); }
    static __m128i Equal(__m128i a, __m128i b) { return _mm_cmpeq_epi32(a, b); }
};
template <> struct Lanes<2> {
    static constexpr int kPixels = 8;
    static __m128i Broadcast(uint32_t v) { return Set16(v); }
    static __m128i Equal(__m128i a, __m128i b) { return _mm_cmpeq_epi16(a, b); }
};

// Where a row's source pixels come from: memory, or one pixel for the whole
// row (the filled box).
struct MemorySource {
    static constexpr bool kConstant = false;
    const uint8_t *p;
    __m128i At(int byteOffset) const { return Load(p + byteOffset); }
};
struct ConstantSource {
    static constexpr bool kConstant = true;
    __m128i value;
    __m128i At(int) const { return value; }
};

// ---- 32-bit operations -------------------------------------------------------------
// Prepare(s) is the part of a rule that reads only the source (done once per
// row for a constant source); Blend(prepared, d) the rest.

// (v * k) >> 8 on every byte: T[k][v].
inline __m128i MulBytes(__m128i v, __m128i k16)
{
    const __m128i zero = _mm_setzero_si128();
    __m128i lo = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(v, zero), k16), 8);
    __m128i hi = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(v, zero), k16), 8);
    return _mm_packus_epi16(lo, hi);
}

// T[P][s] + T[Q][d] per channel.
struct TableAlphaOp {
    __m128i p, q;
    explicit TableAlphaOp(const RuleContext &c) : p(Set16(uint32_t(c.p))), q(Set16(uint32_t(c.q))) {}
    __m128i Prepare(__m128i s) const { return MulBytes(s, p); }
    __m128i Blend(__m128i sp, __m128i d) const { return _mm_add_epi8(sp, MulBytes(d, q)); }
};

// s' = T[P][s] per channel (no fourth byte), then the saturating add or
// subtract of the 32-bit layout on each pixel word.
template <bool Subtract> struct SaturatingOp {
    __m128i p;
    explicit SaturatingOp(const RuleContext &c) : p(Set16(uint32_t(c.p))) {}
    __m128i Prepare(__m128i s) const { return _mm_and_si128(MulBytes(s, p), Set32(0xFFFFFF)); }
    __m128i Blend(__m128i sp, __m128i d) const
    {
        if (Subtract) {
            __m128i x = _mm_sub_epi32(_mm_or_si128(d, Set32(0x1010100)), _mm_and_si128(sp, Set32(0xFEFEFEFFu)));
            __m128i g = _mm_and_si128(x, Set32(0x1010100));
            return _mm_and_si128(_mm_sub_epi32(g, _mm_srli_epi32(g, 8)), x);
        }
        const __m128i m = Set32(0xFEFEFF);
        __m128i sum = _mm_add_epi32(_mm_and_si128(d, m), _mm_and_si128(sp, m));
        __m128i carry = _mm_and_si128(sum, Set32(0x1010100));
        __m128i low = _mm_and_si128(_mm_or_si128(sp, d), Set32(0x10100));
        return _mm_or_si128(_mm_or_si128(_mm_sub_epi32(carry, _mm_srli_epi32(carry, 8)), sum), low);
    }
};

// (s * d) / 255 per channel; x / 255 = (x + 1 + (x >> 8)) >> 8 for x <= 255 * 255.
struct MulOp {
    explicit MulOp(const RuleContext &) {}
    static __m128i Divide255(__m128i x)
    {
        return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(x, _mm_set1_epi16(1)), _mm_srli_epi16(x, 8)), 8);
    }
    __m128i Prepare(__m128i s) const { return s; }
    __m128i Blend(__m128i s, __m128i d) const
    {
        const __m128i zero = _mm_setzero_si128();
        __m128i lo = Divide255(_mm_mullo_epi16(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(d, zero)));
        __m128i hi = Divide255(_mm_mullo_epi16(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(d, zero)));
        return _mm_and_si128(_mm_packus_epi16(lo, hi), Set32(0xFFFFFF));
    }
};

// A copy, on either depth.
struct CopyOp {
    explicit CopyOp(const RuleContext &) {}
    __m128i Prepare(__m128i s) const { return s; }
    __m128i Blend(__m128i s, __m128i) const { return s; }
};

// ---- 16-bit operations -------------------------------------------------------------
// The fields of eight 5:6:5 or 5:5:5 pixels, each in its own 16-bit lane.

template <class L> struct Fields {
    static __m128i Red(__m128i v) { return _mm_and_si128(_mm_srli_epi16(v, L::kRedShift), Set16(L::kRedMax)); }
    static __m128i Green(__m128i v)
    {
        return _mm_and_si128(_mm_srli_epi16(v, L::kGreenShift), Set16(L::kGreenMax));
    }
    static __m128i Blue(__m128i v) { return _mm_and_si128(v, Set16(L::kBlueMax)); }
    static __m128i Join(__m128i r, __m128i g, __m128i b)
    {
        return _mm_or_si128(_mm_or_si128(_mm_slli_epi16(r, L::kRedShift), _mm_slli_epi16(g, L::kGreenShift)), b);
    }
    // T[k][field] for every field: a field times 255 still fits a lane.
    static __m128i Scale(__m128i v, __m128i k16)
    {
        auto mul = [k16](__m128i f) { return _mm_srli_epi16(_mm_mullo_epi16(f, k16), 8); };
        return Join(mul(Red(v)), mul(Green(v)), mul(Blue(v)));
    }
};

// T[P][s] + T[Q][d] per field; the two products of a field sum to less than
// the field's maximum, so the joined words add without carries.
template <class L> struct TableAlpha16Op {
    __m128i p, q;
    explicit TableAlpha16Op(const RuleContext &c) : p(Set16(uint32_t(c.p))), q(Set16(uint32_t(c.q))) {}
    __m128i Prepare(__m128i s) const { return Fields<L>::Scale(s, p); }
    __m128i Blend(__m128i sp, __m128i d) const { return _mm_add_epi16(sp, Fields<L>::Scale(d, q)); }
};

// s' = T[P][s] per field, then the layout's saturating add or subtract in
// 16-bit lanes. On 5:6:5 the guard bit above red (bit 16) lies outside the
// lane: it is the carry out of the add, and "no borrow" of the subtract,
// and in both formulas it contributes exactly the red mask (ANDed with the
// difference, that is the red of the unsigned saturating difference).
template <class L, bool Subtract> struct Saturating16Op {
    static constexpr bool kTopGuardOutside = L::kGuard > 0xFFFFu;
    __m128i p;
    explicit Saturating16Op(const RuleContext &c) : p(Set16(uint32_t(c.p))) {}
    __m128i Prepare(__m128i s) const { return Fields<L>::Scale(s, p); }
    static __m128i Spread(__m128i g) { return _mm_sub_epi16(g, _mm_srli_epi16(g, 5)); }
    __m128i Blend(__m128i sp, __m128i d) const
    {
        const __m128i guard = Set16(L::kGuard);
        if (Subtract) {
            __m128i minuend = _mm_or_si128(d, guard), subtrahend = _mm_and_si128(sp, Set16(~L::kGuard));
            __m128i x = _mm_sub_epi16(minuend, subtrahend);
            __m128i r = _mm_and_si128(Spread(_mm_and_si128(x, guard)), x);
            if (kTopGuardOutside)
                r = _mm_or_si128(r, _mm_and_si128(_mm_subs_epu16(minuend, subtrahend), Set16(L::kRed)));
            return r;
        }
        const __m128i m = Set16(L::kSumMask);
        __m128i a = _mm_and_si128(d, m), b = _mm_and_si128(sp, m);
        __m128i sum = _mm_add_epi16(a, b);
        __m128i r = _mm_or_si128(Spread(_mm_and_si128(sum, guard)), sum);
        if (kTopGuardOutside) {
            __m128i noCarry = _mm_cmpeq_epi16(_mm_adds_epu16(a, b), sum);
            r = _mm_or_si128(r, _mm_andnot_si128(noCarry, Set16(L::kRed)));
        }
        return _mm_or_si128(r, _mm_and_si128(_mm_or_si128(sp, d), Set16(L::kLowBits)));
    }
};

// ---- Row loops -----------------------------------------------------------------------

// The rows of one vector operation, made once per draw: the operation's
// constants, the key, and a constant source pixel already prepared.
template <int Bytes, bool ReadsDestination, class Op> class OpRows {
public:
    OpRows(const RuleContext &c, bool constant)
        : op_(c), key_(Lanes<Bytes>::Broadcast(c.key)),
          prepared_(constant ? op_.Prepare(Lanes<Bytes>::Broadcast(c.key)) : _mm_setzero_si128())
    {
    }

    // Key-coloured source pixels keep the destination, and a step whose
    // pixels are all keyed writes nothing.
    template <bool Key, class Source> int Run(uint8_t *dst, const uint8_t *dstRead, const Source &src, int width) const
    {
        using Ln = Lanes<Bytes>;
        // Local copies: the stores through dst could alias the members, which
        // would make the compiler reload them at every step.
        const Op op = op_;
        const __m128i key = key_, prepared = prepared_;
        auto step = [&](int at) {
            __m128i s = src.At(at);
            __m128i keyed = _mm_setzero_si128();
            int keyBits = 0;
            if (Key) {
                keyed = Ln::Equal(s, key);
                keyBits = _mm_movemask_epi8(keyed);
                if (keyBits == 0xFFFF) return;
            }
            __m128i sp = Source::kConstant ? prepared : op.Prepare(s);
            __m128i r = op.Blend(sp, ReadsDestination ? Load(dstRead + at) : sp);
            if (Key && keyBits != 0) r = Select(keyed, Load(dst + at), r);
            Store(dst + at, r);
        };
        // Two steps a turn: the loop's own counting is a good part of a step.
        int x = 0;
        for (; x + 2 * Ln::kPixels <= width; x += 2 * Ln::kPixels) {
            step(x * Bytes);
            step((x + Ln::kPixels) * Bytes);
        }
        if (x + Ln::kPixels <= width) {
            step(x * Bytes);
            x += Ln::kPixels;
        }
        return x;
    }

private:
    Op op_;
    __m128i key_, prepared_;
};

// Alpha memory without blending, 32-bit: a = 255 copies, a = 0 keeps the
// pixel, the rest is the packed mix, which per channel is
//   blue  = (db * (256 - a) + sb * a) >> 8
//   green = (dg * (256 - a) + sg * a + db) >> 8
//   red   = (dr * (256 - a) + sr * a + dg) >> 8
// (the carry of the lower channel's bits reaches the next one's rounding).
// Groups of four wholly transparent or wholly opaque bytes take a shortcut.
template <bool Key>
int AlphaMemRows32(uint8_t *dst, const uint8_t *dstRead, const uint8_t *src, const uint8_t *alpha, int width,
                   const RuleContext &c)
{
    const __m128i zero = _mm_setzero_si128(), key = Set32(c.key);
    const __m128i k256 = _mm_set1_epi16(256), channels = Set32(0xFFFFFF);
    auto group = [&](int x) {
        uint32_t a4;
        std::memcpy(&a4, alpha + x, 4);
        if (a4 == 0) return;
        __m128i s = Load(src + 4 * x);
        __m128i clear = Key ? _mm_cmpeq_epi32(s, key) : zero;
        __m128i r = s;
        if (a4 != 0xFFFFFFFFu) {
            __m128i d = Load(dstRead + 4 * x);
            __m128i a = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(a4)), zero);         // a0..a3 as words
            __m128i aw = _mm_unpacklo_epi16(a, a);                                      // a0 a0 a1 a1 ...
            __m128i aLo = _mm_unpacklo_epi32(aw, aw), aHi = _mm_unpackhi_epi32(aw, aw); // 4 lanes per pixel
            __m128i sLo = _mm_unpacklo_epi8(s, zero), sHi = _mm_unpackhi_epi8(s, zero);
            __m128i dLo = _mm_unpacklo_epi8(d, zero), dHi = _mm_unpackhi_epi8(d, zero);
            auto mix = [&](__m128i sv, __m128i dv, __m128i av) {
                __m128i sum = _mm_add_epi16(_mm_mullo_epi16(dv, _mm_sub_epi16(k256, av)), _mm_mullo_epi16(sv, av));
                return _mm_srli_epi16(_mm_add_epi16(sum, _mm_slli_epi64(dv, 16)), 8);
            };
            __m128i mixed = _mm_and_si128(_mm_packus_epi16(mix(sLo, dLo, aLo), mix(sHi, dHi, aHi)), channels);
            __m128i av32 = _mm_unpacklo_epi16(a, zero);
            r = Select(_mm_cmpeq_epi32(av32, Set32(255)), s, mixed);
            clear = _mm_or_si128(clear, _mm_cmpeq_epi32(av32, zero));
        }
        if (Key || a4 != 0xFFFFFFFFu) r = Select(clear, Load(dst + 4 * x), r);
        Store(dst + 4 * x, r);
    };
    // Eight alpha bytes are tested at once, so that the transparent and
    // opaque parts of a sprite cost one test per eight pixels.
    int x = 0;
    for (; x + 8 <= width; x += 8) {
        uint64_t a8;
        std::memcpy(&a8, alpha + x, 8);
        if (a8 == 0) continue;
        if (!Key && a8 == ~uint64_t(0)) {
            Store(dst + 4 * x, Load(src + 4 * x));
            Store(dst + 4 * x + 16, Load(src + 4 * x + 16));
            continue;
        }
        group(x);
        group(x + 4);
    }
    if (x + 4 <= width) {
        group(x);
        x += 4;
    }
    return x;
}

// Alpha memory without blending, 5:6:5 and 5:5:5, eight pixels a step. Per
// field M with shift k the packed mix is (d + ((((s & M) - (d & M)) * a) >> 8)) & M;
// with v = (sf - df) * a (fits a lane) the shifted product is v << (k - 8)
// or v >> (8 - k) exactly, and only the low 16 bits of the sum are kept.
template <int Shift> __m128i MixField16(__m128i d, __m128i a, __m128i sf, __m128i df, uint32_t mask)
{
    __m128i v = _mm_mullo_epi16(_mm_sub_epi16(sf, df), a), step;
    if constexpr (Shift >= 8) step = _mm_slli_epi16(v, Shift - 8);
    else step = _mm_srai_epi16(v, 8 - Shift);
    return _mm_and_si128(_mm_add_epi16(d, step), Set16(mask));
}

template <class L, bool Key>
int AlphaMemRows16(uint8_t *dst, const uint8_t *dstRead, const uint8_t *src, const uint8_t *alpha, int width,
                   const RuleContext &c)
{
    using F = Fields<L>;
    const __m128i zero = _mm_setzero_si128(), key = Set16(c.key);
    int x = 0;
    for (; x + 8 <= width; x += 8) {
        uint64_t a8;
        std::memcpy(&a8, alpha + x, 8);
        if (a8 == 0) continue;
        __m128i s = Load(src + 2 * x);
        __m128i clear = Key ? _mm_cmpeq_epi16(s, key) : zero;
        __m128i r = s;
        if (a8 != ~uint64_t(0)) {
            __m128i d = Load(dstRead + 2 * x);
            __m128i a = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i *>(alpha + x)), zero);
            __m128i red = MixField16<L::kRedShift>(d, a, F::Red(s), F::Red(d), L::kRed);
            __m128i green = MixField16<L::kGreenShift>(d, a, F::Green(s), F::Green(d), L::kGreen);
            __m128i blue = MixField16<0>(d, a, F::Blue(s), F::Blue(d), L::kBlue);
            __m128i mixed = _mm_or_si128(_mm_or_si128(red, green), blue);
            r = Select(_mm_cmpeq_epi16(a, _mm_set1_epi16(255)), s, mixed);
            clear = _mm_or_si128(clear, _mm_cmpeq_epi16(a, zero));
        }
        if (Key || a8 != ~uint64_t(0)) r = Select(clear, Load(dst + 2 * x), r);
        Store(dst + 2 * x, r);
    }
    return x;
}

// ---- Which kernel a rule has ---------------------------------------------------------

template <class L> constexpr bool kVectorLayout =
    std::is_same_v<L, Rgb32> || std::is_same_v<L, Rgb565> || std::is_same_v<L, Rgb555>;

// The vector operation of a rule on a layout; void where there is none.
template <class L, class Rule> struct OpOf {
    using Type = void;
};
template <class L> struct OpOf<L, TableAlphaRule<L, false, false>> {
    using Type = std::conditional_t<std::is_same_v<L, Rgb32>, TableAlphaOp, TableAlpha16Op<L>>;
};
template <class L> struct OpOf<L, AddRule<L, false, false>> {
    using Type = std::conditional_t<std::is_same_v<L, Rgb32>, SaturatingOp<false>, Saturating16Op<L, false>>;
};
template <class L> struct OpOf<L, SubRule<L, false, false>> {
    using Type = std::conditional_t<std::is_same_v<L, Rgb32>, SaturatingOp<true>, Saturating16Op<L, true>>;
};
template <> struct OpOf<Rgb32, MulRule<Rgb32, false, false>> {
    using Type = MulOp;
};
template <class L> struct OpOf<L, CopyRule<L, false, false>> {
    using Type = CopyOp;
};

struct NoRows {
    NoRows(const RuleContext &, bool) {}
};

} // namespace simd

// The vector part of one row loop, made once per draw. Called per row, it
// returns how many pixels from the row's start it did; the scalar row does
// the rest. Constant: every pixel takes the source value c.key (the box).
template <class L, class Rule, bool Key, bool AlphaMem, bool Constant> class RowKernel {
    using Op = std::conditional_t<simd::kVectorLayout<L>, typename simd::OpOf<L, Rule>::Type, void>;
    static constexpr bool kAlphaMemCopy =
        simd::kVectorLayout<L> && !Constant && std::is_same_v<Rule, AlphaMemCopyRule<L, false, true>>;
    using Rows = std::conditional_t<std::is_void_v<Op>, simd::NoRows,
                                    simd::OpRows<L::kBytes, Rule::kReadsDestination, Op>>;

public:
    explicit RowKernel(const RuleContext &c)
        : c_(c), rows_(c, Constant), keyLive_(Key && (L::kBytes == 4 || c.key <= 0xFFFFu))
    {
    }

    int operator()(uint8_t *dst, const uint8_t *dstRead, const uint8_t *src, const uint8_t *alpha, int width) const
    {
        // A key above 16 bits never matches a 16-bit pixel.
        if constexpr (kAlphaMemCopy) {
            if constexpr (std::is_same_v<L, Rgb32>) return simd::AlphaMemRows32<Key>(dst, dstRead, src, alpha, width, c_);
            else if (keyLive_) return simd::AlphaMemRows16<L, Key>(dst, dstRead, src, alpha, width, c_);
            else return simd::AlphaMemRows16<L, false>(dst, dstRead, src, alpha, width, c_);
        } else if constexpr (std::is_void_v<Op>) {
            return 0;
        } else if constexpr (Constant) {
            return rows_.template Run<false>(dst, dstRead, simd::ConstantSource{_mm_setzero_si128()}, width);
        } else {
            if (keyLive_) return rows_.template Run<Key>(dst, dstRead, simd::MemorySource{src}, width);
            return rows_.template Run<false>(dst, dstRead, simd::MemorySource{src}, width);
        }
    }

private:
    RuleContext c_;
    Rows rows_;
    bool keyLive_;
};

#else

template <class L, class Rule, bool Key, bool AlphaMem, bool Constant> class RowKernel {
public:
    explicit RowKernel(const RuleContext &) {}
    int operator()(uint8_t *, const uint8_t *, const uint8_t *, const uint8_t *, int) const { return 0; }
};

#endif

} // namespace soft

#endif
