// The scaled and mirrored blit: nearest-neighbour with 16.16 accumulators.
// A source pixel is read, and its key and alpha byte tested, once for all
// the destination pixels it covers.
#include "blit_loops.h"
#include "loop_choice.h"

#include <cstring>
#include <type_traits>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace soft {

namespace {

const int64_t kOne = 65536;

template <class L, class Rule, bool Key, bool AlphaMem>
void ScaledRow(uint8_t *dst, const uint8_t *dstRead, const uint8_t *srcRow, const uint8_t *alphaRow, int width,
               const ScaledSteps &steps, const RuleContext &c)
{
    const ptrdiff_t column = steps.mirrorX ? -1 : 1;
    ptrdiff_t col = 0;
    int64_t acc = steps.fracX;
    int x = 0;
    for (;;) {
        uint32_t s = L::Load(srcRow + col * L::kBytes);
        int a = AlphaMem ? alphaRow[col] : 255;
        bool skip = (Key && s == c.key) || (AlphaMem && a == 0);
        bool moves;
        do {
            if (!skip) {
                uint32_t d = Rule::kReadsDestination ? L::Load(dstRead + x * L::kBytes) : 0;
                L::Store(dst + x * L::kBytes, Rule::Apply(s, d, a, c));
            }
            ++x;
            moves = acc <= kOne;
            acc -= kOne;
        } while (!moves && x < width);
        if (x >= width) return;
        do {
            acc += steps.stepX;
            col += column;
        } while (acc <= 0);
    }
}

// Plain copies without key: the stepper's column of every destination
// pixel is worked out once per draw, and each row is a gather through it.
template <class L> void FillColumnTable(std::vector<ptrdiff_t> &columns, int width, const ScaledSteps &steps)
{
    const ptrdiff_t column = steps.mirrorX ? -1 : 1;
    ptrdiff_t col = 0;
    int64_t acc = steps.fracX;
    for (int x = 0; x < width; ++x) {
        columns[x] = col * L::kBytes;
        bool moves = acc <= kOne;
        acc -= kOne;
        if (!moves) continue;
        do {
            acc += steps.stepX;
            col += column;
        } while (acc <= 0);
    }
}

template <class L> void GatherRow(uint8_t *dst, const uint8_t *srcRow, const ptrdiff_t *columns, int width)
{
    int x = 0;
#if defined(__SSE2__)
    // 32-bit pixels: four gathered loads make one vector store.
    if constexpr (L::kBytes == 4) {
        for (; x + 4 <= width; x += 4) {
            __m128i v = _mm_setr_epi32(static_cast<int>(L::Load(srcRow + columns[x])),
                                       static_cast<int>(L::Load(srcRow + columns[x + 1])),
                                       static_cast<int>(L::Load(srcRow + columns[x + 2])),
                                       static_cast<int>(L::Load(srcRow + columns[x + 3])));
            _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + x * 4), v);
        }
    }
#endif
    for (; x < width; ++x) L::Store(dst + x * L::kBytes, L::Load(srcRow + columns[x]));
}

template <class L, class Rule, bool Key, bool AlphaMem>
void ScaledRows(const BlitBuffers &b, int width, int height, const ScaledSteps &steps, const RuleContext &c)
{
    constexpr bool kGather = !Key && !AlphaMem && std::is_same_v<Rule, CopyRule<L, false, false>>;
    // A row whose pixels depend on its source row alone: when the next
    // destination row takes the same source row it is a copy of this one.
    constexpr bool kRowRepeats = !Key && !AlphaMem && !Rule::kReadsDestination;
    const size_t rowBytes = static_cast<size_t>(width) * L::kBytes;
    std::vector<ptrdiff_t> columns(kGather ? static_cast<size_t>(width) : 0);
    if constexpr (kGather) FillColumnTable<L>(columns, width, steps);
    const ptrdiff_t srcStep = steps.mirrorY ? -b.srcPitch : b.srcPitch;
    const ptrdiff_t alphaStep = steps.mirrorY ? -b.alphaPitch : b.alphaPitch;
    uint8_t *dst = b.dst;
    const uint8_t *dstRead = b.dstRead, *src = b.src, *alpha = b.alpha;
    const uint8_t *previous = nullptr; // the last row drawn, when it took this row's source row
    int64_t acc = steps.fracY;
    for (int y = 0; y < height; ++y) {
        if (kRowRepeats && previous) std::memcpy(dst, previous, rowBytes);
        else if constexpr (kGather) GatherRow<L>(dst, src, columns.data(), width);
        else ScaledRow<L, Rule, Key, AlphaMem>(dst, dstRead, src, alpha, width, steps, c);
        if (y + 1 == height) break;
        previous = dst;
        dst += b.dstPitch;
        dstRead += b.dstReadPitch;
        bool moves = acc <= kOne;
        acc -= kOne;
        if (!moves) continue;
        previous = nullptr;
        do {
            acc += steps.stepY;
            src += srcStep;
            if (AlphaMem) alpha += alphaStep;
        } while (acc <= 0);
    }
}

} // namespace

} // namespace soft

using namespace soft;

bool ScaledBlitDraws(const ColorData &screen, const BlendSettings &settings)
{
    return ChooseScaledLoop(KindOfLayout(screen), settings, false).rule != RuleId::Nothing;
}

void RunScaledBlit(const ColorData &screen, const BlitBuffers &buffers, int width, int height,
                   const ScaledSteps &steps, const BlendSettings &settings)
{
    if (width <= 0 || height <= 0 || steps.stepX <= 0 || steps.stepY <= 0) return;
    LayoutKind kind = KindOfLayout(screen);
    BlendSettings s = settings;
    if (kind == LayoutKind::Index8) s.key = 0; // 8-bit screens skip source bytes of 0
    LoopChoice choice = ChooseScaledLoop(kind, s, buffers.alpha != nullptr);
    RuleContext context = MakeRuleContext(s, kind, true);
    auto run = [&](auto tag) {
        using T = decltype(tag);
        ScaledRows<typename T::Layout, typename T::Rule, T::kKey, T::kAlphaMem>(buffers, width, height, steps, context);
    };
    RunChosenLoop(kind, choice, run);
}
