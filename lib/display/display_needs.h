// Operations of other subsystems that the display calls while it starts,
// ends, changes the screen mode and selects draw targets. They belong to
// graph management, the draw settings, Direct3D and the fonts, which define
// them.
#ifndef VEXLO_DISPLAY_DISPLAY_NEEDS_H
#define VEXLO_DISPLAY_DISPLAY_NEEDS_H

#include <windows.h>
#include <ddraw.h>

// Graph management: started inside every screen-mode change; its start
// selects SCREEN_FRONT as the draw screen.
int StartGraphManagement();
int EndGraphManagement();
int IsGraphManagementStarted();
int DeleteAllGraphs(int logIt);
// BMP data: the DirectDraw surfaces behind graphs.
int DeleteAllBmpData();
// Around focus loss: the surfaces go, the records stay.
int ReleaseAllBmpSurfaces();
int RecreateAllBmpSurfaces();

// A graph as a draw target.
struct GraphDrawTarget {
    int isTexture;               // held as Direct3D textures
    IDirectDrawSurface7 *surface; // the surface of its first BMP-data piece
    int width, height;            // the graph's size
    int surfaceWidth, surfaceHeight;
};
// -1 when graph is no live graph (or, for a DirectDraw graph, its first
// BMP-data piece is gone).
int GetGraphDrawTarget(int graph, GraphDrawTarget *target);
// 1 when slot index of the graph table holds no graph.
int IsGraphSlotEmpty(int index);

// Draw settings.
int GetDrawArea(RECT *area);
int GetDrawBlendMode(int *mode, int *parameter);
extern "C" int SetDrawBlendMode(int mode, int parameter);
// The colour key given to new surfaces, 0x00RRGGBB.
int GetGraphTransColor();
int SetGraphTransColor(int colour);

// Direct3D: started after the screen surfaces exist.
int StartDirect3D();
int EndDirect3D();
int IsDirect3DInUse();
// Ends the open scene and draws what is batched.
int EndScene3D();
int SelectDrawScreen3D(int drawScreen);
int ClearDrawScreen3D();

// The default font is saved before a mode change and made again after it.
int SaveDefaultFont();
int RecreateDefaultFont();

#endif
