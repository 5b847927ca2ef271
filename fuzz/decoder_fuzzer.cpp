// One decoder over a memory stream holding the fuzzer's input. Built once
// per decoder with VEXLO_FUZZ_DECODER naming the decode function.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "graph/graph_image.h"
#include "graph/image_decoders.h"

namespace {

// A decoded image is read in full, so that a wrong pitch or size shows up
// as an out-of-bounds read.
unsigned TouchPixels(const GraphImage &image)
{
    unsigned sum = 0;
    const uint8_t *p = static_cast<const uint8_t *>(image.pixels);
    size_t row = static_cast<size_t>(image.width) * image.colorData.bytesPerPixel;
    for (int y = 0; y < image.height; ++y, p += image.pitch)
        for (size_t i = 0; i < row; ++i) sum += p[i];
    return sum;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // Keeps each run quick: the decoders refuse more than a megapixel here.
    SetImagePixelLimit(1 << 20);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 1 << 24) return 0;
    MemoryStream *memory = OpenMemoryStream(data, static_cast<int>(size));
    if (!memory) return 0;
    ImageStream in{GetMemoryStreamFunctions(), memory};
    GraphImage image{};
    if (VEXLO_FUZZ_DECODER(in, &image) == 0) {
        volatile unsigned sink = TouchPixels(image);
        (void)sink;
        ReleaseGraphImage(&image);
    }
    in.functions->close(memory);
    return 0;
}
