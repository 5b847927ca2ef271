// The keyboard through DirectInput under a real main window, and the start's
// failure paths through the fault seam. Key presses are made with SendInput,
// which reaches DirectInput's keyboard (under wine through its low-level
// keyboard hook; no joypad exists there, so the pads' bits are covered by the
// platform-free tests).
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "Vexlo.h"
#include "core/app_log.h"
#include "core/core_state.h"
#include "core/library.h"
#include "core/main_window.h"
#include "input/input.h"
#include "input/input_start_faults.h"
#include "input/input_state.h"
#include "support/child_process.h"
#include "support/log_lines.h"
#include "support/started_log.h"

namespace {

constexpr int kEsc = 0x01, kZ = 0x2C, kX = 0x2D, kSpace = 0x39, kEnter = 0x1C;
constexpr int kLeft = 0xCB, kRight = 0xCD, kUp = 0xC8, kPad4 = 0x4B, kPad8 = 0x48;

// Presses or releases a key given by its DirectInput code (its scan code,
// with 0x80 for the extended keys).
void SendKey(int keyCode, bool down)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wScan = static_cast<WORD>(keyCode & 0x7F);
    input.ki.dwFlags = KEYEVENTF_SCANCODE | ((keyCode & 0x80) ? KEYEVENTF_EXTENDEDKEY : 0) |
                       (down ? 0 : KEYEVENTF_KEYUP);
    SendInput(1, &input, sizeof input);
}

// Key events reach the device asynchronously: poll until `expected` is read
// or two seconds have passed, and return the last value read.
template <typename Query>
int WaitForValue(Query query, int expected)
{
    int value = query();
    for (int i = 0; i < 200 && value != expected; ++i) {
        Sleep(10);
        ProcessMessage();
        value = query();
    }
    return value;
}

class InputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Core().options.windowModeFlag = 1;
        // Input is read whether or not the desktop gives the window the focus.
        Core().options.runWhileInactive = 1;
        ASSERT_EQ(0, CreateMainWindow());
        window_ = GetMainWindowHandle();
        for (int i = 0; i < 20; ++i) ProcessMessage();
        ASSERT_EQ(0, InitInput());
    }
    void TearDown() override
    {
        for (int key : held_) SendKey(key, false);
        EndInput();
        SetFailingInputStartStep(InputStartStep::None);
        SetHookedKeyFlag(0, 0);
        SetHookedKeyFlag(1, 0);
        Core().window.closeRequested = 0;
        if (IsWindow(window_)) DestroyMainWindow();
        Core().options.runWhileInactive = 0;
    }
    void Hold(int key)
    {
        SendKey(key, true);
        held_.push_back(key);
    }
    void Release(int key)
    {
        SendKey(key, false);
        for (auto it = held_.begin(); it != held_.end(); ++it) {
            if (*it == key) {
                held_.erase(it);
                break;
            }
        }
    }
    void ReleaseAll()
    {
        while (!held_.empty()) Release(held_.back());
    }
    LogLines Log() const { return log_.Lines(); }

    StartedLog log_{"input"};
    HWND window_ = nullptr;
    std::vector<int> held_;
};

TEST_F(InputTest, StartLogsEachStepAndFindsNoPadUnderThisDesktop)
{
    LogLines log = Log();
    std::vector<std::string> expected = {
        "DirectInput関係初期化処理",
        "\tDirectInputオブジェクトの取得中... 成功",
        "\t\t引き続き初期化処理... 初期化成功",
        "\tジョイパッドの初期化... ",
        "\tジョイパッドの初期化は正常に終了しました",
        "\tキーボードデバイスの初期化... 初期化成功",
        "DirectInput 関連の初期化は正常に終了しました",
    };
    int first = log.IndexOf(expected[0]);
    ASSERT_GE(first, 0);
    ASSERT_LE(first + expected.size(), log.lines.size());
    EXPECT_EQ(expected, std::vector<std::string>(log.lines.begin() + first, log.lines.begin() + first + expected.size()));
    EXPECT_EQ(1, IsInputStarted());
    EXPECT_EQ(0, GetPadCount());
    EXPECT_EQ(0, InitInput()) << "a second start while running";
    EXPECT_EQ(1, static_cast<int>(std::count(log.lines.begin(), log.lines.end(), expected[0])));
}

TEST_F(InputTest, CheckKeyReportsTheHeldKeyOnly)
{
    const int keys[] = {kEsc, kLeft, kZ, kPad4, kEnter, kSpace};
    for (int key : keys) {
        Hold(key);
        EXPECT_EQ(1, WaitForValue([&] { return CheckKey(key); }, 1)) << "held " << key;
        for (int other : keys)
            if (other != key) {
                EXPECT_EQ(0, CheckKey(other)) << "held " << key << ", asked " << other;
            }
        EXPECT_EQ(0, CheckKey(-1));
        EXPECT_EQ(0, CheckKey(256));
        Release(key);
        EXPECT_EQ(0, WaitForValue([&] { return CheckKey(key); }, 0)) << "released " << key;
    }
}

TEST_F(InputTest, JoypadStateWithoutPadsComesFromTheKeyboard)
{
    Hold(kLeft);
    Hold(kZ);
    ASSERT_EQ(0x12, WaitForValue([] { return GetJoypadState(0x1001); }, 0x12));
    struct Case {
        int inputType;
        int bits;
    } cases[] = {
        {0x1000, 0x12}, {0x1001, 0x12}, {0x1008, 0x12}, {0x1009, 0x12}, {0, 0},      {1, 0},
        {8, 0},         {9, 0},         {10, 0},        {0x100A, 0},    {0x2001, 0}, {-1, 0},
    };
    for (const Case &c : cases) EXPECT_EQ(c.bits, GetJoypadState(c.inputType)) << c.inputType;

    ReleaseAll();
    Hold(kRight);
    Hold(kUp);
    Hold(kX);
    EXPECT_EQ(0x2C, WaitForValue([] { return GetJoypadState(0x1001); }, 0x2C));
    ReleaseAll();
    Hold(kPad4);
    Hold(kPad8);
    EXPECT_EQ(0xA, WaitForValue([] { return GetJoypadState(0x1001); }, 0xA));
    ReleaseAll();
    EXPECT_EQ(0, WaitForValue([] { return GetJoypadState(0x1001); }, 0));
}

TEST_F(InputTest, ProcessMessageDrainsTheBufferedKeyEvents)
{
    for (int i = 0; i < 6; ++i) {
        SendKey(kSpace, true);
        SendKey(kSpace, false);
    }
    IDirectInputDevice7A *keyboard = Input().keyboard;
    ASSERT_NE(nullptr, keyboard);
    // Peek (without removing) until the twelve events have arrived.
    DWORD waiting = 0;
    for (int i = 0; i < 200 && waiting < 12; ++i) {
        Sleep(10);
        waiting = INFINITE;
        ASSERT_TRUE(SUCCEEDED(keyboard->GetDeviceData(sizeof(DIDEVICEOBJECTDATA), nullptr, &waiting, DIGDD_PEEK)));
    }
    ASSERT_GE(waiting, 12u);
    ProcessMessage();
    waiting = INFINITE;
    ASSERT_TRUE(SUCCEEDED(keyboard->GetDeviceData(sizeof(DIDEVICEOBJECTDATA), nullptr, &waiting, DIGDD_PEEK)));
    EXPECT_EQ(0u, waiting);
}

TEST_F(InputTest, QueryAfterEndStartsInputAgainAndReturnsTheStartsResult)
{
    Hold(kLeft);
    ASSERT_EQ(1, WaitForValue([] { return CheckKey(kLeft); }, 1));
    for (int round = 0; round < 2; ++round) {
        EndInput();
        EXPECT_EQ(0, IsInputStarted());
        EXPECT_EQ(0, GetPadCount());
        int result = round == 0 ? CheckKey(kLeft) : GetJoypadState(0x1001);
        EXPECT_EQ(0, result) << "the start's result, not the key";
        EXPECT_EQ(1, IsInputStarted());
    }
    // A new device learns of keys from their events (so under wine): press again.
    Release(kLeft);
    Hold(kLeft);
    EXPECT_EQ(1, WaitForValue([] { return CheckKey(kLeft); }, 1));
    LogLines log = Log();
    EXPECT_EQ(3, static_cast<int>(std::count(log.lines.begin(), log.lines.end(), "DirectInput関係初期化処理")));
    EXPECT_EQ(2, static_cast<int>(std::count(log.lines.begin(), log.lines.end(), "DirectInput 関連の終了処理... 完了")));
}

TEST_F(InputTest, AfterTheCloseRequestAStoppedInputStaysStopped)
{
    EndInput();
    Core().window.closeRequested = 1;
    EXPECT_EQ(0, CheckKey(kEsc));
    EXPECT_EQ(0, GetJoypadState(10));
    GetJoypadState(0x1001);
    EXPECT_EQ(0, IsInputStarted());
}

TEST_F(InputTest, KeyboardWithoutEventsStillReadsAfterAcquiringOnDemand)
{
    EndInput();
    SetFailingInputStartStep(InputStartStep::KeyboardNotification);
    EXPECT_EQ(1, InitInput());
    EXPECT_TRUE(Log().Contains("\tキーボードデバイスの初期化... キーボードイベントのセットアップが失敗しました"));
    // The first read finds the keyboard not acquired and acquires it; keys
    // pressed from then on are seen although no event signals them.
    EXPECT_EQ(0, CheckKey(kEsc));
    Hold(kEsc);
    EXPECT_EQ(1, WaitForValue([] { return CheckKey(kEsc); }, 1));
    Release(kEsc);
    EXPECT_EQ(0, WaitForValue([] { return CheckKey(kEsc); }, 0));
}

TEST_F(InputTest, HookedKeyMessagesSetAndClearTheirFlags)
{
    struct Case {
        UINT message;
        WPARAM wParam;
        int first, second;
    } cases[] = {
        {0x46F, 1, 1, 0}, {0x46F, 2, 0, 0}, {0x470, 1, 0, 1}, {0x46F, 1, 1, 1}, {0x470, 0, 1, 0}, {0x46F, 0, 0, 0},
    };
    for (const Case &c : cases) {
        SendMessageA(window_, c.message, c.wParam, 0);
        EXPECT_EQ(c.first, GetHookedKeyFlag(0)) << std::hex << c.message << " " << c.wParam;
        EXPECT_EQ(c.second, GetHookedKeyFlag(1)) << std::hex << c.message << " " << c.wParam;
    }
    SendMessageA(window_, 0x46F, 1, 0);
    EXPECT_EQ(0x44, CheckHitKeyAll());
    SendMessageA(window_, 0x46F, 0, 0);
    EXPECT_EQ(0, CheckHitKeyAll());
}

// ---- The start's failure paths, each in its own process ----------------------

CHILD_SCENARIO(start_with_failing_step)
{
    ChangeWindowMode(1);
    SetNoDisplayStart(1);
    SetRunWhileInactive(1);
    SetFailingInputStartStep(static_cast<InputStartStep>(std::atoi(argument.c_str())));
    int result = InitLibrary();
    int started = IsInputStarted();
    EndLibrary();
    return result == 0 ? 10 + started : 20 + result; // 11: running, 19: InitLibrary failed
}

struct StartFailure {
    InputStartStep step;
    int exitCode;
    const char *line;  // expected in the log
    const char *absent; // a later step that must not be logged
};

TEST(InputStartFailureTest, EachFailingStepEndsAsItShould)
{
    const char *keyboardStart = "\tキーボードデバイスの初期化... ";
    const StartFailure cases[] = {
        {InputStartStep::CreateObject, 19, "\tDirectInputオブジェクトの取得中... 取得に失敗", "\tジョイパッドの初期化... "},
        {InputStartStep::InitializeObject, 19, "\t\t引き続き初期化処理... 初期化に失敗", "\tジョイパッドの初期化... "},
        {InputStartStep::KeyboardDevice, -1, "キーボードデバイスの取得に失敗しました", "DirectInput 関連の初期化は正常に終了しました"},
        {InputStartStep::KeyboardFormat, -1, "キーボードデバイスのデータ形式の設定に失敗しました", "DirectInput 関連の初期化は正常に終了しました"},
        {InputStartStep::KeyboardCooperation, -1, "キーボードデバイスの協調レベルの設定に失敗しました", "DirectInput 関連の初期化は正常に終了しました"},
        {InputStartStep::KeyboardAcquire, -1, "キーボードデバイスの取得に失敗しました", "DirectInput 関連の初期化は正常に終了しました"},
        {InputStartStep::KeyboardBufferSize, 11, "キーボードのプロパティ設定に失敗しました", nullptr},
        {InputStartStep::KeyboardNotification, 11, "キーボードイベントのセットアップが失敗しました",
         "DirectInput 関連の初期化は正常に終了しました"},
    };
    for (const StartFailure &c : cases) {
        int step = static_cast<int>(c.step);
        std::string dir = MakeTestDirectory("start_failure_" + std::to_string(step));
        ChildResult child = RunChildScenario("start_with_failing_step", dir, std::to_string(step));
        ASSERT_TRUE(child.finished) << step;
        EXPECT_EQ(c.exitCode, child.exitCode) << step;
        LogLines log = SplitLogLines(ReadWholeFile(dir + "AppLog.txt"));
        ASSERT_FALSE(log.lines.empty()) << step;
        bool fatal = c.exitCode == -1;
        if (fatal) {
            // The text completes the open keyboard line; the library is ended.
            EXPECT_TRUE(log.Contains(keyboardStart + std::string(c.line))) << step;
            EXPECT_EQ("ソフトをエラー終了します", log.lines.back()) << step;
            EXPECT_TRUE(log.Contains("ＣＯＭを終了... 完了")) << step;
        } else if (c.exitCode == 11) {
            EXPECT_TRUE(log.Contains(keyboardStart + std::string(c.line)) ||
                        log.Contains("\t" + std::string(c.line)))
                << step;
        } else {
            EXPECT_TRUE(log.Contains(c.line)) << step;
            EXPECT_TRUE(log.Contains("ＣＯＭを終了... 完了")) << step << ": the library was ended";
        }
        if (c.absent) {
            EXPECT_FALSE(log.Contains(c.absent)) << step;
        }
    }
}

} // namespace
