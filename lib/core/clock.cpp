#include "clock.h"

#include <windows.h>

#include "../Vexlo.h"
#include "library.h"

namespace {

struct ClockState {
    int performanceCounterFlag;
    LONGLONG performanceFrequency;
    UINT timerMinPeriod;
    int cpuCounterFlag;
    int64_t cpuTicksPer500ms;
};
ClockState g_clock;

LONGLONG ReadPerformanceCounter()
{
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return counter.QuadPart;
}

bool UseCpuCounter(int requested)
{
    return requested && g_clock.cpuCounterFlag && IsLibraryRunning() && g_clock.cpuTicksPer500ms > 0;
}

} // namespace

void ProbePerformanceCounter()
{
    LARGE_INTEGER frequency;
    if (!QueryPerformanceFrequency(&frequency)) frequency.QuadPart = 0;
    g_clock.performanceFrequency = frequency.QuadPart;
    g_clock.performanceCounterFlag = frequency.QuadPart != 0;
}

void SetCpuCounter(int present, int64_t ticksPer500ms)
{
    g_clock.cpuCounterFlag = present;
    g_clock.cpuTicksPer500ms = ticksPer500ms;
}

void ChooseClock()
{
    ProbePerformanceCounter();
    TIMECAPS caps = {};
    timeGetDevCaps(&caps, sizeof caps);
    g_clock.timerMinPeriod = caps.wPeriodMin;
    timeBeginPeriod(g_clock.timerMinPeriod);
    if (!g_clock.performanceCounterFlag) return;

    AddAppLog("タイマーの精度を検査します\n");
    int mm = 0, pc = 0;
    DWORD lastTime = timeGetTime();
    LONGLONG lastCount = ReadPerformanceCounter();
    while (ProcessMessage() == 0 && mm < 60 && pc < 60) {
        LONGLONG count = ReadPerformanceCounter();
        if (count != lastCount) {
            lastCount = count;
            ++pc;
        }
        DWORD time = timeGetTime();
        if (time != lastTime) {
            lastTime = time;
            ++mm;
        }
    }
    AddAppLogFormat("精度結果 更新回数 マルチメディアタイマー：%d  パフォーマンスカウンター：%d", mm, pc);
    if (pc < mm) {
        AddAppLogFormat("マルチメディアタイマーを使用します タイマー分解能 : %d.00 ms ",
                        static_cast<int>(g_clock.timerMinPeriod));
        g_clock.performanceCounterFlag = 0;
    } else {
        AddAppLogFormat("パフォーマンスカウンターを使用します タイマー分解能 : %lf KHz ",
                        static_cast<double>(g_clock.performanceFrequency) * 0.001);
    }
}

extern "C" int GetMilliCount(int useCpuCounter)
{
    if (UseCpuCounter(useCpuCounter))
        return static_cast<int>(static_cast<int64_t>(__builtin_ia32_rdtsc()) * 500 / g_clock.cpuTicksPer500ms);
    return static_cast<int>(timeGetTime());
}

extern "C" long long GetMicroCount(int useCpuCounter)
{
    if (UseCpuCounter(useCpuCounter))
        return static_cast<long long>(__builtin_ia32_rdtsc()) * 500000 / g_clock.cpuTicksPer500ms;
    if (g_clock.performanceCounterFlag)
        return static_cast<long long>(static_cast<long double>(ReadPerformanceCounter()) * 1000000.0L /
                                      static_cast<long double>(g_clock.performanceFrequency));
    return static_cast<long long>(static_cast<unsigned long long>(timeGetTime()) * 1000ULL);
}

extern "C" int WaitMilliseconds(int ms)
{
    int start = GetMilliCount(0);
    for (;;) {
        if (ProcessMessage() != 0) break;
        if (GetMilliCount(0) - (start + ms) >= 0) break;
        Sleep(1);
    }
    return 0;
}
