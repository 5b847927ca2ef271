// Restoring graphs after their surface memory was lost: the lost memory is
// restored on the way back to activity, and every graph is refilled from its
// file through the restore function.
#include "graph_restore.h"

#include <cstring>

#include "../Vexlo.h"
#include "../core/file_access.h"
#include "../display/display.h"
#include "../font/font.h"
#include "graph_manage.h"

namespace {

using RestoreFunction = void (*)();
RestoreFunction g_restore;

// Longer names than these are not reloaded.
const size_t kReloadDirectoryLimit = 128;
const size_t kReloadFileNameLimit = 64;

bool CanReload(const GraphSlot *slot)
{
    return slot->fileName[0] != '\0' && std::strlen(slot->directory) <= kReloadDirectoryLimit &&
           std::strlen(slot->fileName) <= kReloadFileNameLimit;
}

bool SameSource(const GraphSlot *a, const GraphSlot *b)
{
    return std::strcmp(a->fileName, b->fileName) == 0 && std::strcmp(a->directory, b->directory) == 0 &&
           a->reloadMirror == b->reloadMirror;
}

// The images of the last file loaded; consecutive graphs of one file share them.
struct LoadedImages {
    GraphImage image = {};
    GraphImage alpha = {};
    int pair = -1; // LoadGraphImagePair's result; -1: nothing loaded
    void Release()
    {
        ReleaseGraphImage(&image);
        ReleaseGraphImage(&alpha);
        pair = -1;
    }
};

bool LoadSource(const GraphSlot *slot, LoadedImages *loaded)
{
    loaded->Release();
    FileAccessSetDir(slot->directory);
    AddAppLogFormat("パス:%s ファイル:%s をロードします", slot->directory, slot->fileName);
    loaded->pair = LoadFileImagePair(slot->fileName, &loaded->image, &loaded->alpha, slot->reloadMirror);
    if (loaded->pair != -1) return true;
    AddAppLogFormat("パス:%s ファイル:%s がロードできませんでした", slot->directory, slot->fileName);
    return false;
}

void ReloadGraphsFromFiles()
{
    AddAppLog("グラフィックを復帰します\n");
    char directory[MAX_PATH + 1] = {};
    if (FileAccessGetDir(directory) <= 0) directory[0] = '\0';
    LoadedImages loaded;
    // The slot handled before, copied: reloading may not delete graphs, but
    // a copy stays right even if it did.
    GraphSlot previous = {};
    bool hasPrevious = false;
    for (int i = 0; i < GetGraphHighWater(); ++i) {
        int graph = GetGraphHandleAt(i);
        GraphSlot *slot = GetGraphSlot(graph);
        if (!slot || !slot->needsRestore) continue;
        if (!CanReload(slot)) {
            slot->needsRestore = 0;
            continue;
        }
        bool reuse = hasPrevious && i != 0 && loaded.pair != -1 && SameSource(slot, &previous);
        previous = *slot;
        hasPrevious = true;
        if (!reuse && !LoadSource(slot, &loaded)) {
            slot->needsRestore = 0;
            continue;
        }
        char fileName[GRAPH_FILE_NAME_SIZE];
        std::memcpy(fileName, slot->fileName, sizeof fileName);
        FillGraph(graph, &loaded.image, loaded.pair == 0 ? &loaded.alpha : nullptr, slot->srcX, slot->srcY, fileName,
                  slot->reloadMirror);
        slot->needsRestore = 0;
    }
    loaded.Release();
    if (directory[0] != '\0') FileAccessSetDir(directory);
}

} // namespace

int SetRestoreCallback(void (*function)())
{
    g_restore = function ? function : ReloadGraphsFromFiles;
    return 0;
}

void InstallDefaultGraphRestore() { SetRestoreCallback(nullptr); }

int MarkGraphsForRestore()
{
    RebuildAllFonts();
    for (int i = 0; i < GetGraphHighWater(); ++i) {
        if (GraphSlot *slot = GetGraphSlot(GetGraphHandleAt(i))) slot->needsRestore = 1;
    }
    if (g_restore) g_restore();
    return 0;
}

int ReloadAllGraphs()
{
    RestoreLostScreens();
    for (int i = 0; i < GetGraphHighWater(); ++i) {
        int graph = GetGraphHandleAt(i);
        if (graph != -1) RestoreGraphPiecesIfLost(graph);
    }
    return 0;
}
