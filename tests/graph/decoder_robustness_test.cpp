// Broken and hostile files: every decoder refuses them or clips what it
// reads, and (under the sanitizers on the host) never touches memory outside
// its buffers.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include <zlib.h>

#include "fixture_files.h"
#include "graph/image_decoders.h"
#include "graph/image_loader.h"

namespace {

void Put32(Bytes &b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) b[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
}
void Put16(Bytes &b, size_t at, uint16_t v)
{
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}

// A PNG header with another size and its checksum made right again.
void SetPngSize(Bytes &b, uint32_t width, uint32_t height)
{
    const uint8_t size[8] = {static_cast<uint8_t>(width >> 24), static_cast<uint8_t>(width >> 16),
                             static_cast<uint8_t>(width >> 8), static_cast<uint8_t>(width),
                             static_cast<uint8_t>(height >> 24), static_cast<uint8_t>(height >> 16),
                             static_cast<uint8_t>(height >> 8), static_cast<uint8_t>(height)};
    std::memcpy(&b[16], size, 8);
    uLong crc = crc32(0, &b[12], 17);
    for (int i = 0; i < 4; ++i) b[29 + static_cast<size_t>(i)] = static_cast<uint8_t>(crc >> (24 - 8 * i));
}

// Decodes through the whole chain; a decoded image is read in full.
int LoadBytes(const Bytes &bytes, GraphImage *image)
{
    int result = LoadGraphImage(nullptr, nullptr, bytes.data(), static_cast<int>(bytes.size()), 1, 0, image);
    if (result == 0) {
        unsigned sum = 0;
        for (int y = 0; y < image->height; ++y)
            for (int i = 0; i < image->width * image->colorData.bytesPerPixel; ++i)
                sum += static_cast<const uint8_t *>(image->pixels)[y * image->pitch + i];
        (void)sum;
    }
    return result;
}

// Formats whose files end with their last pixel (or chunk): any cut is
// refused. Run-length BMP and JPEG decode what is there; TGA files lose only
// their footer at first.
bool CutMustFail(const std::string &name)
{
    if (name.rfind("jpeg", 0) == 0 || name.rfind("bmp_rle", 0) == 0 || name.rfind("tga", 0) == 0) return false;
    return true;
}

TEST(DecoderRobustness, EveryTruncationOfEveryFixtureIsRefusedOrClipped)
{
    for (const FixtureEntry &e : ReadManifest()) {
        if (e.width >= 4000) continue;
        Bytes file = ReadFixture(e.name);
        for (size_t length = 0; length < file.size(); ++length) {
            Bytes cut(file.begin(), file.begin() + static_cast<ptrdiff_t>(length));
            GraphImage image{};
            int result = LoadBytes(cut, &image);
            if (CutMustFail(e.name)) {
                EXPECT_EQ(-1, result) << e.name << " cut at " << length;
            }
            if (result == 0) {
                EXPECT_GT(image.width, 0);
                EXPECT_GT(image.height, 0);
            }
            ReleaseGraphImage(&image);
        }
    }
}

struct Patch {
    const char *fixture;
    const char *what;
    void (*apply)(Bytes &);
};

const Patch kHostile[] = {
    {"bmp_24bit_bottomup.bmp", "huge width", [](Bytes &b) { Put32(b, 18, 0x7FFFFFFF); }},
    {"bmp_24bit_bottomup.bmp", "huge height", [](Bytes &b) { Put32(b, 22, 0x40000000); }},
    {"bmp_24bit_bottomup.bmp", "most negative height", [](Bytes &b) { Put32(b, 22, 0x80000000); }},
    {"bmp_24bit_bottomup.bmp", "pixel offset past the end", [](Bytes &b) { Put32(b, 10, 0xFFFFFFF0); }},
    {"bmp_24bit_bottomup.bmp", "header size huge", [](Bytes &b) { Put32(b, 14, 0xFFFFFFFF); }},
    {"bmp_8bit_bottomup.bmp", "colour table and pixels past the end", [](Bytes &b) {
         Put32(b, 10, 0x7FFFFFFF);
         Put32(b, 46, 256);
     }},
    {"png_rgba.png", "over the pixel limit", [](Bytes &b) { SetPngSize(b, 30000, 30000); }},
    {"png_rgba.png", "more rows than the compressed data can hold", [](Bytes &b) { SetPngSize(b, 16000, 16000); }},
    {"bgra_8bit.bgra", "huge size", [](Bytes &b) {
         Put32(b, 8, 0xFFFFFFFF);
         Put32(b, 12, 0xFFFFFFFF);
     }},
    {"bgra_8bit.bgra", "size that overflows 32 bits", [](Bytes &b) {
         Put32(b, 8, 0x10000);
         Put32(b, 12, 0x10000);
     }},
    {"bgra_16bit.bgra", "one pixel more than the file holds", [](Bytes &b) { Put32(b, 12, 6); }},
    {"dds_rgb_24.dds", "huge size", [](Bytes &b) {
         Put32(b, 12, 0x7FFFFFFF);
         Put32(b, 16, 0x7FFFFFFF);
     }},
    {"dds_argb_32.dds", "pitch below the row size", [](Bytes &b) { Put32(b, 20, 4); }},
    {"dds_argb_32.dds", "huge pitch", [](Bytes &b) { Put32(b, 20, 0xFFFFFFF0); }},
    {"dds_rgb_565.dds", "masks outside the pixel", [](Bytes &b) { Put32(b, 4 + 72 + 16, 0xFF0000); }},
    {"dds_rgb_565.dds", "bit count 12", [](Bytes &b) { Put32(b, 4 + 72 + 12, 12); }},
    {"tga_t1_24_o00_nofooter.tga", "colour map past 256 entries", [](Bytes &b) { Put16(b, 5, 252); }},
    {"tga_t1_24_o00_nofooter.tga", "colour map first index past 256", [](Bytes &b) { Put16(b, 3, 300); }},
    {"tga_t1_24_o00_nofooter.tga", "16-bit indices", [](Bytes &b) { b[16] = 16; }},
    {"tga_t2_24_o00_nofooter.tga", "height larger than the data", [](Bytes &b) { Put16(b, 14, 4000); }},
    {"tga_t10_24_o00_nofooter.tga", "height larger than the packets", [](Bytes &b) { Put16(b, 14, 4000); }},
    {"tga_t2_24_o00_nofooter.tga", "alpha declared on 24 bits", [](Bytes &b) {
         Bytes footer = ReadFixture("tga_t2_32_o00_alpha.tga");
         b.insert(b.end(), footer.end() - 26 - 495, footer.end());
         Put32(b, b.size() - 26, static_cast<uint32_t>(b.size() - 26 - 495));
     }},
};

TEST(DecoderRobustness, HostileHeadersAreRefused)
{
    for (const Patch &p : kHostile) {
        Bytes file = ReadFixture(p.fixture);
        ASSERT_FALSE(file.empty()) << p.fixture;
        p.apply(file);
        GraphImage image{};
        EXPECT_EQ(-1, LoadBytes(file, &image)) << p.fixture << ": " << p.what;
        EXPECT_EQ(nullptr, image.pixels);
    }
}

// Damage that the decoders read past: the image comes out as the fixture's.
const Patch kTolerated[] = {
    {"bmp_rle8.bmp", "image size past the end", [](Bytes &b) { Put32(b, 34, 0xFFFFFFFF); }},
    {"bmp_1bit_bottomup.bmp", "more colours than the depth allows", [](Bytes &b) { Put32(b, 46, 0xFFFFFFFF); }},
    {"tga_t2_32_o00_alpha.tga", "extension area past the end", [](Bytes &b) { Put32(b, b.size() - 26, 0xFFFFFF00); }},
};

TEST(DecoderRobustness, ToleratedDamageStillGivesTheRightPixels)
{
    for (const Patch &p : kTolerated) {
        Bytes file = ReadFixture(p.fixture);
        p.apply(file);
        GraphImage image{};
        ASSERT_EQ(0, LoadBytes(file, &image)) << p.fixture << ": " << p.what;
        std::string name(p.fixture);
        EXPECT_EQ(ReadFixture(name.substr(0, name.rfind('.')) + ".rgba"), ImageToRgba(image)) << p.what;
        ReleaseGraphImage(&image);
    }
}

// Run-length data that says more than the image holds is cut at its edge.
TEST(DecoderRobustness, RunsPastTheImageAreClipped)
{
    // TGA: one 128-pixel run of 24-bit pixels for a 13 x 5 image, three times.
    Bytes tga = ReadFixture("tga_t10_24_o00_nofooter.tga");
    Bytes runs;
    for (int i = 0; i < 3; ++i) runs.insert(runs.end(), {0xFF, 1, 2, 3});
    tga.resize(18);
    tga.insert(tga.end(), runs.begin(), runs.end());
    GraphImage image{};
    ASSERT_EQ(0, LoadBytes(tga, &image));
    Bytes rgba = ImageToRgba(image);
    for (size_t i = 0; i < rgba.size(); i += 4) {
        ASSERT_EQ(3, rgba[i]);     // red is the third byte
        ASSERT_EQ(1, rgba[i + 2]); // blue the first
    }
    ReleaseGraphImage(&image);

    // BMP RLE8: runs of 255 pixels in a 13-pixel row, deltas far outside,
    // a literal longer than the data.
    Bytes bmp = ReadFixture("bmp_rle8.bmp");
    uint32_t offset = bmp[10] | bmp[11] << 8 | bmp[12] << 16 | static_cast<uint32_t>(bmp[13]) << 24;
    bmp.resize(offset);
    const uint8_t hostile[] = {255, 1, 0, 2, 255, 255, 255, 2, 0, 0, 0, 200, 7, 7};
    bmp.insert(bmp.end(), hostile, hostile + sizeof hostile);
    Put32(bmp, 34, 0);
    ASSERT_EQ(0, LoadBytes(bmp, &image));
    ReleaseGraphImage(&image);
}

TEST(DecoderRobustness, RunLengthTgaThatEndsEarlyIsRefused)
{
    Bytes tga = ReadFixture("tga_t10_24_o00_nofooter.tga");
    tga.resize(18);
    for (int i = 0; i < 20; ++i) tga.insert(tga.end(), {0x80, 1, 2, 3}); // 20 pixels of 65
    GraphImage image{};
    EXPECT_EQ(-1, LoadBytes(tga, &image));
}

} // namespace
