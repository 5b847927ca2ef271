#include "pixel_reference.h"

#include "display/mul_table.h"

namespace reference {

namespace {

int T(int i, int j)
{
    static bool filled = false;
    if (!filled) {
        FillMulTable();
        filled = true;
    }
    return GetMulTable()[i][j];
}

int Channel(const Layout &l, uint32_t p, int c) { return static_cast<int>((p & l.mask[c]) >> l.shift[c]); }

uint32_t Compose(const Layout &l, const int v[3])
{
    uint32_t p = 0;
    for (int c = 0; c < 3; ++c) p |= static_cast<uint32_t>(v[c]) << l.shift[c];
    return p;
}

int TintByte(int tint, int c) { return (tint >> (16 - 8 * c)) & 0xFF; }

int Tinted(const Layout &l, const Settings &s, uint32_t src, int c)
{
    int v = Channel(l, src, c);
    return s.tint == -1 ? v : T(TintByte(s.tint, c), v);
}

uint32_t TintedCopy(const Layout &l, const Settings &s, uint32_t src)
{
    if (s.tint == -1) return src;
    int v[3];
    for (int c = 0; c < 3; ++c) v[c] = Tinted(l, s, src, c);
    return Compose(l, v);
}

uint32_t PackedAlpha(const Layout &l, uint32_t src, uint32_t d, int w)
{
    uint32_t out = 0;
    for (int c = 0; c < 3; ++c) {
        int64_t diff = static_cast<int64_t>(src & l.mask[c]) - static_cast<int64_t>(d & l.mask[c]);
        int64_t step = diff * w;
        int64_t floor = step >= 0 ? step / 256 : -((-step + 255) / 256);
        out |= static_cast<uint32_t>(static_cast<int64_t>(d) + floor) & l.mask[c];
    }
    return out;
}

uint32_t TableAlpha(const Layout &l, const Settings &s, uint32_t src, uint32_t d, int q)
{
    int v[3];
    for (int c = 0; c < 3; ++c) v[c] = T(s.parameter, Tinted(l, s, src, c)) + T(q, Channel(l, d, c));
    return Compose(l, v);
}

uint32_t SaturatingAdd(const Layout &l, uint32_t d, uint32_t sp)
{
    if (l.bytes == 4) {
        uint32_t S = (d & 0xFEFEFF) + (sp & 0xFEFEFF);
        uint32_t C = S & 0x1010100;
        return (C - (C >> 8)) | S | ((sp | d) & 0x10100);
    }
    if (l.mask[1] == 0x7E0) {
        uint32_t S = (d & 0xF7DF) + (sp & 0xF7DF);
        uint32_t C = S & 0x10820;
        return (((C - (C >> 5)) & 0xFFFF) | S | ((sp | d) & 0x820)) & 0xFFFF;
    }
    uint32_t S = (d & 0x7BDF) + (sp & 0x7BDF);
    return (((S & 0x8420) - ((S >> 5) & 0x421)) | S | ((sp | d) & 0x420)) & 0xFFFF;
}

uint32_t SaturatingSub(const Layout &l, uint32_t d, uint32_t sp)
{
    if (l.bytes == 4) {
        uint32_t X = (d | 0x1010100) - (sp & 0xFEFEFEFF);
        uint32_t G = X & 0x1010100;
        return (G - (G >> 8)) & X;
    }
    if (l.mask[1] == 0x7E0) {
        uint32_t X = (d | 0x10820) - (sp & 0xFFFEF7DF);
        uint32_t G = X & 0x10820;
        return ((G - (G >> 5)) & 0xFFFF) & X;
    }
    uint32_t X = (d | 0x8420) - (sp & 0xFFFF7BDF);
    uint32_t G = X & 0x8420;
    return ((G - (G >> 5)) & 0xFFFF) & X;
}

uint32_t Multiply(const Layout &l, const Settings &s, uint32_t src, uint32_t d)
{
    int v[3];
    for (int c = 0; c < 3; ++c) v[c] = Tinted(l, s, src, c) * Channel(l, d, c) / l.max[c];
    return Compose(l, v);
}

bool Keyed(const Settings &s, uint32_t src) { return s.useKey && src == s.key; }

// The unscaled draw without blending (also full-strength alpha).
uint32_t UnscaledCopy(const Layout &l, const Settings &s, uint32_t src, uint32_t d, int a, bool *written)
{
    if (Keyed(s, src) || (s.alphaMemory && a == 0)) return d;
    *written = true;
    if (!s.alphaMemory || a == 255) return TintedCopy(l, s, src);
    if (s.tint == -1) return PackedAlpha(l, src, d, a);
    int v[3];
    for (int c = 0; c < 3; ++c) {
        int t = Tinted(l, s, src, c), dv = Channel(l, d, c);
        v[c] = (dv * 256 + (t - dv) * a) >> 8;
    }
    return Compose(l, v);
}

uint32_t ScaledSource(const Layout &l, const Settings &s, uint32_t src, int c, int a)
{
    int v = T(s.parameter, Tinted(l, s, src, c));
    if (s.alphaMemory && a != 255) v = (v * a) >> 8;
    return static_cast<uint32_t>(v);
}

} // namespace

Layout Of32() { return {4, {0xFF0000, 0xFF00, 0xFF}, {16, 8, 0}, {255, 255, 255}}; }
Layout Of565() { return {2, {0xF800, 0x7E0, 0x1F}, {11, 5, 0}, {31, 63, 31}}; }
Layout Of555() { return {2, {0x7C00, 0x3E0, 0x1F}, {10, 5, 0}, {31, 31, 31}}; }

ColorData ColorDataOf(const Layout &l)
{
    ColorData c{};
    SetColorDataFromMasks(&c, l.bytes * 8, l.mask[0], l.mask[1], l.mask[2], 0);
    return c;
}

uint32_t Unscaled(const Layout &l, const Settings &s, uint32_t src, uint32_t d, int a, bool *written)
{
    *written = false;
    const int P = s.parameter;
    switch (s.mode) {
    case 0: return UnscaledCopy(l, s, src, d, a, written);
    case 1: {
        if (P == 0) return d;
        if (P == 255) return UnscaledCopy(l, s, src, d, a, written);
        if (Keyed(s, src) || (s.alphaMemory && a == 0)) return d;
        *written = true;
        int q = (l.bytes == 4 ? 256 : 255) - P;
        if (!s.alphaMemory) return TableAlpha(l, s, src, d, q);
        int a2 = (a * P) >> 8;
        if (s.tint != -1) {
            int v[3];
            for (int c = 0; c < 3; ++c) v[c] = (Channel(l, d, c) * (255 - a2) + Tinted(l, s, src, c) * a2) >> 8;
            return Compose(l, v);
        }
        if (a == 255) return TableAlpha(l, s, src, d, q);
        return PackedAlpha(l, src, d, a2);
    }
    case 2:
    case 3: {
        if (P == 0 || Keyed(s, src) || (s.alphaMemory && a == 0)) return d;
        *written = true;
        int v[3];
        int a2 = (a * P) >> 8;
        for (int c = 0; c < 3; ++c) {
            if (s.alphaMemory && (s.tint != -1 || a != 255)) v[c] = (Tinted(l, s, src, c) * a2) >> 8;
            else v[c] = T(P, Tinted(l, s, src, c));
        }
        uint32_t sp = Compose(l, v);
        return s.mode == 2 ? SaturatingAdd(l, d, sp) : SaturatingSub(l, d, sp);
    }
    case 4: *written = true; return Multiply(l, s, src, d);
    case 8:
        if (l.bytes == 4 || Keyed(s, src)) return d;
        *written = true;
        return d ^ src;
    default: return d;
    }
}

uint32_t Scaled(const Layout &l, const Settings &s, uint32_t src, uint32_t d, int a, bool *written)
{
    *written = false;
    const int P = s.parameter;
    int mode = s.mode;
    if (mode == 1 && P == 0) return d;
    if (mode == 1 && P == 255) mode = 0;
    if ((mode == 2 || mode == 3) && P == 0) return d;
    if (mode == 4) {
        *written = true;
        return Multiply(l, s, src, d);
    }
    if (mode < 0 || mode > 3) return d;
    if (Keyed(s, src) || (s.alphaMemory && a == 0)) return d;
    *written = true;
    int v[3];
    if (mode == 0 || mode == 1) {
        if (mode == 0 && (!s.alphaMemory || a == 255)) return TintedCopy(l, s, src);
        if (mode == 1 && (!s.alphaMemory || a == 255)) return TableAlpha(l, s, src, d, 255 - P);
        int w = mode == 0 ? a : (a * P) >> 8;
        for (int c = 0; c < 3; ++c) {
            int t = Tinted(l, s, src, c), dv = Channel(l, d, c);
            int step = (t - dv) * w;
            v[c] = dv + (step >= 0 ? step / 256 : -((-step + 255) / 256));
        }
        return Compose(l, v);
    }
    for (int c = 0; c < 3; ++c) v[c] = static_cast<int>(ScaledSource(l, s, src, c, a));
    uint32_t sp = Compose(l, v);
    return mode == 2 ? SaturatingAdd(l, d, sp) : SaturatingSub(l, d, sp);
}

uint32_t Box(const Layout &l, int mode, int parameter, uint32_t colour, uint32_t d, bool *written)
{
    Settings s = {mode, parameter, -1, false, 0, false};
    if (mode != 3) {
        if (mode == 0) {
            *written = true;
            return colour;
        }
        return Unscaled(l, s, colour, d, 255, written);
    }
    *written = false;
    if (parameter == 0) return d;
    *written = true;
    // c' from the box colour's channels, then the subtract.
    int v[3];
    for (int c = 0; c < 3; ++c) v[c] = T(parameter, Channel(l, colour, c));
    return SaturatingSub(l, d, Compose(l, v));
}

} // namespace reference
