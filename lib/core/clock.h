// Clocks: milliseconds for time-outs, waits and pacing; microseconds for
// fine timing. Only differences between two readings mean anything.
#ifndef VEXLO_CORE_CLOCK_H
#define VEXLO_CORE_CLOCK_H

#include <cstdint>

// Reads the performance counter's rate; its time is used when it has one.
void ProbePerformanceCounter();
// At window creation: keeps the performance counter only if it changes at
// least as often as the millisecond timer (pumps messages while testing).
void ChooseClock();
// The processor's time-stamp counter, measured by the system report.
void SetCpuCounter(int present, int64_t ticksPer500ms);

#endif
