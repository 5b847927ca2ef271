// Frame timing: finding the length of one frame from vertical-blank samples,
// the pacing threshold derived from it, the paced wait before a present, and
// the frame counter. Platform-free: the device and the clock come in through
// small callback records.
#ifndef VEXLO_DISPLAY_FRAME_TIMING_H
#define VEXLO_DISPLAY_FRAME_TIMING_H

#include <cstdint>

const int kFrameSampleCount = 4;
const int kFrameTimePasses = 5;

// The first of samples 0..2 that a later sample repeats, or -1: two equal
// blank-to-blank times are taken as the true frame length.
int SearchFrameTime(const int samples[kFrameSampleCount]);

// Takes passes of four samples until a frame time is found or the fifth pass
// is done (that pass is not searched). The samples of the last pass are left
// in lastSamples. Returns the frame time or -1.
struct FrameSampler {
    void (*takeSamples)(void *context, int samples[kFrameSampleCount]);
    void *context;
};
int MeasureFrameTime(const FrameSampler &sampler, int lastSamples[kFrameSampleCount]);

// Two thirds of a frame less 4/3 ms (integer division), or -1 without a
// frame time.
int PacingThreshold(int frameTime);

// The threshold a paced wait uses: 5 ms when none was measured.
int EffectivePacingThreshold(int threshold);

// The device and clock operations of a paced vertical-blank wait.
struct PacingOps {
    int (*now)(void *context);          // milliseconds
    void (*sleepOneMs)(void *context);
    void (*waitForBlank)(void *context); // blocks until the blank begins
    bool (*inBlank)(void *context);
    void *context;
};
// Sleeps in 1 ms steps until the threshold has passed since lastTime and then
// waits for the blank; past the threshold it waits for the blank only when
// the beam is not in it already. Returns the time after the wait, which the
// caller keeps as the next lastTime.
int RunPacedWait(int lastTime, int threshold, const PacingOps &ops);

// Presented frames: a 32-bit count and the number of times it wrapped.
struct FrameCounter {
    uint32_t count;
    uint32_t wraps;
};
void CountFrame(FrameCounter *counter);
void ResetFrameCounter(FrameCounter *counter);
// High half the wrap count, low half the count.
uint64_t FrameCounterValue(const FrameCounter &counter);

#endif
