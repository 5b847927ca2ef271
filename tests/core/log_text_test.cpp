#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "core/log_text.h"
#include "core/sjis.h"

namespace {

std::string Compose(LogCursor &cursor, const char *text, bool stamp = true, int ms = 1234)
{
    std::string file, debug;
    ComposeLogEntry(cursor, text, stamp, ms, file, debug);
    return file + "|" + debug;
}

TEST(LogText, PrefixAndTabsStartEachLineOnlyOnce)
{
    LogCursor cursor;
    cursor.indent = 2;
    EXPECT_EQ("1234:\t\tＣＯＭの初期化... |\t\tＣＯＭの初期化... ", Compose(cursor, "ＣＯＭの初期化... "));
    EXPECT_TRUE(cursor.lineOpen);
    EXPECT_EQ("成功しました\n|成功しました\n", Compose(cursor, "成功しました\n", true, 1300));
    EXPECT_FALSE(cursor.lineOpen);
    EXPECT_EQ("1301:\t\tnext\n|\t\tnext\n", Compose(cursor, "next\n", true, 1301));
}

TEST(LogText, WithoutTimeStampLinesStartWithTheTabs)
{
    LogCursor cursor;
    cursor.indent = 1;
    EXPECT_EQ("\tline\n|\tline\n", Compose(cursor, "line\n", false));
}

TEST(LogText, NegativeElapsedTimeIsWrittenSigned)
{
    LogCursor cursor;
    EXPECT_EQ("-5:x\n|x\n", Compose(cursor, "x\n", true, -5));
}

TEST(LogText, EmptyTextChangesNothing)
{
    LogCursor cursor;
    cursor.lineOpen = true;
    EXPECT_EQ("|", Compose(cursor, ""));
    EXPECT_TRUE(cursor.lineOpen);
}

TEST(LogText, FinishedLineEndsWithNewline)
{
    char line[16];
    int n = std::snprintf(line, sizeof line, "%d", 42);
    FinishLogLine(line, sizeof line, n);
    EXPECT_STREQ("42\n", line);
}

TEST(LogText, OverlongLineIsCutBeforeTheNewlineWithoutSplittingACharacter)
{
    // "a" then double-byte characters: a cut at an even offset would split one.
    std::string text = "a";
    for (int i = 0; i < 20; ++i) text += "\x82\xA0";
    char line[16];
    int n = std::snprintf(line, sizeof line, "%s", text.c_str());
    FinishLogLine(line, sizeof line, n);
    // 14 bytes of room: "a" and six characters (13 bytes), then the newline.
    EXPECT_EQ(std::string("a") + std::string("\x82\xA0\x82\xA0\x82\xA0\x82\xA0\x82\xA0\x82\xA0") + "\n",
              std::string(line));
}

TEST(Sjis, PrefixLengthKeepsDoubleByteCharactersWhole)
{
    const char text[] = "\x82\xA0x\x82\xA0";
    struct Case { size_t max, expected; } cases[] = {{0, 0}, {1, 0}, {2, 2}, {3, 3}, {4, 3}, {5, 5}, {9, 5}};
    for (const Case &c : cases) EXPECT_EQ(c.expected, SjisPrefixLength(text, 5, c.max)) << c.max;
}

} // namespace
