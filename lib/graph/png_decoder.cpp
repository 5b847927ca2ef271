// PNG files through libpng: every colour type and depth becomes 8-bit grey,
// 24-bit BGR or 32-bit BGRA. Rows are decoded straight into the image's own
// memory, so the pixels exist once. libpng's errors jump back here.
#include <csetjmp>
#include <cstdlib>
#include <cstring>

#include <png.h>

#include "image_decoders.h"

namespace {

// Deflate cannot compress better than about 1032 to 1; a file too small to
// hold the declared rows is refused before any row memory is taken.
const int64_t kMaxDeflateRatio = 1100;

struct PngState {
    png_structp png;
    png_infop info;
    png_bytepp rows;
    const ImageStream *in;
    int64_t streamSize;
};

void ReadFromStream(png_structp png, png_bytep data, png_size_t length)
{
    const ImageStream *in = static_cast<const ImageStream *>(png_get_io_ptr(png));
    if (length > 0x7FFFFFFF || !ReadExact(*in, data, static_cast<int>(length))) png_error(png, "Read Error");
}

void IgnoreWarning(png_structp, png_const_charp) {}
void ErrorByJump(png_structp png, png_const_charp) { png_longjmp(png, 1); }

// The transforms: 16-bit channels to 8, small depths unpacked, palette and
// transparency expanded to full channels, blue first. Grey with an alpha
// channel (or a transparency chunk) has no two-byte layout, so it is widened
// to four channels.
void RequestTransforms(png_structp png, png_infop info)
{
    int colourType = png_get_color_type(png, info);
    int depth = png_get_bit_depth(png, info);
    bool transparency = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    png_set_strip_16(png);
    png_set_packing(png);
    png_set_packswap(png);
    if (colourType == PNG_COLOR_TYPE_PALETTE || (colourType == PNG_COLOR_TYPE_GRAY && depth <= 8) || transparency)
        png_set_expand(png);
    if ((colourType == PNG_COLOR_TYPE_GRAY && transparency) || colourType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    png_set_bgr(png);
    png_set_interlace_handling(png);
}

const ColorData *LayoutForChannels(int channels)
{
    switch (channels) {
    case 1: return &Grey8Layout();
    case 3: return &Bgr24Layout();
    case 4: return &Bgra32Layout();
    default: return nullptr;
    }
}

// Header checks before libpng is asked to inflate anything.
bool PlausibleSize(const PngState &s, png_uint_32 width, png_uint_32 height, int depth, int channels)
{
    if (width == 0 || height == 0 || width > IMAGE_SIDE_LIMIT || height > IMAGE_SIDE_LIMIT) return false;
    if (static_cast<int64_t>(width) * height > GetImagePixelLimit()) return false;
    int64_t rawRow = (static_cast<int64_t>(width) * depth * channels + 7) / 8 + 1;
    return s.streamSize < 0 || rawRow * height / kMaxDeflateRatio <= s.streamSize;
}

int ReadImage(PngState *s, GraphImage *out)
{
    if (setjmp(png_jmpbuf(s->png))) return -1;
    png_set_read_fn(s->png, const_cast<ImageStream *>(s->in), ReadFromStream);
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
    // Fuzzing only: mutated chunks get past the checksums to the code behind them.
    png_set_crc_action(s->png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
#endif
    png_set_sig_bytes(s->png, 8);
    png_read_info(s->png, s->info);
    png_uint_32 width = 0, height = 0;
    int depth = 0, colourType = 0;
    png_get_IHDR(s->png, s->info, &width, &height, &depth, &colourType, nullptr, nullptr, nullptr);
    if (!PlausibleSize(*s, width, height, depth, png_get_channels(s->png, s->info))) return -1;
    RequestTransforms(s->png, s->info);
    png_read_update_info(s->png, s->info);
    const ColorData *layout = LayoutForChannels(png_get_channels(s->png, s->info));
    png_size_t rowBytes = png_get_rowbytes(s->png, s->info);
    if (!layout || png_get_bit_depth(s->png, s->info) != 8 || rowBytes > 0x7FFFFFFF) return -1;
    if (AllocateGraphImage(out, layout, static_cast<int>(width), static_cast<int>(height), static_cast<int>(rowBytes)) != 0)
        return -1;
    s->rows = static_cast<png_bytepp>(png_malloc(s->png, sizeof(png_bytep) * height));
    for (png_uint_32 y = 0; y < height; ++y)
        s->rows[y] = static_cast<png_bytep>(out->pixels) + static_cast<size_t>(y) * rowBytes;
    png_read_image(s->png, s->rows);
    png_read_end(s->png, nullptr);
    return 0;
}

} // namespace

int DecodePng(const ImageStream &in, GraphImage *out)
{
    *out = GraphImage{};
    png_byte signature[8];
    if (!ReadExact(in, signature, 8) || png_sig_cmp(signature, 0, 8) != 0) return -1;
    PngState *s = static_cast<PngState *>(std::calloc(1, sizeof(PngState)));
    if (!s) return -1;
    s->in = &in;
    s->streamSize = StreamSize(in);
    int result = -1;
    s->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, ErrorByJump, IgnoreWarning);
    if (s->png) s->info = png_create_info_struct(s->png);
    if (s->png && s->info) result = ReadImage(s, out);
    if (s->png && s->rows) png_free(s->png, s->rows);
    png_destroy_read_struct(&s->png, s->info ? &s->info : nullptr, nullptr);
    if (result != 0) ReleaseGraphImage(out);
    std::free(s);
    return result;
}
