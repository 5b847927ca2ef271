// BMP files: 1, 4, 8, 16, 24 and 32 bits, bit fields, RLE8 and RLE4, rows
// bottom-up or top-down. Every variant becomes 24-bit BGR, rows top to
// bottom; the alpha of 32-bit files is not kept.
#include <cstdlib>
#include <cstring>

#include "image_decoders.h"

namespace {

enum BmpCompression { BMP_RGB = 0, BMP_RLE8 = 1, BMP_RLE4 = 2, BMP_BITFIELDS = 3 };

struct BmpInfo {
    int64_t pixelOffset;
    int64_t headerSize;
    int width;
    int height;     // rows, always positive
    bool bottomUp;  // positive height in the file
    int bits;
    uint32_t compression;
    uint32_t imageSize;
    uint32_t coloursUsed;
    ColorData fieldLayout; // 16 and 32 bits: how channels sit in a pixel
    uint8_t palette[256][3]; // B, G, R; entries past the file's table are black
};

const int kFileHeaderBytes = 14;
const int kInfoHeaderBytes = 40;

bool ValidDepthAndCompression(int bits, uint32_t compression)
{
    switch (compression) {
    case BMP_RGB: return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    case BMP_RLE8: return bits == 8;
    case BMP_RLE4: return bits == 4;
    case BMP_BITFIELDS: return bits == 16 || bits == 32;
    default: return false;
    }
}

bool ReadHeaders(const ImageStream &in, BmpInfo *info)
{
    uint8_t file[kFileHeaderBytes];
    uint8_t header[kInfoHeaderBytes];
    if (!ReadExact(in, file, kFileHeaderBytes) || file[0] != 'B' || file[1] != 'M') return false;
    if (!ReadExact(in, header, kInfoHeaderBytes)) return false;
    info->pixelOffset = LoadLE32(file + 10);
    info->headerSize = LoadLE32(header);
    int32_t width = static_cast<int32_t>(LoadLE32(header + 4));
    int32_t height = static_cast<int32_t>(LoadLE32(header + 8));
    info->bits = LoadLE16(header + 14);
    info->compression = LoadLE32(header + 16);
    info->imageSize = LoadLE32(header + 20);
    info->coloursUsed = LoadLE32(header + 32);
    if (info->headerSize < kInfoHeaderBytes || info->headerSize > 0x10000) return false;
    if (width <= 0 || width > IMAGE_SIDE_LIMIT || height == 0 || height < -IMAGE_SIDE_LIMIT || height > IMAGE_SIDE_LIMIT)
        return false;
    if (!ValidDepthAndCompression(info->bits, info->compression)) return false;
    info->width = width;
    info->bottomUp = height > 0;
    info->height = height > 0 ? height : -height;
    // Run-length data is always stored bottom-up.
    if (!info->bottomUp && (info->compression == BMP_RLE8 || info->compression == BMP_RLE4)) return false;
    return static_cast<int64_t>(info->width) * info->height <= GetImagePixelLimit();
}

// The three masks sit right after the 40 header bytes, inside the larger
// headers and after the short one alike.
bool ReadFieldLayout(const ImageStream &in, BmpInfo *info)
{
    if (info->bits == 16 && info->compression == BMP_RGB) {
        SetColorDataFromMasks(&info->fieldLayout, 16, 0x7C00, 0x03E0, 0x001F, 0);
        return true;
    }
    if (info->bits == 32 && info->compression == BMP_RGB) {
        SetColorDataFromMasks(&info->fieldLayout, 32, 0xFF0000, 0xFF00, 0xFF, 0);
        return true;
    }
    if (info->compression != BMP_BITFIELDS) return true;
    uint8_t masks[12];
    if (!SeekTo(in, kFileHeaderBytes + kInfoHeaderBytes) || !ReadExact(in, masks, 12)) return false;
    SetColorDataFromMasks(&info->fieldLayout, info->bits, LoadLE32(masks), LoadLE32(masks + 4), LoadLE32(masks + 8), 0);
    return true;
}

// Reads the colour table between the header and the pixels: as many entries
// as the header announces, but never more than the file holds before the
// pixel data or at its end. Missing entries stay black.
bool ReadPalette(const ImageStream &in, BmpInfo *info)
{
    std::memset(info->palette, 0, sizeof info->palette);
    if (info->bits > 8) return true;
    int64_t entries = int64_t{1} << info->bits;
    if (info->coloursUsed != 0 && info->coloursUsed < entries) entries = info->coloursUsed;
    int64_t tableOffset = kFileHeaderBytes + info->headerSize;
    if (info->pixelOffset > tableOffset) {
        int64_t room = (info->pixelOffset - tableOffset) / 4;
        if (room < entries) entries = room;
    }
    uint8_t table[256 * 4];
    if (!SeekTo(in, tableOffset)) return false;
    int got = ReadSome(in, table, static_cast<int>(entries * 4)) / 4;
    for (int i = 0; i < got; ++i) {
        info->palette[i][0] = table[i * 4];
        info->palette[i][1] = table[i * 4 + 1];
        info->palette[i][2] = table[i * 4 + 2];
    }
    return true;
}

// Loads the pixel data: the exact uncompressed size, refused when the file
// is shorter; or the run-length data up to its declared size or the file end.
uint8_t *ReadPixelData(const ImageStream &in, const BmpInfo &info, int64_t stride, int64_t *size)
{
    int64_t fileSize = StreamSize(in);
    if (fileSize < 0 || info.pixelOffset >= fileSize) return nullptr;
    int64_t available = fileSize - info.pixelOffset;
    int64_t wanted = stride * info.height;
    bool runLength = info.compression == BMP_RLE8 || info.compression == BMP_RLE4;
    if (runLength) {
        wanted = info.imageSize != 0 && info.imageSize < available ? info.imageSize : available;
    } else if (wanted > available) {
        return nullptr;
    }
    if (wanted <= 0 || wanted > 0x7FFFFFFF) return nullptr;
    uint8_t *data = static_cast<uint8_t *>(std::malloc(static_cast<size_t>(wanted)));
    if (!data) return nullptr;
    if (!SeekTo(in, info.pixelOffset) || !ReadExact(in, data, static_cast<int>(wanted))) {
        std::free(data);
        return nullptr;
    }
    *size = wanted;
    return data;
}

void PutPaletteColour(uint8_t *dst, const BmpInfo &info, int index)
{
    dst[0] = info.palette[index][0];
    dst[1] = info.palette[index][1];
    dst[2] = info.palette[index][2];
}

int IndexAt(const uint8_t *row, int bits, int x)
{
    switch (bits) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4: return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF;
    default: return row[x];
    }
}

void PutFieldColour(uint8_t *dst, const ColorData &l, uint32_t pixel)
{
    dst[0] = static_cast<uint8_t>(ExpandChannel(pixel, l.blueMask, l.blueShift, l.blueWidth));
    dst[1] = static_cast<uint8_t>(ExpandChannel(pixel, l.greenMask, l.greenShift, l.greenWidth));
    dst[2] = static_cast<uint8_t>(ExpandChannel(pixel, l.redMask, l.redShift, l.redWidth));
}

void ExpandRow(const uint8_t *src, uint8_t *dst, const BmpInfo &info)
{
    for (int x = 0; x < info.width; ++x, dst += 3) {
        switch (info.bits) {
        case 24: std::memcpy(dst, src + x * 3, 3); break;
        case 16: PutFieldColour(dst, info.fieldLayout, LoadLE16(src + x * 2)); break;
        case 32: PutFieldColour(dst, info.fieldLayout, LoadLE32(src + x * 4)); break;
        default: PutPaletteColour(dst, info, IndexAt(src, info.bits, x)); break;
        }
    }
}

void ExpandUncompressed(const uint8_t *data, int64_t stride, const BmpInfo &info, GraphImage *out)
{
    for (int y = 0; y < info.height; ++y) {
        int fileRow = info.bottomUp ? info.height - 1 - y : y;
        ExpandRow(data + fileRow * stride, static_cast<uint8_t *>(out->pixels) + static_cast<int64_t>(y) * out->pitch, info);
    }
}

// Run-length decoding writes through this cursor, which drops every pixel
// outside the image; y counts file rows from the bottom.
struct RunCursor {
    const BmpInfo *info;
    GraphImage *out;
    int x = 0;
    int y = 0;

    void Put(int index)
    {
        if (x < info->width && y < info->height) {
            uint8_t *row = static_cast<uint8_t *>(out->pixels) + static_cast<int64_t>(info->height - 1 - y) * out->pitch;
            PutPaletteColour(row + x * 3, *info, index);
        }
        ++x;
    }
};

void DecodeRunLength(const uint8_t *data, int64_t size, const BmpInfo &info, GraphImage *out)
{
    std::memset(out->pixels, 0, static_cast<size_t>(out->pitch) * static_cast<size_t>(out->height));
    bool four = info.compression == BMP_RLE4;
    RunCursor cursor{&info, out};
    int64_t p = 0;
    while (p + 1 < size && cursor.y < info.height) {
        int count = data[p], value = data[p + 1];
        p += 2;
        if (count > 0) { // a run of one value (two alternating nibbles in RLE4)
            for (int i = 0; i < count && cursor.x < info.width; ++i)
                cursor.Put(four ? ((i & 1) ? value & 0xF : value >> 4) : value);
            continue;
        }
        if (value == 0) { // end of line
            cursor.x = 0;
            ++cursor.y;
        } else if (value == 1) { // end of bitmap
            break;
        } else if (value == 2) { // move right and up
            if (p + 1 >= size) break;
            cursor.x += data[p];
            cursor.y += data[p + 1];
            p += 2;
        } else { // literal pixels, padded to an even byte count
            int bytes = four ? (value + 1) / 2 : value;
            if (p + bytes > size) bytes = static_cast<int>(size - p);
            for (int i = 0; i < value && cursor.x < info.width; ++i) {
                int at = four ? i / 2 : i;
                if (at >= bytes) break;
                cursor.Put(four ? ((i & 1) ? data[p + at] & 0xF : data[p + at] >> 4) : data[p + at]);
            }
            p += bytes + (bytes & 1);
        }
    }
}

} // namespace

int DecodeBmp(const ImageStream &in, GraphImage *out)
{
    *out = GraphImage{};
    BmpInfo *info = static_cast<BmpInfo *>(std::calloc(1, sizeof(BmpInfo)));
    if (!info) return -1;
    int result = -1;
    int64_t stride = 0, size = 0;
    uint8_t *data = nullptr;
    if (ReadHeaders(in, info) && ReadFieldLayout(in, info) && ReadPalette(in, info)) {
        stride = ((static_cast<int64_t>(info->bits) * info->width + 31) / 32) * 4;
        data = ReadPixelData(in, *info, stride, &size);
    }
    // Palette images keep rows of exactly width x 3 bytes; the others have
    // rows rounded up to 4 bytes, as 24-bit files do.
    bool packed = info->bits <= 8 && info->compression == BMP_RGB;
    int pitch = packed ? info->width * 3 : ((info->width * 3 + 3) & ~3);
    if (data && AllocateGraphImage(out, &Bgr24Layout(), info->width, info->height, pitch) == 0) {
        if (info->compression == BMP_RLE8 || info->compression == BMP_RLE4) {
            DecodeRunLength(data, size, *info, out);
        } else {
            ExpandUncompressed(data, stride, *info, out);
        }
        result = 0;
    }
    std::free(data);
    std::free(info);
    return result;
}
