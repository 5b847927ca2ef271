#include "surface_tables.h"

#include <cstdlib>

#include "handle_table.h"

namespace {

HandleTable &BmpTable()
{
    static HandleTable table(HANDLE_KIND_BMP_DATA, BMP_DATA_CAPACITY);
    return table;
}

HandleTable &SurfaceTable()
{
    static HandleTable table(HANDLE_KIND_SURFACE_DATA, SURFACE_DATA_CAPACITY);
    return table;
}

int NoSurface(SurfaceData *) { return -1; }
void NoRelease(SurfaceData *) {}

SurfaceHooks g_hooks = {NoSurface, NoRelease, NoSurface};

} // namespace

void SetSurfaceHooks(const SurfaceHooks &hooks) { g_hooks = hooks; }

// ---- Surface data -------------------------------------------------------------

int NewSurfaceData(int refCount, int width, int height, uint32_t colourKey, const uint8_t flags[6])
{
    HandleTable &table = SurfaceTable();
    if (table.InUse() >= table.Capacity()) return SURFACE_TABLE_FULL;
    auto *entry = static_cast<SurfaceData *>(std::calloc(1, sizeof(SurfaceData)));
    if (!entry) return SURFACE_NO_MEMORY;
    entry->texture = flags[0];
    entry->alphaChannel = flags[1];
    entry->drawValid = flags[2];
    entry->systemMemory = flags[3];
    entry->alphaTest = flags[4];
    entry->colourBitDepth = flags[5];
    entry->width = static_cast<uint16_t>(width);
    entry->height = static_cast<uint16_t>(height);
    entry->refCount = static_cast<uint16_t>(refCount);
    entry->colourKey = colourKey;
    if (g_hooks.create(entry) != 0) {
        g_hooks.release(entry); // whatever part of it was made
        std::free(entry);
        return -1;
    }
    g_hooks.setColourKey(entry);
    int handle = table.Add(entry);
    if (handle < 0) {
        g_hooks.release(entry);
        std::free(entry);
        return SURFACE_NO_MEMORY;
    }
    entry->checkNumber = HandleCheckOf(handle);
    return handle;
}

int RemoveSurfaceData(int handle)
{
    auto *entry = static_cast<SurfaceData *>(SurfaceTable().Remove(handle));
    if (!entry) return -1;
    g_hooks.release(entry);
    if (entry->deletedFlag) *entry->deletedFlag = 1;
    std::free(entry);
    return 0;
}

SurfaceData *GetSurfaceData(int handle) { return static_cast<SurfaceData *>(SurfaceTable().Find(handle)); }

int AddSurfaceDataRef(int handle)
{
    SurfaceData *entry = GetSurfaceData(handle);
    if (!entry || entry->refCount == UINT16_MAX) return -1;
    return ++entry->refCount;
}

int ReleaseSurfaceDataRef(int handle)
{
    SurfaceData *entry = GetSurfaceData(handle);
    if (!entry) return -1;
    if (entry->refCount > 0) --entry->refCount;
    return entry->refCount;
}

int GetSurfaceDataHandleAt(int index) { return SurfaceTable().HandleAt(index); }
int GetSurfaceDataHighWater() { return SurfaceTable().HighWater(); }
int GetSurfaceDataInUse() { return SurfaceTable().InUse(); }

// ---- BMP data ---------------------------------------------------------------------

int NewBmpData(int width, int height, int xInGraph, int yInGraph, int owner, const BmpData *share, int xInSurface,
               int yInSurface, const uint8_t flags[6], uint32_t colourKey)
{
    HandleTable &table = BmpTable();
    if (table.InUse() >= table.Capacity()) return SURFACE_TABLE_FULL;
    auto *piece = static_cast<BmpData *>(std::calloc(1, sizeof(BmpData)));
    if (!piece) return SURFACE_NO_MEMORY;
    int surface;
    if (share) {
        surface = share->surfaceData;
        if (AddSurfaceDataRef(surface) < 0) surface = -1;
    } else {
        surface = NewSurfaceData(1, width, height, colourKey, flags);
    }
    if (surface < 0) {
        std::free(piece);
        return surface;
    }
    piece->width = static_cast<short>(width);
    piece->height = static_cast<short>(height);
    piece->xInGraph = static_cast<short>(xInGraph);
    piece->yInGraph = static_cast<short>(yInGraph);
    piece->xInSurface = static_cast<short>(xInSurface);
    piece->yInSurface = static_cast<short>(yInSurface);
    piece->owner = owner;
    piece->surfaceData = surface;
    int handle = table.Add(piece);
    if (handle < 0) {
        if (ReleaseSurfaceDataRef(surface) == 0) RemoveSurfaceData(surface);
        std::free(piece);
        return SURFACE_NO_MEMORY;
    }
    piece->checkNumber = HandleCheckOf(handle);
    return handle;
}

int RemoveBmpData(int handle)
{
    auto *piece = static_cast<BmpData *>(BmpTable().Remove(handle));
    if (!piece) return 0;
    if (ReleaseSurfaceDataRef(piece->surfaceData) == 0) RemoveSurfaceData(piece->surfaceData);
    if (piece->deletedFlag) *piece->deletedFlag = 1;
    std::free(piece);
    return 0;
}

BmpData *GetBmpData(int handle) { return static_cast<BmpData *>(BmpTable().Find(handle)); }
int GetBmpDataHandleAt(int index) { return BmpTable().HandleAt(index); }
int GetBmpDataHighWater() { return BmpTable().HighWater(); }
int GetBmpDataInUse() { return BmpTable().InUse(); }

void RemoveAllBmpData()
{
    for (int i = BmpTable().HighWater() - 1; i >= 0; --i) RemoveBmpData(BmpTable().HandleAt(i));
    // Surface data that no piece holds any more (made on their own).
    for (int i = SurfaceTable().HighWater() - 1; i >= 0; --i) RemoveSurfaceData(SurfaceTable().HandleAt(i));
    BmpTable().Reset();
    SurfaceTable().Reset();
}
