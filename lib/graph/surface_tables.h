// The two tables between a graph and the surfaces that hold its pixels.
// A surface-data entry owns one surface, its colour key and an optional
// alpha memory (one byte per pixel); BMP-data entries are pieces of graphs,
// each a rectangle of a surface-data entry, which counts the pieces sharing
// it. Platform-free bookkeeping: the surfaces themselves are made, released
// and keyed through the hooks that the DirectDraw side installs.
#ifndef VEXLO_GRAPH_SURFACE_TABLES_H
#define VEXLO_GRAPH_SURFACE_TABLES_H

#include <cstdint>

struct IDirectDrawSurface7;

const int BMP_DATA_CAPACITY = 30000;
const int SURFACE_DATA_CAPACITY = 65535; // index 0xFFFF is never a slot

struct SurfaceData {
    int checkNumber;
    int *deletedFlag;
    uint8_t texture;
    uint8_t alphaChannel;   // keep an alpha memory
    uint8_t drawValid;
    uint8_t systemMemory;   // asked for on creation; afterwards where it lies
    uint8_t alphaTest;
    uint8_t colourBitDepth;
    uint8_t textureLayout;
    IDirectDrawSurface7 *surface; // null while released
    uint8_t *alphaMemory;         // alphaPitch x height bytes, or null
    int alphaPitch;
    uint32_t colourKey;           // 0x00RRGGBB
    uint16_t width, height;
    uint16_t refCount;            // BMP-data entries sharing the surface
    int lockPitch;
    void *lockPixels;
    int lockCount;
};

struct BmpData {
    int checkNumber;
    int *deletedFlag;
    short xInGraph, yInGraph;
    short xInSurface, yInSurface;
    short width, height;
    int owner;       // graph handle
    int surfaceData; // surface-data handle
};

// The surface side of an entry: make its surface (and alpha memory), give
// them up, set its colour key. create and setColourKey return 0 or -1.
struct SurfaceHooks {
    int (*create)(SurfaceData *entry);
    void (*release)(SurfaceData *entry);
    int (*setColourKey)(SurfaceData *entry);
};
void SetSurfaceHooks(const SurfaceHooks &hooks);

// Failures of the creating functions besides -1 (the surface failed).
const int SURFACE_TABLE_FULL = -2;
const int SURFACE_NO_MEMORY = -3;

// ---- Surface data -------------------------------------------------------------

// A new entry whose surface is made and keyed at once: its handle, -1 when
// the surface could not be made, or SURFACE_TABLE_FULL / SURFACE_NO_MEMORY.
int NewSurfaceData(int refCount, int width, int height, uint32_t colourKey, const uint8_t flags[6]);
// Releases the surface and frees the entry; 0, or -1 for an invalid handle.
int RemoveSurfaceData(int handle);
SurfaceData *GetSurfaceData(int handle);
// The new reference count, -1 for an invalid handle.
int AddSurfaceDataRef(int handle);
int ReleaseSurfaceDataRef(int handle);
int GetSurfaceDataHandleAt(int index);
int GetSurfaceDataHighWater();
int GetSurfaceDataInUse();

// ---- BMP data ---------------------------------------------------------------------

// A new piece: with share, the piece uses share's surface data (one more
// reference); otherwise a new surface-data entry of the piece's size with
// colourKey. Its handle, -1 when the surface could not be made, or
// SURFACE_TABLE_FULL / SURFACE_NO_MEMORY.
int NewBmpData(int width, int height, int xInGraph, int yInGraph, int owner, const BmpData *share, int xInSurface,
               int yInSurface, const uint8_t flags[6], uint32_t colourKey);
// Drops the piece's reference (deleting the surface data at 0) and frees
// the piece. 0, also for an invalid handle.
int RemoveBmpData(int handle);
BmpData *GetBmpData(int handle);
int GetBmpDataHandleAt(int index);
int GetBmpDataHighWater();
int GetBmpDataInUse();
// Deletes every piece (and so every surface data they hold) and restarts
// both tables' check numbers.
void RemoveAllBmpData();

#endif
