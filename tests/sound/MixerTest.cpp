// The mixer and its voices rendered offline: exact sums, rates, gains, ends.
#include "sound/Mixer.h"
#include "SoundFixtures.h"

#include <random>

using namespace gx;
using gx::test::frequency;
using gx::test::memoryVoice;
using gx::test::render;

namespace {

std::vector<float> noiseFrames(std::int64_t frames, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> dist(-0.4f, 0.4f);
    std::vector<float> v(static_cast<size_t>(frames) * 2);
    std::ranges::generate(v, [&] { return dist(rng); });
    return v;
}

std::vector<float> toneFrames(std::int64_t frames, double hertz, int rate)
{
    std::vector<float> v(static_cast<size_t>(frames) * 2);
    for (std::int64_t i = 0; i < frames; ++i)
        v[2 * i] = v[2 * i + 1] = static_cast<float>(0.5 * std::sin(2.0 * M_PI * hertz * i / rate));
    return v;
}

} // namespace

TEST(Mixer, PitchFollowsTheRateAndTheSourceRate)
{
    Mixer mixer(44100);
    auto voice = memoryVoice(44100, toneFrames(44100 * 2, 1000.0, 44100));
    auto half = memoryVoice(22050, toneFrames(22050, 440.0, 22050));
    mixer.add(voice);
    voice->setRate(1.02f);
    voice->play();
    EXPECT_NEAR(frequency(render(mixer, 44100), 44100, 2), 1020.0, 0.5);
    // A second of output at 1.02 consumes 1.02 seconds of the source.
    EXPECT_NEAR(voice->positionFrames(), 44982, 1);
    // Slowed, most samples fall between source frames: the cubic interpolation
    // keeps the tone clean where a linear one is off by about 1.2e-3.
    voice->setRate(0.2f);
    voice->seek(0);
    const std::vector<float> slow = render(mixer, 4000);
    double worst = 0.0;
    for (int i = 10; i < 4000; ++i) // the first frames have no history
        worst = std::max(worst, std::abs(slow[2 * i] - 0.5 * std::sin(2.0 * M_PI * 200.0 * i / 44100.0)));
    EXPECT_LT(worst, 1e-4);

    voice->pause();
    mixer.add(half);
    half->play();
    EXPECT_NEAR(frequency(render(mixer, 8820), 44100, 2), 440.0, 0.5);
    EXPECT_EQ(half->positionFrames(), 4410);
}

TEST(Mixer, VoicesAreSummedWithTheirOwnGainsAndClipped)
{
    Mixer mixer(44100);
    const std::vector<float> a = noiseFrames(1000, 2);
    const std::vector<float> b = noiseFrames(1000, 3);
    auto va = memoryVoice(44100, a);
    auto vb = memoryVoice(44100, b);
    auto muted = memoryVoice(44100, noiseFrames(1000, 4));
    for (const auto& v : {va, vb, muted}) {
        mixer.add(v);
        v->play();
    }
    va->setEngineVolume(128);     // 0.5
    vb->setEngineVolume(255);     // 255/256
    muted->setEngineVolume(-255); // negative: silent, but its time goes on
    std::vector<float> out = render(mixer, 500);
    for (size_t i = 0; i < out.size(); ++i)
        ASSERT_FLOAT_EQ(out[i], 0.5f * a[i] + (255.0f / 256.0f) * b[i]) << i;
    EXPECT_EQ(muted->positionFrames(), 500);

    va->setEngineVolume(4096); // 16x: far beyond full scale
    out = render(mixer, 500);
    EXPECT_EQ(*std::max_element(out.begin(), out.end()), 1.0f);
    EXPECT_EQ(*std::min_element(out.begin(), out.end()), -1.0f);
}

TEST(Mixer, RateZeroNegativeOrNanHoldsTheVoiceSilent)
{
    for (float rate : {0.0f, -1.0f, std::nanf("")}) {
        Mixer mixer(44100);
        auto voice = memoryVoice(44100, noiseFrames(2000, 5));
        mixer.add(voice);
        voice->play();
        render(mixer, 300);
        voice->setRate(rate);
        for (float x : render(mixer, 500))
            ASSERT_EQ(x, 0.0f) << "rate " << rate;
        EXPECT_EQ(voice->positionFrames(), 300) << "rate " << rate;
        EXPECT_TRUE(voice->isPlaying());
        voice->setRate(1.0f);
        render(mixer, 100);
        EXPECT_EQ(voice->positionFrames(), 400);
    }
}

TEST(Mixer, EndStopsExactlyAtTheLastFrameOrLoops)
{
    Mixer mixer(44100);
    const std::vector<float> source = noiseFrames(1000, 6);
    auto voice = memoryVoice(44100, source);
    mixer.add(voice);
    voice->setRate(1.37f); // overshoots the last frame between samples
    voice->play();
    const std::vector<float> out = render(mixer, 2000);
    EXPECT_FALSE(voice->isPlaying());
    EXPECT_EQ(voice->positionFrames(), 1000);
    EXPECT_EQ(voice->lengthFrames(), 1000);
    const int heard = static_cast<int>(std::ceil(1000 / 1.37));
    for (int i = heard; i < 2000; ++i)
        ASSERT_EQ(out[2 * i], 0.0f) << i;

    // At rate 1 a copy, exact across render blocks of odd sizes; looping
    // wraps without a gap and keeps playing.
    voice->setRate(1.0f);
    voice->setLoop(true);
    voice->play();
    std::vector<float> looped;
    for (const int block : {1, 7, 1000, 991, 301})
        std::ranges::copy(render(mixer, block), std::back_inserter(looped));
    for (size_t i = 0; i < looped.size(); ++i)
        ASSERT_EQ(looped[i], source[i % 2000]) << i;
    EXPECT_TRUE(voice->isPlaying());
    EXPECT_EQ(voice->positionFrames(), 300);
}

// A play goes on, a pause holds, a stop rewinds; a play at the end, reached
// by playing or by a seek (held to the sound), starts over.
TEST(Mixer, VoicesPlayPauseStopAndStartOverFromTheEnd)
{
    Mixer mixer(44100);
    auto voice = memoryVoice(44100, noiseFrames(3000, 7));
    mixer.add(voice);
    render(mixer, 1000); // halted: nothing moves
    EXPECT_EQ(voice->positionFrames(), 0);
    voice->play();
    render(mixer, 1000);
    voice->play();
    render(mixer, 500);
    EXPECT_EQ(voice->positionFrames(), 1500);
    voice->pause();
    render(mixer, 500);
    voice->play();
    render(mixer, 500);
    EXPECT_EQ(voice->positionFrames(), 2000);
    voice->stop();
    EXPECT_EQ(voice->positionFrames(), 0);
    voice->play();
    render(mixer, 4000);
    voice->play();
    EXPECT_EQ(voice->positionFrames(), 0);
    voice->pause();
    voice->seek(1'000'000);
    EXPECT_EQ(voice->positionFrames(), 3000);
    voice->play();
    EXPECT_EQ(voice->positionFrames(), 0);
    voice->seek(-3);
    EXPECT_EQ(voice->positionFrames(), 0);
}
