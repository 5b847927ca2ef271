#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "Vexlo.h"
#include "core/app_log.h"
#include "core/library.h"
#include "core/tracked_alloc_log.h"
#include "support/child_process.h"
#include "support/log_lines.h"
#include "support/started_log.h"

namespace {

class TrackedAllocLogTest : public ::testing::Test {
protected:
    LogLines Lines() const { return log_.Lines(); }

    StartedLog log_{"alloclog"};
};

std::string ExpectedDump(const AllocRecord *record, const char *data)
{
    char line[300];
    std::snprintf(line, sizeof line, "\tsize:%u(%.3fkb)  file:tracked_alloc_l  line:%u  ID:%u  data:%s",
                  static_cast<unsigned>(record->size), record->size / 1024.0, static_cast<unsigned>(record->line),
                  static_cast<unsigned>(record->id), data);
    return line;
}

TEST_F(TrackedAllocLogTest, DumpLineMatchesByteForByte)
{
    int line = __LINE__;
    auto *data = static_cast<unsigned char *>(AllocTrackedMemory(3, __FILE__, line));
    ASSERT_NE(nullptr, data);
    data[0] = 0x41;
    data[1] = 0x0A;
    data[2] = 0x42;
    const AllocRecord *record = reinterpret_cast<const AllocRecord *>(data) - 1;
    EXPECT_EQ(-1, DumpAllocRecord(record));
    EXPECT_EQ(line, record->line);
    LogLines log = Lines();
    ASSERT_EQ(1u, log.lines.size()) << log_.Text();
    EXPECT_EQ(ExpectedDump(record, "<A.B> [41 0a 42]"), log.lines[0]);
    EXPECT_NE(std::string::npos, log.lines[0].find("size:3(0.003kb)  file:tracked_alloc_l  line:"));
    EXPECT_TRUE(log.endsWithNewline);
    EXPECT_EQ(0, FreeTrackedMemory(data));
}

TEST_F(TrackedAllocLogTest, OverwrittenHeaderIsLoggedWithItsDump)
{
    auto *data = static_cast<unsigned char *>(VX_ALLOC(2));
    ASSERT_NE(nullptr, data);
    data[0] = 'o';
    data[1] = 'k';
    auto *record = reinterpret_cast<AllocRecord *>(data) - 1;
    EXPECT_EQ(0, CheckAllocRecord(record));
    EXPECT_TRUE(Lines().lines.empty());

    record->line ^= 0x100; // one byte of the first half
    std::string dump = ExpectedDump(record, "<ok> [6f 6b]");
    EXPECT_EQ(-1, CheckAllocRecord(record));
    LogLines log = Lines();
    ASSERT_EQ(2u, log.lines.size());
    EXPECT_EQ("以下のメモリ確保情報が破損しました", log.lines[0]);
    EXPECT_EQ(dump, log.lines[1]);

    // Freeing it reports the damage again, and the block is still released.
    int countBefore = 0;
    GetTrackedMemoryTotals(nullptr, &countBefore);
    EXPECT_EQ(-1, VX_FREE(data));
    int countAfter = 0;
    GetTrackedMemoryTotals(nullptr, &countAfter);
    EXPECT_EQ(countBefore - 1, countAfter);
    EXPECT_EQ(4u, Lines().lines.size());
}

TEST_F(TrackedAllocLogTest, TotalsAndTheDumpOfEveryBlock)
{
    int size0 = 0, count0 = 0;
    GetTrackedMemoryTotals(&size0, &count0);
    void *a = VX_ALLOC(1024);
    void *b = VX_ALLOC(1000);
    ASSERT_TRUE(a && b);
    b = VX_REALLOC(b, 1024);
    ASSERT_NE(nullptr, b);
    EXPECT_EQ(nullptr, VX_ALLOC(-1));
    EXPECT_EQ(nullptr, VX_REALLOC(b, -1));
    int size = 0, count = 0;
    GetTrackedMemoryTotals(&size, &count);
    EXPECT_EQ(size0 + 2048, size);
    EXPECT_EQ(count0 + 2, count);

    EXPECT_EQ(-1, DumpAllocTotal());
    EXPECT_EQ(-1, DumpTrackedMemory());
    LogLines log = Lines();
    char total[100];
    std::snprintf(total, sizeof total, "\tTotal size:%d(%.3fkb)  Alloc num:%d", size, size / 1024.0, count);
    ASSERT_EQ(static_cast<size_t>(count + 2), log.lines.size());
    EXPECT_EQ(total, log.lines.front());
    EXPECT_EQ(total, log.lines.back());
    int mine = 0;
    for (const std::string &line : log.lines)
        if (line.find("size:1024(1.000kb)  file:tracked_alloc_l") != std::string::npos) ++mine;
    EXPECT_EQ(2, mine);

    EXPECT_EQ(0, VX_FREE(a));
    EXPECT_EQ(0, VX_FREE(b));
    EXPECT_EQ(-1, VX_FREE(b));
    GetTrackedMemoryTotals(&size, &count);
    EXPECT_EQ(size0, size);
    EXPECT_EQ(count0, count);
}

} // namespace
