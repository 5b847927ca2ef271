// Pixel buffers for the loop tests: a surface of pixels with a guard band
// around it, filled from a fixed pseudo-random sequence.
#ifndef VEXLO_TESTS_SOFT_BLIT_BUFFERS_H
#define VEXLO_TESTS_SOFT_BLIT_BUFFERS_H

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace testbuf {

class Sequence {
public:
    explicit Sequence(uint32_t seed) : state_(seed) {}
    uint32_t Next()
    {
        state_ = state_ * 1664525u + 1013904223u;
        return state_ ^ (state_ >> 15);
    }

private:
    uint32_t state_;
};

// width x height pixels of `bytes` each, rows `pitch` bytes apart, with
// `guard` bytes before the first and after the last row.
struct Surface {
    int width, height, bytes, pitch, guard;
    std::vector<uint8_t> memory;

    Surface(int w, int h, int b, int extraPitch = 0, int guardBytes = 0)
        : width(w), height(h), bytes(b), pitch(w * b + extraPitch), guard(guardBytes),
          memory(static_cast<size_t>(pitch) * h + 2 * guardBytes, 0xA7)
    {
    }
    uint8_t *At(int x, int y) { return memory.data() + guard + static_cast<ptrdiff_t>(y) * pitch + x * bytes; }
    uint32_t Get(int x, int y)
    {
        uint32_t v = 0;
        std::memcpy(&v, At(x, y), bytes);
        return v;
    }
    void Set(int x, int y, uint32_t v) { std::memcpy(At(x, y), &v, bytes); }
    void Fill(Sequence &seq)
    {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) Set(x, y, seq.Next());
    }
};

} // namespace testbuf

#endif
