// Loading images: the decoder chain over one stream, and the loaders that
// open files by name through a caller-supplied opener (the file-access layer
// on Windows, memory in tests and fuzzers), with the companion "_a" alpha
// image. Platform-free.
#ifndef VEXLO_GRAPH_IMAGE_LOADER_H
#define VEXLO_GRAPH_IMAGE_LOADER_H

#include <string>

#include "graph_image.h"
#include "image_stream.h"

struct ImageOpener {
    // Opens the named file as a stream: 0 with *out filled, -1 when the
    // file is not there. The loader closes the stream through its table.
    int (*open)(void *context, const char *fileName, ImageStream *out);
    void *context;
};

// Tries BMP, JPEG, PNG, BGRA, TGA and DDS in turn, each from the stream's
// start: 0 with *out filled by the first that accepts, else -1. The stream
// stays open. With mirror the image comes out mirrored left to right.
int DecodeGraphImage(const ImageStream &in, int mirror, GraphImage *out);

// Decodes a file opened by name, or a memory image when fromMemory is set.
int LoadGraphImage(const ImageOpener *opener, const char *fileName, const void *memImage, int memSize,
                   int fromMemory, int mirror, GraphImage *out);

// The main image and its alpha companion: -1 when the main image fails;
// 1 when only it was loaded (no companion, or none asked for); 0 when the
// alpha image was loaded too. For files the companion is the main name with
// "_a" put before its extension.
int LoadGraphImagePair(const ImageOpener *opener, const char *fileName, const void *memImage, int memSize,
                       int fromMemory, const void *alphaMem, int alphaSize, int alphaFromMemory,
                       GraphImage *image, GraphImage *alphaImage, int mirror);

// "Player.png" -> "Player_a.png": "_a" goes before the last '.' of the file
// part of the name (after the last path separator), or at the end.
std::string MakeAlphaFileName(const char *fileName);

#endif
