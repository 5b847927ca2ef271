// Every combination of layout, blend mode, alpha memory, tint, key and
// parameter: the loops give the pixels of the plain per-pixel reference.
#include <gtest/gtest.h>

#include "draw_helpers.h"

namespace {

using drawtest::Source;
using testbuf::Sequence;
using testbuf::Surface;

const int kModes[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 42};
const int kParameters[] = {0, 1, 127, 128, 254, 255};
const int kTint = 0x00E0A010;

struct LayoutCase {
    const char *name;
    reference::Layout layout;
};
const LayoutCase kLayouts[] = {
    {"32-bit", reference::Of32()},
    {"5:6:5", reference::Of565()},
    {"5:5:5", reference::Of555()},
};

// A source with key-coloured pixels sprinkled in and alpha bytes that
// include 0, 1, 128 and 255.
struct Sprite {
    Surface pixels, alpha;
    uint32_t key;

    Sprite(const reference::Layout &l, int w, int h, uint32_t seed)
        : pixels(w, h, l.bytes, 12, 64), alpha(w, h, 1, 3, 64)
    {
        Sequence seq(seed);
        pixels.Fill(seq);
        alpha.Fill(seq);
        key = l.bytes == 4 ? 0xFF123456u : 0x5A5Au;
        const uint8_t special[] = {0, 255, 1, 128, 255};
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                if ((x + 2 * y) % 5 == 0) pixels.Set(x, y, key);
                if ((x + y) % 3 == 0) alpha.Set(x, y, special[(x + y) % 5]);
            }
        }
    }
};

template <class Body> void ForEveryCombination(Body body)
{
    for (const LayoutCase &lc : kLayouts)
        for (int mode : kModes)
            for (int parameter : kParameters)
                for (int flags = 0; flags < 8; ++flags) {
                    bool alphaMemory = flags & 1, tint = flags & 2, key = flags & 4;
                    body(lc, mode, parameter, alphaMemory, tint, key);
                }
}

std::string Describe(const LayoutCase &lc, int mode, int parameter, bool alphaMemory, bool tint, bool key)
{
    return std::string(lc.name) + " mode " + std::to_string(mode) + " P " + std::to_string(parameter) +
           (alphaMemory ? " alpha" : "") + (tint ? " tint" : "") + (key ? " key" : "");
}

TEST(BlitReference, UnscaledLoopsMatchTheReferenceForEveryCombination)
{
    int failures = 0;
    ForEveryCombination([&](const LayoutCase &lc, int mode, int parameter, bool alphaMemory, bool tint, bool key) {
        const reference::Layout &l = lc.layout;
        Sprite sprite(l, 37, 4, 7u + static_cast<uint32_t>(mode * 131 + parameter));
        Source src = {&sprite.pixels, alphaMemory ? &sprite.alpha : nullptr};
        // Half of the draws blend with a separate copy of the destination.
        bool separateRead = (mode + parameter) % 2 == 0;
        Surface dst(45, 8, l.bytes, 4, 64), read(45, 8, l.bytes, 0, 0);
        Sequence seq(99u + static_cast<uint32_t>(parameter));
        dst.Fill(seq);
        read.Fill(seq);
        Surface expected = dst;
        BlendSettings s = {mode, parameter, tint ? kTint : -1, key, sprite.key};
        PixelRect area = {0, 0, 45, 8};
        drawtest::DrawUnscaled(l, dst, separateRead ? &read : nullptr, src, 5, 2, area, s);
        drawtest::ExpectUnscaled(l, expected, separateRead ? read : expected, src, 5, 2, area, s);
        std::string diff = drawtest::Compare(l, dst, expected);
        if (!diff.empty() && ++failures <= 10) ADD_FAILURE() << Describe(lc, mode, parameter, alphaMemory, tint, key) << ": " << diff;
    });
    EXPECT_EQ(0, failures);
}

TEST(BlitReference, ScaledLoopsMatchTheReferenceForEveryCombination)
{
    // Enlarged by 1.5 and mirrored left-right, shrunk and mirrored upside
    // down, doubled; each partly outside the draw area.
    struct Geometry {
        int x1, y1, x2, y2;
    };
    const Geometry geometries[] = {{40, -2, -5, 9}, {3, 12, 14, 1}, {-6, -3, 32, 11}};
    int failures = 0;
    ForEveryCombination([&](const LayoutCase &lc, int mode, int parameter, bool alphaMemory, bool tint, bool key) {
        const reference::Layout &l = lc.layout;
        Sprite sprite(l, 19, 6, 11u + static_cast<uint32_t>(mode * 17 + parameter));
        Source src = {&sprite.pixels, alphaMemory ? &sprite.alpha : nullptr};
        for (const Geometry &g : geometries) {
            Surface dst(40, 12, l.bytes, 8, 64);
            Sequence seq(5u + static_cast<uint32_t>(parameter));
            dst.Fill(seq);
            Surface expected = dst;
            BlendSettings s = {mode, parameter, tint ? kTint : -1, key, sprite.key};
            PixelRect area = {1, 1, 38, 11};
            drawtest::DrawScaled(l, dst, src, g.x1, g.y1, g.x2, g.y2, area, s);
            drawtest::ExpectScaled(l, expected, src, g.x1, g.y1, g.x2, g.y2, area, s);
            std::string diff = drawtest::Compare(l, dst, expected);
            if (!diff.empty() && ++failures <= 10)
                ADD_FAILURE() << Describe(lc, mode, parameter, alphaMemory, tint, key) << " into (" << g.x1 << ", "
                              << g.y1 << ", " << g.x2 << ", " << g.y2 << "): " << diff;
        }
    });
    EXPECT_EQ(0, failures);
}

// A source laid out in runs of eight pixels, so that the vector kernels
// meet whole groups of transparent, opaque, mixed and key-coloured pixels,
// and (drawn from other source columns) groups that straddle the runs.
struct RunSprite {
    Surface pixels, alpha;
    uint32_t key;

    RunSprite(const reference::Layout &l, int w, int h, uint32_t seed)
        : pixels(w, h, l.bytes, 6, 64), alpha(w, h, 1, 5, 64)
    {
        Sequence seq(seed);
        pixels.Fill(seq);
        key = l.bytes == 4 ? 0x00345678u : 0x3456u;
        const uint8_t special[] = {0, 255, 1, 128, 254};
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                int run = x / 8 + y;
                uint32_t a = static_cast<uint8_t>(seq.Next());
                if (run % 4 == 0) a = 0;
                else if (run % 4 == 1) a = 255;
                else if (run % 4 == 3) a = x % 8 == 5 ? 0 : 255;
                else if (x % 3 == 0) a = special[x % 5];
                alpha.Set(x, y, a);
                int keyRun = (x / 8 + 2 * y) % 3;
                if (keyRun == 0 || (keyRun == 1 && x % 7 == 2)) pixels.Set(x, y, key);
            }
        }
    }
};

TEST(BlitReference, UnscaledKernelsMatchTheReferenceForEveryWidthAndStart)
{
    // Widths from one pixel to past two vector steps of eight with every
    // remainder, at four destination starts (so also at addresses that are
    // not multiples of the vector size) and three source columns.
    const int kKernelModes[] = {BLEND_NONE, BLEND_ALPHA, BLEND_ADD, BLEND_SUB, BLEND_MUL, BLEND_XOR};
    const int kKernelParameters[] = {100, 255};
    int failures = 0, draws = 0;
    for (const LayoutCase &lc : kLayouts) {
        const reference::Layout &l = lc.layout;
        RunSprite sprite(l, 48, 4, 41u);
        for (int mode : kKernelModes) {
            for (int parameter : kKernelParameters) {
                for (int flags = 0; flags < 4; ++flags) {
                    bool alphaMemory = flags & 1, key = flags & 2;
                    Source src = {&sprite.pixels, alphaMemory ? &sprite.alpha : nullptr};
                    for (int width = 1; width <= 26; ++width) {
                        for (int start = 0; start < 4; ++start) {
                            Surface dst(36, 5, l.bytes, 2, 64);
                            Sequence seq(static_cast<uint32_t>(width * 31 + start));
                            dst.Fill(seq);
                            Surface expected = dst;
                            BlendSettings s = {mode, parameter, -1, key, sprite.key};
                            PixelRect area = {start, 1, start + width, 5};
                            int skip = (width + start) % 3 * 5;
                            drawtest::DrawUnscaled(l, dst, nullptr, src, start - skip, 0, area, s);
                            drawtest::ExpectUnscaled(l, expected, expected, src, start - skip, 0, area, s);
                            ++draws;
                            std::string diff = drawtest::Compare(l, dst, expected);
                            if (!diff.empty() && ++failures <= 10)
                                ADD_FAILURE() << Describe(lc, mode, parameter, alphaMemory, false, key) << " width "
                                              << width << " start " << start << ": " << diff;
                        }
                    }
                }
            }
        }
    }
    EXPECT_EQ(0, failures);
    EXPECT_EQ(3 * 6 * 2 * 4 * 26 * 4, draws);
}

TEST(BlitReference, BoxesMatchTheReferenceForEveryWidthAndStart)
{
    const int kBoxModes[] = {BLEND_NONE, BLEND_ALPHA, BLEND_ADD, BLEND_SUB, BLEND_MUL, BLEND_XOR};
    int failures = 0;
    for (const LayoutCase &lc : kLayouts) {
        const reference::Layout &l = lc.layout;
        // White (the colour the string drawing subtracts), and a colour with
        // bits outside the channels.
        const uint32_t colours[] = {l.bytes == 4 ? 0xFFFFFFFFu : (l.mask[1] == 0x7E0 ? 0xFFFFu : 0x7FFFu),
                                    l.bytes == 4 ? 0xA3C08041u : 0xC3A5u};
        for (uint32_t colour : colours) {
            for (int mode : kBoxModes) {
                for (int parameter : {1, 128, 255}) {
                    for (int width = 1; width <= 26; ++width) {
                        for (int start = 0; start < 4; ++start) {
                            Surface dst(34, 4, l.bytes, 2, 64);
                            Sequence seq(static_cast<uint32_t>(width * 7 + start + parameter));
                            dst.Fill(seq);
                            Surface expected = dst;
                            PixelRect area = {0, 0, 34, 4};
                            drawtest::DrawBox(l, dst, start, 1, start + width, 4, area, colour, mode, parameter);
                            drawtest::ExpectBox(l, expected, start, 1, start + width, 4, area, colour, mode, parameter);
                            std::string diff = drawtest::Compare(l, dst, expected);
                            if (!diff.empty() && ++failures <= 10)
                                ADD_FAILURE() << lc.name << " box colour 0x" << std::hex << colour << std::dec
                                              << " mode " << mode << " P " << parameter << " width " << width
                                              << " start " << start << ": " << diff;
                        }
                    }
                }
            }
        }
    }
    EXPECT_EQ(0, failures);
}

TEST(BlitReference, ScaledDrawsThatRepeatSourceRowsMatchTheReference)
{
    // Enlargements where consecutive destination rows take the same source
    // row: whole-number and fractional factors, mirrored upside down,
    // entering the draw area part-way through a source row, and shrinking.
    struct Geometry {
        int x1, y1, x2, y2;
    };
    // Visible widths 37, 38, 32, 18, 29, 18, 36 and 11: every remainder of
    // the four-pixel steps of the 32-bit gather.
    const Geometry geometries[] = {{0, 0, 38, 12}, {-7, -5, 40, 13}, {3, 30, 35, -4}, {0, -1, 19, 40},
                                   {2, 0, 31, 35}, {0, 0, 19, 3},    {37, 1, 0, 29},  {5, 3, 16, 20}};
    struct Settings {
        int mode, parameter;
    };
    const Settings kSettings[] = {{BLEND_NONE, 0}, {BLEND_ALPHA, 255}, {BLEND_ALPHA, 128}, {BLEND_ADD, 128}};
    int failures = 0;
    for (const LayoutCase &lc : kLayouts) {
        const reference::Layout &l = lc.layout;
        RunSprite sprite(l, 19, 6, 5u);
        for (const Settings &st : kSettings) {
            for (int flags = 0; flags < 8; ++flags) {
                bool alphaMemory = flags & 1, tint = flags & 2, key = flags & 4;
                Source src = {&sprite.pixels, alphaMemory ? &sprite.alpha : nullptr};
                for (const Geometry &g : geometries) {
                    Surface dst(40, 32, l.bytes, 8, 64);
                    Sequence seq(17u);
                    dst.Fill(seq);
                    Surface expected = dst;
                    BlendSettings s = {st.mode, st.parameter, tint ? kTint : -1, key, sprite.key};
                    PixelRect area = {1, 2, 39, 31};
                    drawtest::DrawScaled(l, dst, src, g.x1, g.y1, g.x2, g.y2, area, s);
                    drawtest::ExpectScaled(l, expected, src, g.x1, g.y1, g.x2, g.y2, area, s);
                    std::string diff = drawtest::Compare(l, dst, expected);
                    if (!diff.empty() && ++failures <= 10)
                        ADD_FAILURE() << Describe(lc, st.mode, st.parameter, alphaMemory, tint, key) << " into ("
                                      << g.x1 << ", " << g.y1 << ", " << g.x2 << ", " << g.y2 << "): " << diff;
                }
            }
        }
    }
    EXPECT_EQ(0, failures);
}

TEST(BlitReference, BoxesMatchTheReferenceForEveryModeAndParameter)
{
    int failures = 0;
    for (const LayoutCase &lc : kLayouts) {
        for (int mode : kModes) {
            for (int parameter : kParameters) {
                const reference::Layout &l = lc.layout;
                Surface dst(30, 7, l.bytes, 6, 64);
                Sequence seq(3u + static_cast<uint32_t>(mode * 7 + parameter));
                dst.Fill(seq);
                Surface expected = dst;
                uint32_t colour = l.bytes == 4 ? 0xFFC08040u : 0xC3A5u;
                PixelRect area = {2, 1, 27, 7};
                drawtest::DrawBox(l, dst, -4, 2, 25, 40, area, colour, mode, parameter);
                drawtest::ExpectBox(l, expected, -4, 2, 25, 40, area, colour, mode, parameter);
                std::string diff = drawtest::Compare(l, dst, expected);
                if (!diff.empty() && ++failures <= 10)
                    ADD_FAILURE() << lc.name << " box mode " << mode << " P " << parameter << ": " << diff;
            }
        }
    }
    EXPECT_EQ(0, failures);
}

} // namespace
