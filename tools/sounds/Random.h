#pragma once
// A small, fast generator with a fixed seed per sound, so the sound set comes
// out the same on every build and every machine.
#include <cstdint>

namespace gx::synth {

class Random {
public:
    explicit Random(std::uint64_t seed)
        : state_(seed)
    {
    }

    std::uint64_t nextU64()
    {
        // splitmix64: good enough statistics for audio noise, and any seed
        // (zero included) gives a full-period sequence.
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1).
    double uniform() { return static_cast<double>(nextU64() >> 11) * (1.0 / 9007199254740992.0); }
    // Uniform in [-1, 1): white noise.
    float bipolar() { return static_cast<float>(uniform() * 2.0 - 1.0); }
    double range(double lo, double hi) { return lo + (hi - lo) * uniform(); }
    // Uniform integer in [0, n); 0 when n is not positive.
    int below(int n);
    // Standard normal, for small human-like deviations.
    double gaussian();

private:
    std::uint64_t state_;
};

} // namespace gx::synth
