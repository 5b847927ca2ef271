// The display in window mode, through InitLibrary on the test desktop: the
// screen format, presenting by blit, the frame counter and screen-mode
// changes after start. Full screen needs a wine virtual desktop and is
// checked end to end (tests/e2e/display_*.sh).
#include <gtest/gtest.h>
#include <windows.h>
#include <ddraw.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "Vexlo.h"
#include "core/library.h"
#include "core/main_window.h"
#include "display/display.h"
#include "support/child_process.h"
#include "support/log_lines.h"

namespace {

// Pixels of a surface, read or written through Lock.
class LockedSurface {
public:
    explicit LockedSurface(IDirectDrawSurface7 *surface) : surface_(surface)
    {
        desc_.dwSize = sizeof desc_;
        locked_ = surface_ && SUCCEEDED(surface_->Lock(nullptr, &desc_, DDLOCK_WAIT, nullptr));
    }
    ~LockedSurface()
    {
        if (locked_) surface_->Unlock(nullptr);
    }
    bool Locked() const { return locked_; }
    int BytesPerPixel() const { return static_cast<int>(desc_.ddpfPixelFormat.dwRGBBitCount / 8); }
    uint32_t Get(int x, int y) const
    {
        uint32_t value = 0;
        std::memcpy(&value, Address(x, y), static_cast<size_t>(BytesPerPixel()));
        return value;
    }
    void Set(int x, int y, uint32_t value) { std::memcpy(Address(x, y), &value, static_cast<size_t>(BytesPerPixel())); }

private:
    unsigned char *Address(int x, int y) const
    {
        return static_cast<unsigned char *>(desc_.lpSurface) + static_cast<ptrdiff_t>(y) * desc_.lPitch +
               x * BytesPerPixel();
    }
    IDirectDrawSurface7 *surface_;
    DDSURFACEDESC2 desc_ = {};
    bool locked_ = false;
};

// A pattern that differs in every row and column and is never 0.
uint32_t PatternAt(int x, int y) { return 0x00102030u + static_cast<uint32_t>(x * 7 + y * 131) % 0xE0u * 0x010101u + 1; }

std::string ColourLine(int desktopBits)
{
    return desktopBits == 16 ? "A:00000000  B:0000f800  G:000007e0  B:0000001f"
                             : "A:00000000  B:00ff0000  G:0000ff00  B:000000ff";
}

int CountLines(const LogLines &log, const std::string &text)
{
    int count = 0;
    for (const std::string &line : log.lines)
        if (line.find(text) != std::string::npos) ++count;
    return count;
}

// Writes the pattern into the back screen, presents and compares the
// window's part of the front screen; false with a note on the first miss.
::testing::AssertionResult PresentShowsPattern(int width, int height)
{
    {
        LockedSurface back(GetBackScreen());
        if (!back.Locked()) return ::testing::AssertionFailure() << "back screen not locked";
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) back.Set(x, y, PatternAt(x, y));
    }
    if (FlipScreen() != 0) return ::testing::AssertionFailure() << "FlipScreen failed";
    RECT client;
    GetWindowClientRect(&client);
    LockedSurface front(GetFrontScreen());
    if (!front.Locked()) return ::testing::AssertionFailure() << "front screen not locked";
    uint32_t mask = front.BytesPerPixel() == 4 ? 0x00FFFFFFu : 0xFFFFu;
    const int points[][2] = {{0, 0}, {1, 0}, {0, 1}, {width / 2, height / 3}, {width - 1, height - 1}};
    for (const auto &p : points) {
        uint32_t expected = PatternAt(p[0], p[1]) & mask;
        uint32_t seen = front.Get(client.left + p[0], client.top + p[1]) & mask;
        if (seen != expected)
            return ::testing::AssertionFailure() << "at " << p[0] << "," << p[1] << ": " << std::hex << seen
                                                 << " instead of " << expected;
    }
    return ::testing::AssertionSuccess();
}

int BlackAtClient(int x, int y)
{
    RECT client;
    GetWindowClientRect(&client);
    LockedSurface front(GetFrontScreen());
    return front.Locked() && front.Get(client.left + x, client.top + y) == 0;
}

LogLines ReadLog(const std::string &dir) { return SplitLogLines(ReadWholeFile(dir + "AppLog.txt")); }

// One library run in a window: start, present, then screen-mode changes.
// Returns 0 when every check passed; the failures are printed.
CHILD_SCENARIO(window_display_run)
{
    int failures = 0;
    auto check = [&failures](bool ok, const char *what) {
        if (!ok) {
            std::printf("check failed: %s\n", what);
            ++failures;
        }
    };
    check(SetScreenMode(640, 480, 16, -1) == 0, "SetScreenMode before start");
    int width = 0, height = 0;
    GetScreenSize(&width, &height);
    check(width == 640 && height == 480 && GetRequestedScreenBitDepth() == 16, "stored mode");
    check(!HasDisplayDevice(), "no device before start");
    ChangeWindowMode(1);
    if (InitLibrary() != 0) return 90;

    int desktopBits = ReadDesktopColourBits();
    check(GetScreenBitDepth() == desktopBits, "the window runs at the desktop depth");
    check(StartDisplay() == -1, "second StartDisplay refused");
    check(SetDrawScreen(SCREEN_BACK) == 0, "SetDrawScreen(SCREEN_BACK)");
    check(GetDrawScreen() == SCREEN_BACK, "draw screen recorded");

    unsigned long long framesBefore = GetFrameCount();
    ::testing::AssertionResult shown = PresentShowsPattern(640, 480);
    if (!shown) std::printf("%s\n", shown.message());
    check(static_cast<bool>(shown), "present by blit shows the back screen");
    check(GetFrameCount() == framesBefore + 1, "one present counted");
    ClearDrawScreen();
    FlipScreen();
    check(BlackAtClient(0, 0) && BlackAtClient(639, 479) && BlackAtClient(320, 240), "cleared frame presented");

    // A 16-bit wish in a window takes the desktop's depth and reports -1.
    int result = SetScreenMode(640, 480, 16, -1);
    check(result == (desktopBits == 16 ? 0 : -1), "SetScreenMode(640, 480, 16) in a window");
    check(GetScreenBitDepth() == desktopBits, "depth after the 16-bit wish");
    check(SetScreenMode(-1, -1, -1, -1) == 0, "SetScreenMode(-1, -1, -1, -1)");
    check(SetScreenMode(800, 600, -1, -1) == 0, "SetScreenMode(800, 600)");
    check(GetFrameCount() == 0, "frame counter reset by the change");
    GetScreenSize(&width, &height);
    RECT client;
    GetWindowClientRect(&client);
    check(width == 800 && height == 600 && client.right - client.left == 800 && client.bottom - client.top == 600,
          "800 x 600 window");
    check(SetDrawScreen(SCREEN_BACK) == 0, "SetDrawScreen after the change");
    shown = PresentShowsPattern(800, 600);
    if (!shown) std::printf("%s\n", shown.message());
    check(static_cast<bool>(shown), "present after the change");
    EndLibrary();
    return failures;
}

TEST(WindowDisplay, StartsPresentsAndChangesModes)
{
    std::string dir = MakeTestDirectory("window_display");
    ChildResult child = RunChildScenario("window_display_run", dir);
    ASSERT_TRUE(child.finished);
    EXPECT_EQ(0, child.exitCode);
    LogLines log = ReadLog(dir);
    int desktopBits = 0;
    {
        HDC screen = GetDC(nullptr);
        desktopBits = GetDeviceCaps(screen, PLANES) * GetDeviceCaps(screen, BITSPIXEL);
        ReleaseDC(nullptr, screen);
    }
    EXPECT_EQ(1, CountLines(log, "ウインドウモードにします"));
    EXPECT_TRUE(log.Contains("DirectDraw 関連の初期化は正常に終了しました"));
    EXPECT_TRUE(log.Contains("DirectDraw 関連の終了処理は正常に終了しました"));
    // The start and the changes that differ ran the sequence; a change to
    // the mode in force did not (on a 16-bit desktop the 16-bit wish is one).
    int changes = desktopBits == 16 ? 1 : 2;
    EXPECT_EQ(1 + changes, CountLines(log, "画面モード変更処理を開始します"));
    EXPECT_EQ(1 + changes, CountLines(log, "１フレーム"));
    EXPECT_EQ(1 + changes, CountLines(log, "サーフェス間転送には "));
    EXPECT_EQ(1 + changes, CountLines(log, "カラー情報"));
    EXPECT_EQ(1 + changes, CountLines(log, ColourLine(desktopBits))) << "desktop depth " << desktopBits;
    // Later changes renew the device; the end releases it once more.
    EXPECT_EQ(changes + 1, CountLines(log, "ＤｉｒｅｃｔＤｒａｗオブジェクトを解放しました"));
}

CHILD_SCENARIO(desktop_too_small)
{
    SetScreenMode(4000, 3000, -1, -1);
    ChangeWindowMode(1);
    InitLibrary();
    return 0; // not reached: the desktop is smaller
}

TEST(WindowDisplay, DesktopSmallerThanTheScreenEndsTheProgram)
{
    std::string dir = MakeTestDirectory("desktop_too_small");
    ChildResult child = RunChildScenario("desktop_too_small", dir);
    ASSERT_TRUE(child.finished);
    EXPECT_EQ(-1, child.exitCode);
    LogLines log = ReadLog(dir);
    EXPECT_EQ(1, CountLines(log, "デスクトップ画面のサイズが足りません、ソフトを終了します"));
    EXPECT_FALSE(log.lines.empty());
    if (!log.lines.empty()) {
        // Written at the depth of the failed step.
        EXPECT_EQ("\t\tソフトをエラー終了します", log.lines.back());
    }
}

} // namespace
