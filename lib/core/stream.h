// Stream tables: the six operations the decoders read through, over a file
// of the file-access table or over a block of memory. Platform-free.
#ifndef VEXLO_CORE_STREAM_H
#define VEXLO_CORE_STREAM_H

struct StreamFunctions {
    int (*tell)(void *stream);                                         // position
    int (*seek)(void *stream, int offset, int origin);                 // 0, or -1
    int (*read)(void *buffer, int itemSize, int itemCount, void *stream); // items read
    int (*eof)(void *stream);                                          // end flag
    int (*idle)(void *stream);                                         // 1 when nothing is pending
    int (*close)(void *stream);                                        // 0, or -1
};

// A read-only stream over memory the caller keeps alive until the close.
struct MemoryStream {
    const unsigned char *data; // not owned
    int size;
    int position;
    unsigned char atEnd;
};

// A new memory stream at position 0, or null when it cannot be allocated.
MemoryStream *OpenMemoryStream(const void *data, int size);
const StreamFunctions *GetMemoryStreamFunctions();

#endif
