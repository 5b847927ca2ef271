#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "Vexlo.h"
#include "core/app_log.h"
#include "core/library.h"
#include "core/system_report.h"
#include "support/child_process.h"
#include "support/log_lines.h"

namespace {

void RecordMessageBox(const char *caption, const char *text)
{
    FILE *file = std::fopen("messagebox.txt", "wb");
    if (!file) return;
    std::fprintf(file, "%s|%s", caption, text);
    std::fclose(file);
}

int g_probedVersion;
int ProbedVersion() { return g_probedVersion; }

CHILD_SCENARIO(report_with_directx)
{
    g_probedVersion = std::stoi(argument, nullptr, 16);
    SetDirectXProbe(ProbedVersion);
    SetErrorMessageBox(RecordMessageBox);
    RecordStartDirectory();
    StartAppLog();
    WriteSystemReport();
    int library = 0, directX = 0;
    GetVersionCodes(&library, &directX, nullptr);
    return library == 0x216E && directX == g_probedVersion ? 0 : 1;
}

struct ReportRun {
    ChildResult child;
    std::string messageBox;
    LogLines log;
};

ReportRun RunReport(const char *version)
{
    std::string dir = MakeTestDirectory("report");
    ReportRun run;
    run.child = RunChildScenario("report_with_directx", dir, version);
    run.messageBox = ReadWholeFile(dir + "messagebox.txt");
    run.log = SplitLogLines(ReadWholeFile(dir + "AppLog.txt"));
    return run;
}

TEST(SystemReport, BelowDirectX7EndsTheProgramAfterAMessageBox)
{
    struct Case { const char *version; const char *text; } cases[] = {
        {"0", "エラー|DirectX がインストールされていないのでここで終了します"},
        {"60100", "エラー|DirectX バージョン 7 以前なのでソフトを起動することが出来ません"},
    };
    for (const Case &c : cases) {
        ReportRun run = RunReport(c.version);
        ASSERT_TRUE(run.child.finished);
        EXPECT_EQ(-1, run.child.exitCode) << c.version;
        EXPECT_EQ(c.text, run.messageBox) << c.version;
    }
}

TEST(SystemReport, LogsVersionsAndTheProcessorAndGoesOnWithDirectX7)
{
    ReportRun run = RunReport("80100");
    ASSERT_TRUE(run.child.finished);
    EXPECT_EQ(0, run.child.exitCode);
    EXPECT_EQ("", run.messageBox);
    const std::vector<std::string> &lines = run.log.lines;
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ("システムの情報を出力します", lines[0]);
    EXPECT_EQ("\tＶｅｘｌｏライブラリ Ver2.16e", lines[1]);
    EXPECT_EQ(0u, lines[2].rfind("\tＯＳ  Windows", 0)) << lines[2];
    EXPECT_NE(std::string::npos, lines[2].find(" ( Build ")) << lines[2];
    EXPECT_EQ("\tＤｉｒｅｃｔＸ　Ver8.1以上", lines[3]);
    EXPECT_EQ(0u, lines[4].rfind("\tＣＰＵ動作速度：", 0)) << lines[4];
    EXPECT_TRUE(run.log.Contains("\tＭＭＸ命令を使用します"));
    EXPECT_TRUE(run.log.allStamped);
}

} // namespace
