#include "alloc_record.h"

#include <cstdio>
#include <cstring>

namespace {

const char *BaseName(const char *path)
{
    const char *base = path;
    for (const char *p = path; *p != '\0'; ++p)
        if (*p == '/' || *p == '\\') base = p + 1;
    return base;
}

// Appends formatted text at `used`, never past the buffer's end.
template <typename... Args>
void Append(char (&line)[kAllocDumpLineSize], std::size_t &used, const char *format, Args... args)
{
    if (used >= kAllocDumpLineSize - 1) return;
    int written = std::snprintf(line + used, kAllocDumpLineSize - used, format, args...);
    if (written < 0) return;
    used += static_cast<std::size_t>(written);
    if (used > kAllocDumpLineSize - 1) used = kAllocDumpLineSize - 1;
}

} // namespace

void FillAllocRecord(AllocRecord *record, const char *sourceFile, int sourceLine, std::uint16_t id,
                     std::uint32_t size)
{
    std::memset(record, 0, offsetof(AllocRecord, guard));
    const char *base = BaseName(sourceFile ? sourceFile : "");
    std::size_t length = std::strlen(base);
    if (length > sizeof record->fileName - 1) length = sizeof record->fileName - 1;
    std::memcpy(record->fileName, base, length);
    record->id = id;
    record->line = static_cast<std::uint16_t>(sourceLine);
    record->size = size;
}

void SealAllocRecord(AllocRecord *record)
{
    std::memcpy(record->guard, record, sizeof record->guard);
}

bool IsAllocRecordIntact(const AllocRecord *record)
{
    return std::memcmp(record->guard, record, sizeof record->guard) == 0;
}

void FormatAllocRecordDump(const AllocRecord *record, std::size_t readableBytes,
                           char (&line)[kAllocDumpLineSize])
{
    // The name is printed with a bound: an overwritten header may have lost
    // its terminator.
    const void *end = std::memchr(record->fileName, '\0', sizeof record->fileName);
    int nameLength = end ? static_cast<int>(static_cast<const char *>(end) - record->fileName)
                         : static_cast<int>(sizeof record->fileName);
    int size = static_cast<int>(record->size);
    std::size_t used = 0;
    Append(line, used, "\tsize:%d(%.3fkb)  file:%.*s  line:%d  ID:%d  data:<", size, size / 1024.0,
           nameLength, record->fileName, static_cast<int>(record->line), static_cast<int>(record->id));

    std::size_t shown = record->size < 16 ? record->size : 16;
    if (shown > readableBytes) shown = readableBytes;
    const unsigned char *data = AllocRecordData(record);
    for (std::size_t i = 0; i < shown; ++i) {
        // Control characters and every byte of 0x80 or more print as a dot.
        char c = static_cast<signed char>(data[i]) < 32 ? '.' : static_cast<char>(data[i]);
        Append(line, used, "%c", c);
    }
    Append(line, used, "> [");
    for (std::size_t i = 0; i < shown; ++i) Append(line, used, "%02x ", static_cast<unsigned>(data[i]));

    // The last character written (the last space, or "[" with no data) gives
    // way to the closing bracket.
    if (used > kAllocDumpLineSize - 2) used = kAllocDumpLineSize - 2;
    line[used - 1] = ']';
    line[used] = '\n';
    line[used + 1] = '\0';
}

void FormatAllocTotal(int totalSize, int count, char (&line)[kAllocDumpLineSize])
{
    std::snprintf(line, kAllocDumpLineSize, "\tTotal size:%d(%.3fkb)  Alloc num:%d\n", totalSize,
                  totalSize / 1024.0, count);
}
