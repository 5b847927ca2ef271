// walkdemo: moves "Player.png" around a 640x480 window with the cursor keys,
// the numeric pad or the first joypad until Esc is pressed.
#include <windows.h>

#include "Vexlo.h"

namespace {

const int kInputKeyAndPad1 = 0x1001;
const int kPadDown = 0x01, kPadLeft = 0x02, kPadRight = 0x04, kPadUp = 0x08;
const int kStep = 5;
const int kHalfSprite = 25; // the sprite is 50x50, positioned by its centre
const int kKeyEscape = 1;

void StepHorizontally(int &x)
{
    int state = GetJoypadState(kInputKeyAndPad1);
    if (state & kPadLeft) x -= kStep;
    if (state & kPadRight) x += kStep;
}

void StepVertically(int &y)
{
    int state = GetJoypadState(kInputKeyAndPad1);
    if (state & kPadUp) y -= kStep;
    if (state & kPadDown) y += kStep;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    SetScreenMode(640, 480, 16, -1);
    ChangeWindowMode(1);
    if (InitLibrary() == -1) return -1;

    SetDrawScreen(SCREEN_BACK);
    int player = LoadGraph("Player.png");
    int x = 320, y = 240;

    while (ProcessMessage() == 0) {
        StepHorizontally(x);
        StepVertically(y);
        if (y > 480 - kHalfSprite) y = 480 - kHalfSprite;
        if (y < kHalfSprite) y = kHalfSprite;
        if (x > 640 - kHalfSprite) x = 640 - kHalfSprite;
        if (x < kHalfSprite) x = kHalfSprite;

        ClearDrawScreen();
        DrawGraph(x - kHalfSprite, y - kHalfSprite, player, 1);
        FlipScreen();
        if (CheckKey(kKeyEscape) == 1) break;
    }

    EndLibrary();
    return 0;
}
