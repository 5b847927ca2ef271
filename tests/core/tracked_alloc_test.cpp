#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/alloc_record.h"
#include "core/tracked_alloc.h"

namespace {

std::vector<std::string> g_logged;
void Collect(const char *text) { g_logged.push_back(text); }

std::string DumpLine(const AllocRecord *record, std::size_t readable)
{
    char line[kAllocDumpLineSize];
    FormatAllocRecordDump(record, readable, line);
    return line;
}

std::string Prefix(int size, const char *kb, const char *file, int line, int id)
{
    char text[200];
    std::snprintf(text, sizeof text, "\tsize:%d(%skb)  file:%s  line:%d  ID:%d  data:<", size, kb, file, line, id);
    return text;
}

// Blocks allocated by a test are freed at its end; the totals are compared
// with the ones found at its start.
class TrackedAllocTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_logged.clear();
        baseSize_ = GetAllocTotalSize();
        baseCount_ = GetAllocCount();
    }
    void TearDown() override
    {
        for (void *block : blocks_) TrackFree(block, nullptr);
        EXPECT_EQ(baseSize_, GetAllocTotalSize());
        EXPECT_EQ(baseCount_, GetAllocCount());
    }
    unsigned char *Alloc(std::size_t size, const char *file = "src/alloc_case.cpp", int line = 42)
    {
        void *block = TrackAlloc(size, file, line);
        if (block) blocks_.push_back(block);
        return static_cast<unsigned char *>(block);
    }
    void Forget(void *block) { blocks_.erase(std::find(blocks_.begin(), blocks_.end(), block)); }

    int baseSize_ = 0, baseCount_ = 0;
    std::vector<void *> blocks_;
};

TEST_F(TrackedAllocTest, DumpShowsCharactersThenHexPairs)
{
    unsigned char *data = Alloc(3);
    ASSERT_NE(nullptr, data);
    data[0] = 0x41;
    data[1] = 0x0A;
    data[2] = 0x42;
    AllocRecord *record = FindTrackedRecord(data);
    ASSERT_NE(nullptr, record);
    EXPECT_EQ(-1, DumpTrackedRecord(record, Collect));
    ASSERT_EQ(1u, g_logged.size());
    EXPECT_EQ(Prefix(3, "0.003", "alloc_case.cpp", 42, record->id) + "A.B> [41 0a 42]\n", g_logged[0]);
}

TEST(AllocRecordDump, FormatsEachKindOfData)
{
    struct Block {
        AllocRecord record;
        unsigned char data[32];
    };
    struct Case {
        std::vector<unsigned char> bytes;
        std::uint32_t sizeField;
        std::size_t readable;
        const char *tail;
    };
    const Case cases[] = {
        {{}, 0, 0, "> ]\n"},
        {{0x20, 0x7E, 0x7F, 0x1F, 0x80, 0xFF}, 6, 6, " ~\x7f...> [20 7e 7f 1f 80 ff]\n"},
        {{'0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'}, 18, 18,
         "0123456789abcdef> [30 31 32 33 34 35 36 37 38 39 61 62 63 64 65 66]\n"},
        // A size field larger than the block shows only the bytes that are there.
        {{'x', 'y'}, 1000, 2, "xy> [78 79]\n"},
    };
    for (const Case &c : cases) {
        Block block{};
        FillAllocRecord(&block.record, "dir\\sub/x.cpp", 7, 9, c.sizeField);
        if (!c.bytes.empty()) std::memcpy(block.data, c.bytes.data(), c.bytes.size());
        char kb[32];
        std::snprintf(kb, sizeof kb, "%.3f", c.sizeField / 1024.0);
        EXPECT_EQ(Prefix(static_cast<int>(c.sizeField), kb, "x.cpp", 7, 9) + c.tail,
                  DumpLine(&block.record, c.readable));
    }
}

TEST(AllocRecordDump, FileNameIsTheBaseNameCutToFifteenCharacters)
{
    AllocRecord record{};
    FillAllocRecord(&record, "C:\\work\\a_very_long_source_name.cpp", 65535, 65535, 0);
    EXPECT_STREQ("a_very_long_sou", record.fileName);
    EXPECT_EQ(Prefix(0, "0.000", "a_very_long_sou", 65535, 65535) + "> ]\n", DumpLine(&record, 0));
    // A header whose name lost its terminator still prints 16 characters only.
    std::memset(record.fileName, 'n', sizeof record.fileName);
    EXPECT_EQ(Prefix(0, "0.000", "nnnnnnnnnnnnnnnn", 65535, 65535) + "> ]\n", DumpLine(&record, 0));
}

TEST(AllocRecordDump, TotalLine)
{
    char line[kAllocDumpLineSize];
    FormatAllocTotal(2048 + 3, 3, line);
    EXPECT_STREQ("\tTotal size:2051(2.003kb)  Alloc num:3\n", line);
}

TEST_F(TrackedAllocTest, EveryOverwrittenHeaderByteIsReported)
{
    unsigned char *data = Alloc(5);
    ASSERT_NE(nullptr, data);
    std::memcpy(data, "hello", 5);
    AllocRecord *record = FindTrackedRecord(data);
    auto *bytes = reinterpret_cast<unsigned char *>(record);
    EXPECT_EQ(0, CheckTrackedRecord(record, Collect));
    EXPECT_TRUE(g_logged.empty());
    for (int i = 0; i < 64; ++i) {
        SCOPED_TRACE(i);
        g_logged.clear();
        bytes[i] ^= 0x5A;
        EXPECT_EQ(-1, CheckTrackedRecord(record, Collect));
        ASSERT_EQ(2u, g_logged.size());
        EXPECT_EQ("以下のメモリ確保情報が破損しました\n", g_logged[0]);
        EXPECT_EQ(DumpLine(record, 5), g_logged[1]);
        bytes[i] ^= 0x5A;
    }
    g_logged.clear();
    SealAllocRecord(record);
    EXPECT_EQ(0, CheckTrackedRecord(record, Collect));
    EXPECT_TRUE(g_logged.empty());
}

TEST_F(TrackedAllocTest, TotalsFollowAllocReallocAndFree)
{
    unsigned char *a = Alloc(100);
    unsigned char *b = Alloc(28);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(baseSize_ + 128, GetAllocTotalSize());
    EXPECT_EQ(baseCount_ + 2, GetAllocCount());
    EXPECT_EQ(static_cast<std::uint16_t>(FindTrackedRecord(a)->id + 1), FindTrackedRecord(b)->id);

    for (int i = 0; i < 100; ++i) a[i] = static_cast<unsigned char>(i);
    std::uint16_t id = FindTrackedRecord(a)->id;
    Forget(a);
    auto *grown = static_cast<unsigned char *>(TrackRealloc(a, 100000, "grow.cpp", 5, Collect));
    ASSERT_NE(nullptr, grown);
    blocks_.push_back(grown);
    EXPECT_TRUE(g_logged.empty());
    for (int i = 0; i < 100; ++i) ASSERT_EQ(i, grown[i]);
    AllocRecord *record = FindTrackedRecord(grown);
    EXPECT_EQ(id, record->id);
    EXPECT_EQ(100000u, record->size);
    EXPECT_STREQ("grow.cpp", record->fileName);
    EXPECT_EQ(0, CheckTrackedRecord(record, Collect));
    EXPECT_EQ(baseSize_ + 100028, GetAllocTotalSize());
    EXPECT_EQ(baseCount_ + 2, GetAllocCount());

    Forget(b);
    EXPECT_EQ(0, TrackFree(b, Collect));
    EXPECT_EQ(nullptr, FindTrackedRecord(b));
    EXPECT_EQ(baseSize_ + 100000, GetAllocTotalSize());
    EXPECT_EQ(baseCount_ + 1, GetAllocCount());

    // Realloc of null allocates.
    void *fresh = TrackRealloc(nullptr, 8, "new.cpp", 1, Collect);
    ASSERT_NE(nullptr, fresh);
    blocks_.push_back(fresh);
    EXPECT_EQ(baseCount_ + 2, GetAllocCount());
}

TEST_F(TrackedAllocTest, DumpOfAllBlocksListsThemOldestFirstThenTheTotals)
{
    unsigned char *first = Alloc(1, "one.cpp", 1);
    unsigned char *second = Alloc(2, "two.cpp", 2);
    unsigned char *third = Alloc(3, "three.cpp", 3);
    ASSERT_TRUE(first && second && third);
    // Moving the oldest block keeps its place in the order.
    Forget(first);
    first = static_cast<unsigned char *>(TrackRealloc(first, 50000, "one.cpp", 11, Collect));
    ASSERT_NE(nullptr, first);
    blocks_.push_back(first);

    EXPECT_EQ(-1, DumpTrackedRecords(Collect));
    std::vector<std::string> mine;
    for (const std::string &line : g_logged)
        if (line.find("one.cpp") != std::string::npos || line.find("two.cpp") != std::string::npos ||
            line.find("three.cpp") != std::string::npos)
            mine.push_back(line);
    ASSERT_EQ(3u, mine.size());
    EXPECT_EQ(DumpLine(FindTrackedRecord(first), 50000), mine[0]);
    EXPECT_EQ(DumpLine(FindTrackedRecord(second), 2), mine[1]);
    EXPECT_EQ(DumpLine(FindTrackedRecord(third), 3), mine[2]);
    char total[kAllocDumpLineSize];
    FormatAllocTotal(GetAllocTotalSize(), GetAllocCount(), total);
    EXPECT_EQ(total, g_logged.back());
}

TEST_F(TrackedAllocTest, PointersThatAreNotLiveBlocksAreLeftAlone)
{
    // A foreign block with a plausible header in front of its data.
    std::vector<unsigned char> foreign(128, 0);
    void *inside = foreign.data() + 64;
    EXPECT_EQ(-1, TrackFree(inside, Collect));
    EXPECT_EQ(nullptr, TrackRealloc(inside, 16, "x.cpp", 1, Collect));
    EXPECT_EQ(-1, TrackFree(nullptr, Collect));
    EXPECT_EQ(nullptr, FindTrackedRecord(inside));

    void *block = Alloc(10);
    ASSERT_NE(nullptr, block);
    Forget(block);
    EXPECT_EQ(0, TrackFree(block, Collect));
    EXPECT_EQ(-1, TrackFree(block, Collect)); // twice
    EXPECT_TRUE(g_logged.empty());
    EXPECT_EQ(std::vector<unsigned char>(128, 0), foreign);
}

TEST_F(TrackedAllocTest, SizesBeyondTheIntTotalsAreRefused)
{
    const std::size_t sizes[] = {SIZE_MAX, SIZE_MAX - 63, static_cast<std::size_t>(INT32_MAX),
                                 static_cast<std::size_t>(INT32_MAX) - 63};
    for (std::size_t size : sizes) EXPECT_EQ(nullptr, Alloc(size)) << size;
    unsigned char *small = Alloc(4);
    ASSERT_NE(nullptr, small);
    for (std::size_t size : sizes) EXPECT_EQ(nullptr, TrackRealloc(small, size, "x.cpp", 1, Collect)) << size;
    EXPECT_NE(nullptr, FindTrackedRecord(small));
    EXPECT_EQ(baseSize_ + 4, GetAllocTotalSize());
}

TEST_F(TrackedAllocTest, FreeOfAnOverwrittenBlockReportsItAndStillReleasesIt)
{
    unsigned char *data = Alloc(4);
    ASSERT_NE(nullptr, data);
    std::memcpy(data, "abcd", 4);
    AllocRecord *record = FindTrackedRecord(data);
    record->size = 0x7FFFFFFF; // a wild write over the size field
    std::string expectedDump = DumpLine(record, 4);
    EXPECT_NE(std::string::npos, expectedDump.find("abcd> [61 62 63 64]"));
    Forget(data);
    EXPECT_EQ(-1, TrackFree(data, Collect));
    ASSERT_EQ(2u, g_logged.size());
    EXPECT_EQ("以下のメモリ確保情報が破損しました\n", g_logged[0]);
    EXPECT_EQ(expectedDump, g_logged[1]);
}

} // namespace
