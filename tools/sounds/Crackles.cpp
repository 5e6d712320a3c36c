#include "Crackles.h"

#include "Biquad.h"
#include "Random.h"
#include "Transients.h"

#include <stdexcept>
#include <string>
#include <utility>

namespace gx::synth {

namespace {

// Fades at both ends of every crackle: long enough to hide the cut, short
// enough to keep the attack sharp. Events start after it.
constexpr double kEdge = 0.0015;

} // namespace

AudioBuffer Crackles::make(int variant)
{
    switch (variant) {
    case 1:
        return pop();
    case 2:
        return doubleTick();
    case 3:
        return dustyBurst();
    case 4:
        return sharpClick();
    case 5:
        return fizz();
    case 6:
        return muffledThump();
    case 7:
        return tripleCrackle();
    default:
        throw std::out_of_range("no crackle variant " + std::to_string(variant));
    }
}

AudioBuffer Crackles::finish(AudioBuffer sound, double lowPassHz, float peak)
{
    for (int c = 0; c < sound.channels(); ++c) {
        // The cartridge passes nothing much below 40 Hz; this also keeps
        // the pops free of a slow offset.
        Biquad high(Biquad::Type::HighPass, 40.0);
        high.processInPlace(sound.channel(c), sound.frames());
        Biquad low(Biquad::Type::LowPass, lowPassHz);
        low.processInPlace(sound.channel(c), sound.frames());
    }
    sound.taperAndCentre(AudioBuffer::framesFor(kEdge));
    sound.normalisePeak(peak);
    return sound;
}

// A single round pop with a tick on its front edge.
AudioBuffer Crackles::pop()
{
    AudioBuffer s = AudioBuffer::ofSeconds(2, 0.070);
    Transients::thump(s, 0.003, 0.9f, 420.0, 160.0, 0.009, 0.15f);
    Transients::tick(s, 0.003, 0.5f, 2400.0, 0.0006, 0.15f);
    return finish(std::move(s), 5000.0, 0.62f);
}

// Two sharp ticks close together: one scratch crossed twice.
AudioBuffer Crackles::doubleTick()
{
    AudioBuffer s = AudioBuffer::ofSeconds(2, 0.055);
    Transients::tick(s, 0.003, 1.0f, 3300.0, 0.0008, -0.2f);
    Transients::tick(s, 0.029, 0.65f, 2700.0, 0.0011, -0.1f);
    return finish(std::move(s), 9000.0, 0.5f);
}

// A crackly cluster of small ticks over a faint fizz, thinning out.
AudioBuffer Crackles::dustyBurst()
{
    AudioBuffer s = AudioBuffer::ofSeconds(2, 0.140);
    Random rng(0xC3A1);
    Transients::noiseBurst(s, 0.002, 0.130, 0.08f, 4500.0, 0.8, 0.004, 0.040, 0.0f, rng);
    double t = 0.002;
    for (int i = 0; i < 24 && t < 0.125; ++i) {
        const double fade = 1.0 - (t - 0.002) / 0.13;
        const float amp = static_cast<float>((0.25 + 0.75 * rng.uniform()) * fade);
        Transients::tick(
            s, t, amp, rng.range(1800.0, 5200.0), rng.range(0.0003, 0.0009), static_cast<float>(rng.range(-0.6, 0.6)));
        t += rng.range(0.0015, 0.009);
    }
    return finish(std::move(s), 10000.0, 0.45f);
}

// One very short, bright click.
AudioBuffer Crackles::sharpClick()
{
    AudioBuffer s = AudioBuffer::ofSeconds(2, 0.025);
    Transients::tick(s, 0.002, 1.0f, 5200.0, 0.0004, 0.3f);
    for (int c = 0; c < s.channels(); ++c) {
        Biquad high(Biquad::Type::HighPass, 1200.0);
        high.processInPlace(s.channel(c), s.frames());
    }
    return finish(std::move(s), 14000.0, 0.55f);
}

// A short hiss of grit: band-passed noise with a few specks in it.
AudioBuffer Crackles::fizz()
{
    AudioBuffer s = AudioBuffer::ofSeconds(2, 0.090);
    Random rng(0xF122);
    Transients::noiseBurst(s, 0.002, 0.086, 0.9f, 3800.0, 1.3, 0.002, 0.022, -0.35f, rng);
    Transients::noiseBurst(s, 0.003, 0.080, 0.5f, 6500.0, 1.0, 0.002, 0.015, 0.35f, rng);
    for (double t : {0.006, 0.019, 0.041})
        Transients::tick(s, t, 0.35f, rng.range(3000.0, 6000.0), 0.0004, static_cast<float>(rng.range(-0.4, 0.4)));
    return finish(std::move(s), 11000.0, 0.35f);
}

// A deep, soft knock, as if through a layer of dust.
AudioBuffer Crackles::muffledThump()
{
    AudioBuffer s = AudioBuffer::ofSeconds(2, 0.110);
    Transients::thump(s, 0.003, 1.0f, 180.0, 85.0, 0.018, -0.1f);
    Transients::tick(s, 0.003, 0.15f, 900.0, 0.002, -0.1f);
    return finish(std::move(s), 900.0, 0.6f);
}

// Three irregular crackles, each smaller than the last, each with a little
// fizz after it.
AudioBuffer Crackles::tripleCrackle()
{
    AudioBuffer s = AudioBuffer::ofSeconds(2, 0.120);
    Random rng(0x7E1E);
    const double at[] = {0.004, 0.037, 0.068};
    const float amp[] = {1.0f, 0.7f, 0.45f};
    const double ring[] = {2900.0, 4100.0, 2300.0};
    const float pan[] = {0.4f, -0.3f, 0.1f};
    for (int i = 0; i < 3; ++i) {
        Transients::tick(s, at[i], amp[i], ring[i], 0.0007, pan[i]);
        Transients::noiseBurst(s, at[i] + 0.0005, 0.018, 0.18f * amp[i], 5000.0, 1.0, 0.001, 0.005, pan[i], rng);
    }
    return finish(std::move(s), 10000.0, 0.5f);
}

} // namespace gx::synth
