// Reading the image fixtures (tests/graph/fixtures, made by
// make_fixtures.py) and decoding bytes through memory streams.
#ifndef VEXLO_TESTS_GRAPH_FIXTURE_FILES_H
#define VEXLO_TESTS_GRAPH_FIXTURE_FILES_H

#include <cstdint>
#include <string>
#include <vector>

#include "graph/graph_image.h"
#include "graph/image_stream.h"

using Bytes = std::vector<uint8_t>;
using DecodeFunction = int (*)(const ImageStream &, GraphImage *);

// One line of manifest.txt.
struct FixtureEntry {
    std::string name;
    int width, height;
    int bitDepth;
    uint32_t red, green, blue, alpha;
};

std::string FixturePath(const std::string &name);
Bytes ReadFixture(const std::string &name); // empty when missing
std::vector<FixtureEntry> ReadManifest();

// Runs a decoder over the bytes through a memory stream.
int DecodeBytes(DecodeFunction decode, const Bytes &bytes, GraphImage *out);
// The decoded image as R, G, B, A bytes per pixel: channels under 8 bits as
// v * 255 / (2^w - 1), over 8 bits their top 8 bits, a missing alpha 255.
Bytes ImageToRgba(const GraphImage &image);

#endif
