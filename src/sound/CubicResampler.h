#pragma once
// Four-point cubic (Catmull-Rom) resampling of stereo frames. A turntable's
// pitch follows its speed, so a voice reads its source at rate times the
// source rate and interpolates between frames; at a whole-frame position the
// kernel returns the frame itself, which makes rate 1.0 at equal sample rates
// an exact copy.
#include <cstdint>

namespace gx {

// Read position in source frames: a whole frame and the fraction past it.
struct PlayCursor {
    std::int64_t frame = 0;
    double frac = 0.0;
};

inline float cubicInterpolate(float xm1, float x0, float x1, float x2, float t)
{
    const float c1 = 0.5f * (x1 - xm1);
    const float c2 = xm1 - 2.5f * x0 + 2.0f * x1 - 0.5f * x2;
    const float c3 = 0.5f * (x2 - xm1) + 1.5f * (x0 - x1);
    return ((c3 * t + c2) * t + c1) * t + x0;
}

// Adds gain times the resampled source into out (interleaved stereo) for up to
// `frames` output frames, advancing the cursor by `step` source frames each.
// frameAt(i) answers a pointer to the two samples of source frame i and must
// cope with any i the window touches (cursor.frame - 1 to cursor.frame + 2).
// Stops early when the cursor reaches stopFrame (the end of the sound) or when
// the window would need a frame at or past readableEnd (not decoded yet).
// Answers the number of output frames written.
template <class FrameAt>
int resampleAdd(const FrameAt& frameAt, PlayCursor& cursor, double step, float gain, std::int64_t stopFrame,
    std::int64_t readableEnd, float* out, int frames)
{
    int written = 0;
    if (!(written < frames && cursor.frame < stopFrame && cursor.frame + 2 < readableEnd))
        return 0;
    // The four frames around the cursor, kept as values and shifted along
    // as the cursor moves on by one frame, which near rate 1.0 it mostly does.
    float w[4][2];
    auto load = [&](int slot, std::int64_t i) {
        const float* f = frameAt(i);
        w[slot][0] = f[0];
        w[slot][1] = f[1];
    };
    for (int k = 0; k < 4; ++k)
        load(k, cursor.frame - 1 + k);
    for (;;) {
        const auto t = static_cast<float>(cursor.frac);
        out[2 * written] += gain * cubicInterpolate(w[0][0], w[1][0], w[2][0], w[3][0], t);
        out[2 * written + 1] += gain * cubicInterpolate(w[0][1], w[1][1], w[2][1], w[3][1], t);
        ++written;
        cursor.frac += step;
        std::int64_t whole = 0;
        if (cursor.frac >= 1.0) {
            whole = static_cast<std::int64_t>(cursor.frac);
            cursor.frame += whole;
            cursor.frac -= static_cast<double>(whole);
        }
        if (written >= frames || cursor.frame >= stopFrame || cursor.frame + 2 >= readableEnd)
            return written;
        if (whole == 1) {
            for (int k = 0; k < 3; ++k) {
                w[k][0] = w[k + 1][0];
                w[k][1] = w[k + 1][1];
            }
            load(3, cursor.frame + 2);
        } else if (whole > 1) {
            for (int k = 0; k < 4; ++k)
                load(k, cursor.frame - 1 + k);
        }
    }
}

} // namespace gx
