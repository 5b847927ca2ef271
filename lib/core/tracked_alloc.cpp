#include "tracked_alloc.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <unordered_map>
#include <vector>

namespace {

const char kCorruptedText[] = "以下のメモリ確保情報が破損しました\n";

// What the allocator knows about a live block, kept apart from the header so
// that an overwritten header cannot mislead the totals or the dump.
struct LiveBlock {
    std::size_t size;
    std::uint32_t serial;
};

struct AllocState {
    int totalSize;
    int count;
    std::uint16_t nextId;
    std::uint32_t nextSerial;
    // Looked up by address, so that a foreign or stale pointer is refused
    // without reading the memory it points at.
    std::unordered_map<const AllocRecord *, LiveBlock> live;
};

AllocState &State()
{
    static AllocState state{};
    return state;
}

AllocRecord *RecordOf(void *data) { return static_cast<AllocRecord *>(data) - 1; }

bool FitsTotals(std::size_t oldSize, std::size_t newSize)
{
    long long total = static_cast<long long>(State().totalSize) - static_cast<long long>(oldSize);
    return newSize <= static_cast<std::size_t>(INT_MAX - sizeof(AllocRecord)) &&
           total + static_cast<long long>(newSize) <= INT_MAX;
}

void Log(AllocLog log, const char *text)
{
    if (log) log(text);
}

std::size_t ReadableBytes(const AllocRecord *record)
{
    auto found = State().live.find(record);
    return found != State().live.end() ? found->second.size : record->size;
}

} // namespace

void *TrackAlloc(std::size_t size, const char *sourceFile, int sourceLine)
{
    AllocState &s = State();
    if (!FitsTotals(0, size)) return nullptr;
    auto *record = static_cast<AllocRecord *>(std::malloc(sizeof(AllocRecord) + size));
    if (!record) return nullptr;
    LiveBlock block{size, s.nextSerial};
    try {
        s.live.emplace(record, block);
    } catch (const std::bad_alloc &) {
        std::free(record);
        return nullptr;
    }
    FillAllocRecord(record, sourceFile, sourceLine, s.nextId, static_cast<std::uint32_t>(size));
    record->serial = block.serial;
    SealAllocRecord(record);
    s.nextId = static_cast<std::uint16_t>(s.nextId + 1);
    s.nextSerial += 1;
    s.totalSize += static_cast<int>(size);
    s.count += 1;
    return AllocRecordData(record);
}

void *TrackRealloc(void *data, std::size_t size, const char *sourceFile, int sourceLine, AllocLog log)
{
    if (!data) return TrackAlloc(size, sourceFile, sourceLine);
    AllocState &s = State();
    AllocRecord *record = RecordOf(data);
    auto found = s.live.find(record);
    if (found == s.live.end()) return nullptr;
    LiveBlock block = found->second;
    if (!FitsTotals(block.size, size)) return nullptr;
    CheckTrackedRecord(record, log);
    std::uint16_t id = record->id;

    // The entry moves to the new address as a node, so that nothing can fail
    // between the move of the block and its new entry.
    try {
        s.live.reserve(s.live.size() + 1);
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
    auto node = s.live.extract(found);
    auto *moved = static_cast<AllocRecord *>(std::realloc(record, sizeof(AllocRecord) + size));
    node.key() = moved ? moved : record;
    node.mapped().size = moved ? size : block.size;
    s.live.insert(std::move(node));
    if (!moved) return nullptr;
    FillAllocRecord(moved, sourceFile, sourceLine, id, static_cast<std::uint32_t>(size));
    moved->serial = block.serial;
    SealAllocRecord(moved);
    s.totalSize += static_cast<int>(size) - static_cast<int>(block.size);
    return AllocRecordData(moved);
}

int TrackFree(void *data, AllocLog log)
{
    if (!data) return -1;
    AllocState &s = State();
    AllocRecord *record = RecordOf(data);
    auto found = s.live.find(record);
    if (found == s.live.end()) return -1;
    int result = CheckTrackedRecord(record, log);
    s.totalSize -= static_cast<int>(found->second.size);
    s.count -= 1;
    s.live.erase(found);
    std::free(record);
    return result;
}

AllocRecord *FindTrackedRecord(const void *data)
{
    if (!data) return nullptr;
    const AllocRecord *record = static_cast<const AllocRecord *>(data) - 1;
    auto found = State().live.find(record);
    return found == State().live.end() ? nullptr : const_cast<AllocRecord *>(record);
}

int CheckTrackedRecord(const AllocRecord *record, AllocLog log)
{
    if (IsAllocRecordIntact(record)) return 0;
    Log(log, kCorruptedText);
    DumpTrackedRecord(record, log);
    return -1;
}

int DumpTrackedRecord(const AllocRecord *record, AllocLog log)
{
    char line[kAllocDumpLineSize];
    FormatAllocRecordDump(record, ReadableBytes(record), line);
    Log(log, line);
    return -1;
}

int DumpTrackedTotal(AllocLog log)
{
    char line[kAllocDumpLineSize];
    FormatAllocTotal(State().totalSize, State().count, line);
    Log(log, line);
    return -1;
}

int DumpTrackedRecords(AllocLog log)
{
    std::vector<std::pair<std::uint32_t, const AllocRecord *>> order;
    order.reserve(State().live.size());
    for (const auto &entry : State().live) order.emplace_back(entry.second.serial, entry.first);
    std::sort(order.begin(), order.end());
    for (const auto &entry : order) DumpTrackedRecord(entry.second, log);
    return DumpTrackedTotal(log);
}

int GetAllocTotalSize() { return State().totalSize; }
int GetAllocCount() { return State().count; }
