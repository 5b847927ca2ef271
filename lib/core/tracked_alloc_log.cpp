// The public tracked-allocation operations: the allocator of tracked_alloc.cpp
// with its texts written to AppLog.txt.
#include "tracked_alloc_log.h"

#include "../Vexlo.h"
#include "tracked_alloc.h"

namespace {

void LogToAppLog(const char *text) { AddAppLog(text); }

} // namespace

int CheckAllocRecord(const AllocRecord *record) { return CheckTrackedRecord(record, LogToAppLog); }
int DumpAllocRecord(const AllocRecord *record) { return DumpTrackedRecord(record, LogToAppLog); }
int DumpAllocTotal() { return DumpTrackedTotal(LogToAppLog); }

extern "C" void *AllocTrackedMemory(int size, const char *sourceFile, int sourceLine)
{
    if (size < 0) return nullptr;
    return TrackAlloc(static_cast<size_t>(size), sourceFile, sourceLine);
}

extern "C" void *ReallocTrackedMemory(void *memory, int size, const char *sourceFile, int sourceLine)
{
    if (size < 0) return nullptr;
    return TrackRealloc(memory, static_cast<size_t>(size), sourceFile, sourceLine, LogToAppLog);
}

extern "C" int FreeTrackedMemory(void *memory) { return TrackFree(memory, LogToAppLog); }

extern "C" int DumpTrackedMemory(void) { return DumpTrackedRecords(LogToAppLog); }

extern "C" int GetTrackedMemoryTotals(int *totalSize, int *count)
{
    if (totalSize) *totalSize = GetAllocTotalSize();
    if (count) *count = GetAllocCount();
    return 0;
}
