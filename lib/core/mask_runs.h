// The runs of non-zero pixels of an image, row by row: the shape of a window
// made from a mask image. Platform-free.
#ifndef VEXLO_CORE_MASK_RUNS_H
#define VEXLO_CORE_MASK_RUNS_H

#include <functional>

// Calls addRun(left, right, y) for every run [left, right) of pixels whose
// 1 to 4 bytes are not all zero. pitch is the byte distance between rows.
void ForEachOpaqueRun(int width, int height, const unsigned char *pixels, int pitch, int bytesPerPixel,
                      const std::function<void(int left, int right, int y)> &addRun);

#endif
