#include "system_report.h"

#include <windows.h>
#include <ddraw.h>
#include <objbase.h>
#include <cpuid.h>

#include <cstring>

#include "../Vexlo.h"
#include "clock.h"

namespace {

const int kLibraryVersionCode = 0x216E;
const char kLibraryVersionText[] = "2.16e";
const int kDirectX7 = 0x70000;

const GUID kClsidDirectMusic = {0x636b9f10, 0x0c7d, 0x11d1, {0x95, 0xb2, 0x00, 0x20, 0xaf, 0xdc, 0x74, 0x21}};
const GUID kIidDirectMusic = {0x6536115a, 0x7b2d, 0x11d2, {0xba, 0x18, 0x00, 0x00, 0xf8, 0x75, 0xac, 0x12}};

struct ReportState {
    int directXVersionCode;
    int osVersionCode;
    int mmxUseFlag;
};
ReportState g_report;

template <typename Function>
Function LookUp(HMODULE module, const char *name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

void ReportOs()
{
    AddAppLog("ＯＳ  Windows");
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    GetVersionExA(&info);
    const char *service = info.szCSDVersion;
    switch (info.dwPlatformId) {
    case VER_PLATFORM_WIN32s:
        AddAppLog("Windows3.1");
        g_report.osVersionCode = 0;
        break;
    case VER_PLATFORM_WIN32_WINDOWS:
        if (info.dwMinorVersion == 0) {
            AddAppLog("95");
            g_report.osVersionCode = 1;
            if (service[0] == 'C') AddAppLog("OSR2");
        } else if (info.dwMinorVersion == 10) {
            AddAppLog("98");
            g_report.osVersionCode = 2;
            if (service[0] == 'A') AddAppLog("SE");
        } else if (info.dwMinorVersion == 90) {
            AddAppLog("Me");
            g_report.osVersionCode = 3;
        }
        break;
    case VER_PLATFORM_WIN32_NT:
        if (info.dwMajorVersion == 3) {
            AddAppLog("NT 3.51");
            g_report.osVersionCode = 0x104;
        } else if (info.dwMajorVersion == 4) {
            AddAppLog("NT 4.0");
            g_report.osVersionCode = 0x105;
        } else if (info.dwMajorVersion == 5 && info.dwMinorVersion == 0) {
            AddAppLog("2000");
            g_report.osVersionCode = 0x106;
        } else if (info.dwMajorVersion == 5 && info.dwMinorVersion == 1) {
            AddAppLog("XP");
            g_report.osVersionCode = 0x107;
        }
        break;
    default:
        break;
    }
    AddAppLogFormat(" ( Build %d %s )", static_cast<int>(info.dwBuildNumber & 0xFFFF), service);
}

bool LibraryLoads(const char *name)
{
    HMODULE module = LoadLibraryA(name);
    if (module == nullptr) return false;
    FreeLibrary(module);
    return true;
}

bool DirectMusicExists()
{
    bool comStarted = SUCCEEDED(CoInitialize(nullptr));
    IUnknown *music = nullptr;
    bool found = SUCCEEDED(CoCreateInstance(kClsidDirectMusic, nullptr, CLSCTX_INPROC_SERVER, kIidDirectMusic,
                                            reinterpret_cast<void **>(&music)));
    if (music) music->Release();
    if (comStarted) CoUninitialize();
    return found;
}

bool DirectDraw7Exists(HMODULE ddraw)
{
    typedef HRESULT(WINAPI * CreateEx)(GUID *, void **, REFIID, IUnknown *);
    CreateEx createEx = LookUp<CreateEx>(ddraw, "DirectDrawCreateEx");
    IDirectDraw7 *device = nullptr;
    if (createEx == nullptr ||
        FAILED(createEx(nullptr, reinterpret_cast<void **>(&device), IID_IDirectDraw7, nullptr)))
        return false;
    device->Release();
    return true;
}

// Each stage that answers raises the version; the first that does not ends
// the detection.
int DetectDirectXVersion()
{
    int version = 0;
    HMODULE ddraw = LoadLibraryA("DDRAW.DLL");
    if (ddraw == nullptr) return version;
    typedef HRESULT(WINAPI * Create)(GUID *, IDirectDraw **, IUnknown *);
    Create create = LookUp<Create>(ddraw, "DirectDrawCreate");
    IDirectDraw *device = nullptr;
    IDirectDraw2 *device2 = nullptr;
    IDirectDrawSurface *primary = nullptr;
    IDirectDrawSurface3 *surface3 = nullptr;
    IDirectDrawSurface4 *surface4 = nullptr;
    do {
        if (create == nullptr || FAILED(create(nullptr, &device, nullptr))) break;
        version = 0x10000;
        if (FAILED(device->QueryInterface(IID_IDirectDraw2, reinterpret_cast<void **>(&device2)))) break;
        version = 0x20000;
        HMODULE dinput = LoadLibraryA("DINPUT.DLL");
        bool inputFound = dinput != nullptr && GetProcAddress(dinput, "DirectInputCreateA") != nullptr;
        if (dinput) FreeLibrary(dinput);
        if (!inputFound) break;
        version = 0x30000;
        DDSURFACEDESC desc = {};
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_CAPS;
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
        if (FAILED(device->SetCooperativeLevel(nullptr, DDSCL_NORMAL)) ||
            FAILED(device->CreateSurface(&desc, &primary, nullptr)) ||
            FAILED(primary->QueryInterface(IID_IDirectDrawSurface3, reinterpret_cast<void **>(&surface3))))
            break;
        version = 0x50000;
        if (FAILED(primary->QueryInterface(IID_IDirectDrawSurface4, reinterpret_cast<void **>(&surface4)))) break;
        version = 0x60000;
        if (!DirectMusicExists()) break;
        version = 0x60100;
        if (!DirectDraw7Exists(ddraw)) break;
        version = kDirectX7;
        if (!LibraryLoads("D3D8.DLL")) break;
        version = 0x80000;
        if (!LibraryLoads("dpnhpast.dll")) break;
        version = 0x80100;
    } while (false);
    if (surface4) surface4->Release();
    if (surface3) surface3->Release();
    if (primary) primary->Release();
    if (device2) device2->Release();
    if (device) device->Release();
    FreeLibrary(ddraw);
    return version;
}

int (*g_directXProbe)() = DetectDirectXVersion;

void ShowErrorMessageBox(const char *caption, const char *text)
{
    MessageBoxA(nullptr, text, caption, MB_OK);
}

void (*g_errorMessageBox)(const char *, const char *) = ShowErrorMessageBox;

void ReportDirectX()
{
    int code = g_report.directXVersionCode;
    char text[64];
    int major = (code >> 16) & 0xFF, minor = (code >> 8) & 0xFF;
    char letter = static_cast<char>(code & 0xFF);
    if (letter >= 'a' && letter <= 'z')
        wsprintfA(text, "ＤｉｒｅｃｔＸ　Ver%d.%d%c以上", major, minor, letter);
    else
        wsprintfA(text, "ＤｉｒｅｃｔＸ　Ver%d.%d以上", major, minor);
    AddAppLog(text);
    AddAppLog("\n");
}

void ReportProcessor()
{
    g_report.mmxUseFlag = 0;
    unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid_max(0, nullptr) == 0) {
        AddAppLog("ＣＰＵＩＤ命令は使えません\n");
        return;
    }
    __cpuid(0, eax, ebx, ecx, edx);
    char vendor[3][5] = {};
    std::memcpy(vendor[0], &ebx, 4);
    std::memcpy(vendor[1], &edx, 4);
    std::memcpy(vendor[2], &ecx, 4);
    __cpuid(1, eax, ebx, ecx, edx);
    bool counter = (edx & (1u << 4)) != 0;
    bool mmx = (edx & (1u << 23)) != 0;
    char name[49] = {};
    if (__get_cpuid_max(0x80000000, nullptr) >= 0x80000004) {
        for (unsigned int i = 0; i < 3; ++i) {
            unsigned int regs[4];
            __cpuid(0x80000002 + i, regs[0], regs[1], regs[2], regs[3]);
            std::memcpy(name + 16 * i, regs, 16);
        }
    }

    if (counter) {
        uint64_t start = __builtin_ia32_rdtsc();
        int begin = GetMilliCount(0);
        while (GetMilliCount(0) - begin < 500) {
        }
        int64_t ticks = static_cast<int64_t>(__builtin_ia32_rdtsc() - start);
        SetCpuCounter(1, ticks);
        AddAppLogFormat("ＣＰＵ動作速度：%dMHz", static_cast<int>(ticks / 500000));
    } else {
        SetCpuCounter(0, 0);
    }
    AddAppLog(mmx ? "ＭＭＸ命令を使用します\n" : "ＭＭＸは使えません\n");
    AddAppLog("ＣＰＵベンダ：");
    for (const char *piece : vendor) AddAppLog(piece);
    AddAppLog("\n");
    if (name[0] != '\0') {
        AddAppLog("ＣＰＵ名：");
        AddAppLog(name);
        AddAppLog("\n");
    }
}

} // namespace

void SetDirectXProbe(int (*probe)())
{
    g_directXProbe = probe ? probe : DetectDirectXVersion;
}

void SetErrorMessageBox(void (*show)(const char *, const char *))
{
    g_errorMessageBox = show ? show : ShowErrorMessageBox;
}

int WriteSystemReport()
{
    AddAppLog("システムの情報を出力します\n");
    IncLogIndent();
    AddAppLog("Ｖｅｘｌｏライブラリ Ver");
    AddAppLog(kLibraryVersionText);
    AddAppLog("\n");
    ReportOs();
    g_report.directXVersionCode = g_directXProbe();
    ReportDirectX();
    ReportProcessor();
    DecLogIndent();

    if (g_report.directXVersionCode < kDirectX7) {
        g_errorMessageBox("エラー", g_report.directXVersionCode == 0
                                      ? "DirectX がインストールされていないのでここで終了します"
                                      : "DirectX バージョン 7 以前なのでソフトを起動することが出来ません");
        ExitProcess(static_cast<UINT>(-1));
    }
    return 0;
}

int GetMmxUseFlag()
{
    return g_report.mmxUseFlag;
}

extern "C" int GetVersionCodes(int *libraryVersion, int *directXVersion, int *osVersion)
{
    if (libraryVersion) *libraryVersion = kLibraryVersionCode;
    if (directXVersion) *directXVersion = g_report.directXVersionCode;
    if (osVersion) *osVersion = g_report.osVersionCode;
    return 0;
}
