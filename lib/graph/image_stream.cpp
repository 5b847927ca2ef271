#include "image_stream.h"

int ReadSome(const ImageStream &in, void *buffer, int count)
{
    if (count <= 0) return 0;
    int got = in.functions->read(buffer, 1, count, in.handle);
    return got < 0 ? 0 : got > count ? count : got;
}

bool ReadExact(const ImageStream &in, void *buffer, int count)
{
    return count >= 0 && ReadSome(in, buffer, count) == count;
}

bool SeekTo(const ImageStream &in, int64_t offset)
{
    if (offset < 0 || offset > 0x7FFFFFFF) return false;
    if (in.functions->seek(in.handle, static_cast<int>(offset), 0) != 0) return false;
    return in.functions->tell(in.handle) == offset;
}

int64_t StreamSize(const ImageStream &in)
{
    int here = in.functions->tell(in.handle);
    if (here < 0 || in.functions->seek(in.handle, 0, 2) != 0) return -1;
    int size = in.functions->tell(in.handle);
    if (in.functions->seek(in.handle, here, 0) != 0) return -1;
    return size < 0 ? -1 : size;
}
