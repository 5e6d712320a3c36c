#include "Mechanics.h"

#include "Biquad.h"
#include "Oscillator.h"
#include "Random.h"
#include "Transients.h"

#include <algorithm>
#include <cmath>

namespace gx::synth {

namespace {

constexpr double kEdge = 0.0015;

// A click of a hard part: a spike ringing at a few body modes.
void partClick(AudioBuffer& s, double at, float amplitude, double high, double mid, double body, float pan)
{
    Transients::tick(s, at, amplitude, high, 0.0009, pan);
    Transients::tick(s, at, 0.6f * amplitude, mid, 0.0018, pan);
    Transients::thump(s, at, 0.35f * amplitude, body * 1.3, body, 0.004, pan);
}

} // namespace

AudioBuffer Mechanics::needleSkip()
{
    AudioBuffer s = AudioBuffer::ofSeconds(2, 0.220);
    Random rng(0x5C1F);
    // The stylus leaves the groove: a hard click and the arm's thump.
    Transients::tick(s, 0.002, 0.8f, 3600.0, 0.0007, 0.1f);
    Transients::thump(s, 0.002, 1.0f, 150.0, 65.0, 0.022, 0.0f);
    // It slides across a handful of grooves: a swish falling in pitch with
    // a little tick at each groove wall.
    const std::size_t start = AudioBuffer::framesFor(0.006);
    const std::size_t length = AudioBuffer::framesFor(0.150);
    Biquad sweep(Biquad::Type::BandPass, 6000.0, 1.2);
    for (std::size_t k = 0; k < length; ++k) {
        const double u = static_cast<double>(k) / static_cast<double>(length);
        if (k % 32 == 0)
            sweep.set(Biquad::Type::BandPass, 6000.0 * std::pow(0.25, u), 1.2);
        const double env = std::min(1.0, u * 25.0) * std::pow(1.0 - u, 2.0);
        const float v = static_cast<float>(0.35 * env) * sweep.process(rng.bipolar());
        s.addPanned(start + k, v, static_cast<float>(-0.3 + 0.6 * u));
    }
    for (int i = 0; i < 5; ++i)
        Transients::tick(s, 0.012 + 0.011 * i, static_cast<float>(0.3 * std::pow(0.75, i)), 2800.0 + 300.0 * i, 0.0005,
            static_cast<float>(-0.3 + 0.12 * i));
    // The needle lands in its new groove.
    Transients::thump(s, 0.066, 0.35f, 120.0, 70.0, 0.012, 0.05f);
    for (int c = 0; c < s.channels(); ++c) {
        Biquad high(Biquad::Type::HighPass, 35.0);
        high.processInPlace(s.channel(c), s.frames());
    }
    s.taperAndCentre(AudioBuffer::framesFor(kEdge));
    s.normalisePeak(0.7f);
    return s;
}

AudioBuffer Mechanics::motorStop()
{
    constexpr double kLength = 1.7;
    constexpr double kRunDown = 1.55; // seconds until the platter stands
    AudioBuffer s = AudioBuffer::ofSeconds(2, kLength);
    Random rng(0x5707);
    Biquad rumbleLow(Biquad::Type::LowPass, 90.0);
    Biquad rumbleHigh(Biquad::Type::HighPass, 25.0);
    Biquad whineBand(Biquad::Type::BandPass, 600.0, 2.0);
    double humPhase = 0.0, whinePhase = 0.0, bearingPhase = 0.0;
    for (std::size_t i = 0; i < s.frames(); ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        // Speed falls off faster toward the end, as friction takes over.
        const double left = std::max(0.0, 1.0 - t / kRunDown);
        const double speed = std::pow(left, 1.4);
        const double hum = 28.0 + 92.0 * speed;
        const double whine = 60.0 + 580.0 * speed;
        humPhase += hum / kSampleRate;
        whinePhase += whine / kSampleRate;
        const double bearingBefore = bearingPhase;
        bearingPhase += 9.0 * speed / kSampleRate;
        const double level = std::pow(speed, 0.6);
        const float humV = Oscillator::sine(humPhase) + 0.5f * Oscillator::sine(2.0 * humPhase)
            + 0.22f * Oscillator::sine(3.0 * humPhase);
        const float whineV = Oscillator::sine(whinePhase) + 0.3f * Oscillator::sine(2.0 * whinePhase + 0.2);
        const float noise = rng.bipolar();
        const float rumbleV = rumbleHigh.process(rumbleLow.process(noise));
        const float grit = whineBand.process(rng.bipolar());
        if (i % 64 == 0)
            whineBand.set(Biquad::Type::BandPass, 200.0 + 900.0 * speed, 2.0);
        const float mono = static_cast<float>(level) * (0.45f * humV + 2.4f * rumbleV);
        s.addPanned(i, mono, 0.0f);
        s.addPanned(i, static_cast<float>(level) * (0.10f * whineV + 0.25f * grit), -0.35f);
        // A faint regular bump from the drive, slowing with it.
        if (std::floor(bearingPhase) > std::floor(bearingBefore) && speed > 0.05)
            Transients::thump(s, t, static_cast<float>(0.12 * level), 180.0, 110.0, 0.006, 0.3f);
    }
    s.fadeIn(AudioBuffer::framesFor(0.012));
    s.fadeOut(AudioBuffer::framesFor(0.35));
    s.removeDc();
    s.taperAndCentre(AudioBuffer::framesFor(kEdge));
    s.normalisePeak(0.6f);
    return s;
}

AudioBuffer Mechanics::switchClick()
{
    AudioBuffer s = AudioBuffer::ofSeconds(2, 0.055);
    partClick(s, 0.003, 1.0f, 2900.0, 5600.0, 380.0, -0.1f);
    partClick(s, 0.023, 0.7f, 4300.0, 1700.0, 520.0, 0.05f);
    for (int c = 0; c < s.channels(); ++c) {
        Biquad high(Biquad::Type::HighPass, 120.0);
        high.processInPlace(s.channel(c), s.frames());
    }
    s.taperAndCentre(AudioBuffer::framesFor(kEdge));
    s.normalisePeak(0.7f);
    return s;
}

} // namespace gx::synth
