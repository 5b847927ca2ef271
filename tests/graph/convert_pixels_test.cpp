#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "graph/color_data.h"
#include "graph/graph_image.h"

namespace {

ColorData Layout(int bits, uint32_t r, uint32_t g, uint32_t b, uint32_t a)
{
    ColorData l{};
    SetColorDataFromMasks(&l, bits, r, g, b, a);
    return l;
}

struct NamedLayout {
    const char *name;
    ColorData layout;
};

std::vector<NamedLayout> Layouts()
{
    return {
        {"BGR24", Bgr24Layout()},
        {"BGRA32", Bgra32Layout()},
        {"Grey8", Grey8Layout()},
        {"565", Layout(16, 0xF800, 0x07E0, 0x001F, 0)},
        {"1555", Layout(16, 0x7C00, 0x03E0, 0x001F, 0)},
        {"A1555", Layout(16, 0x7C00, 0x03E0, 0x001F, 0x8000)},
        {"Screen32", Layout(32, 0xFF0000, 0xFF00, 0xFF, 0)},
        {"A4444", Layout(16, 0x0F00, 0x00F0, 0x000F, 0xF000)},
    };
}

// ---- Reference, one pixel at a time, straight from the rules ----------------

uint32_t Get(const std::vector<uint8_t> &buf, size_t at, int bytes)
{
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v |= uint32_t{buf[at + static_cast<size_t>(i)]} << (8 * i);
    return v;
}

uint32_t Width(uint32_t v, int from, int to)
{
    if (from == 0 || to == 0) return 0;
    if (to == from) return v;
    if (to < from) return v >> (from - to);
    int k = to - from;
    return (v << k) + static_cast<uint32_t>(uint64_t{v} * ((1u << k) - 1) / ((1u << from) - 1));
}

uint32_t Channel(uint32_t pixel, uint32_t mask, int shift, int srcWidth, int dstShift, int dstWidth)
{
    return Width((pixel & mask) >> shift, srcWidth, dstWidth) << dstShift;
}

struct Options {
    bool alphaSource;
    bool keyToAlpha;
    bool alphaOnly;
};

uint32_t ReferencePixel(uint32_t s, uint32_t a, const ColorData &sl, const ColorData &dl, const ColorData &al,
                        const Options &o, uint32_t key)
{
    bool useAlphaSource = o.alphaSource && dl.alphaWidth && !sl.alphaWidth;
    bool keyOn = o.keyToAlpha && dl.alphaWidth && !sl.alphaWidth && !useAlphaSource;
    if (SameLayout(&sl, &dl) && !o.alphaSource && !keyOn && !o.alphaOnly) return s; // the fast copy keeps every bit
    uint32_t r = Channel(s, sl.redMask, sl.redShift, sl.redWidth, dl.redShift, dl.redWidth);
    uint32_t g = Channel(s, sl.greenMask, sl.greenShift, sl.greenWidth, dl.greenShift, dl.greenWidth);
    uint32_t b = Channel(s, sl.blueMask, sl.blueShift, sl.blueWidth, dl.blueShift, dl.blueWidth);
    uint32_t alpha = useAlphaSource ? Channel(a, al.redMask, al.redShift, al.redWidth, dl.alphaShift, dl.alphaWidth)
                                    : Channel(s, sl.alphaMask, sl.alphaShift, sl.alphaWidth, dl.alphaShift, dl.alphaWidth);
    if (o.alphaOnly) r = g = b = 0;
    if (keyOn) {
        uint32_t keyBits = PackColor(&dl, (key >> 16) & 0xFF, (key >> 8) & 0xFF, key & 0xFF, 0) &
                           (dl.redMask | dl.greenMask | dl.blueMask);
        alpha = (r | g | b) == keyBits ? 0 : dl.alphaMask;
    }
    uint32_t out = r | g | b | alpha;
    if (dl.bytesPerPixel == 2 || dl.bytesPerPixel == 4) out |= dl.spareMask;
    return out;
}

const int kW = 7, kH = 5;
const ImageRect kRect{1, 1, 6, 4}; // a 5 x 3 inner rectangle
const int kDstX = 2, kDstY = 1;
const uint32_t kKey = 0x00FF00FF;

// Source pixels: random, with every third one the key colour.
std::vector<uint8_t> MakeSource(const ColorData &l, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<uint8_t> buf(static_cast<size_t>(kW * kH * l.bytesPerPixel));
    for (uint8_t &b : buf) b = static_cast<uint8_t>(random());
    uint32_t key = PackColor(&l, 255, 0, 255, 255);
    for (size_t i = 0; i < static_cast<size_t>(kW * kH); i += 3)
        for (int k = 0; k < l.bytesPerPixel; ++k) buf[i * l.bytesPerPixel + k] = static_cast<uint8_t>(key >> (8 * k));
    return buf;
}

void CheckPair(const NamedLayout &src, const NamedLayout &dst, const Options &o)
{
    const ColorData &sl = src.layout, &dl = dst.layout;
    const ColorData &al = Grey8Layout();
    std::vector<uint8_t> s = MakeSource(sl, 1), a = MakeSource(al, 2);
    int dstPitch = kW * dl.bytesPerPixel + 3;
    std::vector<uint8_t> d(static_cast<size_t>(dstPitch * kH), 0xCD);
    ConvertPixels(d.data(), dstPitch, &dl, s.data(), kW * sl.bytesPerPixel, &sl, o.alphaSource ? a.data() : nullptr, kW,
                  &al, kDstX, kDstY, &kRect, o.keyToAlpha, kKey, o.alphaOnly);
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            size_t at = static_cast<size_t>(y * dstPitch + x * dl.bytesPerPixel);
            int sx = x - kDstX + kRect.left, sy = y - kDstY + kRect.top;
            bool inside = sx >= kRect.left && sx < kRect.right && sy >= kRect.top && sy < kRect.bottom;
            uint32_t expected = 0xCDCDCDCDu & (dl.bytesPerPixel == 4 ? 0xFFFFFFFFu : (1u << (8 * dl.bytesPerPixel)) - 1);
            if (inside) {
                uint32_t sp = Get(s, static_cast<size_t>((sy * kW + sx) * sl.bytesPerPixel), sl.bytesPerPixel);
                uint32_t ap = a[static_cast<size_t>(sy * kW + sx)];
                expected = ReferencePixel(sp, ap, sl, dl, al, o, kKey);
            }
            ASSERT_EQ(expected, Get(d, at, dl.bytesPerPixel))
                << src.name << " -> " << dst.name << " at " << x << "," << y << " alphaSource " << o.alphaSource
                << " key " << o.keyToAlpha << " alphaOnly " << o.alphaOnly;
        }
    }
}

TEST(ConvertPixels, EveryLayoutPairAndOptionMatchesThePerPixelReference)
{
    const Options options[] = {
        {false, false, false}, {true, false, false}, {false, true, false},
        {false, false, true},  {true, false, true},  {false, true, true},
    };
    for (const NamedLayout &src : Layouts())
        for (const NamedLayout &dst : Layouts())
            for (const Options &o : options) CheckPair(src, dst, o);
}

TEST(ConvertPixels, ChannelWidthChangesAndAlphaRules)
{
    ColorData l565 = Layout(16, 0xF800, 0x07E0, 0x001F, 0);
    ImageRect one{0, 0, 1, 1};
    struct Case {
        uint32_t srcPixel;
        const ColorData *srcLayout;
        const ColorData *dstLayout;
        uint32_t expected;
    };
    const Case cases[] = {
        {0xF800, &l565, &Bgra32Layout(), 0x00FF0000}, // 5-bit 31 -> 255; no alpha source: alpha 0
        {0x8000, &l565, &Bgra32Layout(), 0x00830000}, // 5-bit 16 -> 131
        {0xFF0000, &Bgr24Layout(), &l565, 0xF800},    // 255 -> 31
        {0x5A, &Grey8Layout(), &Bgra32Layout(), 0x5A5A5A5A}, // grey: alpha is the grey value
    };
    for (const Case &c : cases) {
        uint8_t src[4] = {static_cast<uint8_t>(c.srcPixel), static_cast<uint8_t>(c.srcPixel >> 8),
                          static_cast<uint8_t>(c.srcPixel >> 16), 0};
        uint8_t dst[4] = {};
        ConvertPixels(dst, 4, c.dstLayout, src, 4, c.srcLayout, nullptr, 0, nullptr, 0, 0, &one, 0, 0, 0);
        EXPECT_EQ(c.expected, Get(std::vector<uint8_t>(dst, dst + 4), 0, c.dstLayout->bytesPerPixel)) << std::hex << c.srcPixel;
    }
}

} // namespace
