#include "Oscillator.h"

namespace gx::synth {

namespace {

std::array<float, Oscillator::kTableSize + 1> makeTable()
{
    std::array<float, Oscillator::kTableSize + 1> t {};
    for (int i = 0; i <= Oscillator::kTableSize; ++i)
        t[static_cast<std::size_t>(i)]
            = static_cast<float>(std::sin(2.0 * 3.14159265358979323846 * i / Oscillator::kTableSize));
    return t;
}

const std::array<float, Oscillator::kTableSize + 1> kTable = makeTable();

// The correction that rounds off the saw's jump over one sample either side.
double polyBlep(double t, double dt)
{
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

} // namespace

const std::array<float, Oscillator::kTableSize + 1>& Oscillator::table()
{
    return kTable;
}

float Oscillator::nextSaw()
{
    const double dt = increment_;
    double v = 2.0 * phase_ - 1.0;
    if (dt > 0.0 && dt < 0.5)
        v -= polyBlep(phase_, dt);
    advance();
    return static_cast<float>(v);
}

} // namespace gx::synth
