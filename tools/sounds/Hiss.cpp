#include "Hiss.h"

#include "Biquad.h"
#include "Oscillator.h"
#include "Random.h"
#include "Transients.h"

#include <cmath>
#include <vector>

namespace gx::synth {

namespace {

std::vector<float> whiteNoise(std::size_t n, Random& rng)
{
    std::vector<float> v(n);
    for (float& x : v)
        x = rng.bipolar();
    return v;
}

void filterCircular(std::vector<float>& v, Biquad::Type type, double hz, double q = 0.70710678118654752)
{
    Biquad f(type, hz, q);
    f.processCircular(v.data(), v.size());
}

double rmsOf(const std::vector<float>& v)
{
    double sum = 0.0;
    for (float x : v)
        sum += static_cast<double>(x) * x;
    return v.empty() ? 0.0 : std::sqrt(sum / static_cast<double>(v.size()));
}

void scaleTo(std::vector<float>& v, double targetRms)
{
    const double r = rmsOf(v);
    if (r <= 0.0)
        return;
    const float g = static_cast<float>(targetRms / r);
    for (float& x : v)
        x *= g;
}

// The hiss proper: bright, the top rolled off as a worn stylus does.
std::vector<float> surface(std::size_t n, Random& rng)
{
    std::vector<float> v = whiteNoise(n, rng);
    filterCircular(v, Biquad::Type::HighPass, 600.0);
    filterCircular(v, Biquad::Type::LowPass, 7500.0);
    filterCircular(v, Biquad::Type::LowPass, 11000.0);
    std::vector<float> body = whiteNoise(n, rng);
    filterCircular(body, Biquad::Type::BandPass, 1400.0, 0.6);
    for (std::size_t i = 0; i < n; ++i)
        v[i] += 0.5f * body[i];
    return v;
}

// The low rumble of platter and groove: noise below about 40 Hz, the
// infrasonic part taken out.
std::vector<float> rumble(std::size_t n, Random& rng)
{
    std::vector<float> v = whiteNoise(n, rng);
    filterCircular(v, Biquad::Type::LowPass, 45.0);
    filterCircular(v, Biquad::Type::LowPass, 45.0);
    filterCircular(v, Biquad::Type::HighPass, 14.0);
    return v;
}

} // namespace

AudioBuffer Hiss::makeLoop()
{
    const std::size_t n = AudioBuffer::framesFor(kLoopLength);
    AudioBuffer loop(2, n);
    Random rng(0x5EED4155);

    // Each side has its own noise and shares some with the other, as the
    // two walls of a groove do.
    const std::vector<float> shared = surface(n, rng);
    std::vector<float> rumbleBed = rumble(n, rng);
    scaleTo(rumbleBed, 0.010);
    for (int c = 0; c < 2; ++c) {
        std::vector<float> own = surface(n, rng);
        float* out = loop.channel(c);
        for (std::size_t i = 0; i < n; ++i)
            out[i] = 0.6f * shared[i] + 0.8f * own[i];
    }
    // Slow swells of the surface with whole numbers of cycles per loop, so
    // they wrap with it.
    const double turn = static_cast<double>(n);
    for (int c = 0; c < 2; ++c) {
        std::vector<float> side(loop.channel(c), loop.channel(c) + n);
        scaleTo(side, 0.022);
        float* out = loop.channel(c);
        for (std::size_t i = 0; i < n; ++i) {
            const double u = static_cast<double>(i) / turn;
            const float swell = 1.0f + 0.12f * Oscillator::sine(2.0 * u) + 0.05f * Oscillator::sine(7.0 * u + 0.3 * c);
            out[i] = side[i] * swell + rumbleBed[i] * (c == 0 ? 1.0f : 0.9f);
        }
    }

    // A few very faint specks; those that run past the end wrap round to
    // the start.
    AudioBuffer specks(2, n + AudioBuffer::framesFor(0.02));
    for (int i = 0; i < 9; ++i) {
        const double at = rng.range(0.0, kLoopLength);
        Transients::tick(specks, at, static_cast<float>(rng.range(0.03, 0.09)), rng.range(2000.0, 5000.0),
            rng.range(0.0003, 0.0008), static_cast<float>(rng.range(-0.7, 0.7)));
    }
    for (int c = 0; c < 2; ++c) {
        Biquad high(Biquad::Type::HighPass, 300.0);
        high.processInPlace(specks.channel(c), specks.frames());
        for (std::size_t i = 0; i < specks.frames(); ++i)
            loop.add(c, i % n, specks.sample(c, i));
    }
    loop.removeDc();
    return loop;
}

AudioBuffer Hiss::layOut(const AudioBuffer& loop)
{
    const std::size_t n = loop.frames();
    const std::size_t total = AudioBuffer::framesFor(kLength);
    AudioBuffer out(loop.channels(), total);
    if (n == 0)
        return out;
    const std::size_t lead = AudioBuffer::framesFor(kLoopStart) % n;
    for (int c = 0; c < loop.channels(); ++c) {
        const float* src = loop.channel(c);
        float* dst = out.channel(c);
        for (std::size_t i = 0; i < total; ++i)
            dst[i] = src[(i + n - lead) % n];
    }
    out.fadeIn(AudioBuffer::framesFor(kFadeIn));
    out.fadeOut(AudioBuffer::framesFor(kFadeOut));
    return out;
}

AudioBuffer Hiss::make()
{
    return layOut(makeLoop());
}

} // namespace gx::synth
