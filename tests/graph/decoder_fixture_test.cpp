#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <string>

#include "fixture_files.h"
#include "graph/image_decoders.h"
#include "graph/image_loader.h"

namespace {

DecodeFunction DecoderFor(const std::string &name)
{
    static const std::map<std::string, DecodeFunction> byPrefix = {
        {"bmp", DecodeBmp}, {"jpeg", DecodeJpeg}, {"png", DecodePng},
        {"bgra", DecodeBgra}, {"tga", DecodeTga}, {"dds", DecodeDds},
    };
    return byPrefix.at(name.substr(0, name.find('_')));
}

std::string RgbaName(const std::string &name) { return name.substr(0, name.rfind('.')) + ".rgba"; }

TEST(ImageDecoders, EveryFixtureDecodesToItsExpectedLayoutAndPixels)
{
    std::vector<FixtureEntry> entries = ReadManifest();
    ASSERT_GE(entries.size(), 60u) << "fixtures missing at " << FixturePath("");
    for (const FixtureEntry &e : entries) {
        SCOPED_TRACE(e.name);
        Bytes file = ReadFixture(e.name);
        Bytes expected = ReadFixture(RgbaName(e.name));
        ASSERT_FALSE(file.empty());
        GraphImage image{};
        ASSERT_EQ(0, DecodeBytes(DecoderFor(e.name), file, &image));
        EXPECT_EQ(e.width, image.width);
        EXPECT_EQ(e.height, image.height);
        EXPECT_EQ(e.bitDepth, image.colorData.bitDepth);
        EXPECT_EQ(e.red, image.colorData.redMask);
        EXPECT_EQ(e.green, image.colorData.greenMask);
        EXPECT_EQ(e.blue, image.colorData.blueMask);
        EXPECT_EQ(e.alpha, image.colorData.alphaMask);
        EXPECT_GE(image.pitch, image.width * image.colorData.bytesPerPixel);
        Bytes got = ImageToRgba(image);
        ASSERT_EQ(expected.size(), got.size());
        for (size_t i = 0; i < got.size(); ++i) {
            ASSERT_EQ(expected[i], got[i]) << "pixel " << i / 4 << " channel " << i % 4;
        }
        ReleaseGraphImage(&image);
    }
}

TEST(ImageDecoders, OtherDecodersRefuseEachFixture)
{
    const DecodeFunction all[] = {DecodeBmp, DecodeJpeg, DecodePng, DecodeBgra, DecodeTga, DecodeDds};
    for (const FixtureEntry &e : ReadManifest()) {
        if (e.name.rfind("tga", 0) == 0) continue; // TGA has no signature: any decoder's refusal is its chance
        Bytes file = ReadFixture(e.name);
        for (DecodeFunction decode : all) {
            if (decode == DecoderFor(e.name) || decode == DecodeTga) continue;
            GraphImage image{};
            EXPECT_EQ(-1, DecodeBytes(decode, file, &image)) << e.name;
            EXPECT_EQ(nullptr, image.pixels);
        }
    }
}

TEST(ImageDecoders, RefusedFilesAreRefusedByTheWholeChain)
{
    const char *refused[] = {"refused_tga_image_id.tga", "refused_tga_origin.tga", "refused_tga_width4096.tga",
                             "refused_dds_dxt1.dds"};
    for (const char *name : refused) {
        Bytes file = ReadFixture(name);
        ASSERT_FALSE(file.empty()) << name;
        GraphImage image{};
        EXPECT_EQ(-1, LoadGraphImage(nullptr, nullptr, file.data(), static_cast<int>(file.size()), 1, 0, &image)) << name;
        EXPECT_EQ(nullptr, image.pixels);
    }
}

// ---- The loader chain and the pair loader over an opener ----------------------

// Serves fixtures by name: "dir/x.png" is fixture x.png. The bytes stay
// alive until the program ends.
int OpenFixture(void *, const char *fileName, ImageStream *out)
{
    static std::deque<Bytes> keep;
    std::string name(fileName);
    size_t slash = name.find_last_of('/');
    Bytes bytes = ReadFixture(slash == std::string::npos ? name : name.substr(slash + 1));
    if (bytes.empty()) return -1;
    keep.push_back(bytes);
    MemoryStream *m = OpenMemoryStream(keep.back().data(), static_cast<int>(keep.back().size()));
    *out = ImageStream{GetMemoryStreamFunctions(), m};
    return 0;
}

const ImageOpener kFixtureOpener{OpenFixture, nullptr};

TEST(ImageLoader, ChainFindsTheFormatFromTheDataNotTheName)
{
    Bytes png = ReadFixture("png_rgba.png");
    GraphImage fromMemory{}, fromFile{};
    ASSERT_EQ(0, LoadGraphImage(nullptr, nullptr, png.data(), static_cast<int>(png.size()), 1, 0, &fromMemory));
    ASSERT_EQ(0, LoadGraphImage(&kFixtureOpener, "dds_fourcc_21.dds", nullptr, 0, 0, 0, &fromFile));
    EXPECT_EQ(32, fromMemory.colorData.bitDepth);
    EXPECT_EQ(ImageToRgba(fromFile), ReadFixture("dds_fourcc_21.rgba"));
    ReleaseGraphImage(&fromMemory);
    ReleaseGraphImage(&fromFile);
    GraphImage none{};
    Bytes junk(300, 0x5A);
    EXPECT_EQ(-1, LoadGraphImage(nullptr, nullptr, junk.data(), static_cast<int>(junk.size()), 1, 0, &none));
    EXPECT_EQ(-1, LoadGraphImage(&kFixtureOpener, "missing.png", nullptr, 0, 0, 0, &none));
    EXPECT_EQ(-1, LoadGraphImage(nullptr, nullptr, nullptr, 0, 1, 0, &none));
}

TEST(ImageLoader, MirrorGivesTheRowsReversed)
{
    GraphImage image{};
    ASSERT_EQ(0, LoadGraphImage(&kFixtureOpener, "png_rgba.png", nullptr, 0, 0, 1, &image));
    Bytes expected = ReadFixture("png_rgba.rgba"), got = ImageToRgba(image);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            for (int k = 0; k < 4; ++k)
                ASSERT_EQ(expected[static_cast<size_t>((y * image.width + image.width - 1 - x) * 4 + k)],
                          got[static_cast<size_t>((y * image.width + x) * 4 + k)]);
    ReleaseGraphImage(&image);
}

TEST(ImageLoader, AlphaFileNameGoesBeforeTheExtension)
{
    const std::pair<const char *, const char *> cases[] = {
        {"Player.png", "Player_a.png"},
        {"Player", "Player_a"},
        {"img.d/Player", "img.d/Player_a"},
        {"a.b\\c.tga", "a.b\\c_a.tga"},
        {"x.tar.bmp", "x.tar_a.bmp"},
        {"\x95\x5C.png", "\x95\x5C_a.png"}, // a double-byte character ending in 0x5C is no separator
    };
    for (const auto &c : cases) EXPECT_EQ(c.second, MakeAlphaFileName(c.first));
}

TEST(ImageLoader, PairLoaderResults)
{
    GraphImage image{}, alpha{};
    // No png_rgb_a.png among the fixtures: only the main image.
    EXPECT_EQ(1, LoadGraphImagePair(&kFixtureOpener, "png_rgb.png", nullptr, 0, 0, nullptr, 0, 0, &image, &alpha, 0));
    EXPECT_EQ(nullptr, alpha.pixels);
    ReleaseGraphImage(&image);

    Bytes main = ReadFixture("png_rgb.png"), grey = ReadFixture("png_grey.png");
    EXPECT_EQ(0, LoadGraphImagePair(nullptr, nullptr, main.data(), static_cast<int>(main.size()), 1, grey.data(),
                                    static_cast<int>(grey.size()), 1, &image, &alpha, 0));
    EXPECT_EQ(8, alpha.colorData.bitDepth);
    ReleaseGraphImage(&image);
    ReleaseGraphImage(&alpha);

    // Alpha wanted from memory but no image to hold it: only the main image.
    EXPECT_EQ(1, LoadGraphImagePair(nullptr, nullptr, main.data(), static_cast<int>(main.size()), 1, grey.data(),
                                    static_cast<int>(grey.size()), 1, &image, nullptr, 0));
    ReleaseGraphImage(&image);
    EXPECT_EQ(-1, LoadGraphImagePair(&kFixtureOpener, "missing.png", nullptr, 0, 0, nullptr, 0, 0, &image, &alpha, 0));
}

// A companion beside the main file, found by its derived name.
int OpenWithCompanion(void *, const char *fileName, ImageStream *out)
{
    std::string name(fileName);
    if (name == "Player.bmp") return OpenFixture(nullptr, "bmp_24bit_topdown.bmp", out);
    if (name == "Player_a.bmp") return OpenFixture(nullptr, "png_grey.png", out);
    return -1;
}

TEST(ImageLoader, PairLoaderFindsTheCompanionByName)
{
    ImageOpener opener{OpenWithCompanion, nullptr};
    GraphImage image{}, alpha{};
    EXPECT_EQ(0, LoadGraphImagePair(&opener, "Player.bmp", nullptr, 0, 0, nullptr, 0, 0, &image, &alpha, 0));
    EXPECT_EQ(ImageToRgba(alpha), ReadFixture("png_grey.rgba"));
    ReleaseGraphImage(&image);
    ReleaseGraphImage(&alpha);
}

} // namespace
