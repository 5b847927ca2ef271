// Where a draw lands and what it reads: the draw area against the
// destination rectangle, and from that the part of the source that is read.
// Every software loop (plain, scaled, mirrored, boxes) takes its rectangles
// from here. All arithmetic is done in 64 bits, so hostile positions and
// sizes cannot overflow. Platform-free.
#ifndef VEXLO_SOFT_BLIT_CLIP_H
#define VEXLO_SOFT_BLIT_CLIP_H

#include <cstdint>

struct PixelRect {
    int left, top, right, bottom; // right and bottom exclusive
};

inline bool IsEmptyRect(const PixelRect &r) { return r.right <= r.left || r.bottom <= r.top; }

// Clamps r into area edge by edge: bottom, then top, into area.top..bottom;
// right, then left, into area.left..right. A rectangle wholly outside the
// area collapses onto one of its edges and comes out empty. Edges are given
// as 64-bit values so that x + width never overflows on the way in.
PixelRect ClampRectInto(int64_t left, int64_t top, int64_t right, int64_t bottom, const PixelRect &area);

// The area that DrawRectGraph draws through: (x, y, x + width, y + height)
// clamped into the kept draw area.
PixelRect RectDrawArea(int x, int y, int width, int height, const PixelRect &keptArea);

// An unscaled draw of a width x height piece with its top-left at (x, y).
struct UnscaledPlan {
    int dstX, dstY;        // first written pixel, in target coordinates
    int width, height;     // W x H pixels are drawn
    int srcX, srcY;        // first read pixel, inside the piece
};
// False when nothing of the piece is visible.
bool PlanUnscaledBlit(int x, int y, int pieceWidth, int pieceHeight, const PixelRect &area, UnscaledPlan *plan);

// A scaled draw of a graphWidth x graphHeight graph into (x1, y1, x2, y2);
// reversed corners mirror that axis. Steps are destination pixels per
// source pixel in 16.16 fixed point.
struct ScaledPlan {
    bool mirrorX, mirrorY;
    int64_t stepX, stepY;
    int64_t fracX, fracY;   // the accumulators' start values
    int skipX, skipY;       // source pixels cut away by the left and top clipping
    int dstX, dstY;         // first written pixel (the clamped rectangle's corner)
    int width, height;      // cw x ch destination pixels are written
    // The source pixels the loops read, inside the graph: columns
    // srcLeft..srcLeft + srcWidth - 1, rows srcTop..srcTop + srcHeight - 1.
    int srcLeft, srcTop, srcWidth, srcHeight;
    // The first source pixel read (the stepping starts there; it moves left
    // when mirrored horizontally, up when mirrored vertically).
    int srcStartX, srcStartY;
};
enum class ScaledPlanResult {
    Draw,
    SameAsUnscaled, // natural size, not mirrored: the plain draw at (x1, y1)
    Empty,          // zero width or height, or wholly clipped away
};
ScaledPlanResult PlanScaledBlit(int x1, int y1, int x2, int y2, int graphWidth, int graphHeight,
                                const PixelRect &area, ScaledPlan *plan);

// The source index that destination pixel k of an axis shows, counted from
// the unclipped start: floor(k * 65536 / step), the stepper's own rule.
inline int64_t SourceIndexOfPixel(int64_t k, int64_t step) { return k * 65536 / step; }

#endif
