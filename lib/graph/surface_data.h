// The DirectDraw side of the surface-data and BMP-data tables: surfaces in
// the screen's layout, their colour keys, alpha memory, locks, and their
// release and rebuilding around focus loss. Logs every failure.
#ifndef VEXLO_GRAPH_SURFACE_DATA_H
#define VEXLO_GRAPH_SURFACE_DATA_H

#include <windows.h>
#include <ddraw.h>

#include "surface_tables.h"

// Puts the DirectDraw hooks under the tables (graph management's start).
void UseDirectDrawSurfaces();

int AddBmpData(int width, int height, int xInGraph, int yInGraph, int owner, const BmpData *share, int xInSurface,
               int yInSurface, const uint8_t flags[6]);
int DeleteBmpData(int handle);
int SetBmpDataDeletedFlag(int handle, int *flag);

int CreateSurfaceData(int refCount, int width, int height, uint32_t colourKey, const uint8_t flags[6]);
int DeleteSurfaceData(int handle);
int CreateSurfaceOfData(int handle);
int ReleaseSurfaceOfData(int handle);
int SetSurfaceDataColourKey(int handle);
int RestoreSurfaceDataIfLost(int handle);
int LockSurfaceData(int handle, int *pitch, void **pixels);
int UnlockSurfaceData(int handle);
int FillSurfaceData(int handle, int r, int g, int b, int a);

#endif
