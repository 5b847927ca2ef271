#include <cstring>
#include <new>

#include "stream.h"

namespace {

MemoryStream *AsMemory(void *stream) { return static_cast<MemoryStream *>(stream); }

int MemoryTell(void *stream) { return AsMemory(stream)->position; }

// Positions outside the block clamp to its ends; an unknown origin counts
// from the start.
int MemorySeek(void *stream, int offset, int origin)
{
    MemoryStream *m = AsMemory(stream);
    long long base = origin == 1 ? m->position : origin == 2 ? m->size : 0;
    long long position = base + offset;
    if (position < 0) position = 0;
    if (position > m->size) position = m->size;
    m->position = static_cast<int>(position);
    m->atEnd = 0;
    return 0;
}

// Whole items while they fit; a tail shorter than one item is still copied
// and counted as one item.
int MemoryRead(void *buffer, int itemSize, int itemCount, void *stream)
{
    MemoryStream *m = AsMemory(stream);
    if (itemSize <= 0 || itemCount <= 0) return 0;
    int left = m->size - m->position;
    if (left <= 0) {
        m->atEnd = 1;
        return 0;
    }
    long long wanted = static_cast<long long>(itemSize) * itemCount;
    int bytes;
    int items;
    if (wanted <= left) {
        bytes = static_cast<int>(wanted);
        items = itemCount;
    } else if (left >= itemSize) {
        items = left / itemSize;
        bytes = items * itemSize;
    } else {
        items = 1;
        bytes = left;
    }
    std::memcpy(buffer, m->data + m->position, static_cast<size_t>(bytes));
    m->position += bytes;
    m->atEnd = 0;
    return items;
}

int MemoryEof(void *stream) { return AsMemory(stream)->atEnd; }
int MemoryIdle(void *) { return 1; }

int MemoryClose(void *stream)
{
    delete AsMemory(stream);
    return 0;
}

const StreamFunctions kMemoryStreamFunctions = {
    MemoryTell, MemorySeek, MemoryRead, MemoryEof, MemoryIdle, MemoryClose,
};

} // namespace

MemoryStream *OpenMemoryStream(const void *data, int size)
{
    MemoryStream *m = new (std::nothrow) MemoryStream{};
    if (!m) return nullptr;
    m->data = static_cast<const unsigned char *>(data);
    m->size = size < 0 || data == nullptr ? 0 : size; // no block: nothing to read
    return m;
}

const StreamFunctions *GetMemoryStreamFunctions()
{
    return &kMemoryStreamFunctions;
}
