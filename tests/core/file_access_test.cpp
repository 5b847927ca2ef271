#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "Vexlo.h"
#include "core/default_file_access.h"
#include "core/file_access.h"
#include "support/child_process.h"

namespace {

std::string MakeContent(size_t size, unsigned seed)
{
    std::mt19937 rng(seed);
    std::string bytes(size, '\0');
    for (char &c : bytes) c = static_cast<char>(rng());
    return bytes;
}

void WriteBytes(const std::string &path, const std::string &bytes)
{
    FILE *file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(nullptr, file) << path;
    ASSERT_EQ(bytes.size(), std::fwrite(bytes.data(), 1, bytes.size(), file));
    std::fclose(file);
}

int g_forcedSectorSize;
int ForcedSectorSize(const char *) { return g_forcedSectorSize; }

// The three ways of the default table to read, and how a test waits for a
// non-blocking read.
enum class Wait { None, ProcessAsyncReads, IdleEntry };
struct Mode {
    const char *name;
    int readAhead;
    int blocking;
    int sectorSize; // -1: the drive's own answer
    Wait wait;
};
const Mode kModes[] = {
    {"blocking", 0, 1, -1, Wait::None},
    {"read-ahead on this drive", 1, 1, -1, Wait::None},
    {"read-ahead, cached", 1, 1, 0, Wait::None},
    {"read-ahead, unbuffered 4096-byte sectors", 1, 1, 4096, Wait::None},
    {"non-blocking, ProcessAsyncReads", 0, 0, -1, Wait::ProcessAsyncReads},
    {"non-blocking, idle polling", 0, 0, -1, Wait::IdleEntry},
};

// Every test leaves the default table installed, no file open and the
// tracked totals as it found them.
class FileAccessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = MakeTestDirectory("files");
        GetTrackedMemoryTotals(&baseSize_, &baseCount_);
        baseFiles_ = CountOpenFiles();
    }
    void TearDown() override
    {
        SetFileAccessFunctions(nullptr);
        SetSectorSizeProbe(nullptr);
        EXPECT_EQ(baseFiles_, CountOpenFiles());
        int size = 0, count = 0;
        GetTrackedMemoryTotals(&size, &count);
        EXPECT_EQ(baseSize_, size);
        EXPECT_EQ(baseCount_, count);
    }
    std::string MakeFile(const std::string &name, const std::string &bytes)
    {
        std::string path = dir_ + name;
        WriteBytes(path, bytes);
        return path;
    }
    void UseMode(const Mode &mode)
    {
        g_forcedSectorSize = mode.sectorSize;
        SetSectorSizeProbe(mode.sectorSize < 0 ? nullptr : ForcedSectorSize);
    }
    // Reads through the file stream; a non-blocking read is waited for.
    int Read(const Mode &mode, void *file, void *buffer, int itemSize, int itemCount)
    {
        const StreamFunctions *s = GetFileStreamFunctions();
        int result = s->read(buffer, itemSize, itemCount, file);
        if (mode.wait == Wait::None) return result;
        for (int polls = 0; polls < 1000000; ++polls) {
            if (mode.wait == Wait::ProcessAsyncReads) ProcessAsyncReads();
            if (s->idle(file) == 1) return result;
        }
        ADD_FAILURE() << "the read never completed";
        return result;
    }

    std::string dir_;
    int baseSize_ = 0, baseCount_ = 0, baseFiles_ = 0;
};

// Random reads and seeks through each mode against the bytes written.
TEST_F(FileAccessTest, RandomReadsAndSeeksReturnTheFileBytes)
{
    const size_t sizes[] = {5, 65536, 3 * 1048576 + 1234};
    const int itemSizes[] = {1, 2, 3, 4, 7, 16, 4096};
    unsigned caseSeed = 20261201;
    for (size_t size : sizes) {
        std::string path = MakeFile("random" + std::to_string(size) + ".bin", MakeContent(size, caseSeed));
        const std::string plain = ReadWholeFile(path);
        ASSERT_EQ(size, plain.size());
        const int fileSize = static_cast<int>(size);
        for (const Mode &mode : kModes) {
            ++caseSeed;
            SCOPED_TRACE(::testing::Message() << "size " << size << ", " << mode.name << ", seed " << caseSeed);
            UseMode(mode);
            std::mt19937 rng(caseSeed);
            void *file = FileAccessOpen(path.c_str(), mode.readAhead, mode.blocking);
            ASSERT_NE(nullptr, file);
            const StreamFunctions *s = GetFileStreamFunctions();
            int position = 0, atEnd = 0;
            for (int step = 0; step < 150; ++step) {
                SCOPED_TRACE(::testing::Message() << "step " << step);
                int op = static_cast<int>(rng() % 8);
                if (op < 3) {
                    int origin = op;
                    int base = origin == 0 ? 0 : origin == 1 ? position : fileSize;
                    // Mostly inside the file, sometimes past its end or before its start.
                    int target = static_cast<int>(rng() % (size + 9)) - (rng() % 16 == 0 ? fileSize + 3 : 0);
                    int expected = target < 0 ? -1 : 0;
                    ASSERT_EQ(expected, s->seek(file, target - base, origin)) << "target " << target;
                    if (expected == 0) {
                        position = target;
                        atEnd = 0;
                    }
                } else if (op == 7) {
                    ProcessAsyncReads();
                } else {
                    int itemSize = itemSizes[rng() % 7];
                    int kind = static_cast<int>(rng() % 10);
                    int bytes = 1 + static_cast<int>(rng() % (kind < 5 ? 64 : kind < 8 ? 150000 : 3 * 1048576));
                    int count = bytes / itemSize > 0 ? bytes / itemSize : 1;
                    int items = 0;
                    if (position >= fileSize) atEnd = 1;
                    else items = count < (fileSize - position) / itemSize ? count : (fileSize - position) / itemSize;
                    std::vector<unsigned char> buffer(static_cast<size_t>(count) * itemSize + 16, 0xEE);
                    int result = Read(mode, file, buffer.data(), itemSize, count);
                    int expected = mode.blocking ? items : items > 0 ? 1 : 0;
                    ASSERT_EQ(expected, result) << "read " << count << " x " << itemSize << " at " << position;
                    size_t got = static_cast<size_t>(items) * itemSize;
                    ASSERT_EQ(0, std::memcmp(buffer.data(), plain.data() + position, got)) << "at " << position;
                    for (size_t i = got; i < buffer.size(); ++i) ASSERT_EQ(0xEE, buffer[i]) << "past the read";
                    position += static_cast<int>(got);
                }
                ASSERT_EQ(position, s->tell(file));
                ASSERT_EQ(atEnd, s->eof(file) != 0);
            }
            EXPECT_EQ(0, s->close(file));
            for (int polls = 0; polls < 100000 && CountOpenFiles() > baseFiles_; ++polls) ProcessAsyncReads();
        }
    }
}

TEST_F(FileAccessTest, ShortDataReadsWholeItemsOnly)
{
    std::string bytes = MakeContent(62, 7);
    std::string path = MakeFile("short.bin", bytes);
    for (const Mode &mode : kModes) {
        SCOPED_TRACE(mode.name);
        UseMode(mode);
        void *file = FileAccessOpen(path.c_str(), mode.readAhead, mode.blocking);
        ASSERT_NE(nullptr, file);
        const StreamFunctions *s = GetFileStreamFunctions();
        unsigned char buffer[64];
        std::memset(buffer, 0xEE, sizeof buffer);
        ASSERT_EQ(0, s->seek(file, 40, 0));
        // 22 bytes left: 5 whole items of 4 (a started non-blocking read answers 1).
        EXPECT_EQ(mode.blocking ? 5 : 1, Read(mode, file, buffer, 4, 10));
        EXPECT_EQ(0, std::memcmp(buffer, bytes.data() + 40, 20));
        EXPECT_EQ(0xEE, buffer[20]);
        EXPECT_EQ(60, s->tell(file));
        // The last 2 bytes are no whole 4-byte item: nothing is read, no end yet.
        EXPECT_EQ(0, Read(mode, file, buffer, 4, 1));
        EXPECT_EQ(60, s->tell(file));
        EXPECT_EQ(0, s->eof(file));
        EXPECT_EQ(1, Read(mode, file, buffer, 2, 1));
        EXPECT_EQ(0, std::memcmp(buffer, bytes.data() + 60, 2));
        EXPECT_EQ(0, s->eof(file));
        // A read at the end sets the flag, a seek clears it.
        EXPECT_EQ(0, Read(mode, file, buffer, 1, 1));
        EXPECT_EQ(1, s->eof(file));
        EXPECT_EQ(0, s->seek(file, 0, 1));
        EXPECT_EQ(0, s->eof(file));
        // A position past the end is allowed; reading there is at the end.
        EXPECT_EQ(0, s->seek(file, 100, 2));
        EXPECT_EQ(162, s->tell(file));
        EXPECT_EQ(0, Read(mode, file, buffer, 1, 1));
        EXPECT_EQ(1, s->eof(file));
        // Unknown origins start at 0; positions before the start are refused.
        EXPECT_EQ(0, s->seek(file, 30, 9));
        EXPECT_EQ(0, s->tell(file));
        EXPECT_EQ(-1, s->seek(file, -1, 0));
        EXPECT_EQ(0, s->tell(file));
        EXPECT_EQ(0, s->close(file));
        for (int polls = 0; polls < 100000 && CountOpenFiles() > baseFiles_; ++polls) ProcessAsyncReads();
    }
}

TEST_F(FileAccessTest, EmptyFilesAndDegenerateReads)
{
    std::string path = MakeFile("empty.bin", "");
    for (const Mode &mode : kModes) {
        SCOPED_TRACE(mode.name);
        UseMode(mode);
        void *file = FileAccessOpen(path.c_str(), mode.readAhead, mode.blocking);
        ASSERT_NE(nullptr, file);
        unsigned char buffer[4] = {0xEE, 0xEE, 0xEE, 0xEE};
        EXPECT_EQ(0, FileAccessRead(buffer, 0, 4, file));
        EXPECT_EQ(0, FileAccessRead(buffer, 4, -1, file));
        EXPECT_EQ(0, FileAccessRead(nullptr, 1, 1, file));
        EXPECT_EQ(0, FileAccessEof(file));
        EXPECT_EQ(0, FileAccessRead(buffer, 1, 1, file));
        EXPECT_EQ(1, FileAccessEof(file));
        EXPECT_EQ(0xEE, buffer[0]);
        EXPECT_EQ(1, FileAccessIdle(file));
        EXPECT_EQ(0, FileAccessClose(file));
        for (int polls = 0; polls < 100000 && CountOpenFiles() > baseFiles_; ++polls) ProcessAsyncReads();
    }
}

TEST_F(FileAccessTest, UnknownAndClosedHandlesAnswerWithoutTouchingAnything)
{
    std::string path = MakeFile("closed.bin", "abc");
    void *closed = FileAccessOpen(path.c_str(), 0, 1);
    ASSERT_NE(nullptr, closed);
    ASSERT_EQ(0, FileAccessClose(closed));
    int local = 0x12345678;
    for (void *handle : {static_cast<void *>(nullptr), static_cast<void *>(&local), closed}) {
        char buffer[4] = {};
        EXPECT_EQ(-1, FileAccessClose(handle));
        EXPECT_EQ(-1, FileAccessTell(handle));
        EXPECT_EQ(-1, FileAccessSeek(handle, 0, 0));
        EXPECT_EQ(0, FileAccessRead(buffer, 1, 1, handle));
        EXPECT_EQ(0, FileAccessEof(handle));
        EXPECT_EQ(0, FileAccessIdle(handle));
    }
    EXPECT_EQ(0x12345678, local);
    ProcessAsyncReads();
}

TEST_F(FileAccessTest, OpenFailuresLeaveNothingBehind)
{
    for (const Mode &mode : kModes) {
        UseMode(mode);
        EXPECT_EQ(nullptr, FileAccessOpen((dir_ + "missing.bin").c_str(), mode.readAhead, mode.blocking));
        EXPECT_EQ(nullptr, FileAccessOpen(nullptr, mode.readAhead, mode.blocking));
        EXPECT_EQ(nullptr, FileAccessOpen(dir_.c_str(), mode.readAhead, mode.blocking)); // a directory
    }
}

// A close asked for while a read is in flight waits for it; ProcessAsyncReads
// finishes it and releases the record and its blocks.
TEST_F(FileAccessTest, CloseDuringAPendingReadCompletesInProcessAsyncReads)
{
    std::string bytes = MakeContent(3 * 1048576, 99);
    std::string path = MakeFile("pending.bin", bytes);
    struct Case {
        const char *name;
        int readAhead, blocking, readSize;
    };
    const Case cases[] = {
        {"non-blocking read in flight", 0, 0, 3 * 1048576},
        {"read-ahead block in flight after the open", 1, 1, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<unsigned char> buffer(bytes.size(), 0);
        void *file = FileAccessOpen(path.c_str(), c.readAhead, c.blocking);
        ASSERT_NE(nullptr, file);
        if (c.readSize > 0) {
            ASSERT_EQ(1, FileAccessRead(buffer.data(), 1, c.readSize, file));
        }
        // Completion routines run only in alertable waits, none of which ran yet.
        EXPECT_EQ(0, FileAccessClose(file));
        EXPECT_EQ(baseFiles_ + 1, CountOpenFiles());
        // While its close is pending the file refuses reads and ignores seeks.
        EXPECT_EQ(0, FileAccessRead(buffer.data(), 1, 1, file));
        EXPECT_EQ(0, FileAccessSeek(file, 5, 0));
        int polls = 0;
        while (CountOpenFiles() > baseFiles_ && polls < 100000) {
            ProcessAsyncReads();
            ++polls;
        }
        EXPECT_EQ(baseFiles_, CountOpenFiles());
        EXPECT_EQ(-1, FileAccessTell(file));
        if (c.readSize > 0) {
            EXPECT_EQ(0, std::memcmp(buffer.data(), bytes.data(), bytes.size()));
        }
    }
}

// ---- Replacement tables ---------------------------------------------------

// An archive held in memory: names to contents.
struct ArchiveFile {
    const std::string *data;
    int position;
    int atEnd;
};
std::map<std::string, std::string> g_archive;
std::string g_archiveDirectory = "archive-root";

void *ArchiveOpen(const char *name, int, int)
{
    auto found = g_archive.find(name ? name : "");
    if (found == g_archive.end()) return nullptr;
    return new ArchiveFile{&found->second, 0, 0};
}
int ArchiveClose(void *file)
{
    delete static_cast<ArchiveFile *>(file);
    return 0;
}
int ArchiveTell(void *file) { return static_cast<ArchiveFile *>(file)->position; }
int ArchiveSeek(void *file, int offset, int origin)
{
    auto *a = static_cast<ArchiveFile *>(file);
    int size = static_cast<int>(a->data->size());
    a->position = (origin == 1 ? a->position : origin == 2 ? size : 0) + offset;
    a->atEnd = 0;
    return 0;
}
int ArchiveRead(void *buffer, int itemSize, int itemCount, void *file)
{
    auto *a = static_cast<ArchiveFile *>(file);
    int left = static_cast<int>(a->data->size()) - a->position;
    if (left <= 0) {
        a->atEnd = 1;
        return 0;
    }
    int items = itemCount < left / itemSize ? itemCount : left / itemSize;
    std::memcpy(buffer, a->data->data() + a->position, static_cast<size_t>(items) * itemSize);
    a->position += items * itemSize;
    return items;
}
int ArchiveEof(void *file) { return static_cast<ArchiveFile *>(file)->atEnd; }
int ArchiveIdle(void *) { return 1; }
int ArchiveSetDirectory(const char *path)
{
    g_archiveDirectory = path;
    return 1;
}
int ArchiveGetDirectory(char *buffer)
{
    std::strcpy(buffer, g_archiveDirectory.c_str());
    return static_cast<int>(g_archiveDirectory.size());
}

const FileAccessFunctions kArchive = {
    ArchiveOpen, ArchiveClose, ArchiveTell, ArchiveSeek, ArchiveRead,
    ArchiveEof,  ArchiveIdle,  ArchiveSetDirectory, ArchiveGetDirectory,
};

TEST_F(FileAccessTest, ReplacementTableServesTheFileStream)
{
    g_archive = {{"pics/a.bin", "0123456789abcdefXY"}, {"b.txt", "hello"}};
    // A real file of the same name must not be what is read.
    MakeFile("b.txt", "not from the archive");
    ASSERT_EQ(0, SetFileAccessFunctions(&kArchive));
    EXPECT_EQ(0, IsDefaultFileAccess());

    const StreamFunctions *s = GetFileStreamFunctions();
    void *file = FileAccessOpen("pics/a.bin", 0, 1);
    ASSERT_NE(nullptr, file);
    char buffer[32] = {};
    EXPECT_EQ(4, s->read(buffer, 4, 4, file));
    EXPECT_EQ("0123456789abcdef", std::string(buffer, 16));
    EXPECT_EQ(16, s->tell(file));
    EXPECT_EQ(0, s->seek(file, -8, 2));
    EXPECT_EQ(10, s->tell(file));
    EXPECT_EQ(2, s->read(buffer, 4, 5, file));
    EXPECT_EQ("abcdefXY", std::string(buffer, 8));
    EXPECT_EQ(0, s->eof(file));
    EXPECT_EQ(0, s->read(buffer, 4, 1, file));
    EXPECT_EQ(1, s->eof(file));
    EXPECT_EQ(1, s->idle(file));
    EXPECT_EQ(0, s->close(file));

    file = FileAccessOpen((dir_ + "b.txt").c_str(), 0, 1);
    EXPECT_EQ(nullptr, file);
    file = FileAccessOpen("b.txt", 0, 1);
    ASSERT_NE(nullptr, file);
    EXPECT_EQ(5, FileAccessRead(buffer, 1, 32, file));
    EXPECT_EQ("hello", std::string(buffer, 5));
    EXPECT_EQ(0, FileAccessClose(file));

    char directory[MAX_PATH] = {};
    EXPECT_EQ(1, FileAccessSetDir("somewhere"));
    EXPECT_EQ(9, FileAccessGetDir(directory));
    EXPECT_STREQ("somewhere", directory);

    // Back to the defaults: the real file is read.
    ASSERT_EQ(0, SetFileAccessFunctions(nullptr));
    EXPECT_EQ(1, IsDefaultFileAccess());
    file = FileAccessOpen((dir_ + "b.txt").c_str(), 0, 1);
    ASSERT_NE(nullptr, file);
    EXPECT_EQ(20, FileAccessRead(buffer, 1, 32, file));
    EXPECT_EQ("not from the archive", std::string(buffer, 20));
    EXPECT_EQ(0, FileAccessClose(file));
}

// Stand-ins that differ from every default entry.
void *OtherOpen(const char *, int, int) { return nullptr; }
int OtherHandle(void *) { return -1; }
int OtherSeek(void *, int, int) { return -1; }
int OtherRead(void *, int, int, void *) { return 0; }
int OtherSetDirectory(const char *) { return 0; }
int OtherGetDirectory(char *) { return 0; }

TEST_F(FileAccessTest, DefaultTableIsRecognisedWhateverTheIdleEntry)
{
    const FileAccessFunctions &d = GetDefaultFileAccessFunctions();
    struct Case {
        const char *entry;
        void (*change)(FileAccessFunctions &table);
        int expected;
    };
    const Case cases[] = {
        {"none", [](FileAccessFunctions &) {}, 1},
        {"idle", [](FileAccessFunctions &t) { t.idle = OtherHandle; }, 1},
        {"open", [](FileAccessFunctions &t) { t.open = OtherOpen; }, 0},
        {"close", [](FileAccessFunctions &t) { t.close = OtherHandle; }, 0},
        {"tell", [](FileAccessFunctions &t) { t.tell = OtherHandle; }, 0},
        {"seek", [](FileAccessFunctions &t) { t.seek = OtherSeek; }, 0},
        {"read", [](FileAccessFunctions &t) { t.read = OtherRead; }, 0},
        {"eof", [](FileAccessFunctions &t) { t.eof = OtherHandle; }, 0},
        {"set directory", [](FileAccessFunctions &t) { t.setDirectory = OtherSetDirectory; }, 0},
        {"get directory", [](FileAccessFunctions &t) { t.getDirectory = OtherGetDirectory; }, 0},
        // Entries left null keep the defaults.
        {"all null", [](FileAccessFunctions &t) { t = FileAccessFunctions{}; }, 1},
        {"null open beside another read",
         [](FileAccessFunctions &t) {
             t.open = nullptr;
             t.read = OtherRead;
         },
         0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.entry);
        FileAccessFunctions table = d;
        c.change(table);
        ASSERT_EQ(0, SetFileAccessFunctions(&table));
        EXPECT_EQ(c.expected, IsDefaultFileAccess());
        ASSERT_EQ(0, SetFileAccessFunctions(nullptr));
        EXPECT_EQ(1, IsDefaultFileAccess());
    }
    // With a null open the default open still serves the calls.
    FileAccessFunctions table{};
    table.read = OtherRead;
    ASSERT_EQ(0, SetFileAccessFunctions(&table));
    std::string path = MakeFile("via-default-open.bin", "xyz");
    void *file = FileAccessOpen(path.c_str(), 0, 1);
    ASSERT_NE(nullptr, file);
    char buffer[3];
    EXPECT_EQ(0, FileAccessRead(buffer, 1, 3, file)); // the replaced read
    EXPECT_EQ(0, FileAccessClose(file));
}

TEST_F(FileAccessTest, DirectoryEntriesSetAndGetTheCurrentDirectory)
{
    char saved[MAX_PATH] = {};
    int savedLength = FileAccessGetDir(saved);
    ASSERT_GT(savedLength, 0);
    EXPECT_EQ(static_cast<int>(std::strlen(saved)), savedLength);
    EXPECT_NE(0, FileAccessSetDir(dir_.c_str()));
    char now[MAX_PATH] = {};
    FileAccessGetDir(now);
    EXPECT_EQ(dir_, std::string(now) + "\\");
    EXPECT_EQ(0, FileAccessSetDir((dir_ + "no-such-dir").c_str()));
    EXPECT_NE(0, FileAccessSetDir(saved));
}

} // namespace
