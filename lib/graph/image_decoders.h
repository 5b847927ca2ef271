// The image decoders. Each reads one format from the stream's start, fills
// *out with memory it allocated and returns 0, or returns -1 (with *out
// zero-filled and nothing left allocated) when the data is not that format
// or cannot be read safely. Platform-free.
#ifndef VEXLO_GRAPH_IMAGE_DECODERS_H
#define VEXLO_GRAPH_IMAGE_DECODERS_H

#include "graph_image.h"
#include "image_stream.h"

int DecodeBmp(const ImageStream &in, GraphImage *out);
int DecodeJpeg(const ImageStream &in, GraphImage *out);
int DecodePng(const ImageStream &in, GraphImage *out);
int DecodeBgra(const ImageStream &in, GraphImage *out);
int DecodeTga(const ImageStream &in, GraphImage *out);
int DecodeDds(const ImageStream &in, GraphImage *out);

// Largest width or height any decoder accepts (graph sizes are shorts), besides the pixel limit of graph_image.h.
const int IMAGE_SIDE_LIMIT = 32767;

#endif
