#include "frame_timing.h"

int SearchFrameTime(const int samples[kFrameSampleCount])
{
    for (int i = 0; i < kFrameSampleCount - 1; ++i) {
        for (int j = i + 1; j < kFrameSampleCount; ++j) {
            if (samples[i] == samples[j]) return samples[i];
        }
    }
    return -1;
}

int MeasureFrameTime(const FrameSampler &sampler, int lastSamples[kFrameSampleCount])
{
    int frameTime = -1;
    for (int pass = 1; frameTime == -1; ++pass) {
        sampler.takeSamples(sampler.context, lastSamples);
        if (pass == kFrameTimePasses) break;
        frameTime = SearchFrameTime(lastSamples);
    }
    return frameTime;
}

int PacingThreshold(int frameTime)
{
    return frameTime == -1 ? -1 : (2 * frameTime - 4) / 3;
}

int EffectivePacingThreshold(int threshold)
{
    return threshold == -1 ? 5 : threshold;
}

int RunPacedWait(int lastTime, int threshold, const PacingOps &ops)
{
    int limit = EffectivePacingThreshold(threshold);
    if (ops.now(ops.context) - lastTime < limit) {
        // Early: give the processor away until most of the frame has gone,
        // then block for the blank itself.
        while (ops.now(ops.context) - lastTime < limit) ops.sleepOneMs(ops.context);
        ops.waitForBlank(ops.context);
    } else if (!ops.inBlank(ops.context)) {
        ops.waitForBlank(ops.context);
    }
    return ops.now(ops.context);
}

void CountFrame(FrameCounter *counter)
{
    if (counter->count == 0xFFFFFFFFu) {
        counter->count = 0;
        ++counter->wraps;
    } else {
        ++counter->count;
    }
}

void ResetFrameCounter(FrameCounter *counter)
{
    counter->count = 0;
    counter->wraps = 0;
}

uint64_t FrameCounterValue(const FrameCounter &counter)
{
    return (static_cast<uint64_t>(counter.wraps) << 32) | counter.count;
}
