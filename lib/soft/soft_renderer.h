// The software renderer's Windows side: graphs, scaled graphs and boxes
// drawn into the current draw surface through the pixel loops (or the
// driver's fast blit where no blending is needed).
#ifndef VEXLO_SOFT_SOFT_RENDERER_H
#define VEXLO_SOFT_SOFT_RENDERER_H

#include "../graph/graph_table.h"

// Draws piece bmpData with its top-left at (x, y). 0 also when nothing is
// visible; -1 for a texture draw target, without a device, or for an
// invalid piece. A surface that cannot be locked ends the program.
int G_DDraw_DrawGraph(int x, int y, int bmpData, int transFlag);
// The graph's first piece at (x, y).
int DrawSoftGraph(int x, int y, GraphSlot *slot, int transFlag);
// Scaled into (x1, y1, x2, y2); reversed corners mirror that axis. -1 also
// for an empty or wholly clipped destination.
int G_DDraw_DrawExtendGraph(int x1, int y1, int x2, int y2, GraphSlot *slot, int transFlag);
// Fills (x1, y1, x2, y2) with colour (a screen value) under the blend
// settings. -1 for a texture draw target or without a device.
int G_DDraw_DrawFillBox(int x1, int y1, int x2, int y2, int colour);

#endif
