#include "handle_table.h"

#include <cstdlib>

HandleTable::HandleTable(int kind, int capacity)
    : kind_(kind), capacity_(capacity < 0 ? 0 : capacity > HANDLE_INDEX_LIMIT ? HANDLE_INDEX_LIMIT : capacity)
{
}

HandleTable::~HandleTable()
{
    std::free(records_);
    std::free(checks_);
}

// The slot arrays are allocated on first use: most kinds' tables stay empty
// in most programs.
bool HandleTable::EnsureSlots()
{
    if (records_) return true;
    records_ = static_cast<void **>(std::calloc(static_cast<size_t>(capacity_), sizeof(void *)));
    checks_ = static_cast<int *>(std::calloc(static_cast<size_t>(capacity_), sizeof(int)));
    if (records_ && checks_) return true;
    std::free(records_);
    std::free(checks_);
    records_ = nullptr;
    checks_ = nullptr;
    return false;
}

int HandleTable::Add(void *record, int *index)
{
    if (!record || inUse_ >= capacity_ || !EnsureSlots()) return -1;
    int slot = highWater_;
    if (slot >= capacity_) {
        slot = 0;
        while (records_[slot]) ++slot; // a free slot exists: inUse_ < capacity_
    }
    records_[slot] = record;
    checks_[slot] = nextCheck_;
    nextCheck_ = (nextCheck_ + 1) % HANDLE_CHECK_LIMIT;
    ++inUse_;
    if (slot == highWater_) ++highWater_;
    if (index) *index = slot;
    return MakeHandle(kind_, checks_[slot], slot);
}

int HandleTable::IndexOf(int handle) const
{
    if (handle < 0 || HandleKindOf(handle) != kind_ || !records_) return -1;
    int slot = HandleIndexOf(handle);
    if (slot >= capacity_ || !records_[slot]) return -1;
    if (checks_[slot] != HandleCheckOf(handle)) return -1;
    return slot;
}

void *HandleTable::Find(int handle) const
{
    int slot = IndexOf(handle);
    return slot < 0 ? nullptr : records_[slot];
}

void *HandleTable::Remove(int handle)
{
    int slot = IndexOf(handle);
    if (slot < 0) return nullptr;
    void *record = records_[slot];
    records_[slot] = nullptr;
    --inUse_;
    if (slot + 1 == highWater_) {
        // The top slot left: the mark falls to one past the highest slot
        // still in use (0 when none is).
        int mark = slot;
        while (mark > 0 && !records_[mark - 1]) --mark;
        highWater_ = inUse_ == 0 ? 0 : mark;
    }
    return record;
}

int HandleTable::HandleOfRecord(const void *record) const
{
    if (!record || !records_) return -1;
    for (int slot = 0; slot < highWater_ && slot < capacity_; ++slot) {
        if (records_[slot] == record) return MakeHandle(kind_, checks_[slot], slot);
    }
    return -1;
}

void *HandleTable::RecordAt(int index) const
{
    if (!records_ || index < 0 || index >= capacity_) return nullptr;
    return records_[index];
}

int HandleTable::HandleAt(int index) const
{
    if (!RecordAt(index)) return -1;
    return MakeHandle(kind_, checks_[index], index);
}

void HandleTable::Reset()
{
    std::free(records_);
    std::free(checks_);
    records_ = nullptr;
    checks_ = nullptr;
    inUse_ = 0;
    highWater_ = 0;
    nextCheck_ = 0;
}
