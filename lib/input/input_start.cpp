// Starting and ending DirectInput: the object, the joypads and the system
// keyboard.
#include <objbase.h>

#include "../Vexlo.h"
#include "../core/main_window.h"
#include "input.h"
#include "input_start_faults.h"
#include "input_state.h"

namespace {

InputStartStep g_failingStep = InputStartStep::None;

// Runs one start step unless the test seam makes it fail.
template <typename Step>
HRESULT RunStep(InputStartStep step, Step run)
{
    if (step != InputStartStep::None && step == g_failingStep) return E_FAIL;
    return run();
}

void ReleaseDevice(IDirectInputDevice7A *&device)
{
    if (device == nullptr) return;
    device->Unacquire();
    device->Release();
    device = nullptr;
}

void CloseEvent(HANDLE &event)
{
    if (event != nullptr) CloseHandle(event);
    event = nullptr;
}

void ReleaseDirectInput()
{
    InputState &input = Input();
    if (input.directInput != nullptr) input.directInput->Release();
    input.directInput = nullptr;
}

// A manual-reset event set as the device's notification; false when the
// device does not accept it (the event is then closed again).
bool SetUpNotification(IDirectInputDevice7A *device, HANDLE *event, InputStartStep step)
{
    *event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (*event == nullptr) return false;
    HRESULT result = RunStep(step, [&] { return device->SetEventNotification(*event); });
    if (result == DI_OK || result == DI_POLLEDDEVICE) return true;
    CloseEvent(*event);
    return false;
}

int CreateDirectInputObject()
{
    InputState &input = Input();
    AddAppLog("DirectInputオブジェクトの取得中... ");
    HRESULT created = RunStep(InputStartStep::CreateObject, [&] {
        return CoCreateInstance(CLSID_DirectInput, nullptr, CLSCTX_INPROC_SERVER, IID_IDirectInput7A,
                                reinterpret_cast<void **>(&input.directInput));
    });
    if (FAILED(created) || input.directInput == nullptr) {
        input.directInput = nullptr;
        return AddAppLog("取得に失敗\n");
    }
    AddAppLog("成功\n");
    IncLogIndent();
    AddAppLog("引き続き初期化処理... ");
    HRESULT initialised = RunStep(InputStartStep::InitializeObject, [&] {
        return input.directInput->Initialize(GetModuleHandleA(nullptr), 0x0700);
    });
    if (FAILED(initialised)) {
        AddAppLog("初期化に失敗\n");
        DecLogIndent();
        ReleaseDirectInput();
        return -1;
    }
    AddAppLog("初期化成功\n");
    DecLogIndent();
    return 0;
}

// ---- Joypads --------------------------------------------------------------

bool SetAxisRange(IDirectInputDevice7A *device, DWORD axisOffset)
{
    DIPROPRANGE range = {};
    range.diph.dwSize = sizeof range;
    range.diph.dwHeaderSize = sizeof range.diph;
    range.diph.dwObj = axisOffset;
    range.diph.dwHow = DIPH_BYOFFSET;
    range.lMin = kPadAxisMin;
    range.lMax = kPadAxisMax;
    return SUCCEEDED(device->SetProperty(DIPROP_RANGE, &range.diph));
}

bool SetAxisDeadZone(IDirectInputDevice7A *device, DWORD axisOffset)
{
    DIPROPDWORD zone = {};
    zone.diph.dwSize = sizeof zone;
    zone.diph.dwHeaderSize = sizeof zone.diph;
    zone.diph.dwObj = axisOffset;
    zone.diph.dwHow = DIPH_BYOFFSET;
    zone.dwData = kPadDeadZone;
    return SUCCEEDED(device->SetProperty(DIPROP_DEADZONE, &zone.diph));
}

void LogPadNames(IDirectInputDevice7A *device)
{
    DIDEVICEINSTANCEA info = {};
    info.dwSize = sizeof info;
    if (FAILED(device->GetDeviceInfo(&info))) return;
    IncLogIndent();
    AddAppLogFormat("デバイスの登録名:%s", info.tszInstanceName);
    AddAppLogFormat("デバイスの製品登録名:%s", info.tszProductName);
    DecLogIndent();
}

// The settings a pad needs, in order; the text of the first that fails.
const char *ConfigurePad(IDirectInputDevice7A *device)
{
    if (FAILED(device->SetDataFormat(&c_dfDIJoystick)))
        return "ジョイパッドデバイスではありませんでした、又は設定に失敗しました\n";
    if (FAILED(device->SetCooperativeLevel(GetMainWindowHandle(), DISCL_NONEXCLUSIVE | DISCL_BACKGROUND)))
        return "ジョイパッドデバイスの協調レベルの設定に失敗しました\n";
    if (!SetAxisRange(device, DIJOFS_X)) return "ジョイパッドデバイスのＸ軸関係の設定に失敗しました\n";
    if (!SetAxisRange(device, DIJOFS_Y)) return "ジョイパッドデバイスのＹ軸関係の設定に失敗しました\n";
    if (!SetAxisDeadZone(device, DIJOFS_X)) return "ジョイパッドデバイスのＸ軸の無効ゾーンの設定に失敗しました\n";
    if (!SetAxisDeadZone(device, DIJOFS_Y)) return "ジョイパッドデバイスのＹ軸の無効ゾーンの設定に失敗しました\n";
    return nullptr;
}

BOOL CALLBACK AddPad(LPCDIDEVICEINSTANCEA instance, LPVOID)
{
    InputState &input = Input();
    if (input.padCount >= kMaxPads) return DIENUM_STOP;

    AddAppLog("入力装置を見つけました\n");
    IDirectInputDevice7A *device = nullptr;
    if (FAILED(input.directInput->CreateDeviceEx(instance->guidInstance, IID_IDirectInputDevice7A,
                                                 reinterpret_cast<void **>(&device), nullptr)) ||
        device == nullptr) {
        AddAppLog("入力装置の取得に失敗しました\n");
        return DIENUM_CONTINUE;
    }
    LogPadNames(device);
    if (const char *failure = ConfigurePad(device)) {
        ReleaseDevice(device);
        AddAppLog(failure);
        return DIENUM_CONTINUE;
    }
    HANDLE event = nullptr;
    if (!SetUpNotification(device, &event, InputStartStep::None)) {
        ReleaseDevice(device);
        AddAppLog("ジョイパッドイベントのセットアップが失敗しました\n");
        return DIENUM_CONTINUE;
    }
    device->Acquire(); // a pad that cannot be acquired now is acquired again at its first read

    PadDevice &pad = input.pads[input.padCount];
    pad = PadDevice{device, event, 0};
    input.padStates[input.padCount] = PadState{};
    ++input.padCount;
    AddAppLog("ジョイパッドの追加は正常に終了しました\n");
    return input.padCount < kMaxPads ? DIENUM_CONTINUE : DIENUM_STOP;
}

void SetUpPads()
{
    AddAppLog("ジョイパッドの初期化... \n");
    Input().padCount = 0;
    Input().directInput->EnumDevices(DIDEVTYPE_JOYSTICK, AddPad, nullptr, DIEDFL_ATTACHEDONLY);
    AddAppLog("ジョイパッドの初期化は正常に終了しました\n");
}

// ---- Keyboard ---------------------------------------------------------------

[[noreturn]] void FailKeyboard(const char *text)
{
    InputState &input = Input();
    ReleaseDevice(input.keyboard);
    ReleaseDirectInput();
    DecLogIndent();
    ExitWithError(text);
}

void SetKeyboardBufferSize(IDirectInputDevice7A *keyboard)
{
    DIPROPDWORD size = {};
    size.diph.dwSize = sizeof size;
    size.diph.dwHeaderSize = sizeof size.diph;
    size.diph.dwObj = 0;
    size.diph.dwHow = DIPH_DEVICE;
    size.dwData = 100;
    if (FAILED(RunStep(InputStartStep::KeyboardBufferSize,
                       [&] { return keyboard->SetProperty(DIPROP_BUFFERSIZE, &size.diph); })))
        AddAppLog("キーボードのプロパティ設定に失敗しました\n");
}

// 0 when the keyboard is acquired; 1 when its notification could not be set
// up (the device stays, not acquired). Other failures end the program.
int SetUpKeyboard()
{
    InputState &input = Input();
    AddAppLog("キーボードデバイスの初期化... ");
    HRESULT created = RunStep(InputStartStep::KeyboardDevice, [&] {
        return input.directInput->CreateDeviceEx(GUID_SysKeyboard, IID_IDirectInputDevice7A,
                                                 reinterpret_cast<void **>(&input.keyboard), nullptr);
    });
    if (FAILED(created) || input.keyboard == nullptr) {
        input.keyboard = nullptr;
        FailKeyboard("キーボードデバイスの取得に失敗しました");
    }
    IDirectInputDevice7A *keyboard = input.keyboard;
    if (FAILED(RunStep(InputStartStep::KeyboardFormat, [&] { return keyboard->SetDataFormat(&c_dfDIKeyboard); })))
        FailKeyboard("キーボードデバイスのデータ形式の設定に失敗しました");
    if (FAILED(RunStep(InputStartStep::KeyboardCooperation, [&] {
            return keyboard->SetCooperativeLevel(GetMainWindowHandle(), DISCL_NONEXCLUSIVE | DISCL_BACKGROUND);
        })))
        FailKeyboard("キーボードデバイスの協調レベルの設定に失敗しました");
    SetKeyboardBufferSize(keyboard);
    if (!SetUpNotification(keyboard, &input.keyboardEvent, InputStartStep::KeyboardNotification)) {
        AddAppLog("キーボードイベントのセットアップが失敗しました\n");
        return 1;
    }
    auto acquire = [&] { return RunStep(InputStartStep::KeyboardAcquire, [&] { return keyboard->Acquire(); }); };
    if (FAILED(acquire()) && FAILED(acquire())) FailKeyboard("キーボードデバイスの取得に失敗しました");
    return 0;
}

} // namespace

void SetFailingInputStartStep(InputStartStep step) { g_failingStep = step; }

int InitInput()
{
    if (Input().directInput != nullptr) return 0;
    ResetInputState();

    AddAppLog("DirectInput関係初期化処理\n");
    IncLogIndent();
    if (CreateDirectInputObject() == -1) {
        DecLogIndent();
        return -1;
    }

    HWND window = GetMainWindowHandle();
    if (window != nullptr) {
        BringWindowToFront(window, 0);
        ProcessMessage();
    }
    // The window procedure ends input when a full-screen program loses the
    // focus; if that happened during the pump, the next query starts again.
    if (Input().directInput == nullptr) {
        DecLogIndent();
        return 0;
    }
    SetUpPads();
    if (SetUpKeyboard() == 1) {
        DecLogIndent();
        return 1;
    }
    AddAppLog("初期化成功\n");
    Input().keyboardLastRead = ReadInputClock();
    DecLogIndent();
    AddAppLog("DirectInput 関連の初期化は正常に終了しました\n");
    return 0;
}

int EndInput()
{
    InputState &input = Input();
    if (input.directInput == nullptr) return 0;
    AddAppLog("DirectInput 関連の終了処理... 完了\n");
    for (int i = 0; i < input.padCount; ++i) {
        PadDevice &pad = input.pads[i];
        if (pad.device != nullptr) {
            // The notification can only be changed on an unacquired device.
            pad.device->Unacquire();
            pad.device->SetEventNotification(nullptr);
        }
        ReleaseDevice(pad.device);
        CloseEvent(pad.event);
    }
    // No pad survives the end: a later query must not reach a released device.
    input.padCount = 0;
    ReleaseDevice(input.keyboard);
    CloseEvent(input.keyboardEvent);
    ReleaseDirectInput();
    return 0;
}
