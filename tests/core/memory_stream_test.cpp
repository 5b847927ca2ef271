#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/stream.h"

namespace {

// A stream over the bytes 0, 1, 2, ... of a block of the given size.
class MemoryStreamTest : public ::testing::Test {
protected:
    void Open(int size)
    {
        data_.resize(static_cast<size_t>(size));
        for (int i = 0; i < size; ++i) data_[static_cast<size_t>(i)] = static_cast<unsigned char>(i * 7 + 3);
        stream_ = OpenMemoryStream(data_.data(), size);
        ASSERT_NE(nullptr, stream_);
    }
    void TearDown() override
    {
        if (stream_) {
            EXPECT_EQ(0, f_->close(stream_));
        }
    }

    const StreamFunctions *f_ = GetMemoryStreamFunctions();
    std::vector<unsigned char> data_;
    MemoryStream *stream_ = nullptr;
};

TEST_F(MemoryStreamTest, ShortDataReadsWholeItemsThenTheTailAsOneItem)
{
    Open(62);
    ASSERT_EQ(0, f_->seek(stream_, 40, 0));
    unsigned char buffer[64];
    std::memset(buffer, 0xEE, sizeof buffer);

    EXPECT_EQ(5, f_->read(buffer, 4, 10, stream_)); // 22 bytes left: 5 whole items
    EXPECT_EQ(0, std::memcmp(buffer, &data_[40], 20));
    EXPECT_EQ(0xEE, buffer[20]);
    EXPECT_EQ(60, f_->tell(stream_));

    std::memset(buffer, 0xEE, sizeof buffer);
    EXPECT_EQ(1, f_->read(buffer, 4, 1, stream_)); // the last 2 bytes count as one item
    EXPECT_EQ(0, std::memcmp(buffer, &data_[60], 2));
    EXPECT_EQ(0xEE, buffer[2]);
    EXPECT_EQ(62, f_->tell(stream_));
    EXPECT_EQ(0, f_->eof(stream_));
}

TEST_F(MemoryStreamTest, ReadAtTheEndSetsTheFlagAndSeekClearsIt)
{
    Open(8);
    unsigned char buffer[8];
    ASSERT_EQ(8, f_->read(buffer, 1, 8, stream_));
    EXPECT_EQ(0, f_->eof(stream_));
    EXPECT_EQ(0, f_->read(buffer, 1, 1, stream_));
    EXPECT_EQ(1, f_->eof(stream_));
    EXPECT_EQ(0, f_->seek(stream_, 0, 2));
    EXPECT_EQ(0, f_->eof(stream_));
    EXPECT_EQ(0, f_->read(buffer, 1, 1, stream_));
    EXPECT_EQ(1, f_->eof(stream_));
    EXPECT_EQ(0, f_->seek(stream_, -3, 1));
    EXPECT_EQ(1, f_->read(buffer, 1, 1, stream_));
    EXPECT_EQ(data_[5], buffer[0]);
    EXPECT_EQ(0, f_->eof(stream_));
}

TEST_F(MemoryStreamTest, SeeksFromEachOriginClampToTheBlock)
{
    Open(100);
    struct Case {
        int start, offset, origin, expected;
    };
    const Case cases[] = {
        {50, 10, 0, 10},    {50, -1, 0, 0},     {50, 500, 0, 100},  {50, 10, 1, 60},
        {50, -60, 1, 0},    {50, 51, 1, 100},   {50, -30, 2, 70},   {50, 5, 2, 100},
        {50, -101, 2, 0},   {50, 20, 7, 20},    {0, 2147483647, 1, 100}, {99, -2147483647 - 1, 1, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(::testing::Message() << c.start << " " << c.offset << " " << c.origin);
        ASSERT_EQ(0, f_->seek(stream_, c.start, 0));
        EXPECT_EQ(0, f_->seek(stream_, c.offset, c.origin));
        EXPECT_EQ(c.expected, f_->tell(stream_));
    }
}

TEST_F(MemoryStreamTest, DegenerateReadsCopyNothing)
{
    Open(16);
    unsigned char buffer[4] = {0xEE, 0xEE, 0xEE, 0xEE};
    struct Case {
        int itemSize, itemCount;
    };
    for (Case c : {Case{0, 4}, Case{4, 0}, Case{-4, 2}, Case{4, -2}}) {
        EXPECT_EQ(0, f_->read(buffer, c.itemSize, c.itemCount, stream_));
        EXPECT_EQ(0, f_->tell(stream_));
    }
    EXPECT_EQ(0xEE, buffer[0]);
    // A request whose byte count overflows an int reads the whole items there are.
    std::vector<unsigned char> all(16);
    EXPECT_EQ(16, f_->read(all.data(), 1, 2147483647, stream_));
    EXPECT_EQ(data_, all);
}

TEST_F(MemoryStreamTest, IsAlwaysIdle)
{
    Open(4);
    EXPECT_EQ(1, f_->idle(stream_));
}

TEST(MemoryStreamOpen, EmptyOrMissingBlocksReadNothing)
{
    const StreamFunctions *f = GetMemoryStreamFunctions();
    unsigned char buffer[4];
    struct Case {
        const void *data;
        int size;
    };
    for (Case c : {Case{buffer, 0}, Case{buffer, -5}, Case{nullptr, 10}}) {
        MemoryStream *m = OpenMemoryStream(c.data, c.size);
        ASSERT_NE(nullptr, m);
        EXPECT_EQ(0, f->read(buffer, 1, 1, m));
        EXPECT_EQ(1, f->eof(m));
        EXPECT_EQ(0, f->seek(m, 5, 0));
        EXPECT_EQ(0, f->tell(m));
        EXPECT_EQ(0, f->close(m));
    }
}

} // namespace
