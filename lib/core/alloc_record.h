// The 64-byte header in front of every tracked allocation, and the texts with
// which allocations are reported. Platform-free.
#ifndef VEXLO_CORE_ALLOC_RECORD_H
#define VEXLO_CORE_ALLOC_RECORD_H

#include <cstddef>
#include <cstdint>

// The caller's bytes follow the header directly.
struct AllocRecord {
    char fileName[16];      // base name of the allocating source file, zero-terminated
    std::uint16_t id;       // allocation id, wraps at 65536
    std::uint16_t line;     // source line of the allocating call
    std::uint32_t size;     // bytes of the caller's data
    std::uint32_t serial;   // order of the record in the list of live allocations
    std::uint32_t unused;
    unsigned char guard[32]; // copy of bytes 0..31, to see an overwritten header
};
static_assert(sizeof(AllocRecord) == 64, "the allocation header is 64 bytes");

// A dump line fits this buffer (a file name of 15 characters and the largest
// numbers keep well inside it).
constexpr std::size_t kAllocDumpLineSize = 260;

// Fills the fields of a new header: the base name of `sourceFile` cut to 15
// characters, the id, the line and the size; the guard is not touched.
void FillAllocRecord(AllocRecord *record, const char *sourceFile, int sourceLine, std::uint16_t id,
                     std::uint32_t size);

// Copies bytes 0..31 of the header to the guard.
void SealAllocRecord(AllocRecord *record);

// True when bytes 0..31 equal the guard.
bool IsAllocRecordIntact(const AllocRecord *record);

// The caller's bytes behind the header.
inline unsigned char *AllocRecordData(AllocRecord *record)
{
    return reinterpret_cast<unsigned char *>(record + 1);
}
inline const unsigned char *AllocRecordData(const AllocRecord *record)
{
    return reinterpret_cast<const unsigned char *>(record + 1);
}

// The dump line of a record, ending with "]\n":
//   "\tsize:%d(%.3fkb)  file:%s  line:%d  ID:%d  data:<chars> [hex]"
// with up to 16 data bytes, never more than `readableBytes` (the bytes that
// really follow the header, which a damaged size field must not widen).
void FormatAllocRecordDump(const AllocRecord *record, std::size_t readableBytes,
                           char (&line)[kAllocDumpLineSize]);

// "\tTotal size:%d(%.3fkb)  Alloc num:%d\n".
void FormatAllocTotal(int totalSize, int count, char (&line)[kAllocDumpLineSize]);

#endif
