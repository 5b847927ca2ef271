#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "Vexlo.h"
#include "core/library.h"
#include "support/child_process.h"
#include "support/log_lines.h"

namespace {

const char kRefusal[] = "Ｖｅｘｌｏライブラリは２４ビットカラーモードに対応していません";

int DesktopOf24Bits() { return 24; }

CHILD_SCENARIO(desktop_24_window)
{
    SetDesktopColourBitsReader(DesktopOf24Bits);
    ChangeWindowMode(1);
    return InitLibrary();
}

CHILD_SCENARIO(screen_24_requested)
{
    SetScreenMode(-1, -1, 24, -1);
    return InitLibrary();
}

CHILD_SCENARIO(desktop_24_full_screen)
{
    SetDesktopColourBitsReader(DesktopOf24Bits);
    SetNoDisplayStart(1);
    InitLibrary();
    return 0;
}

// A started library (window, no display) for the scenarios below.
int StartWindowOnly()
{
    SetNoDisplayStart(1);
    ChangeWindowMode(1);
    return InitLibrary();
}

CHILD_SCENARIO(init_twice)
{
    if (StartWindowOnly() != 0) return 10;
    HWND window = FindWindowA("Vexlo", nullptr);
    if (window == nullptr) return 11;
    if (InitLibrary() != -1) return 12;
    // The failed second start ended the running library too.
    if (IsWindow(window)) return 13;
    return 0;
}

CHILD_SCENARIO(directory_restored)
{
    char start[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, start);
    if (StartWindowOnly() != 0) return 10;
    CreateDirectoryA("elsewhere", nullptr);
    SetCurrentDirectoryA("elsewhere");
    EndLibrary();
    char now[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, now);
    return std::string(start) == now ? 0 : 11;
}

CHILD_SCENARIO(end_without_init)
{
    return EndLibrary() == 0 ? 7 : 1;
}

LogLines RunAndReadLog(const char *scenario, int expectedExitCode)
{
    std::string dir = MakeTestDirectory(scenario);
    ChildResult child = RunChildScenario(scenario, dir);
    EXPECT_TRUE(child.finished) << scenario;
    EXPECT_EQ(expectedExitCode, child.exitCode) << scenario;
    return SplitLogLines(ReadWholeFile(dir + "AppLog.txt"));
}

TEST(InitLibraryTest, RefusesTwentyFourBitScreensBeforeStartingAnything)
{
    for (const char *scenario : {"desktop_24_window", "screen_24_requested"}) {
        LogLines log = RunAndReadLog(scenario, -1);
        EXPECT_EQ(std::vector<std::string>{kRefusal}, log.lines) << scenario;
    }
}

TEST(InitLibraryTest, TwentyFourBitDesktopDoesNotMatterInFullScreen)
{
    LogLines log = RunAndReadLog("desktop_24_full_screen", 0);
    EXPECT_FALSE(log.Contains(kRefusal));
    EXPECT_TRUE(log.Contains("ＣＯＭの初期化... 成功しました"));
}

TEST(InitLibraryTest, ASecondStartFailsAtTheComStepAndEndsTheLibrary)
{
    // The second start empties the log again: it holds the system report,
    // no COM start, then the end steps of the running library.
    LogLines log = RunAndReadLog("init_twice", 0);
    ASSERT_FALSE(log.lines.empty());
    EXPECT_EQ("システムの情報を出力します", log.lines.front());
    EXPECT_FALSE(log.Contains("ＣＯＭの初期化... 成功しました"));
    EXPECT_TRUE(log.Contains("ウインドウが破棄されようとしています"));
    EXPECT_EQ("ＣＯＭを終了... 完了", log.lines.back());
}

TEST(EndLibraryTest, GivesBackTheDirectoryThatWasCurrentAtStart)
{
    RunAndReadLog("directory_restored", 0);
}

TEST(EndLibraryTest, BeforeAnyInitWritesNothing)
{
    std::string dir = MakeTestDirectory("endonly");
    ChildResult child = RunChildScenario("end_without_init", dir);
    EXPECT_TRUE(child.finished);
    EXPECT_EQ(7, child.exitCode);
    EXPECT_FALSE(FileExists(dir + "AppLog.txt"));
}

} // namespace
