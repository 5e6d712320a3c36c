#include "Instruments.h"

#include "Biquad.h"
#include "Envelope.h"
#include "Oscillator.h"

#include <algorithm>
#include <cmath>

namespace gx::synth {

namespace {

std::size_t frameAt(double seconds)
{
    return AudioBuffer::framesFor(seconds);
}

// Per-sample factor of an exponential decay with time constant tau seconds.
double decayFactor(double tau)
{
    return std::exp(-1.0 / (tau * kSampleRate));
}

constexpr double kTwoPi = 2.0 * 3.14159265358979323846;

} // namespace

Instruments::Instruments(AudioBuffer& dry, AudioBuffer& send, std::uint64_t seed)
    : dry_(dry)
    , send_(send)
    , rng_(seed)
{
}

double Instruments::frequencyOf(int midiNote)
{
    return 440.0 * std::pow(2.0, (midiNote - 69) / 12.0);
}

void Instruments::vibes(double at, double length, int note, float velocity, float pan)
{
    const PanGains place = PanGains::of(pan);
    const double f = frequencyOf(note);
    Envelope env({0.002, 1.0, 1.0, 0.30}, length);
    const std::size_t start = frameAt(at);
    // The bar's modes; the upper ones, struck harder, fade faster.
    struct Mode {
        double ratio, amp, tau;
    };
    const Mode modes[] = {{1.0, 1.0, 1.5}, {3.98, 0.24 * velocity, 0.30}, {9.1, 0.06 * velocity, 0.07}};
    double level[3], fall[3];
    Oscillator osc[3];
    int count = 0;
    for (const Mode& m : modes) {
        if (f * m.ratio > 16000.0)
            continue;
        level[count] = m.amp;
        fall[count] = decayFactor(m.tau);
        osc[count] = Oscillator(f * m.ratio);
        ++count;
    }
    Oscillator tremolo(5.4, rng_.uniform());
    Biquad mallet(Biquad::Type::LowPass, 2500.0);
    const std::size_t malletFrames = frameAt(0.004);
    const float gain = 0.26f * velocity;
    for (std::size_t k = 0; !env.finished(); ++k) {
        double v = 0.0;
        for (int m = 0; m < count; ++m) {
            v += level[m] * osc[m].nextSine();
            level[m] *= fall[m];
        }
        if (k < malletFrames)
            v += 0.25 * (1.0 - static_cast<double>(k) / malletFrames) * mallet.process(rng_.bipolar());
        const float trem = 1.0f - 0.1f * (1.0f + tremolo.nextSine());
        put(start + k, gain * env.next() * trem * static_cast<float>(v), place, 0.55f);
    }
}

void Instruments::flute(double at, double length, int note, float velocity, float pan)
{
    const PanGains place = PanGains::of(pan);
    const double f = frequencyOf(note);
    Envelope env({0.07, 0.4, 0.75, 0.18}, length);
    const std::size_t start = frameAt(at);
    Oscillator vibrato(5.1, rng_.uniform());
    Biquad breathBand(Biquad::Type::BandPass, std::min(2.0 * f, 9000.0), 1.5);
    Biquad breathHigh(Biquad::Type::HighPass, 700.0);
    const std::size_t vibratoDelay = frameAt(0.18);
    const std::size_t vibratoRise = frameAt(0.35);
    const double chiffFall = decayFactor(0.035);
    double chiff = 1.0;
    double phase = rng_.uniform();
    const float gain = 0.2f * velocity;
    for (std::size_t k = 0; !env.finished(); ++k) {
        double depth = 0.0;
        if (k > vibratoDelay)
            depth = 0.0045 * std::min(1.0, static_cast<double>(k - vibratoDelay) / vibratoRise);
        const double hz = f * (1.0 + depth * vibrato.nextSine());
        phase += hz / kSampleRate;
        if (phase >= 1.0)
            phase -= 1.0;
        const double tone = Oscillator::sine(phase) + 0.26 * Oscillator::sine(2.0 * phase)
            + 0.09 * Oscillator::sine(3.0 * phase) + 0.035 * Oscillator::sine(4.0 * phase);
        const double breath = (0.05 + 0.35 * chiff) * breathHigh.process(breathBand.process(rng_.bipolar()));
        chiff *= chiffFall;
        put(start + k, gain * env.next() * static_cast<float>(tone + breath), place, 0.5f);
    }
}

void Instruments::piano(double at, double length, int note, float velocity, float pan)
{
    const PanGains place = PanGains::of(pan);
    const double f = frequencyOf(note);
    Envelope env({0.003, 1.1, 0.0, 0.14}, length);
    const std::size_t start = frameAt(at);
    Oscillator carrier(f, rng_.uniform());
    Oscillator modulator(f);
    Oscillator detuned(f * 1.0025, rng_.uniform());
    Oscillator tine(f * 7.0);
    // The modulation index, in cycles, falls from the strike to a soft body.
    double index = (0.16 * velocity + 0.04);
    const double indexFall = decayFactor(0.2);
    double tineLevel = 0.06 * velocity;
    const double tineFall = decayFactor(0.04);
    const float gain = 0.13f * velocity;
    for (std::size_t k = 0; !env.finished(); ++k) {
        const double mod = (index + 0.02) * modulator.nextSine();
        const double v = carrier.nextSine(mod) + 0.5 * detuned.nextSine(0.6 * mod) + tineLevel * tine.nextSine();
        index *= indexFall;
        tineLevel *= tineFall;
        put(start + k, gain * env.next() * static_cast<float>(v), place, 0.35f);
    }
}

void Instruments::bass(double at, double length, int note, float velocity)
{
    const PanGains place = PanGains::of(0.0f);
    const double f = frequencyOf(note);
    Envelope env({0.006, 1.0, 1.0, 0.09}, length);
    const std::size_t start = frameAt(at);
    double level[4] = {1.0, 0.5, 0.22, 0.1};
    double fall[4];
    for (int h = 0; h < 4; ++h)
        fall[h] = decayFactor(1.0 / (h + 1));
    Biquad thumpFilter(Biquad::Type::LowPass, 350.0);
    const std::size_t thumpFrames = frameAt(0.012);
    double phase = 0.0;
    const float gain = 0.32f * velocity;
    for (std::size_t k = 0; !env.finished(); ++k) {
        phase += f / kSampleRate;
        if (phase >= 1.0)
            phase -= 1.0;
        double v = 0.0;
        for (int h = 0; h < 4; ++h) {
            v += level[h] * Oscillator::sine((h + 1) * phase);
            level[h] *= fall[h];
        }
        if (k < thumpFrames)
            v += 0.6 * (1.0 - static_cast<double>(k) / thumpFrames) * thumpFilter.process(rng_.bipolar());
        put(start + k, gain * env.next() * static_cast<float>(v), place, 0.08f);
    }
}

void Instruments::pad(double at, double length, int note, float velocity, float pan)
{
    const PanGains place = PanGains::of(pan);
    const double f = frequencyOf(note);
    Envelope env({0.45, 1.0, 0.85, 0.7}, length);
    const std::size_t start = frameAt(at);
    Oscillator a(f * 0.9965, rng_.uniform());
    Oscillator b(f * 1.0035, rng_.uniform());
    Biquad low1(Biquad::Type::LowPass, 1500.0, 0.6);
    Biquad low2(Biquad::Type::LowPass, 2200.0, 0.6);
    const float gain = 0.06f * velocity;
    for (std::size_t k = 0; !env.finished(); ++k) {
        const float v = low2.process(low1.process(a.nextSaw() + b.nextSaw()));
        put(start + k, gain * env.next() * v, place, 0.7f);
    }
}

void Instruments::kick(double at, float velocity)
{
    const PanGains place = PanGains::of(0.0f);
    const std::size_t start = frameAt(at);
    const std::size_t length = frameAt(0.35);
    const std::size_t attack = frameAt(0.002);
    const double fall = decayFactor(0.085);
    const double glide = decayFactor(0.03);
    double level = 0.42 * velocity;
    double sweep = 1.0;
    double phase = 0.0;
    for (std::size_t k = 0; k < length; ++k) {
        const double rise = k < attack ? static_cast<double>(k) / attack : 1.0;
        // The last tenth fades to zero, so the drum never stops on a step.
        const double end = k > length * 9 / 10 ? static_cast<double>(length - k) / (length / 10.0) : 1.0;
        put(start + k, static_cast<float>(level * rise * end) * Oscillator::sine(phase), place, 0.05f);
        phase += (48.0 + 50.0 * sweep) / kSampleRate;
        level *= fall;
        sweep *= glide;
    }
}

void Instruments::brushTap(double at, float velocity, float pan)
{
    const PanGains place = PanGains::of(pan);
    const std::size_t start = frameAt(at);
    const std::size_t length = frameAt(0.14);
    const std::size_t attack = frameAt(0.0015);
    const double fall = decayFactor(0.035);
    Biquad band(Biquad::Type::BandPass, 3600.0, 0.6);
    Biquad high(Biquad::Type::HighPass, 900.0);
    double level = 0.16 * velocity;
    for (std::size_t k = 0; k < length; ++k) {
        const double rise = k < attack ? static_cast<double>(k) / attack : 1.0;
        const double end = k > length * 4 / 5 ? static_cast<double>(length - k) / (length / 5.0) : 1.0;
        const float v = high.process(band.process(rng_.bipolar()));
        put(start + k, static_cast<float>(level * rise * end) * v, place, 0.3f);
        if (k >= attack)
            level *= fall;
    }
}

void Instruments::brushSweep(double at, double length, float velocity, float pan)
{
    const std::size_t start = frameAt(at);
    const std::size_t frames = frameAt(length);
    Biquad band(Biquad::Type::BandPass, 2400.0, 0.5);
    Biquad high(Biquad::Type::HighPass, 800.0);
    const double level = 0.07 * velocity;
    PanGains place = PanGains::of(pan);
    for (std::size_t k = 0; k < frames; ++k) {
        const double u = static_cast<double>(k) / frames;
        // The brush circles the head: loudest a third of the way round.
        const double shape = std::sin(3.14159265358979323846 * std::pow(u, 0.7));
        const float v = high.process(band.process(rng_.bipolar()));
        if (k % 64 == 0)
            place = PanGains::of(pan + 0.3f * static_cast<float>(std::sin(kTwoPi * u)));
        put(start + k, static_cast<float>(level * shape * shape) * v, place, 0.3f);
    }
}

} // namespace gx::synth
