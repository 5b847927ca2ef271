#include <gtest/gtest.h>
#include <windows.h>

#include <regex>
#include <string>

#include "Vexlo.h"
#include "core/app_log.h"
#include "core/library.h"
#include "support/child_process.h"
#include "support/log_lines.h"
#include "support/started_log.h"

namespace {

// Starts the log in a fresh directory, as InitLibrary does, without the rest
// of the library.
class AppLogTest : public ::testing::Test {
protected:
    std::string Log() const { return log_.Text(); }

    StartedLog log_{"log"};
    const std::string &dir_ = log_.Dir();
};

TEST_F(AppLogTest, ContinuedTextsShareOneLineAndOnePrefix)
{
    IncLogIndent();
    IncLogIndent();
    EXPECT_EQ(-1, AddAppLog("first "));
    EXPECT_EQ(-1, AddAppLog("second\n"));
    DecLogIndent();
    AddAppLog("third\n");
    EXPECT_TRUE(std::regex_match(Log(), std::regex("[0-9]+:\t\tfirst second\r\n[0-9]+:\tthird\r\n"))) << Log();
}

TEST_F(AppLogTest, IndentationStopsAtZero)
{
    DecLogIndent();
    DecLogIndent();
    AddAppLog("a\n");
    IncLogIndent();
    AddAppLog("b\n");
    EXPECT_TRUE(std::regex_match(Log(), std::regex("[0-9]+:a\r\n[0-9]+:\tb\r\n"))) << Log();
}

TEST_F(AppLogTest, NoTimeStampOptionDropsThePrefix)
{
    SetLogNoTimeStamp(1);
    IncLogIndent();
    AddAppLog("x\n");
    EXPECT_EQ("\tx\r\n", Log());
}

TEST_F(AppLogTest, TextIsStoredAsShiftJis)
{
    SetLogNoTimeStamp(1);
    AddAppLog("ソフトをエラー終了します\n");
    EXPECT_EQ(std::string("\x83\x5c\x83\x74\x83\x67\x82\xf0\x83\x47\x83\x89\x81\x5b\x8f\x49\x97\xb9\x82\xb5\x82\xdc\x82\xb7\r\n"),
              Log());
}

TEST_F(AppLogTest, WritesToStartDirectoryAndKeepsTheCallersDirectory)
{
    std::string elsewhere = dir_ + "elsewhere";
    CreateDirectoryA(elsewhere.c_str(), nullptr);
    SetCurrentDirectoryA(elsewhere.c_str());
    AddAppLog("from elsewhere\n");
    char now[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, now);
    EXPECT_EQ(elsewhere, std::string(now));
    EXPECT_FALSE(FileExists(elsewhere + "\\AppLog.txt"));
    EXPECT_NE(std::string::npos, Log().find("from elsewhere\r\n"));
}

TEST_F(AppLogTest, FormatWritesCompleteLinesAndCutsOverlongOnesSafely)
{
    SetLogNoTimeStamp(1);
    EXPECT_EQ(-1, AddAppLogFormat("メモリ総量:%.2fMB", 1.5));
    std::string wide = "a";
    for (int i = 0; i < 600; ++i) wide += "あ";
    AddAppLogFormat("%s", wide.c_str());
    std::string expected = "メモリ総量:1.50MB\r\na";
    for (int i = 0; i < 510; ++i) expected += "あ";
    EXPECT_EQ(expected + "\r\n", Log());
}

TEST_F(AppLogTest, DisabledLogTouchesNoFile)
{
    AddAppLog("kept\n");
    SetLogDisabled(1);
    StartAppLog();
    EXPECT_EQ(-1, AddAppLog("lost\n"));
    EXPECT_TRUE(std::regex_match(Log(), std::regex("[0-9]+:kept\r\n"))) << Log();
}

CHILD_SCENARIO(exit_with_error)
{
    RecordStartDirectory();
    StartAppLog();
    AddAppLog("before\n");
    ExitWithError("致命的な失敗です");
}

TEST(ExitWithErrorTest, EndsTheProcessWithMinusOneAndAFinalLine)
{
    std::string dir = MakeTestDirectory("exit");
    ChildResult child = RunChildScenario("exit_with_error", dir);
    ASSERT_TRUE(child.finished);
    EXPECT_EQ(-1, child.exitCode);
    LogLines log = SplitLogLines(ReadWholeFile(dir + "AppLog.txt"));
    ASSERT_GE(log.lines.size(), 3u);
    EXPECT_EQ("before", log.lines[0]);
    EXPECT_EQ("致命的な失敗です", log.lines[1]);
    EXPECT_EQ("ソフトをエラー終了します", log.lines.back());
    EXPECT_FALSE(log.endsWithNewline);
    EXPECT_TRUE(log.allStamped);
}

} // namespace
