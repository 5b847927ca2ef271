// The default file-access entries over Win32 files.
//
// Three ways to read a file:
//  - blocking: ReadFile on a synchronous handle;
//  - blocking with read-ahead: two 64 KiB blocks are filled with overlapped
//    reads (unbuffered and sector-aligned on fixed drives) and the caller's
//    reads are copied out of them;
//  - non-blocking: the read is started with ReadFileEx and its completion
//    routine marks it done; the idle entry tells when the data is there.
// Completion routines run only inside the alertable waits made here
// (SleepEx with alertable set), on the program's one thread.
#include "default_file_access.h"

#include <windows.h>

#include <climits>
#include <cstdint>
#include <cstring>

#include "file_access.h"
#include "tracked_alloc_log.h"

namespace {

constexpr int kBlockBytes = 65536;

// Bookkeeping stored right after a block's data.
struct BlockState {
    int done;   // 1 when no read into the block is pending
    int offset; // file offset of the data, -1 when empty
    int length; // bytes that arrived
    OVERLAPPED overlapped;
};

struct ReadBlock {
    void *memory;        // the allocation, with room for alignment
    unsigned char *data; // kBlockBytes, aligned to the sector size
    BlockState *state;   // behind the data
};

struct FileRecord {
    HANDLE handle;
    int blocking;
    int readAhead;
    int closePending;
    int readDone;       // 1 when no read on `overlapped` is pending
    int systemBuffered; // 0: FILE_FLAG_NO_BUFFERING, sector-aligned reads only
    int sectorSize;
    int atEnd;
    int position;
    int size;
    DWORD directBytes;  // bytes the last read on `overlapped` delivered
    OVERLAPPED overlapped;
    FileRecord *previous;
    FileRecord *next;
    ReadBlock blocks[2];
};

FileRecord *g_openFiles; // newest first

int ProbeSectorSize(const char *fileName)
{
    char root[4] = {};
    if (fileName[0] != '\0' && fileName[1] == ':') {
        root[0] = fileName[0];
        root[1] = ':';
        root[2] = '\\';
    } else {
        char directory[MAX_PATH];
        if (GetCurrentDirectoryA(MAX_PATH, directory) < 3) return 0;
        std::memcpy(root, directory, 3);
    }
    if (GetDriveTypeA(root) != DRIVE_FIXED) return 0;
    DWORD sectorsPerCluster, bytesPerSector, freeClusters, clusters;
    if (!GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters)) return 0;
    // Unbuffered reads of whole blocks need a power-of-two sector size that
    // divides the block; anything else is read through the cache.
    if (bytesPerSector == 0 || bytesPerSector > kBlockBytes || (bytesPerSector & (bytesPerSector - 1)) != 0)
        return 0;
    return static_cast<int>(bytesPerSector);
}

int (*g_sectorSizeProbe)(const char *fileName) = ProbeSectorSize;

FileRecord *FindOpenFile(const void *handle)
{
    for (FileRecord *f = g_openFiles; f; f = f->next)
        if (f == handle) return f;
    return nullptr;
}

bool BlocksIdle(const FileRecord *f)
{
    for (const ReadBlock &b : f->blocks)
        if (b.state && !b.state->done) return false;
    return true;
}

bool HasPendingIo(const FileRecord *f) { return !f->readDone || !BlocksIdle(f); }

// Lets queued completion routines run.
void RunCompletions() { SleepEx(0, TRUE); }

VOID CALLBACK OnReadComplete(DWORD error, DWORD bytes, LPOVERLAPPED overlapped)
{
    FileRecord *f = static_cast<FileRecord *>(overlapped->hEvent);
    DWORD arrived = error == 0 ? bytes : 0;
    if (overlapped == &f->overlapped) {
        f->directBytes = arrived;
        f->readDone = 1;
        return;
    }
    for (ReadBlock &b : f->blocks) {
        if (b.state && overlapped == &b.state->overlapped) {
            b.state->length = static_cast<int>(arrived);
            b.state->done = 1;
        }
    }
}

bool StartRead(FileRecord *f, OVERLAPPED *overlapped, int offset, void *buffer, int bytes)
{
    std::memset(overlapped, 0, sizeof *overlapped);
    overlapped->Offset = static_cast<DWORD>(offset);
    overlapped->hEvent = f; // ReadFileEx leaves the event alone: it carries the record
    return ReadFileEx(f->handle, buffer, static_cast<DWORD>(bytes), overlapped, OnReadComplete) != 0;
}

bool AllocateBlock(ReadBlock &block, int sectorSize)
{
    std::uintptr_t align = sectorSize > 16 ? static_cast<std::uintptr_t>(sectorSize) : 16;
    block.memory = VX_ALLOC(static_cast<int>(kBlockBytes + sizeof(BlockState) + align));
    if (!block.memory) return false;
    std::uintptr_t start = (reinterpret_cast<std::uintptr_t>(block.memory) + align - 1) & ~(align - 1);
    block.data = reinterpret_cast<unsigned char *>(start);
    block.state = reinterpret_cast<BlockState *>(block.data + kBlockBytes);
    std::memset(block.state, 0, sizeof *block.state);
    block.state->done = 1;
    block.state->offset = -1;
    return true;
}

void FreeOpenFile(FileRecord *f)
{
    for (ReadBlock &b : f->blocks)
        if (b.memory) FreeTrackedMemory(b.memory);
    FreeTrackedMemory(f);
}

// The block whose range [offset, offset + 64 KiB) holds `position`, or -1.
int CoveringBlock(const FileRecord *f, int position)
{
    for (int i = 0; i < 2; ++i) {
        const BlockState *s = f->blocks[i].state;
        if (s && s->offset != -1 && s->offset <= position && position - s->offset < kBlockBytes) return i;
    }
    return -1;
}

// The block other than `current` that starts within 64 KiB after `position`.
int FollowingBlock(const FileRecord *f, int position, int current)
{
    for (int i = 0; i < 2; ++i) {
        const BlockState *s = f->blocks[i].state;
        if (i != current && s && s->offset > position && s->offset - position <= kBlockBytes) return i;
    }
    return -1;
}

// Starts filling block i from `offset`; false when ReadFileEx refused.
bool FillBlock(FileRecord *f, int i, int offset)
{
    ReadBlock &b = f->blocks[i];
    b.state->offset = offset;
    b.state->length = 0;
    b.state->done = 0;
    if (StartRead(f, &b.state->overlapped, offset, b.data, kBlockBytes)) return true;
    b.state->done = 1;
    b.state->offset = -1;
    return false;
}

// Starts the read of the block that holds the position, or else of the block
// after it, when nothing is pending.
void StepReadAhead(FileRecord *f)
{
    if (!f->readAhead || !f->readDone || !BlocksIdle(f) || f->position >= f->size) return;
    int current = CoveringBlock(f, f->position);
    int following = FollowingBlock(f, f->position, current);
    if (current < 0) {
        int offset = f->position;
        if (!f->systemBuffered) offset -= offset % f->sectorSize;
        FillBlock(f, following == 0 ? 1 : 0, offset);
    } else if (following < 0) {
        int nextOffset = f->blocks[current].state->offset + kBlockBytes;
        if (nextOffset < f->size) FillBlock(f, 1 - current, nextOffset);
    }
}

// Closes the handle and releases the record once no read is pending: 0
// (also while the close stays pending), -1 when CloseHandle failed.
int FinishClose(FileRecord *f)
{
    if (HasPendingIo(f)) return 0;
    BOOL closed = CloseHandle(f->handle);
    if (f->previous) f->previous->next = f->next;
    else g_openFiles = f->next;
    if (f->next) f->next->previous = f->previous;
    FreeOpenFile(f);
    return closed ? 0 : -1;
}

// Reads `bytes` on the file's own OVERLAPPED at the position and waits for
// it; the bytes that arrived.
int ReadDirect(FileRecord *f, unsigned char *buffer, int bytes)
{
    f->readDone = 0;
    if (!StartRead(f, &f->overlapped, f->position, buffer, bytes)) {
        f->readDone = 1;
        return 0;
    }
    while (!f->readDone) RunCompletions();
    int arrived = static_cast<int>(f->directBytes);
    f->position += arrived;
    return arrived;
}

// Copies `bytes` at the position out of the read-ahead blocks, refilling
// them as the position moves on; the bytes copied, fewer when a read failed
// or came back short.
int ReadThroughBlocks(FileRecord *f, unsigned char *buffer, int bytes)
{
    int copied = 0;
    while (copied < bytes) {
        int i = CoveringBlock(f, f->position);
        if (i >= 0) {
            BlockState *s = f->blocks[i].state;
            while (!s->done) RunCompletions();
            int available = s->offset + s->length - f->position;
            if (available <= 0) {
                s->offset = -1; // nothing arrived here: forget the block
                break;
            }
            int take = available < bytes - copied ? available : bytes - copied;
            std::memcpy(buffer + copied, f->blocks[i].data + (f->position - s->offset), static_cast<size_t>(take));
            f->position += take;
            copied += take;
            continue;
        }
        while (!BlocksIdle(f)) RunCompletions();
        if (!f->systemBuffered) {
            // Unbuffered handles read whole sectors only: bring the block in.
            StepReadAhead(f);
            if (CoveringBlock(f, f->position) < 0) break;
            continue;
        }
        int wanted = bytes - copied;
        int arrived = ReadDirect(f, buffer + copied, wanted);
        copied += arrived;
        if (arrived < wanted) break;
    }
    return copied;
}

void *DefaultOpen(const char *fileName, int readAhead, int blocking)
{
    if (!fileName) return nullptr;
    blocking = blocking != 0;
    readAhead = blocking && readAhead != 0;
    int sectorSize = readAhead ? g_sectorSizeProbe(fileName) : 0;

    auto *f = static_cast<FileRecord *>(VX_ALLOC(static_cast<int>(sizeof(FileRecord))));
    if (!f) return nullptr;
    std::memset(f, 0, sizeof *f);
    f->systemBuffered = sectorSize == 0;
    f->sectorSize = sectorSize;
    if (readAhead && (!AllocateBlock(f->blocks[0], sectorSize) || !AllocateBlock(f->blocks[1], sectorSize))) {
        FreeOpenFile(f);
        return nullptr;
    }

    DWORD flags = FILE_ATTRIBUTE_NORMAL;
    if (!blocking || readAhead) flags |= FILE_FLAG_OVERLAPPED;
    if (!f->systemBuffered) flags |= FILE_FLAG_NO_BUFFERING;
    f->handle = CreateFileA(fileName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, flags, nullptr);
    if (f->handle == INVALID_HANDLE_VALUE) {
        FreeOpenFile(f);
        return nullptr;
    }
    f->blocking = blocking;
    f->readAhead = readAhead;
    f->readDone = 1;
    // Positions are ints: a file beyond 2 GiB is read up to there.
    DWORD high = 0;
    DWORD low = GetFileSize(f->handle, &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) low = 0;
    f->size = high != 0 || low > INT_MAX ? INT_MAX : static_cast<int>(low);

    f->next = g_openFiles;
    if (g_openFiles) g_openFiles->previous = f;
    g_openFiles = f;
    StepReadAhead(f);
    return f;
}

int DefaultClose(void *file)
{
    FileRecord *f = FindOpenFile(file);
    if (!f) return -1;
    f->closePending = 1;
    return FinishClose(f);
}

int DefaultTell(void *file)
{
    FileRecord *f = FindOpenFile(file);
    return f ? f->position : -1;
}

int DefaultSeek(void *file, int offset, int origin)
{
    FileRecord *f = FindOpenFile(file);
    if (!f) return -1;
    if (f->closePending) return 0;
    long long base = origin == 1 ? f->position : origin == 2 ? f->size : 0;
    long long target = origin >= 0 && origin <= 2 ? base + offset : 0;
    // A position before the start or past the int range could not be read.
    if (target < 0 || target > INT_MAX) return -1;
    if (f->blocking && !f->readAhead &&
        SetFilePointer(f->handle, static_cast<LONG>(target), nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER)
        return -1;
    f->position = static_cast<int>(target);
    f->atEnd = 0;
    return 0;
}

int DefaultRead(void *buffer, int itemSize, int itemCount, void *file)
{
    FileRecord *f = FindOpenFile(file);
    if (!f || f->closePending || !buffer || itemSize <= 0 || itemCount <= 0) return 0;
    if (f->position >= f->size) {
        f->atEnd = 1;
        return 0;
    }
    int left = f->size - f->position;
    if (static_cast<long long>(itemSize) * itemCount > left) itemCount = left / itemSize;
    if (itemCount == 0) return 0;
    int bytes = itemSize * itemCount;
    auto *out = static_cast<unsigned char *>(buffer);

    if (f->blocking && !f->readAhead) {
        DWORD got = 0;
        if (!ReadFile(f->handle, out, static_cast<DWORD>(bytes), &got, nullptr)) return 0;
        f->position += static_cast<int>(got);
        return static_cast<int>(got) / itemSize;
    }
    if (f->blocking) return ReadThroughBlocks(f, out, bytes) / itemSize;
    if (!f->readDone) return 0;
    f->readDone = 0;
    if (!StartRead(f, &f->overlapped, f->position, out, bytes)) {
        f->readDone = 1;
        return 0;
    }
    f->position += bytes;
    return 1; // started; the data is there once the idle entry reports 1
}

int DefaultEof(void *file)
{
    FileRecord *f = FindOpenFile(file);
    return f ? f->atEnd : 0;
}

int DefaultIdle(void *file)
{
    FileRecord *f = FindOpenFile(file);
    if (!f) return 0;
    if (f->blocking) return 1;
    // Polling the entry alone must let the completion in.
    if (!f->readDone) RunCompletions();
    return f->readDone;
}

int DefaultSetDirectory(const char *path)
{
    return path ? SetCurrentDirectoryA(path) : 0;
}

int DefaultGetDirectory(char *buffer)
{
    return buffer ? static_cast<int>(GetCurrentDirectoryA(MAX_PATH, buffer)) : 0;
}

const FileAccessFunctions kDefaultFunctions = {
    DefaultOpen, DefaultClose, DefaultTell,         DefaultSeek,         DefaultRead,
    DefaultEof,  DefaultIdle,  DefaultSetDirectory, DefaultGetDirectory,
};

} // namespace

const FileAccessFunctions &GetDefaultFileAccessFunctions() { return kDefaultFunctions; }

int CountOpenFiles()
{
    int count = 0;
    for (FileRecord *f = g_openFiles; f; f = f->next) ++count;
    return count;
}

void SetSectorSizeProbe(int (*probe)(const char *fileName))
{
    g_sectorSizeProbe = probe ? probe : ProbeSectorSize;
}

void ProcessAsyncReads()
{
    bool pending = false;
    for (FileRecord *f = g_openFiles; f; f = f->next) pending = pending || HasPendingIo(f);
    if (pending) RunCompletions();
    for (FileRecord *f = g_openFiles, *next; f; f = next) {
        next = f->next;
        if (f->closePending) FinishClose(f);
        else StepReadAhead(f);
    }
}
