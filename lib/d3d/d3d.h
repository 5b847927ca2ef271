#ifndef VEXLO_D3D_D3D_H
#define VEXLO_D3D_D3D_H

// Direct3D objects given up around focus loss and taken again afterwards.
int ReleaseDirect3D();
int ReacquireDirect3D();

#endif
