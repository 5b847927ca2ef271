// Filling one piece of a graph from decoded images: the colour pixels in the
// piece surface's layout and, when the piece keeps one, its alpha memory.
// Platform-free: the caller locks the surface and hands its memory in.
#ifndef VEXLO_GRAPH_PIECE_FILL_H
#define VEXLO_GRAPH_PIECE_FILL_H

#include <cstdint>

#include "graph_image.h"

struct PieceTarget {
    void *pixels;            // the piece's top-left pixel
    int pitch;
    const ColorData *layout; // the surface's layout
    uint8_t *alphaMemory;    // the piece's top-left alpha byte, or null
    int alphaPitch;
    int width, height;       // the piece's size
};

// Copies the piece-sized rectangle at (srcX, srcY) of the image into the
// target. Alpha memory gets the image's alpha when its layout has alpha,
// else the red channel of alphaImage (may be null), else 255. The rectangle
// is cut to the images (a reloaded file may have shrunk); target pixels
// outside it stay as they were. 0, or -1 when nothing of the rectangle lies
// in the image.
int FillPieceFromImage(const PieceTarget &target, const GraphImage *image, const GraphImage *alphaImage, int srcX,
                       int srcY);

#endif
