// Handles and the tables behind them, shared by every resource kind.
//
// A handle is a non-negative 32-bit int: bits 27-30 the kind, bits 16-26 the
// check number of the record (0-2047), bits 0-15 the slot index. A handle
// whose record was deleted, or whose slot was reused by a later record, no
// longer matches the check number and is refused. Platform-free.
#ifndef VEXLO_GRAPH_HANDLE_TABLE_H
#define VEXLO_GRAPH_HANDLE_TABLE_H

enum HandleKind {
    HANDLE_KIND_GRAPH = 1,
    HANDLE_KIND_SOUND = 2,
    HANDLE_KIND_MOVIE = 3,
    HANDLE_KIND_FONT = 4,
    HANDLE_KIND_BMP_DATA = 5,
    HANDLE_KIND_TEXTURE_DATA = 6,
    HANDLE_KIND_SURFACE_DATA = 7,
    HANDLE_KIND_RESERVED = 8,
    HANDLE_KIND_NETWORK = 9,
    HANDLE_KIND_KEY_INPUT = 10,
    HANDLE_KIND_MUSIC = 11,
};

const int HANDLE_CHECK_LIMIT = 2048;   // check numbers run 0..2047, then wrap
const int HANDLE_INDEX_LIMIT = 0xFFFF; // index 0xFFFF is never a slot

inline int MakeHandle(int kind, int checkNumber, int index)
{
    return index | (checkNumber << 16) | (kind << 27);
}
inline int HandleKindOf(int handle) { return (handle >> 27) & 0xF; }
inline int HandleCheckOf(int handle) { return (handle >> 16) & 0x7FF; }
inline int HandleIndexOf(int handle) { return handle & 0xFFFF; }

// A fixed-capacity table of record pointers. The table does not own the
// records: the kind's module allocates them and frees what Remove hands back.
// New records go to the high-water mark while it is below the capacity, so
// a freed slot is reused only once the table has filled up to its end.
class HandleTable {
public:
    HandleTable(int kind, int capacity);
    ~HandleTable();
    HandleTable(const HandleTable &) = delete;
    HandleTable &operator=(const HandleTable &) = delete;

    // Stores the record in a free slot: its handle, or -1 when the table is
    // full or its slot array cannot be allocated. *index receives the slot
    // when not null.
    int Add(void *record, int *index = nullptr);
    // The record of a valid handle of this table's kind, else null.
    void *Find(int handle) const;
    // The slot index of a valid handle, else -1.
    int IndexOf(int handle) const;
    // Takes the record out of its slot and returns it (null for an invalid
    // handle). Lowers the high-water mark past free slots at the top.
    void *Remove(int handle);
    // The handle of a stored record, searched from slot 0 to the mark; -1.
    int HandleOfRecord(const void *record) const;
    // Record and handle at a slot (null / -1 when the slot is free).
    void *RecordAt(int index) const;
    int HandleAt(int index) const;
    // Forgets every record (without freeing them) and restarts the check
    // numbers at 0, as a fresh table.
    void Reset();

    int Kind() const { return kind_; }
    int Capacity() const { return capacity_; }
    int InUse() const { return inUse_; }
    int HighWater() const { return highWater_; }
    int NextCheck() const { return nextCheck_; }

private:
    bool EnsureSlots();

    int kind_;
    int capacity_;
    void **records_ = nullptr; // capacity_ entries once the first record came
    int *checks_ = nullptr;    // check number of each occupied slot
    int inUse_ = 0;
    int highWater_ = 0;
    int nextCheck_ = 0;
};

#endif
