// Peak heap use while decoding a 4096 x 4096 RGBA PNG. Every malloc of the
// process (ours, libpng's, zlib's) goes through the counting wrappers below,
// which keep the bytes in use and their peak. Host only, no sanitizers.
#include <malloc.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/stream.h"
#include "graph/image_decoders.h"

extern "C" void *__libc_malloc(size_t);
extern "C" void *__libc_calloc(size_t, size_t);
extern "C" void *__libc_realloc(void *, size_t);
extern "C" void __libc_free(void *);

namespace {
size_t g_inUse = 0;
size_t g_peak = 0;

void Count(void *p, bool add)
{
    if (!p) return;
    size_t size = malloc_usable_size(p);
    g_inUse = add ? g_inUse + size : g_inUse - size;
    if (g_inUse > g_peak) g_peak = g_inUse;
}
} // namespace

extern "C" void *malloc(size_t size)
{
    void *p = __libc_malloc(size);
    Count(p, true);
    return p;
}
extern "C" void *calloc(size_t n, size_t size)
{
    void *p = __libc_calloc(n, size);
    Count(p, true);
    return p;
}
extern "C" void *realloc(void *old, size_t size)
{
    Count(old, false);
    void *p = __libc_realloc(old, size);
    Count(p ? p : old, true);
    return p;
}
extern "C" void free(void *p)
{
    Count(p, false);
    __libc_free(p);
}

namespace {

const int kSide = 4096;

void AppendToVector(png_structp png, png_bytep data, png_size_t length)
{
    auto *out = static_cast<std::vector<unsigned char> *>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}
void NoFlush(png_structp) {}

// A gradient with some texture, written by libpng into memory.
std::vector<unsigned char> MakePng()
{
    std::vector<unsigned char> file;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &file, AppendToVector, NoFlush);
    png_set_IHDR(png, info, kSide, kSide, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<unsigned char> row(kSide * 4);
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            unsigned char *p = &row[static_cast<size_t>(x) * 4];
            p[0] = static_cast<unsigned char>(x);
            p[1] = static_cast<unsigned char>(y);
            p[2] = static_cast<unsigned char>((x * y) >> 7);
            p[3] = static_cast<unsigned char>(x ^ y);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return file;
}

} // namespace

int main()
{
    std::vector<unsigned char> file = MakePng();
    size_t baseline = g_inUse;
    g_peak = g_inUse;
    MemoryStream *memory = OpenMemoryStream(file.data(), static_cast<int>(file.size()));
    ImageStream in{GetMemoryStreamFunctions(), memory};
    GraphImage image{};
    if (DecodePng(in, &image) != 0) {
        std::printf("decode failed\n");
        return 1;
    }
    double pixelBytes = static_cast<double>(image.pitch) * image.height;
    double peak = static_cast<double>(g_peak - baseline);
    std::printf("file %zu bytes; pixels %.0f bytes; peak heap during decode %.0f bytes = %.3f x the pixel bytes\n",
                file.size(), pixelBytes, peak, peak / pixelBytes);
    ReleaseGraphImage(&image);
    in.functions->close(memory);
    return peak <= 2.0 * pixelBytes ? 0 : 1;
}
