// Vector kernels for the 32-bit rows that matter most for speed: constant
// alpha, add, subtract, multiply, keyed copy and alpha-memory copy. Each
// gives exactly the scalar rule's pixels (the integer formulas are the same,
// only computed on four pixels at once); RunRowSimd returns how many pixels
// of the row it did (a multiple of 4, 0 where no kernel exists) and the
// scalar row finishes the rest. SSE2 is the baseline on both targets.
// Internal to lib/soft; platform-free.
#ifndef VEXLO_SOFT_BLIT_ROWS_SIMD_H
#define VEXLO_SOFT_BLIT_ROWS_SIMD_H

#include <cstdint>
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
    explicit TableAlphaOp(const RuleContext &c) : p(_mm_set1_epi16(short(c.p))), q(_mm_set1_epi16(short(c.q))) {}
    __m128i operator()(__m128i s, __m128i d) const { return _mm_add_epi8(MulBytes(s, p), MulBytes(d, q)); }
};

// s' = T[P][s] per channel (no fourth byte), then the saturating add or
// subtract of the 32-bit layout on each pixel word.
template <bool Subtract> struct SaturatingOp {
    __m128i p;
    explicit SaturatingOp(const RuleContext &c) : p(_mm_set1_epi16(short(c.p))) {}
    __m128i operator()(__m128i s, __m128i d) const
    {
        __m128i sp = _mm_and_si128(MulBytes(s, p), _mm_set1_epi32(0xFFFFFF));
        if (Subtract) {
            __m128i x = _mm_sub_epi32(_mm_or_si128(d, _mm_set1_epi32(0x1010100)),
                                      _mm_and_si128(sp, _mm_set1_epi32(int(0xFEFEFEFFu))));
            __m128i g = _mm_and_si128(x, _mm_set1_epi32(0x1010100));
            return _mm_and_si128(_mm_sub_epi32(g, _mm_srli_epi32(g, 8)), x);
        }
        const __m128i m = _mm_set1_epi32(0xFEFEFF);
        __m128i sum = _mm_add_epi32(_mm_and_si128(d, m), _mm_and_si128(sp, m));
        __m128i carry = _mm_and_si128(sum, _mm_set1_epi32(0x1010100));
        __m128i low = _mm_and_si128(_mm_or_si128(sp, d), _mm_set1_epi32(0x10100));
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
    __m128i operator()(__m128i s, __m128i d) const
    {
        const __m128i zero = _mm_setzero_si128();
        __m128i lo = Divide255(_mm_mullo_epi16(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(d, zero)));
        __m128i hi = Divide255(_mm_mullo_epi16(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(d, zero)));
        return _mm_and_si128(_mm_packus_epi16(lo, hi), _mm_set1_epi32(0xFFFFFF));
    }
};

struct CopyOp {
    explicit CopyOp(const RuleContext &) {}
    __m128i operator()(__m128i s, __m128i) const { return s; }
};

// Four pixels at a time; key-coloured source pixels keep the destination.
template <bool Key, bool ReadsDestination, class Op>
int Rows32(uint8_t *dst, const uint8_t *dstRead, const uint8_t *src, int width, const RuleContext &c)
{
    const Op op(c);
    const __m128i key = _mm_set1_epi32(int(c.key));
    int x = 0;
    for (; x + 4 <= width; x += 4) {
        __m128i s = Load(src + 4 * x);
        __m128i d = ReadsDestination ? Load(dstRead + 4 * x) : s;
        __m128i r = op(s, d);
        if (Key) {
            __m128i keyed = _mm_cmpeq_epi32(s, key);
            r = _mm_or_si128(_mm_and_si128(keyed, Load(dst + 4 * x)), _mm_andnot_si128(keyed, r));
        }
        Store(dst + 4 * x, r);
    }
    return x;
}

// Alpha memory without blending: a = 255 copies, a = 0 keeps the pixel, the
// rest is the packed mix, which per channel is
//   blue  = (db * (256 - a) + sb * a) >> 8
//   green = (dg * (256 - a) + sg * a + db) >> 8
//   red   = (dr * (256 - a) + sr * a + dg) >> 8
// (the carry of the lower channel's bits reaches the next one's rounding).
template <bool Key>
int AlphaMemRows32(uint8_t *dst, const uint8_t *dstRead, const uint8_t *src, const uint8_t *alpha, int width,
                   const RuleContext &c)
{
    const __m128i zero = _mm_setzero_si128(), key = _mm_set1_epi32(int(c.key));
    const __m128i k256 = _mm_set1_epi16(256), channels = _mm_set1_epi32(0xFFFFFF);
    int x = 0;
    for (; x + 4 <= width; x += 4) {
        uint32_t a4;
        std::memcpy(&a4, alpha + x, 4);
        if (a4 == 0xFFFFFFFFu && !Key) {
            Store(dst + 4 * x, Load(src + 4 * x));
            continue;
        }
        __m128i s = Load(src + 4 * x), d = Load(dstRead + 4 * x), keep = Load(dst + 4 * x);
        __m128i a = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(a4)), zero);             // a0..a3 as words
        __m128i aw = _mm_unpacklo_epi16(a, a);                                          // a0 a0 a1 a1 ...
        __m128i aLo = _mm_unpacklo_epi32(aw, aw), aHi = _mm_unpackhi_epi32(aw, aw);     // 4 lanes per pixel
        __m128i sLo = _mm_unpacklo_epi8(s, zero), sHi = _mm_unpackhi_epi8(s, zero);
        __m128i dLo = _mm_unpacklo_epi8(d, zero), dHi = _mm_unpackhi_epi8(d, zero);
        auto mix = [&](__m128i sv, __m128i dv, __m128i av) {
            __m128i sum = _mm_add_epi16(_mm_mullo_epi16(dv, _mm_sub_epi16(k256, av)), _mm_mullo_epi16(sv, av));
            return _mm_srli_epi16(_mm_add_epi16(sum, _mm_slli_epi64(dv, 16)), 8);
        };
        __m128i mixed = _mm_and_si128(_mm_packus_epi16(mix(sLo, dLo, aLo), mix(sHi, dHi, aHi)), channels);
        __m128i av32 = _mm_unpacklo_epi16(a, zero);
        __m128i opaque = _mm_cmpeq_epi32(av32, _mm_set1_epi32(255));
        __m128i clear = _mm_cmpeq_epi32(av32, zero);
        if (Key) clear = _mm_or_si128(clear, _mm_cmpeq_epi32(s, key));
        __m128i r = _mm_or_si128(_mm_and_si128(opaque, s), _mm_andnot_si128(opaque, mixed));
        Store(dst + 4 * x, _mm_or_si128(_mm_and_si128(clear, keep), _mm_andnot_si128(clear, r)));
    }
    return x;
}

// 16-bit keyed copy, eight pixels at a time.
template <bool Key> int CopyRows16(uint8_t *dst, const uint8_t *src, int width, const RuleContext &c)
{
    const __m128i key = _mm_set1_epi16(short(c.key));
    int x = 0;
    for (; x + 8 <= width; x += 8) {
        __m128i s = Load(src + 2 * x);
        if (Key) {
            __m128i keyed = _mm_cmpeq_epi16(s, key);
            s = _mm_or_si128(_mm_and_si128(keyed, Load(dst + 2 * x)), _mm_andnot_si128(keyed, s));
        }
        Store(dst + 2 * x, s);
    }
    return x;
}

} // namespace simd

template <class L, class Rule, bool Key, bool AlphaMem>
inline int RunRowSimd(uint8_t *dst, const uint8_t *dstRead, const uint8_t *src, const uint8_t *alpha, int width,
                      const RuleContext &c)
{
    if constexpr (std::is_same_v<Rule, TableAlphaRule<Rgb32, false, false>>)
        return simd::Rows32<Key, true, simd::TableAlphaOp>(dst, dstRead, src, width, c);
    else if constexpr (std::is_same_v<Rule, AddRule<Rgb32, false, false>>)
        return simd::Rows32<Key, true, simd::SaturatingOp<false>>(dst, dstRead, src, width, c);
    else if constexpr (std::is_same_v<Rule, SubRule<Rgb32, false, false>>)
        return simd::Rows32<Key, true, simd::SaturatingOp<true>>(dst, dstRead, src, width, c);
    else if constexpr (std::is_same_v<Rule, MulRule<Rgb32, false, false>>)
        return simd::Rows32<Key, true, simd::MulOp>(dst, dstRead, src, width, c);
    else if constexpr (std::is_same_v<Rule, CopyRule<Rgb32, false, false>>)
        return simd::Rows32<Key, false, simd::CopyOp>(dst, dstRead, src, width, c);
    else if constexpr (std::is_same_v<Rule, AlphaMemCopyRule<Rgb32, false, true>>)
        return simd::AlphaMemRows32<Key>(dst, dstRead, src, alpha, width, c);
    else if constexpr (std::is_same_v<Rule, CopyRule<Rgb565, false, false>> ||
                       std::is_same_v<Rule, CopyRule<Rgb555, false, false>>) {
        // A key above 16 bits never matches a 16-bit pixel.
        if (Key && c.key > 0xFFFF) return simd::CopyRows16<false>(dst, src, width, c);
        return simd::CopyRows16<Key>(dst, src, width, c);
    } else return 0;
}

#else

template <class L, class Rule, bool Key, bool AlphaMem>
inline int RunRowSimd(uint8_t *, const uint8_t *, const uint8_t *, const uint8_t *, int, const RuleContext &)
{
    return 0;
}

#endif

} // namespace soft

#endif
