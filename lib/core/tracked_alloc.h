// Tracked allocation: blocks with a 64-byte header that records where they
// were allocated, a list of the live blocks, and the running totals.
// Platform-free; the texts go to a log function given by the caller (the
// library passes its application log, tests a collector).
#ifndef VEXLO_CORE_TRACKED_ALLOC_H
#define VEXLO_CORE_TRACKED_ALLOC_H

#include <cstddef>

#include "alloc_record.h"

using AllocLog = void (*)(const char *text);

// A block of `size` caller bytes behind a sealed header, linked into the
// list; null when the memory or the int totals cannot take it.
void *TrackAlloc(std::size_t size, const char *sourceFile, int sourceLine);
// Null data allocates; otherwise the block is checked, resized (its id kept,
// the place of the call recorded) and sealed again. Null when it fails, and
// the old block then stays as it was.
void *TrackRealloc(void *data, std::size_t size, const char *sourceFile, int sourceLine, AllocLog log);
// Checks and releases a block: 0; -1 for a pointer that is not a live block
// (nothing is touched), or when the header was found overwritten (the block
// is still released).
int TrackFree(void *data, AllocLog log);

// The header of a live block, or null.
AllocRecord *FindTrackedRecord(const void *data);

// 0 when the header equals its guard; else logs the corruption line and the
// record's dump, and returns -1.
int CheckTrackedRecord(const AllocRecord *record, AllocLog log);
// Logs the record's dump line; -1.
int DumpTrackedRecord(const AllocRecord *record, AllocLog log);
// Logs the totals line; -1.
int DumpTrackedTotal(AllocLog log);
// Logs the dump line of every live block, oldest first, then the totals; -1.
int DumpTrackedRecords(AllocLog log);

// Bytes and blocks currently allocated. These are never reset, so blocks
// allocated before the library starts are counted too.
int GetAllocTotalSize();
int GetAllocCount();

#endif
