#include "fixture_files.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "core/stream.h"

std::string FixturePath(const std::string &name) { return std::string(VEXLO_GRAPH_FIXTURES) + "/" + name; }

Bytes ReadFixture(const std::string &name)
{
    Bytes bytes;
    FILE *file = std::fopen(FixturePath(name).c_str(), "rb");
    if (!file) return bytes;
    uint8_t buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.insert(bytes.end(), buffer, buffer + got);
    std::fclose(file);
    return bytes;
}

std::vector<FixtureEntry> ReadManifest()
{
    Bytes text = ReadFixture("manifest.txt");
    std::istringstream lines(std::string(text.begin(), text.end()));
    std::vector<FixtureEntry> entries;
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty()) continue;
        std::istringstream fields(line);
        FixtureEntry e{};
        fields >> e.name >> e.width >> e.height >> e.bitDepth >> std::hex >> e.red >> e.green >> e.blue >> e.alpha;
        entries.push_back(e);
    }
    return entries;
}

int DecodeBytes(DecodeFunction decode, const Bytes &bytes, GraphImage *out)
{
    MemoryStream *memory = OpenMemoryStream(bytes.data(), static_cast<int>(bytes.size()));
    if (!memory) return -1;
    ImageStream in{GetMemoryStreamFunctions(), memory};
    int result = decode(in, out);
    in.functions->close(memory);
    return result;
}

Bytes ImageToRgba(const GraphImage &image)
{
    Bytes rgba;
    const ColorData &l = image.colorData;
    for (int y = 0; y < image.height; ++y) {
        const uint8_t *row = static_cast<const uint8_t *>(image.pixels) + static_cast<ptrdiff_t>(y) * image.pitch;
        for (int x = 0; x < image.width; ++x) {
            uint32_t pixel = 0;
            for (int i = 0; i < l.bytesPerPixel; ++i) pixel |= uint32_t{row[x * l.bytesPerPixel + i]} << (8 * i);
            rgba.push_back(static_cast<uint8_t>(ExpandChannel(pixel, l.redMask, l.redShift, l.redWidth)));
            rgba.push_back(static_cast<uint8_t>(ExpandChannel(pixel, l.greenMask, l.greenShift, l.greenWidth)));
            rgba.push_back(static_cast<uint8_t>(ExpandChannel(pixel, l.blueMask, l.blueShift, l.blueWidth)));
            rgba.push_back(l.alphaWidth ? static_cast<uint8_t>(ExpandChannel(pixel, l.alphaMask, l.alphaShift, l.alphaWidth)) : 255);
        }
    }
    return rgba;
}
