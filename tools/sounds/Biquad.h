#pragma once
// Second-order filter after the well-known audio cookbook formulas. State and
// coefficients are kept in double precision, which low cut-offs (a rumble at
// 25 Hz sits very close to the unit circle) need to stay accurate and stable.
#include <cstddef>

namespace gx::synth {

class Biquad {
public:
    enum class Type { LowPass, HighPass, BandPass };

    Biquad(Type type, double hz, double q = 0.70710678118654752);

    // New coefficients, state kept: for sweeps.
    void set(Type type, double hz, double q);
    void reset() { x1_ = x2_ = y1_ = y2_ = 0.0; }

    float process(float x)
    {
        const double y = b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
        x2_ = x1_;
        x1_ = x;
        y2_ = y1_;
        y1_ = y;
        return static_cast<float>(y);
    }
    void processInPlace(float* data, std::size_t n);
    // Filters data as one turn of a loop that repeats forever: a first pass
    // over the loop brings the state to where the loop's end leaves it, and
    // the second pass writes the output. The result then wraps from its last
    // sample to its first without a seam, provided the filter's ringing dies
    // away within one loop (true for any cut-off above a few hertz on loops
    // of a second or more).
    void processCircular(float* data, std::size_t n);

private:
    double b0_ = 1.0, b1_ = 0.0, b2_ = 0.0, a1_ = 0.0, a2_ = 0.0;
    double x1_ = 0.0, x2_ = 0.0, y1_ = 0.0, y2_ = 0.0;
};

} // namespace gx::synth
