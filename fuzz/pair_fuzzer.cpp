// The pair loader: the input holds a 4-byte little-endian length, the main
// image and then the companion image; both are served by name through an
// opener over memory, so the whole chain of decoders, the companion name
// and the mirror run on them.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "graph/graph_image.h"
#include "graph/image_loader.h"

namespace {

struct Files {
    const uint8_t *main;
    int mainSize;
    const uint8_t *alpha;
    int alphaSize;
};

int OpenFromMemory(void *context, const char *fileName, ImageStream *out)
{
    const Files *files = static_cast<const Files *>(context);
    bool alpha = std::string(fileName) == "Fuzz_a.png";
    const uint8_t *data = alpha ? files->alpha : files->main;
    int size = alpha ? files->alphaSize : files->mainSize;
    if (size <= 0) return -1;
    MemoryStream *memory = OpenMemoryStream(data, size);
    if (!memory) return -1;
    *out = ImageStream{GetMemoryStreamFunctions(), memory};
    return 0;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    SetImagePixelLimit(1 << 20);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 5 || size > 1 << 24) return 0;
    uint32_t mainSize = uint32_t{data[0]} | uint32_t{data[1]} << 8 | uint32_t{data[2]} << 16 | uint32_t{data[3]} << 24;
    size_t rest = size - 4;
    if (mainSize > rest) mainSize = static_cast<uint32_t>(rest);
    Files files{data + 4, static_cast<int>(mainSize), data + 4 + mainSize, static_cast<int>(rest - mainSize)};
    ImageOpener opener{OpenFromMemory, &files};
    GraphImage image{}, alphaImage{};
    int mirror = data[size - 1] & 1;
    int result = LoadGraphImagePair(&opener, "Fuzz.png", nullptr, 0, 0, nullptr, 0, 0, &image, &alphaImage, mirror);
    if (result >= 0) {
        // Whatever was loaded can be converted to the screen layouts.
        GraphImage target{};
        if (AllocateGraphImage(&target, &Bgra32Layout(), image.width, image.height, image.width * 4) == 0) {
            ImageRect rect{0, 0, image.width, image.height};
            bool sameSize = result == 0 && alphaImage.width == image.width && alphaImage.height == image.height;
            ConvertPixels(target.pixels, target.pitch, &target.colorData, image.pixels, image.pitch, &image.colorData,
                          sameSize ? alphaImage.pixels : nullptr, alphaImage.pitch, &alphaImage.colorData, 0, 0, &rect,
                          1, 0x000000, 0);
            ReleaseGraphImage(&target);
        }
    }
    ReleaseGraphImage(&image);
    ReleaseGraphImage(&alphaImage);
    return 0;
}
