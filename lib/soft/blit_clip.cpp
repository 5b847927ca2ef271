#include "blit_clip.h"

#include <algorithm>

namespace {

int64_t ClampInto(int64_t v, int64_t low, int64_t high) { return std::min(std::max(v, low), high); }

// One axis of a scaled draw: the destination span [start, end) clamped to
// [areaLow, areaHigh), for a source of `size` pixels.
struct ScaledAxis {
    int64_t step, frac;
    int skip;
    int first, count;            // clamped destination span
    int srcFirst, srcCount;      // source indices read, unmirrored
};

bool PlanAxis(int64_t start, int64_t clampedStart, int64_t clampedEnd, int64_t extent, int size, ScaledAxis *axis)
{
    axis->step = extent * 65536 / size;
    int64_t cut = clampedStart - start;
    int64_t count = clampedEnd - clampedStart;
    // Destination pixels past the last whole source pixel are not drawn
    // (only reachable with sources wider than 65535, where the truncated
    // step would otherwise read one pixel past the end).
    int64_t covered = (static_cast<int64_t>(size) * axis->step + 65535) / 65536 - cut;
    count = std::min(count, covered);
    if (count <= 0) return false;
    int64_t d = cut * 65536;
    axis->skip = static_cast<int>(d / axis->step);
    axis->frac = axis->step - d % axis->step;
    axis->first = static_cast<int>(clampedStart);
    axis->count = static_cast<int>(count);
    int64_t last = SourceIndexOfPixel(cut + count - 1, axis->step);
    axis->srcFirst = axis->skip;
    axis->srcCount = static_cast<int>(last - axis->skip + 1);
    return true;
}

} // namespace

PixelRect ClampRectInto(int64_t left, int64_t top, int64_t right, int64_t bottom, const PixelRect &area)
{
    bottom = ClampInto(bottom, area.top, area.bottom);
    top = ClampInto(top, area.top, area.bottom);
    right = ClampInto(right, area.left, area.right);
    left = ClampInto(left, area.left, area.right);
    return {static_cast<int>(left), static_cast<int>(top), static_cast<int>(right), static_cast<int>(bottom)};
}

PixelRect RectDrawArea(int x, int y, int width, int height, const PixelRect &keptArea)
{
    return ClampRectInto(x, y, static_cast<int64_t>(x) + width, static_cast<int64_t>(y) + height, keptArea);
}

bool PlanUnscaledBlit(int x, int y, int pieceWidth, int pieceHeight, const PixelRect &area, UnscaledPlan *plan)
{
    if (pieceWidth <= 0 || pieceHeight <= 0) return false;
    PixelRect r = ClampRectInto(x, y, static_cast<int64_t>(x) + pieceWidth, static_cast<int64_t>(y) + pieceHeight, area);
    if (IsEmptyRect(r)) return false;
    plan->dstX = r.left;
    plan->dstY = r.top;
    plan->width = r.right - r.left;
    plan->height = r.bottom - r.top;
    plan->srcX = static_cast<int>(static_cast<int64_t>(r.left) - x);
    plan->srcY = static_cast<int>(static_cast<int64_t>(r.top) - y);
    return true;
}

ScaledPlanResult PlanScaledBlit(int x1, int y1, int x2, int y2, int graphWidth, int graphHeight,
                                const PixelRect &area, ScaledPlan *plan)
{
    if (graphWidth <= 0 || graphHeight <= 0) return ScaledPlanResult::Empty;
    plan->mirrorX = x2 < x1;
    plan->mirrorY = y2 < y1;
    if (plan->mirrorX) std::swap(x1, x2);
    if (plan->mirrorY) std::swap(y1, y2);
    int64_t width = static_cast<int64_t>(x2) - x1, height = static_cast<int64_t>(y2) - y1;
    if (width == 0 || height == 0) return ScaledPlanResult::Empty;
    if (width == graphWidth && height == graphHeight && !plan->mirrorX && !plan->mirrorY)
        return ScaledPlanResult::SameAsUnscaled;

    PixelRect r = ClampRectInto(x1, y1, x2, y2, area);
    if (IsEmptyRect(r)) return ScaledPlanResult::Empty;
    ScaledAxis ax, ay;
    if (!PlanAxis(x1, r.left, r.right, width, graphWidth, &ax)) return ScaledPlanResult::Empty;
    if (!PlanAxis(y1, r.top, r.bottom, height, graphHeight, &ay)) return ScaledPlanResult::Empty;

    plan->stepX = ax.step;
    plan->stepY = ay.step;
    plan->fracX = ax.frac;
    plan->fracY = ay.frac;
    plan->skipX = ax.skip;
    plan->skipY = ay.skip;
    plan->dstX = ax.first;
    plan->dstY = ay.first;
    plan->width = ax.count;
    plan->height = ay.count;
    plan->srcWidth = ax.srcCount;
    plan->srcHeight = ay.srcCount;
    // Mirrored axes start at the far end and walk back.
    plan->srcStartX = plan->mirrorX ? graphWidth - 1 - ax.skip : ax.skip;
    plan->srcLeft = plan->mirrorX ? graphWidth - ax.srcFirst - ax.srcCount : ax.srcFirst;
    plan->srcStartY = plan->mirrorY ? graphHeight - 1 - ay.skip : ay.skip;
    plan->srcTop = plan->mirrorY ? graphHeight - ay.srcFirst - ay.srcCount : ay.srcFirst;
    return ScaledPlanResult::Draw;
}
