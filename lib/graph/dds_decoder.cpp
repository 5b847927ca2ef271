// DDS files with uncompressed pixels: a layout from the header's RGB masks
// or from a Direct3D format code in the FourCC field. Only the top-level
// image is read; compressed formats are refused.
#include <cstring>

#include "image_decoders.h"

namespace {

const int kDescriptionBytes = 124;
const uint32_t kFlagPitch = 0x8;
const uint32_t kPixelFourCC = 0x4;
const uint32_t kPixelRgb = 0x40;

struct FormatCode {
    uint32_t code;
    int bits;
    uint32_t red, green, blue, alpha;
};

const FormatCode kFormatCodes[] = {
    {20, 24, 0xFF0000, 0xFF00, 0xFF, 0},
    {21, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000},
    {22, 32, 0xFF0000, 0xFF00, 0xFF, 0},
    {23, 16, 0xF800, 0x07E0, 0x001F, 0},
    {24, 16, 0x7C00, 0x03E0, 0x001F, 0},
    {25, 16, 0x7C00, 0x03E0, 0x001F, 0x8000},
    {26, 16, 0x0F00, 0x00F0, 0x000F, 0xF000},
    {27, 8, 0xE0, 0x1C, 0x03, 0},
    {29, 16, 0xE0, 0x1C, 0x03, 0xFF00},
    {30, 16, 0x0F00, 0x00F0, 0x000F, 0},
    {31, 32, 0x3FF, 0xFFC00, 0x3FF00000, 0xC0000000},
    {32, 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000},
    {33, 32, 0xFF, 0xFF00, 0xFF0000, 0},
    {35, 32, 0x3FF00000, 0xFFC00, 0x3FF, 0xC0000000},
};

bool LayoutFromFourCC(uint32_t code, ColorData *layout)
{
    for (const FormatCode &f : kFormatCodes) {
        if (f.code != code) continue;
        SetColorDataFromMasks(layout, f.bits, f.red, f.green, f.blue, f.alpha);
        return true;
    }
    return false;
}

bool LayoutFromMasks(const uint8_t *pf, ColorData *layout)
{
    uint32_t bits = LoadLE32(pf + 12);
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
    uint32_t red = LoadLE32(pf + 16), green = LoadLE32(pf + 20), blue = LoadLE32(pf + 24), alpha = LoadLE32(pf + 28);
    uint32_t all = bits == 32 ? 0xFFFFFFFFu : (1u << bits) - 1u;
    // Masks outside the pixel would make channels read bits that are not there.
    if ((red | green | blue | alpha) & ~all) return false;
    SetColorDataFromMasks(layout, static_cast<int>(bits), red, green, blue, alpha);
    return true;
}

} // namespace

int DecodeDds(const ImageStream &in, GraphImage *out)
{
    *out = GraphImage{};
    uint8_t magic[4];
    uint8_t d[kDescriptionBytes];
    if (!ReadExact(in, magic, 4) || std::memcmp(magic, "DDS", 3) != 0) return -1;
    if (!ReadExact(in, d, kDescriptionBytes)) return -1;
    uint32_t flags = LoadLE32(d + 4);
    uint32_t height = LoadLE32(d + 8), width = LoadLE32(d + 12);
    uint32_t headerPitch = LoadLE32(d + 16);
    const uint8_t *pf = d + 72; // the pixel format
    uint32_t pfFlags = LoadLE32(pf + 4);
    ColorData layout{};
    bool found = false;
    if (pfFlags == kPixelFourCC) {
        found = LayoutFromFourCC(LoadLE32(pf + 8), &layout);
    } else if (pfFlags & kPixelRgb) {
        found = LayoutFromMasks(pf, &layout);
    }
    if (!found) return -1;
    if (width == 0 || height == 0 || width > IMAGE_SIDE_LIMIT || height > IMAGE_SIDE_LIMIT) return -1;
    // Without the pitch flag rows are packed; the layout's depth is used
    // because FourCC files may leave the header's bit count 0.
    int64_t minimumPitch = static_cast<int64_t>(width) * layout.bytesPerPixel;
    int64_t pitch = (flags & kFlagPitch) ? headerPitch : minimumPitch;
    if (pitch < minimumPitch || pitch > 0x7FFFFFFF) return -1;
    int64_t size = StreamSize(in);
    if (size < 0 || pitch * height > size - 4 - kDescriptionBytes) return -1;
    if (AllocateGraphImage(out, &layout, static_cast<int>(width), static_cast<int>(height), static_cast<int>(pitch)) != 0)
        return -1;
    if (!ReadExact(in, out->pixels, out->pitch * out->height)) {
        ReleaseGraphImage(out);
        return -1;
    }
    return 0;
}
