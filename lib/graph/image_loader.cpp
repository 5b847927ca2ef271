#include "image_loader.h"

#include <cstring>

#include "../core/sjis.h"
#include "image_decoders.h"

namespace {

using Decoder = int (*)(const ImageStream &, GraphImage *);

const Decoder kDecoders[] = {DecodeBmp, DecodeJpeg, DecodePng, DecodeBgra, DecodeTga, DecodeDds};

bool OpenSource(const ImageOpener *opener, const char *fileName, const void *memImage, int memSize,
                int fromMemory, ImageStream *out)
{
    if (fromMemory) {
        if (!memImage || memSize <= 0) return false;
        MemoryStream *m = OpenMemoryStream(memImage, memSize);
        if (!m) return false;
        *out = ImageStream{GetMemoryStreamFunctions(), m};
        return true;
    }
    if (!opener || !opener->open || !fileName) return false;
    return opener->open(opener->context, fileName, out) == 0 && out->functions && out->handle;
}

} // namespace

int DecodeGraphImage(const ImageStream &in, int mirror, GraphImage *out)
{
    *out = GraphImage{};
    for (Decoder decode : kDecoders) {
        if (!SeekTo(in, 0)) return -1;
        if (decode(in, out) != 0) continue;
        if (mirror) MirrorGraphImage(out);
        return 0;
    }
    return -1;
}

int LoadGraphImage(const ImageOpener *opener, const char *fileName, const void *memImage, int memSize,
                   int fromMemory, int mirror, GraphImage *out)
{
    *out = GraphImage{};
    ImageStream in{};
    if (!OpenSource(opener, fileName, memImage, memSize, fromMemory, &in)) return -1;
    int result = DecodeGraphImage(in, mirror, out);
    in.functions->close(in.handle);
    return result;
}

int LoadGraphImagePair(const ImageOpener *opener, const char *fileName, const void *memImage, int memSize,
                       int fromMemory, const void *alphaMem, int alphaSize, int alphaFromMemory,
                       GraphImage *image, GraphImage *alphaImage, int mirror)
{
    if (alphaImage) *alphaImage = GraphImage{};
    if (LoadGraphImage(opener, fileName, memImage, memSize, fromMemory, mirror, image) != 0) return -1;
    if (!alphaImage) return 1;
    int loaded;
    if (alphaFromMemory) {
        loaded = LoadGraphImage(opener, nullptr, alphaMem, alphaSize, 1, mirror, alphaImage);
    } else if (!fromMemory && fileName) {
        loaded = LoadGraphImage(opener, MakeAlphaFileName(fileName).c_str(), nullptr, 0, 0, mirror, alphaImage);
    } else {
        return 1; // a memory image has no file name to derive a companion from
    }
    return loaded == 0 ? 0 : 1;
}

std::string MakeAlphaFileName(const char *fileName)
{
    size_t length = std::strlen(fileName);
    size_t dot = length;
    for (size_t i = 0; i < length; ++i) {
        unsigned char c = static_cast<unsigned char>(fileName[i]);
        if (IsSjisLeadByte(c) && i + 1 < length) {
            ++i; // a double-byte character's second byte is never a separator
        } else if (c == '\\' || c == '/') {
            dot = length;
        } else if (c == '.') {
            dot = i;
        }
    }
    std::string name(fileName, dot);
    name += "_a";
    name.append(fileName + dot, length - dot);
    return name;
}
