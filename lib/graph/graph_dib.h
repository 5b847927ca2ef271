// Images as GDI device-independent bitmaps: for 8-bit screens, where GDI
// maps colours to the palette, and for the window's shape.
#ifndef VEXLO_GRAPH_GRAPH_DIB_H
#define VEXLO_GRAPH_GRAPH_DIB_H

#include <windows.h>

#include "graph_image.h"

// Fills info for a top-down 24-bit DIB of the image. 0 when *bits is the
// image's own memory (already 24-bit BGR with the DIB's stride, forceCopy
// not 1); 1 when *bits is new memory (free it with std::free); -1 when that
// memory cannot be had.
int GraphImageToDib(const GraphImage *image, BITMAPINFO *info, void **bits, int forceCopy);
// A top-down DIB section in the wanted layout (24-bit for null) holding the
// DIB; null on failure. A 32-bit wish for a 24-bit source becomes 24-bit and
// *want is rewritten to the 24-bit layout.
HBITMAP DibToBitmap(const BITMAPINFO *info, const void *bits, ColorData *want);
// Decodes a file into a new BITMAPINFO and new bits, both for std::free.
// 0 or -1.
int LoadGraphImageAsDib(const char *fileName, BITMAPINFO **info, void **bits);

#endif
