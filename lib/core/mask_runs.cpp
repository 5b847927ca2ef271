#include "mask_runs.h"

namespace {

bool IsOpaque(const unsigned char *pixel, int bytesPerPixel)
{
    for (int i = 0; i < bytesPerPixel; ++i)
        if (pixel[i] != 0) return true;
    return false;
}

} // namespace

void ForEachOpaqueRun(int width, int height, const unsigned char *pixels, int pitch, int bytesPerPixel,
                      const std::function<void(int, int, int)> &addRun)
{
    if (width <= 0 || height <= 0 || bytesPerPixel < 1 || bytesPerPixel > 4) return;
    for (int y = 0; y < height; ++y) {
        const unsigned char *row = pixels + static_cast<long long>(y) * pitch;
        int runStart = -1;
        for (int x = 0; x < width; ++x) {
            bool opaque = IsOpaque(row + x * bytesPerPixel, bytesPerPixel);
            if (opaque && runStart < 0) runStart = x;
            if (!opaque && runStart >= 0) {
                addRun(runStart, x, y);
                runStart = -1;
            }
        }
        if (runStart >= 0) addRun(runStart, width, y);
    }
}
