// The public graph drawing: DrawGraph, DrawRectGraph, DrawExtendGraph,
// DrawTurnGraph and FillGraphColor. Graphs held as Direct3D textures belong
// to the Direct3D renderer, which is not available in this build: drawing
// them gives -1. Every other graph goes to the software renderer.
#include <windows.h>

#include <climits>
#include <cstdint>

#include "../Vexlo.h"
#include "../core/message.h"
#include "../display/display.h"
#include "../display/display_needs.h"
#include "../graph/graph_table.h"
#include "../graph/surface_data.h"
#include "blit_clip.h"
#include "draw_state.h"
#include "soft_renderer.h"

namespace {

// Positions derived from the caller's (x - srcX, x + width) are computed in
// 64 bits and pinned to the int range: such a draw lies wholly outside any
// draw area, and pinning keeps it there instead of wrapping back in.
int Pinned(int64_t value)
{
    if (value < INT_MIN) return INT_MIN;
    if (value > INT_MAX) return INT_MAX;
    return static_cast<int>(value);
}

// The graph of a drawing call, after the inactive wait; null for a dead or
// foreign handle.
GraphSlot *GraphToDraw(int graph)
{
    GraphSlot *slot = GetGraphSlot(graph);
    if (slot) WaitWhileInactive();
    return slot;
}

// Sets the draw area for one draw and puts the old one back afterwards.
class DrawAreaScope {
public:
    explicit DrawAreaScope(const PixelRect &area) : kept_(GetDrawState().drawArea) { StoreDrawArea(area); }
    ~DrawAreaScope() { StoreDrawArea(kept_); }
    DrawAreaScope(const DrawAreaScope &) = delete;
    DrawAreaScope &operator=(const DrawAreaScope &) = delete;

private:
    PixelRect kept_;
};

} // namespace

int DrawSoftGraph(int x, int y, GraphSlot *slot, int transFlag)
{
    if (!slot || slot->pieceCount == 0) return -1;
    return G_DDraw_DrawGraph(x, y, slot->pieces[0], transFlag);
}

extern "C" int DrawGraph(int x, int y, int graph, int transFlag)
{
    if (GetDrawState().areaEmpty) return 0;
    GraphSlot *slot = GraphToDraw(graph);
    if (!slot || slot->texture) return -1;
    return DrawSoftGraph(x, y, slot, transFlag);
}

extern "C" int DrawRectGraph(int x, int y, int srcX, int srcY, int width, int height, int graph, int transFlag,
                             int turnFlag)
{
    DrawAreaScope scope(RectDrawArea(x, y, width, height, GetDrawState().drawArea));
    if (!turnFlag) return DrawGraph(Pinned(int64_t{x} - srcX), Pinned(int64_t{y} - srcY), graph, transFlag);
    const GraphSlot *slot = GetGraphSlot(graph);
    if (!slot) return -1;
    return DrawTurnGraph(Pinned(int64_t{x} + srcX + width - slot->width), Pinned(int64_t{y} - srcY), graph,
                         transFlag);
}

extern "C" int DrawExtendGraph(int x1, int y1, int x2, int y2, int graph, int transFlag)
{
    if (GetDrawState().areaEmpty) return 0;
    GraphSlot *slot = GraphToDraw(graph);
    if (!slot || slot->texture) return -1;
    return G_DDraw_DrawExtendGraph(x1, y1, x2, y2, slot, transFlag);
}

extern "C" int DrawTurnGraph(int x, int y, int graph, int transFlag)
{
    const GraphSlot *slot = GetGraphSlot(graph);
    if (!slot) return -1;
    return DrawExtendGraph(Pinned(int64_t{x} + slot->width), y, x, Pinned(int64_t{y} + slot->height), graph,
                           transFlag);
}

extern "C" int FillGraphColor(int graph, int r, int g, int b, int a)
{
    const GraphSlot *slot = GetGraphSlot(graph);
    if (!slot || slot->texture || !HasDisplayDevice()) return -1;
    if (IsDirect3DInUse()) EndScene3D();
    for (int i = 0; i < slot->pieceCount; ++i) {
        const BmpData *piece = GetBmpData(slot->pieces[i]);
        if (!piece) return -1;
        FillSurfaceData(piece->surfaceData, r, g, b, a);
    }
    return 0;
}
