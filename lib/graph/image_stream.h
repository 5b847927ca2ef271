// Reading helpers over a stream table for the image decoders: exact reads,
// absolute seeks and the stream's size, so that every length in a file can
// be checked against the bytes that are really there. Platform-free.
#ifndef VEXLO_GRAPH_IMAGE_STREAM_H
#define VEXLO_GRAPH_IMAGE_STREAM_H

#include <cstdint>

#include "../core/stream.h"

struct ImageStream {
    const StreamFunctions *functions;
    void *handle;
};

// Reads up to count bytes; the number read (0 on a failed read).
int ReadSome(const ImageStream &in, void *buffer, int count);
// Reads exactly count bytes; false when fewer were there.
bool ReadExact(const ImageStream &in, void *buffer, int count);
// Moves to an absolute offset; false when the stream refuses.
bool SeekTo(const ImageStream &in, int64_t offset);
// Total size in bytes (the position is kept); -1 when unknown.
int64_t StreamSize(const ImageStream &in);

inline uint16_t LoadLE16(const uint8_t *p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t LoadLE32(const uint8_t *p)
{
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

#endif
