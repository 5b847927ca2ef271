// The library's raw "BGRA" format: a 16-byte header (tag, depth marker,
// width, height) and then the pixels, top row first, 8 or 16 bits per
// channel. Both become 32-bit BGRA; 16-bit channels keep their high byte.
#include <cstdlib>

#include "image_decoders.h"

namespace {

const uint32_t kDepth8 = 0x08080808;
const uint32_t kDepth16 = 0x10101010;
const int kHeaderBytes = 16;

void NarrowRow(const uint8_t *src, uint8_t *dst, int width)
{
    // Little-endian 16-bit channels: the high byte is the second one.
    for (int i = 0; i < width * 4; ++i) dst[i] = src[i * 2 + 1];
}

} // namespace

int DecodeBgra(const ImageStream &in, GraphImage *out)
{
    *out = GraphImage{};
    uint8_t header[kHeaderBytes];
    if (!ReadExact(in, header, kHeaderBytes)) return -1;
    if (header[0] != 'B' || header[1] != 'G' || header[2] != 'R' || header[3] != 'A') return -1;
    uint32_t depth = LoadLE32(header + 4);
    uint32_t width = LoadLE32(header + 8), height = LoadLE32(header + 12);
    if (depth != kDepth8 && depth != kDepth16) return -1;
    if (width == 0 || height == 0 || width > IMAGE_SIDE_LIMIT || height > IMAGE_SIDE_LIMIT) return -1;
    int channelBytes = depth == kDepth8 ? 1 : 2;
    int64_t rowBytes = static_cast<int64_t>(width) * 4 * channelBytes;
    int64_t size = StreamSize(in);
    if (size < 0 || rowBytes * height > size - kHeaderBytes) return -1;
    int w = static_cast<int>(width), h = static_cast<int>(height);
    if (AllocateGraphImage(out, &Bgra32Layout(), w, h, w * 4) != 0) return -1;
    uint8_t *pixels = static_cast<uint8_t *>(out->pixels);
    if (channelBytes == 1) {
        if (ReadExact(in, pixels, out->pitch * h)) return 0;
        ReleaseGraphImage(out);
        return -1;
    }
    uint8_t *row = static_cast<uint8_t *>(std::malloc(static_cast<size_t>(rowBytes)));
    bool ok = row != nullptr;
    for (int y = 0; ok && y < h; ++y) {
        ok = ReadExact(in, row, static_cast<int>(rowBytes));
        if (ok) NarrowRow(row, pixels + static_cast<int64_t>(y) * out->pitch, w);
    }
    std::free(row);
    if (!ok) ReleaseGraphImage(out);
    return ok ? 0 : -1;
}
