#pragma once
// Phase-accumulating oscillators. The sine comes from a table with linear
// interpolation, far cheaper than std::sin in the note loops and accurate to
// about -130 dB; the saw is band-limited (PolyBLEP) so it does not alias.
#include "AudioBuffer.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace gx::synth {

class Oscillator {
public:
    static constexpr int kTableSize = 4096;

    explicit Oscillator(double hz = 0.0, double phaseCycles = 0.0)
        : phase_(phaseCycles)
    {
        setFrequency(hz);
    }

    // Sine of a phase given in cycles (1.0 is a full turn), any sign.
    static float sine(double cycles)
    {
        const double turn = cycles - std::floor(cycles);
        const double pos = turn * kTableSize;
        // Rounding can make turn exactly 1.0 for a tiny negative phase.
        const int i = std::min(static_cast<int>(pos), kTableSize - 1);
        const float frac = static_cast<float>(pos - i);
        const std::array<float, kTableSize + 1>& t = table();
        return t[static_cast<std::size_t>(i)]
            + frac * (t[static_cast<std::size_t>(i) + 1] - t[static_cast<std::size_t>(i)]);
    }

    void setFrequency(double hz) { increment_ = hz / kSampleRate; }
    double frequency() const { return increment_ * kSampleRate; }
    double phase() const { return phase_; }

    // The sine at the current phase, shifted by a phase offset in cycles
    // (frequency modulation), then one step on.
    float nextSine(double offsetCycles = 0.0)
    {
        const float v = sine(phase_ + offsetCycles);
        advance();
        return v;
    }
    // A band-limited saw from -1 to 1.
    float nextSaw();

private:
    static const std::array<float, kTableSize + 1>& table();
    void advance()
    {
        phase_ += increment_;
        if (phase_ >= 1.0)
            phase_ -= std::floor(phase_);
    }

    double phase_;
    double increment_ = 0.0;
};

} // namespace gx::synth
