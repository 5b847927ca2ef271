// Clocks: milliseconds for time-outs and pacing, microseconds for fine timing.
#ifndef VEXLO_CORE_CLOCK_H
#define VEXLO_CORE_CLOCK_H

#include <cstdint>

// Reads the performance counter's rate; the counter is used when it has one.
void ProbePerformanceCounter();

#endif
