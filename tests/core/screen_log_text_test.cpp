// The screen log's lines: new lines, wrapping without splitting a
// double-byte character, tabs, and scrolling at the last visible line.
// Platform-free.
#include <gtest/gtest.h>

#include <string>

#include "core/screen_log_text.h"

namespace {

struct ScreenLogTextTest : ::testing::Test {
    ScreenLogTextTest() { ResetScreenLogText(&log); }
    std::string Line(int i) const { return log.lines[i]; }
    ScreenLogText log;
};

TEST_F(ScreenLogTextTest, ResetEmptiesAndPlacesTheCursor)
{
    WriteScreenLogText(&log, "abc\ndef", 30);
    ResetScreenLogText(&log);
    for (int i = 0; i < SCREEN_LOG_LINES; ++i) EXPECT_EQ(Line(i), "") << i;
    EXPECT_EQ(log.layout[SCREEN_LOG_LINE], 0);
    EXPECT_EQ(log.layout[SCREEN_LOG_COLUMN], 0);
    EXPECT_EQ(log.layout[SCREEN_LOG_TAB], 4);
    EXPECT_EQ(log.layout[SCREEN_LOG_SCROLLED], 0);
}

TEST_F(ScreenLogTextTest, WritesContinueTheLineUntilANewLine)
{
    WriteScreenLogText(&log, "score ", 30);
    WriteScreenLogText(&log, "12\nnext", 30);
    EXPECT_EQ(Line(0), "score 12");
    EXPECT_EQ(Line(1), "next");
    EXPECT_EQ(log.layout[SCREEN_LOG_LINE], 1);
    EXPECT_EQ(log.layout[SCREEN_LOG_COLUMN], 4);
}

TEST_F(ScreenLogTextTest, TabsMoveToTheNextStop)
{
    WriteScreenLogText(&log, "a\tb\t\tc", 30);
    EXPECT_EQ(Line(0), "a   b       c");
}

TEST_F(ScreenLogTextTest, LongLinesWrapWithoutSplittingADoubleByteCharacter)
{
    std::string text(253, 'x');
    text += "\x82\xA0"; // needs bytes 253 and 254: only 254 fit, so it starts the next line
    text += "y";
    WriteScreenLogText(&log, text.c_str(), 30);
    EXPECT_EQ(Line(0), std::string(253, 'x'));
    EXPECT_EQ(Line(1), "\x82\xA0y");
    std::string full(254, 'z');
    ResetScreenLogText(&log);
    WriteScreenLogText(&log, (full + "w").c_str(), 30);
    EXPECT_EQ(Line(0), full);
    EXPECT_EQ(Line(1), "w");
}

TEST_F(ScreenLogTextTest, ADanglingLeadByteIsDropped)
{
    WriteScreenLogText(&log, "ab\x82", 30);
    EXPECT_EQ(Line(0), "ab");
}

TEST_F(ScreenLogTextTest, ScrollsWhenTheCursorLeavesTheVisibleLines)
{
    WriteScreenLogText(&log, "one\ntwo\nthree", 3);
    EXPECT_EQ(log.layout[SCREEN_LOG_SCROLLED], 0);
    WriteScreenLogText(&log, "\nfour", 3);
    EXPECT_EQ(Line(0), "two");
    EXPECT_EQ(Line(1), "three");
    EXPECT_EQ(Line(2), "four");
    EXPECT_EQ(Line(3), "");
    EXPECT_EQ(log.layout[SCREEN_LOG_LINE], 2);
    EXPECT_EQ(log.layout[SCREEN_LOG_SCROLLED], 1);
    // Fewer visible lines than before: the cursor comes back onto the screen.
    WriteScreenLogText(&log, "\nfive", 1);
    EXPECT_EQ(Line(0), "five");
    EXPECT_EQ(log.layout[SCREEN_LOG_LINE], 0);
}

TEST_F(ScreenLogTextTest, VisibleLinesAreTakenIntoRange)
{
    for (int i = 0; i < 100; ++i) WriteScreenLogText(&log, "l\n", 500);
    EXPECT_EQ(log.layout[SCREEN_LOG_LINE], SCREEN_LOG_LINES - 1);
    EXPECT_EQ(log.layout[SCREEN_LOG_SCROLLED], 100 - (SCREEN_LOG_LINES - 1));
    ResetScreenLogText(&log);
    WriteScreenLogText(&log, "a\nb", 0);
    EXPECT_EQ(Line(0), "b");
    WriteScreenLogText(&log, nullptr, 5);
    EXPECT_EQ(Line(0), "b");
}

} // namespace
