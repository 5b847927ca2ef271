// The main window and message processing, in this process: the window is
// made by CreateMainWindow directly, without the rest of the library.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "Vexlo.h"
#include "core/app_log.h"
#include "core/core_state.h"
#include "core/library.h"
#include "core/main_window.h"
#include "core/message.h"
#include "support/child_process.h"
#include "support/log_lines.h"
#include "support/started_log.h"

namespace {

const UINT kProbeMessage = WM_APP + 1;
int g_probeCount;

void CountProbes(void *, unsigned int message, unsigned long long, long long)
{
    if (message == kProbeMessage) ++g_probeCount;
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Core().options.windowModeFlag = 1;
        g_probeCount = 0;
        SetUserMessageHook(CountProbes);
        ASSERT_EQ(0, CreateMainWindow());
        window_ = GetMainWindowHandle();
        for (int i = 0; i < 20; ++i) ProcessMessage(); // let the start-up messages pass
        g_probeCount = 0;
    }
    void TearDown() override
    {
        SetKeyboardStateReader(nullptr);
        SetUserMessageHook(nullptr);
        if (IsWindow(window_) && IsWindowGone()) {
            // After WM_QUIT ProcessMessage no longer dispatches: take the window down directly.
            DestroyWindow(window_);
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        }
        DestroyMainWindow();
    }
    void PostProbes(int count)
    {
        for (int i = 0; i < count; ++i) PostMessageA(window_, kProbeMessage, 0, 0);
    }
    LogLines Log() const { return log_.Lines(); }

    StartedLog log_{"window"};
    HWND window_ = nullptr;
};

TEST_F(MainWindowTest, HasTheLibrarysClassTitleAndA640By480ClientArea)
{
    char text[64];
    GetClassNameA(window_, text, sizeof text);
    EXPECT_STREQ("Vexlo", text);
    GetWindowTextA(window_, text, sizeof text);
    EXPECT_STREQ("Vexlo", text);
    RECT client;
    GetClientRect(window_, &client);
    EXPECT_EQ(640, client.right);
    EXPECT_EQ(480, client.bottom);
    EXPECT_TRUE(IsWindowVisible(window_));
    RECT tracked;
    GetWindowClientRect(&tracked);
    EXPECT_EQ(640, tracked.right - tracked.left);
}

TEST_F(MainWindowTest, ACallDispatchesAtMostSixMessages)
{
    PostProbes(10);
    EXPECT_EQ(0, ProcessMessage());
    EXPECT_EQ(6, g_probeCount);
    EXPECT_EQ(0, ProcessMessage());
    EXPECT_EQ(10, g_probeCount);

    g_probeCount = 0;
    PostProbes(5);
    EXPECT_EQ(0, ProcessMessage());
    EXPECT_EQ(5, g_probeCount);
}

TEST_F(MainWindowTest, QuitEndsProcessingWhileTheWindowStillExists)
{
    PostQuitMessage(0);
    EXPECT_EQ(-1, ProcessMessage());
    EXPECT_TRUE(IsWindow(window_));
    PostProbes(1);
    EXPECT_EQ(-1, ProcessMessage());
    EXPECT_EQ(0, g_probeCount); // taken but not dispatched once the window is gone
}

TEST_F(MainWindowTest, ClosingTheWindowEndsTheLoopAndLogsTheDestruction)
{
    PostMessageA(window_, WM_CLOSE, 0, 0);
    int calls = 0;
    while (ProcessMessage() == 0 && calls < 100) ++calls;
    EXPECT_LT(calls, 100);
    EXPECT_FALSE(IsWindow(window_));
    EXPECT_EQ(LIBRARY_ENDING_WINDOW_CLOSED, GetLibraryEnding());
    LogLines log = Log();
    int closing = log.IndexOf("ウインドウを閉じようとしています");
    ASSERT_GE(closing, 0);
    EXPECT_EQ(closing + 1, log.IndexOf("ウインドウが破棄されようとしています"));
    EXPECT_EQ(closing + 2, log.IndexOf("ソフトを終了する準備が整いました"));
    // EndLibrary's window step finds the window destroyed and does nothing.
    EXPECT_EQ(0, DestroyMainWindow());
}

TEST_F(MainWindowTest, WaitMillisecondsZeroPumpsOnce)
{
    PostProbes(1);
    EXPECT_EQ(0, WaitMilliseconds(0));
    EXPECT_EQ(1, g_probeCount);
}

TEST_F(MainWindowTest, WaitMillisecondsStopsWhenTheWindowGoes)
{
    PostMessageA(window_, WM_CLOSE, 0, 0);
    int start = GetMilliCount(0);
    WaitMilliseconds(60000);
    EXPECT_LT(GetMilliCount(0) - start, 30000);
}

// Keyboard states served from a script, one entry per read.
std::vector<int> g_keyScript; // key code held at each read, 0 for none
size_t g_keyReads;
HWND g_closeAtEndOf;

const unsigned char *ScriptedKeys()
{
    static unsigned char states[256];
    std::fill(states, states + 256, 0);
    int code = g_keyReads < g_keyScript.size() ? g_keyScript[g_keyReads] : 0;
    if (g_keyReads + 1 == g_keyScript.size() && g_closeAtEndOf) PostMessageA(g_closeAtEndOf, WM_CLOSE, 0, 0);
    ++g_keyReads;
    if (code) states[code] = 0x80;
    return states;
}

TEST_F(MainWindowTest, WaitKeyWaitsForReleaseThenForAPressAndItsRelease)
{
    // Held at the call (0x10), released, pressed (0x20), released.
    g_keyScript = {0x10, 0x10, 0, 0, 0, 0x20, 0x20, 0};
    g_keyReads = 0;
    g_closeAtEndOf = nullptr;
    SetKeyboardStateReader(ScriptedKeys);
    EXPECT_EQ(0, WaitKey());
    EXPECT_EQ(g_keyScript.size(), g_keyReads);
}

TEST_F(MainWindowTest, WaitKeyGivesTheHeldCodeWhenTheWindowGoes)
{
    g_keyScript = {0, 0x2C, 0x2C, 0x2C};
    g_keyReads = 0;
    g_closeAtEndOf = window_;
    SetKeyboardStateReader(ScriptedKeys);
    EXPECT_EQ(0x2C, WaitKey());
}

TEST_F(MainWindowTest, CheckHitKeyAllReportsTheFirstHeldKeyButNever0x94)
{
    g_closeAtEndOf = nullptr;
    SetKeyboardStateReader(ScriptedKeys);
    struct Case { int held; int expected; } cases[] = {{0, 0}, {0x94, 0}, {0x01, 0x01}, {0xC8, 0xC8}};
    for (const Case &c : cases) {
        g_keyScript = {c.held};
        g_keyReads = 0;
        EXPECT_EQ(c.expected, CheckHitKeyAll()) << c.held;
    }
}

} // namespace
