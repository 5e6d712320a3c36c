#include "Transients.h"

#include "Biquad.h"
#include "Oscillator.h"
#include "Random.h"

#include <algorithm>
#include <cmath>

namespace gx::synth {

namespace {

std::size_t frameAt(double seconds)
{
    return AudioBuffer::framesFor(seconds);
}

} // namespace

void Transients::tick(AudioBuffer& out, double at, float amplitude, double ringHz, double decay, float pan)
{
    const PanGains place = PanGains::of(pan);
    const std::size_t start = frameAt(at);
    out.addPanned(start, 0.8f * amplitude, place);
    out.addPanned(start + 1, -0.45f * amplitude, place);
    out.addPanned(start + 2, 0.1f * amplitude, place);
    const std::size_t ring = frameAt(decay * 7.0);
    const double fall = std::exp(-1.0 / (decay * kSampleRate));
    double level = 0.6 * amplitude;
    Oscillator osc(ringHz);
    for (std::size_t k = 0; k < ring; ++k) {
        out.addPanned(start + k, static_cast<float>(level) * osc.nextSine(), place);
        level *= fall;
    }
}

void Transients::thump(
    AudioBuffer& out, double at, float amplitude, double startHz, double endHz, double decay, float pan)
{
    const PanGains place = PanGains::of(pan);
    const std::size_t start = frameAt(at);
    const std::size_t length = frameAt(decay * 7.0);
    const std::size_t attack = frameAt(0.0005);
    const double fall = std::exp(-1.0 / (decay * kSampleRate));
    const double glide = std::exp(-1.0 / (decay * 0.6 * kSampleRate));
    double level = amplitude;
    double sweep = 1.0;
    double phase = 0.0;
    for (std::size_t k = 0; k < length; ++k) {
        const double hz = endHz + (startHz - endHz) * sweep;
        const double rise = k < attack ? static_cast<double>(k) / static_cast<double>(attack) : 1.0;
        out.addPanned(start + k, static_cast<float>(level * rise) * Oscillator::sine(phase), place);
        phase += hz / kSampleRate;
        level *= fall;
        sweep *= glide;
    }
}

void Transients::noiseBurst(AudioBuffer& out, double at, double length, float amplitude, double centreHz, double q,
    double attack, double decay, float pan, Random& rng)
{
    const PanGains place = PanGains::of(pan);
    const std::size_t start = frameAt(at);
    const std::size_t total = frameAt(length);
    const std::size_t rise = std::max<std::size_t>(1, frameAt(attack));
    const std::size_t tail = total / 5;
    const double fall = std::exp(-1.0 / (decay * kSampleRate));
    Biquad filter(Biquad::Type::BandPass, centreHz, q);
    double level = amplitude;
    for (std::size_t k = 0; k < total; ++k) {
        double env = k < rise ? static_cast<double>(k) / static_cast<double>(rise) : 1.0;
        if (k >= total - tail && tail > 0)
            env *= static_cast<double>(total - k) / static_cast<double>(tail);
        out.addPanned(start + k, static_cast<float>(level * env) * filter.process(rng.bipolar()), place);
        if (k >= rise)
            level *= fall;
    }
}

} // namespace gx::synth
