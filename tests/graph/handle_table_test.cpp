#include <gtest/gtest.h>

#include <vector>

#include "graph/handle_table.h"

namespace {

const int kGraphCapacity = 30000;

// Records are just distinct addresses for the table.
struct Records {
    std::vector<int> storage = std::vector<int>(kGraphCapacity + 8);
    void *At(int i) { return &storage[static_cast<size_t>(i)]; }
};

TEST(HandleTable, FirstGraphHandlesCarryKindCheckAndIndex)
{
    HandleTable table(HANDLE_KIND_GRAPH, kGraphCapacity);
    Records r;
    int index = -1;
    EXPECT_EQ(0x08000000, table.Add(r.At(0), &index));
    EXPECT_EQ(0, index);
    EXPECT_EQ(0x08010001, table.Add(r.At(1), &index));
    EXPECT_EQ(1, index);
    EXPECT_EQ(r.At(1), table.Find(0x08010001));
    EXPECT_EQ(2, table.InUse());
    EXPECT_EQ(2, table.HighWater());
}

TEST(HandleTable, StaleForeignAndMalformedHandlesAreRefused)
{
    HandleTable table(HANDLE_KIND_GRAPH, kGraphCapacity);
    Records r;
    int first = table.Add(r.At(0));
    int second = table.Add(r.At(1));
    EXPECT_EQ(r.At(0), table.Remove(first));
    const int refused[] = {
        first,                                          // deleted
        MakeHandle(HANDLE_KIND_FONT, 1, 1),             // a font handle naming the live slot
        MakeHandle(HANDLE_KIND_GRAPH, 2, 1),            // wrong check number
        MakeHandle(HANDLE_KIND_GRAPH, 0, kGraphCapacity), // index past the capacity
        MakeHandle(HANDLE_KIND_GRAPH, 0, 5),            // empty slot
        -1, second | static_cast<int>(0x80000000u),     // negative
    };
    for (int handle : refused) {
        EXPECT_EQ(nullptr, table.Find(handle)) << std::hex << handle;
        EXPECT_EQ(nullptr, table.Remove(handle)) << std::hex << handle;
        EXPECT_EQ(-1, table.IndexOf(handle)) << std::hex << handle;
    }
    EXPECT_EQ(1, table.InUse());
    EXPECT_EQ(r.At(1), table.Find(second));
}

TEST(HandleTable, CheckNumbersWrapAfter2048AndOldHandlesComeBack)
{
    HandleTable table(HANDLE_KIND_GRAPH, kGraphCapacity);
    Records r;
    int first = table.Add(r.At(0));
    table.Remove(first);
    // Each add and remove of the only record reuses slot 0 (the mark falls to 0).
    for (int i = 1; i < HANDLE_CHECK_LIMIT; ++i) {
        int h = table.Add(r.At(0));
        ASSERT_EQ(MakeHandle(HANDLE_KIND_GRAPH, i, 0), h);
        table.Remove(h);
    }
    EXPECT_EQ(0, table.NextCheck());
    EXPECT_EQ(first, table.Add(r.At(2)));
    EXPECT_EQ(r.At(2), table.Find(first));
}

TEST(HandleTable, HighWaterMarkFallsPastFreeTopSlotsAndStaysForMiddleOnes)
{
    HandleTable table(HANDLE_KIND_GRAPH, kGraphCapacity);
    Records r;
    int h[5];
    for (int i = 0; i < 5; ++i) h[i] = table.Add(r.At(i));
    table.Remove(h[2]); // middle: mark stays
    EXPECT_EQ(5, table.HighWater());
    table.Remove(h[3]);
    EXPECT_EQ(5, table.HighWater());
    table.Remove(h[4]); // top: falls past 3 and 2 to one past slot 1
    EXPECT_EQ(2, table.HighWater());
    int index = -1;
    table.Add(r.At(5), &index);
    EXPECT_EQ(2, index);
    table.Remove(h[0]);
    table.Remove(h[1]);
    EXPECT_EQ(3, table.HighWater()); // slot 2 still in use
    table.Remove(table.HandleAt(2));
    EXPECT_EQ(0, table.HighWater());
    EXPECT_EQ(0, table.InUse());
}

TEST(HandleTable, FreedSlotsAreReusedOnlyOnceTheMarkReachesTheCapacity)
{
    const int capacity = 6;
    HandleTable table(HANDLE_KIND_SURFACE_DATA, capacity);
    Records r;
    int h[capacity];
    for (int i = 0; i < 4; ++i) h[i] = table.Add(r.At(i));
    table.Remove(h[1]);
    int index = -1;
    table.Add(r.At(4), &index);
    EXPECT_EQ(4, index); // at the mark, not in the hole
    table.Add(r.At(5), &index);
    EXPECT_EQ(5, index);
    table.Add(r.At(6), &index);
    EXPECT_EQ(1, index); // mark at capacity: first free slot
    EXPECT_EQ(-1, table.Add(r.At(7))); // full
    EXPECT_EQ(capacity, table.InUse());
}

TEST(HandleTable, RecordsAreFoundByAddressAndResetStartsAfresh)
{
    HandleTable table(HANDLE_KIND_BMP_DATA, 100);
    Records r;
    table.Add(r.At(0));
    int second = table.Add(r.At(1));
    EXPECT_EQ(0x28010001, second);
    EXPECT_EQ(second, table.HandleOfRecord(r.At(1)));
    EXPECT_EQ(-1, table.HandleOfRecord(r.At(9)));
    table.Reset();
    EXPECT_EQ(nullptr, table.Find(second));
    EXPECT_EQ(0x28000000, table.Add(r.At(3)));
}

TEST(HandleTable, SurfaceDataNeverGetsIndex0xFFFF)
{
    HandleTable table(HANDLE_KIND_SURFACE_DATA, 65536);
    EXPECT_EQ(HANDLE_INDEX_LIMIT, table.Capacity());
}

} // namespace
