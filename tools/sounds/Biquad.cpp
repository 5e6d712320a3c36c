#include "Biquad.h"

#include "AudioBuffer.h"

#include <algorithm>
#include <cmath>

namespace gx::synth {

Biquad::Biquad(Type type, double hz, double q)
{
    set(type, hz, q);
}

void Biquad::set(Type type, double hz, double q)
{
    // Keep the corner strictly inside (0, Nyquist) and Q positive, so no
    // argument can make the filter unstable or divide by zero.
    hz = std::clamp(hz, 1.0, kSampleRate * 0.49);
    q = std::max(q, 0.05);
    const double w = 2.0 * 3.14159265358979323846 * hz / kSampleRate;
    const double cosw = std::cos(w);
    const double alpha = std::sin(w) / (2.0 * q);
    const double a0 = 1.0 + alpha;
    double b0 = 0.0, b1 = 0.0, b2 = 0.0;
    switch (type) {
    case Type::LowPass:
        b0 = (1.0 - cosw) / 2.0;
        b1 = 1.0 - cosw;
        b2 = b0;
        break;
    case Type::HighPass:
        b0 = (1.0 + cosw) / 2.0;
        b1 = -(1.0 + cosw);
        b2 = b0;
        break;
    case Type::BandPass:
        // Unity gain at the centre.
        b0 = alpha;
        b1 = 0.0;
        b2 = -alpha;
        break;
    }
    b0_ = b0 / a0;
    b1_ = b1 / a0;
    b2_ = b2 / a0;
    a1_ = -2.0 * cosw / a0;
    a2_ = (1.0 - alpha) / a0;
}

void Biquad::processInPlace(float* data, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i)
        data[i] = process(data[i]);
}

void Biquad::processCircular(float* data, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i)
        process(data[i]);
    processInPlace(data, n);
}

} // namespace gx::synth
