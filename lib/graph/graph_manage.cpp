// Graph management's start and end, the creation settings, and graph
// creation, deletion and queries over the graph table.
#include "graph_manage.h"

#include "../Vexlo.h"
#include "../core/message.h"
#include "../display/display.h"
#include "../display/display_needs.h"
#include "../font/font.h"
#include "../soft/draw_state.h"
#include "surface_data.h"

namespace {

struct GraphManagement {
    int started;
    int deletingAll; // DeleteAllGraphs runs: no draw-screen fix-ups per graph
    GraphCreationSettings settings;
};
GraphManagement g_graphs;

// Sizes a graph can have: its slot keeps them in 16 bits, its pieces in
// signed 16 bits.
bool IsGraphSize(int width, int height) { return width > 0 && height > 0 && width <= 0x7FFF && height <= 0x7FFF; }

// Frees records a previous run left (none after a regular end).
void FreeLeftoverSlots()
{
    for (int i = GetGraphHighWater() - 1; i >= 0; --i) FreeGraphSlot(GetGraphHandleAt(i));
    ResetGraphTable();
}

int CreateDirectDrawPieces(int graph, GraphSlot *slot)
{
    uint8_t flags[6];
    GetGraphPieceFlags(slot, flags);
    int piece = AddBmpData(slot->width, slot->height, 0, 0, graph, nullptr, 0, 0, flags);
    if (piece < 0) return -1;
    slot->pieces[0] = piece;
    slot->pieceCount = 1;
    return 0;
}

void ReleasePieces(GraphSlot *slot)
{
    // Texture pieces belong to the Direct3D renderer, which makes none yet.
    if (!slot->texture) {
        for (int i = 0; i < slot->pieceCount; ++i) DeleteBmpData(slot->pieces[i]);
    }
    slot->pieceCount = 0;
}

} // namespace

GraphCreationSettings &GraphSettings() { return g_graphs.settings; }

// ---- Start and end ----------------------------------------------------------------

int StartGraphManagement()
{
    if (g_graphs.started) return 0;
    AddAppLog("グラフィック管理系の初期化を行います\n");
    IncLogIndent();
    FreeLeftoverSlots();
    g_graphs = GraphManagement{};
    g_graphs.settings.use3D = 1;
    g_graphs.settings.alphaTest = 1;
    ResetDrawState();
    g_graphs.started = 1;
    UseDirectDrawSurfaces();
    DeleteAllBmpData();
    AddAppLog(IsDirect3DInUse() ? "３Ｄグラフィック描画機能を使用します\n" : "３Ｄグラフィック描画機能は使用しません\n");
    RecordDrawScreen(SCREEN_BACK);
    SetDrawScreen(SCREEN_FRONT);
    int width = 0, height = 0;
    GetDrawScreenSize(&width, &height);
    SetDrawArea(0, 0, width, height);
    StartFontManager();
    DecLogIndent();
    AddAppLog("グラフィック管理系の初期化は正常に終了しました\n");
    return 0;
}

int EndGraphManagement()
{
    if (!g_graphs.started) return 0;
    DeleteAllGraphs(0);
    EndFontManager();
    g_graphs.started = 0;
    AddAppLog("グラフィック管理系の終了処理は正常に終了しました\n");
    return 0;
}

int IsGraphManagementStarted() { return g_graphs.started; }

int GetGraphTransColor() { return static_cast<int>(g_graphs.settings.transColour); }

int SetGraphTransColor(int colour)
{
    g_graphs.settings.transColour = static_cast<uint32_t>(colour) & 0x00FFFFFF;
    return 0;
}

// ---- Creation ---------------------------------------------------------------------

int CreateGraphSlot(int width, int height, int textureWish, int alphaChannel, GraphSlot **slot)
{
    const GraphCreationSettings &s = g_graphs.settings;
    int texture = textureWish && s.use3D && IsDirect3DInUse();
    int handle = AddGraphSlot(width, height, texture, alphaChannel, s, GetScreenBitDepth(), slot);
    if (handle == GRAPH_TABLE_FULL) ExitWithError("グラフィックの数が許容量を越えました終了します");
    if (handle == GRAPH_NO_MEMORY) ExitWithError("メモリの確保に失敗しました");
    return handle;
}

extern "C" int CreateGraph(int width, int height, int textureWish, int alphaChannel)
{
    // Without graph management there is no device to hold the pixels, and a
    // size outside the slot's fields would be cut: both are refused.
    if (!g_graphs.started || !IsGraphSize(width, height)) return -1;
    GraphSlot *slot = nullptr;
    int graph = CreateGraphSlot(width, height, textureWish, alphaChannel ? 1 : 0, &slot);
    // Texture pieces come with the Direct3D renderer; until then the slot's
    // texture flag stays 0 (Direct3D is never in use).
    if (slot->texture || CreateDirectDrawPieces(graph, slot) != 0)
        ExitWithError("グラフィックの作成に失敗しました終了します");
    return graph;
}

int CreateBlankGraph(int width, int height) { return CreateGraph(width, height, 1, g_graphs.settings.alphaChannel); }

// ---- Deletion ----------------------------------------------------------------------

extern "C" int DeleteGraph(int graph, int logIt)
{
    GraphSlot *slot = GetGraphSlot(graph);
    if (!slot) return -1;
    ReleasePieces(slot);
    if (logIt) AddAppLogFormat("グラフィック %s の削除", slot->fileName);
    FreeGraphSlot(graph);
    // A deleted draw target would leave drawing pointed at a released
    // surface: drawing goes back to the back screen.
    if (!g_graphs.deletingAll && GetDrawScreen() == graph) SetDrawScreen(SCREEN_BACK);
    return 0;
}

int DeleteAllGraphs(int logIt)
{
    if (!g_graphs.started) return 0;
    g_graphs.deletingAll = 1;
    for (int i = 0; i < GetGraphHighWater(); ++i) {
        int graph = GetGraphHandleAt(i);
        if (graph != -1) DeleteGraph(graph, logIt);
    }
    g_graphs.deletingAll = 0;
    if (GetDrawScreen() >= 0) SetDrawScreen(SCREEN_BACK);
    return 0;
}

extern "C" int SetGraphDeletedFlag(int graph, int *flag)
{
    GraphSlot *slot = GetGraphSlot(graph);
    if (!slot) return -1;
    slot->deletedFlag = flag;
    if (flag) *flag = 0;
    return 0;
}

// ---- Queries ----------------------------------------------------------------------

extern "C" int GetGraphSize(int graph, int *width, int *height)
{
    if (graph == SCREEN_FRONT || graph == SCREEN_BACK) {
        GetScreenSize(width, height);
        return 0;
    }
    const GraphSlot *slot = GetGraphSlot(graph);
    if (!slot) return -1;
    if (width) *width = slot->width;
    if (height) *height = slot->height;
    return 0;
}

int GetGraphDrawTarget(int graph, GraphDrawTarget *target)
{
    const GraphSlot *slot = GetGraphSlot(graph);
    if (!slot) return -1;
    *target = GraphDrawTarget{};
    target->isTexture = slot->texture;
    target->width = slot->width;
    target->height = slot->height;
    if (slot->texture) return 0;
    const BmpData *piece = slot->pieceCount > 0 ? GetBmpData(slot->pieces[0]) : nullptr;
    const SurfaceData *entry = piece ? GetSurfaceData(piece->surfaceData) : nullptr;
    if (!entry) return -1;
    target->surface = entry->surface;
    target->surfaceWidth = entry->width;
    target->surfaceHeight = entry->height;
    return 0;
}

int IsGraphSlotEmpty(int index) { return GetGraphHandleAt(index) == -1 ? 1 : 0; }

int RestoreGraphPiecesIfLost(int graph)
{
    const GraphSlot *slot = GetGraphSlot(graph);
    if (!slot || slot->texture) return 0;
    int lost = 0;
    for (int i = 0; i < slot->pieceCount; ++i) {
        const BmpData *piece = GetBmpData(slot->pieces[i]);
        if (piece && RestoreSurfaceDataIfLost(piece->surfaceData) == -1) lost = 1;
    }
    return lost;
}
