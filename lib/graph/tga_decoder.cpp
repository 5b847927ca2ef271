// TGA files: colour-mapped and true-colour images (types 1 and 2) and their
// run-length forms (9 and 10), 16, 24 and 32 bits, any row and column
// order. Whether 16- and 32-bit pixels carry alpha comes from the footer's
// extension area.
#include <cstdlib>
#include <cstring>

#include "image_decoders.h"

namespace {

const int kHeaderBytes = 18;
const int kFooterBytes = 26;
const int kExtensionBytes = 495;
const int kSideLimit = 4096; // sides of 4096 pixels or more are refused

enum AlphaMode { ALPHA_NONE = 0, ALPHA_ASSUMED = 1, ALPHA_DECLARED = 3 };

struct TgaHeader {
    int colourMapType;
    int imageType;
    int mapFirst;
    int mapLength;
    int mapEntryBits;
    int width;
    int height;
    int pixelBits;
    int descriptor;
};

struct TgaFile {
    int64_t size;
    bool hasFooter;
    int alphaMode;
};

// The footer decides the alpha mode: an extension area says whether alpha
// is there (attribute type 3) or not; without one, alpha is assumed.
bool ReadFooter(const ImageStream &in, TgaFile *file)
{
    file->size = StreamSize(in);
    file->hasFooter = false;
    file->alphaMode = ALPHA_ASSUMED;
    if (file->size < 0) return false;
    if (file->size < kHeaderBytes + kFooterBytes) return true;
    uint8_t footer[kFooterBytes];
    if (!SeekTo(in, file->size - kFooterBytes) || !ReadExact(in, footer, kFooterBytes)) return false;
    if (std::memcmp(footer + 8, "TRUEVISION-XFILE", 16) != 0) return true;
    file->hasFooter = true;
    uint32_t extension = LoadLE32(footer);
    if (extension == 0) return true;
    uint8_t area[kExtensionBytes];
    if (extension + int64_t{kExtensionBytes} > file->size || !SeekTo(in, extension) || !ReadExact(in, area, kExtensionBytes))
        return true; // an extension area outside the file is ignored
    file->alphaMode = area[494] == 3 ? ALPHA_DECLARED : ALPHA_NONE;
    return true;
}

bool ReadHeader(const ImageStream &in, TgaHeader *h)
{
    uint8_t b[kHeaderBytes];
    if (!SeekTo(in, 0) || !ReadExact(in, b, kHeaderBytes)) return false;
    if (b[0] != 0) return false; // image ID present
    h->colourMapType = b[1];
    h->imageType = b[2];
    h->mapFirst = LoadLE16(b + 3);
    h->mapLength = LoadLE16(b + 5);
    h->mapEntryBits = b[7];
    if (LoadLE16(b + 8) != 0 || LoadLE16(b + 10) != 0) return false; // origin
    h->width = LoadLE16(b + 12);
    h->height = LoadLE16(b + 14);
    h->pixelBits = b[16];
    h->descriptor = b[17];
    return true;
}

bool IsMapped(const TgaHeader &h) { return h.imageType == 1 || h.imageType == 9; }
bool IsRunLength(const TgaHeader &h) { return h.imageType == 9 || h.imageType == 10; }

bool Acceptable(const TgaHeader &h, int alphaMode)
{
    if (h.imageType != 1 && h.imageType != 2 && h.imageType != 9 && h.imageType != 10) return false;
    if (h.width == 0 || h.height == 0 || h.width >= kSideLimit || h.height >= kSideLimit) return false;
    int depth = IsMapped(h) ? h.mapEntryBits : h.pixelBits;
    if (depth != 16 && depth != 24 && depth != 32) return false;
    if (alphaMode == ALPHA_DECLARED && depth == 24) return false;
    // Colour-mapped pixels are one-byte indices into a map of at most 256.
    if (IsMapped(h) && (h.pixelBits != 8 || h.colourMapType != 1 || h.mapFirst + h.mapLength > 256)) return false;
    return true;
}

ColorData LayoutFor(int depth, int alphaMode)
{
    ColorData layout{};
    bool alpha = alphaMode != ALPHA_NONE;
    if (depth == 16) {
        SetColorDataFromMasks(&layout, 16, 0x7C00, 0x03E0, 0x001F, alphaMode == ALPHA_DECLARED ? 0x8000 : 0);
    } else if (depth == 24) {
        layout = Bgr24Layout();
    } else {
        SetColorDataFromMasks(&layout, 32, 0xFF0000, 0xFF00, 0xFF, alpha ? 0xFF000000 : 0);
    }
    return layout;
}

// Reads the colour map into a zero-filled 256-entry table, or skips the map
// of a true-colour image.
bool ReadColourMap(const ImageStream &in, const TgaHeader &h, uint8_t *table)
{
    if (h.colourMapType == 0) return true;
    int entryBytes = (h.mapEntryBits + 7) / 8;
    int bytes = h.mapLength * entryBytes;
    if (!IsMapped(h)) {
        int here = in.functions->tell(in.handle);
        return here >= 0 && SeekTo(in, int64_t{here} + bytes);
    }
    return ReadExact(in, table + h.mapFirst * entryBytes, bytes);
}

// Decodes the run-length packets into pixels of `pb` bytes. Packets that run
// past the image are cut; data that ends before the image is full fails.
bool DecodeRuns(const uint8_t *data, int64_t size, uint8_t *pixels, int64_t count, int pb)
{
    int64_t p = 0, done = 0;
    while (done < count) {
        if (p >= size) return false;
        int header = data[p++];
        int64_t n = (header & 0x7F) + 1;
        if (n > count - done) n = count - done;
        if (header & 0x80) {
            if (p + pb > size) return false;
            for (int64_t i = 0; i < n; ++i) std::memcpy(pixels + (done + i) * pb, data + p, static_cast<size_t>(pb));
            p += pb;
        } else {
            if (p + n * pb > size) return false;
            std::memcpy(pixels + done * pb, data + p, static_cast<size_t>(n * pb));
            p += n * pb;
        }
        done += n;
    }
    return true;
}

// The pixels in file order, pb bytes each; null when they are not all there.
uint8_t *ReadPixels(const ImageStream &in, const TgaHeader &h, const TgaFile &file, int pb)
{
    int64_t count = static_cast<int64_t>(h.width) * h.height;
    int64_t here = in.functions->tell(in.handle);
    int64_t end = file.hasFooter ? file.size - kFooterBytes : file.size;
    int64_t available = end - here;
    if (here < 0 || available <= 0) return nullptr;
    // Even the best packets (128 pixels from 1 + pb bytes) cannot fill the
    // image from fewer bytes than this: such a file is refused up front.
    int64_t needed = IsRunLength(h) ? (count + 127) / 128 * (1 + pb) : count * pb;
    if (needed > available) return nullptr;
    uint8_t *pixels = static_cast<uint8_t *>(std::malloc(static_cast<size_t>(count * pb)));
    if (!pixels) return nullptr;
    bool ok;
    if (!IsRunLength(h)) {
        ok = ReadExact(in, pixels, static_cast<int>(count * pb));
    } else {
        uint8_t *data = static_cast<uint8_t *>(std::malloc(static_cast<size_t>(available)));
        ok = data && ReadExact(in, data, static_cast<int>(available)) && DecodeRuns(data, available, pixels, count, pb);
        std::free(data);
    }
    if (ok) return pixels;
    std::free(pixels);
    return nullptr;
}

// Places the file-order pixels into the image left to right, top to bottom,
// through the colour map when there is one.
void ArrangePixels(const uint8_t *pixels, const TgaHeader &h, const uint8_t *table, GraphImage *out)
{
    int bpp = out->colorData.bytesPerPixel;
    int pb = IsMapped(h) ? 1 : bpp;
    bool rightToLeft = (h.descriptor & 0x10) != 0;
    bool topDown = (h.descriptor & 0x20) != 0;
    for (int y = 0; y < h.height; ++y) {
        int fileRow = topDown ? y : h.height - 1 - y;
        uint8_t *dst = static_cast<uint8_t *>(out->pixels) + static_cast<int64_t>(y) * out->pitch;
        for (int x = 0; x < h.width; ++x, dst += bpp) {
            int fileColumn = rightToLeft ? h.width - 1 - x : x;
            const uint8_t *src = pixels + (static_cast<int64_t>(fileRow) * h.width + fileColumn) * pb;
            std::memcpy(dst, IsMapped(h) ? table + src[0] * bpp : src, static_cast<size_t>(bpp));
        }
    }
}

} // namespace

int DecodeTga(const ImageStream &in, GraphImage *out)
{
    *out = GraphImage{};
    TgaFile file{};
    TgaHeader h{};
    if (!ReadFooter(in, &file) || !ReadHeader(in, &h) || !Acceptable(h, file.alphaMode)) return -1;
    int depth = IsMapped(h) ? h.mapEntryBits : h.pixelBits;
    ColorData layout = LayoutFor(depth, file.alphaMode);
    uint8_t table[256 * 4] = {};
    if (!ReadColourMap(in, h, table)) return -1;
    int pb = IsMapped(h) ? 1 : depth / 8;
    uint8_t *pixels = ReadPixels(in, h, file, pb);
    if (!pixels) return -1;
    int result = -1;
    if (AllocateGraphImage(out, &layout, h.width, h.height, h.width * layout.bytesPerPixel) == 0) {
        ArrangePixels(pixels, h, table, out);
        result = 0;
    }
    std::free(pixels);
    return result;
}
