// The parts of the sound generator on their own: the WAV writer, the filters,
// envelopes and oscillators the sounds are made of, and the generator's
// answers to bad input.
#include "AudioBuffer.h"
#include "Biquad.h"
#include "Crackles.h"
#include "Envelope.h"
#include "Hiss.h"
#include "Oscillator.h"
#include "Random.h"
#include "Reverb.h"
#include "Serenade.h"
#include "SoundSet.h"
#include "WavWriter.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <sstream>
#include <stdexcept>

using namespace gxsynth;

namespace {

std::uint32_t le32(const std::vector<unsigned char>& b, std::size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

std::int16_t sampleAt(const std::vector<unsigned char>& b, std::size_t index)
{
    return static_cast<std::int16_t>(b[44 + 2 * index] | (b[45 + 2 * index] << 8));
}

double rmsOf(const float* v, std::size_t n)
{
    double s = 0.0;
    for (std::size_t i = 0; i < n; ++i)
        s += static_cast<double>(v[i]) * v[i];
    return n ? std::sqrt(s / static_cast<double>(n)) : 0.0;
}

std::vector<float> tone(double hz, std::size_t n)
{
    std::vector<float> v(n);
    for (std::size_t i = 0; i < n; ++i)
        v[i] = static_cast<float>(std::sin(2.0 * std::numbers::pi * hz * static_cast<double>(i) / kSampleRate));
    return v;
}

std::string readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace

TEST(SynthWavWriter, EncodesSizesFormatAndInterleavedSamples)
{
    AudioBuffer stereo(2, 3);
    stereo.channel(0)[0] = 0.5f;
    stereo.channel(1)[0] = -0.5f;
    stereo.channel(0)[2] = 1.0f;
    const std::vector<unsigned char> b = WavWriter::encode(stereo);
    ASSERT_EQ(b.size(), 44u + 3 * 2 * 2);
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
    EXPECT_EQ(le32(b, 4), b.size() - 8);
    EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(b[22], 2);                      // channels
    EXPECT_EQ(le32(b, 24), 44100u);           // sample rate
    EXPECT_EQ(le32(b, 28), 44100u * 4);       // byte rate
    EXPECT_EQ(b[32], 4);                      // block size
    EXPECT_EQ(b[34], 16);                     // bits
    EXPECT_EQ(le32(b, 40), 12u);              // data size
    EXPECT_EQ(sampleAt(b, 0), 16384);         // left, frame 0 (rounded)
    EXPECT_EQ(sampleAt(b, 1), -16384);        // right, frame 0
    EXPECT_EQ(sampleAt(b, 4), 32767);         // left, frame 2

    AudioBuffer mono(1, 5);
    const std::vector<unsigned char> m = WavWriter::encode(mono);
    ASSERT_EQ(m.size(), 44u + 10);
    EXPECT_EQ(m[22], 1);
    EXPECT_EQ(le32(m, 28), 44100u * 2);

    EXPECT_TRUE(WavWriter::encode(AudioBuffer(2, 0)).empty());
}

TEST(SynthWavWriter, ClampsAndRoundsInsteadOfWrapping)
{
    EXPECT_EQ(WavWriter::toPcm(1.7f), 32767);
    EXPECT_EQ(WavWriter::toPcm(-3.0f), -32767);
    EXPECT_EQ(WavWriter::toPcm(std::nanf("")), 0);
    EXPECT_EQ(WavWriter::toPcm(0.4f / 32767.0f), 0);
    EXPECT_EQ(WavWriter::toPcm(0.6f / 32767.0f), 1);
    EXPECT_EQ(WavWriter::toPcm(-0.6f / 32767.0f), -1);
}

TEST(SynthWavWriter, FailsCleanlyAndNeverLeavesAPartialFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string folder = dir.path().toStdString();
    AudioBuffer sound(2, 100);
    sound.channel(0)[10] = 0.25f;
    std::string error;

    // Into a folder that does not exist.
    EXPECT_FALSE(WavWriter::write(folder + "/missing/x.wav", sound, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(std::filesystem::exists(folder + "/missing"));

    // Onto a name taken by a folder: the rename fails, the temporary goes.
    std::filesystem::create_directory(folder + "/taken.wav");
    error.clear();
    EXPECT_FALSE(WavWriter::write(folder + "/taken.wav", sound, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(std::filesystem::exists(folder + "/taken.wav.part"));

    // An existing file is replaced whole, and nothing is left beside it.
    const std::string path = folder + "/ok.wav";
    { std::ofstream(path) << std::string(5000, 'x'); }
    ASSERT_TRUE(WavWriter::write(path, sound, error)) << error;
    const std::vector<unsigned char> expected = WavWriter::encode(sound);
    EXPECT_EQ(readAll(path), std::string(expected.begin(), expected.end()));
    EXPECT_FALSE(std::filesystem::exists(path + ".part"));
}

TEST(SynthSoundSet, BadFolderIsReportedForEverySoundAndWritesNothing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string file = dir.path().toStdString() + "/plain-file";
    { std::ofstream(file) << "not a folder"; }
    std::ostringstream log;
    EXPECT_EQ(SoundSet::writeAll(file, log), static_cast<int>(SoundSet::entries().size()));
    EXPECT_NE(log.str().find("cannot use the folder"), std::string::npos);
    EXPECT_EQ(readAll(file), "not a folder");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path().toStdString()), {}), 1);
}

TEST(SynthSoundSet, NamesTheElevenEffectsAndTheDemo)
{
    std::vector<std::string> names;
    for (const auto& e : SoundSet::entries())
        names.push_back(e.fileName);
    const std::vector<std::string> expected = {"noise1.wav", "noise2.wav", "noise3.wav", "noise4.wav", "noise5.wav",
        "noise6.wav", "noise7.wav", "hiss.wav", "skip.wav", "stop.wav", "switch.wav", "01 Gramolux Serenade.wav"};
    EXPECT_EQ(names, expected);
    EXPECT_THROW(Crackles::make(0), std::out_of_range);
    EXPECT_THROW(Crackles::make(Crackles::kCount + 1), std::out_of_range);
}

TEST(SynthBiquad, PassesAndStopsTheRightBands)
{
    const std::size_t n = 8820;
    auto through = [&](Biquad::Type type, double corner, double hz) {
        std::vector<float> v = tone(hz, n);
        Biquad f(type, corner);
        f.processInPlace(v.data(), n);
        // Skip the filter's settling at the start.
        return rmsOf(v.data() + n / 2, n / 2) / std::sqrt(0.5);
    };
    EXPECT_GT(through(Biquad::Type::LowPass, 1000.0, 100.0), 0.95);
    EXPECT_LT(through(Biquad::Type::LowPass, 1000.0, 10000.0), 0.02);
    EXPECT_NEAR(through(Biquad::Type::LowPass, 1000.0, 1000.0), std::sqrt(0.5), 0.03);
    EXPECT_GT(through(Biquad::Type::HighPass, 1000.0, 10000.0), 0.95);
    EXPECT_LT(through(Biquad::Type::HighPass, 1000.0, 100.0), 0.02);
    EXPECT_NEAR(through(Biquad::Type::BandPass, 2000.0, 2000.0), 1.0, 0.03);
    EXPECT_LT(through(Biquad::Type::BandPass, 2000.0, 200.0), 0.15);
    // Out-of-range corners are pulled back in, not turned into NaN.
    EXPECT_TRUE(std::isfinite(through(Biquad::Type::LowPass, 0.0, 100.0)));
    EXPECT_TRUE(std::isfinite(through(Biquad::Type::HighPass, 1e9, 100.0)));
}

TEST(SynthBiquad, CircularFilteringIsTheSteadyStateOfTheRepeatedLoop)
{
    // Filtering the loop repeated many times and keeping a middle copy is
    // what circular filtering must give, low rumble filter included.
    Random rng(7);
    const std::size_t n = 22050;
    std::vector<float> loop(n);
    for (float& x : loop)
        x = rng.bipolar();
    std::vector<float> tiled;
    for (int r = 0; r < 4; ++r)
        tiled.insert(tiled.end(), loop.begin(), loop.end());
    for (double hz : {45.0, 3000.0}) {
        std::vector<float> circular = loop;
        Biquad a(Biquad::Type::LowPass, hz);
        a.processCircular(circular.data(), n);
        std::vector<float> linear = tiled;
        Biquad b(Biquad::Type::LowPass, hz);
        b.processInPlace(linear.data(), linear.size());
        for (std::size_t i = 0; i < n; i += 97)
            ASSERT_NEAR(circular[i], linear[3 * n + i], 1e-4) << hz << " Hz, sample " << i;
    }
}

TEST(SynthEnvelope, RisesHoldsAndFallsToExactZeroWithoutSteps)
{
    for (double hold : {0.0005, 0.3}) { // released during the attack, and after it
        Envelope env({0.01, 0.05, 0.5, 0.1}, hold);
        std::vector<float> v;
        while (!env.finished())
            v.push_back(env.next());
        ASSERT_EQ(v.size(), env.length());
        EXPECT_EQ(v.size(), AudioBuffer::framesFor(hold) + AudioBuffer::framesFor(0.1));
        EXPECT_EQ(v.back(), 0.0f);
        EXPECT_EQ(env.next(), 0.0f);
        float top = 0.0f, step = 0.0f;
        for (std::size_t i = 0; i < v.size(); ++i) {
            top = std::max(top, v[i]);
            if (i > 0)
                step = std::max(step, std::fabs(v[i] - v[i - 1]));
        }
        EXPECT_LE(top, 1.0f);
        EXPECT_LT(step, 0.01f) << "a click inside the envelope";
    }
    Envelope held({0.01, 0.02, 0.5, 0.1}, 0.3);
    float v = 0.0f;
    for (std::size_t i = 0; i < AudioBuffer::framesFor(0.29); ++i)
        v = held.next();
    EXPECT_NEAR(v, 0.5f, 0.01f) << "settles on the sustain level";
}

TEST(SynthOscillator, TableSineMatchesSineForAnyPhase)
{
    for (double c : {0.0, 0.1, 0.25, 0.7731, 1.5, 12345.678, -0.3, -1e-20, -7.25})
        EXPECT_NEAR(Oscillator::sine(c), std::sin(2.0 * std::numbers::pi * c), 1e-5) << c;
    Oscillator saw(441.0);
    double sum = 0.0;
    float lo = 0.0f, hi = 0.0f;
    for (int i = 0; i < 4410; ++i) {
        const float v = saw.nextSaw();
        sum += v;
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    EXPECT_NEAR(sum / 4410.0, 0.0, 0.01);
    EXPECT_GT(hi, 0.9f);
    EXPECT_LT(lo, -0.9f);
    EXPECT_LT(std::max(hi, -lo), 1.1f);
}

TEST(SynthAudioBuffer, TaperAndCentreZeroesEndsAndOffset)
{
    AudioBuffer b(2, 1000);
    for (std::size_t i = 0; i < 1000; ++i) {
        b.channel(0)[i] = 0.3f + 0.1f * std::sin(static_cast<float>(i) * 0.05f);
        b.channel(1)[i] = -0.2f;
    }
    b.taperAndCentre(50);
    for (int c = 0; c < 2; ++c) {
        EXPECT_EQ(b.sample(c, 0), 0.0f);
        EXPECT_EQ(b.sample(c, 999), 0.0f);
        double sum = 0.0;
        for (std::size_t i = 0; i < 1000; ++i)
            sum += b.sample(c, i);
        EXPECT_NEAR(sum / 1000.0, 0.0, 1e-6);
    }
    AudioBuffer one(1, 1);
    one.channel(0)[0] = 0.7f;
    one.taperAndCentre(10);
    EXPECT_EQ(one.sample(0, 0), 0.0f);
}

TEST(SynthReverb, RingsAndDiesAway)
{
    AudioBuffer impulse(2, AudioBuffer::framesFor(4.0));
    impulse.channel(0)[0] = 1.0f;
    Reverb room(0.72, 0.45);
    const AudioBuffer tail = room.render(impulse);
    ASSERT_EQ(tail.frames(), impulse.frames());
    const std::size_t half = AudioBuffer::framesFor(0.5);
    for (int c = 0; c < 2; ++c) {
        const double early = rmsOf(tail.channel(c), half);
        const double late = rmsOf(tail.channel(c) + tail.frames() - half, half);
        EXPECT_GT(early, 1e-4);
        EXPECT_LT(late, early * 0.01);
    }
    // Not the same tail on both sides: that is where the width comes from.
    double diff = 0.0;
    for (std::size_t i = 0; i < half; ++i)
        diff += std::fabs(tail.sample(0, i) - tail.sample(1, i));
    EXPECT_GT(diff, 0.0);
}

TEST(SynthHiss, LayoutRepeatsTheLoopEveryFourSecondsFromTheLeadIn)
{
    // A loop whose every sample is recognisable.
    const std::size_t n = AudioBuffer::framesFor(Hiss::kLoopLength);
    AudioBuffer loop(2, n);
    for (std::size_t i = 0; i < n; ++i) {
        loop.channel(0)[i] = static_cast<float>(i) / static_cast<float>(n);
        loop.channel(1)[i] = -static_cast<float>(i) / static_cast<float>(n);
    }
    const AudioBuffer file = Hiss::layOut(loop);
    ASSERT_EQ(file.frames(), AudioBuffer::framesFor(Hiss::kLength));
    const std::size_t start = AudioBuffer::framesFor(Hiss::kLoopStart);
    EXPECT_EQ(file.sample(0, start), 0.0f) << "the loop begins at 0.5 s";
    EXPECT_EQ(file.sample(0, start - 1), loop.sample(0, n - 1)) << "the lead-in ends where the loop ends";
    const std::size_t fadeIn = AudioBuffer::framesFor(Hiss::kFadeIn);
    const std::size_t fadeOut = file.frames() - AudioBuffer::framesFor(Hiss::kFadeOut);
    for (std::size_t i = fadeIn + n; i < fadeOut; i += 37)
        ASSERT_EQ(file.sample(1, i), file.sample(1, i - n)) << i;
    EXPECT_EQ(file.sample(0, 0), 0.0f);
    EXPECT_EQ(file.sample(0, file.frames() - 1), 0.0f);
}

TEST(SynthSerenade, TempoIsEvenThenSlowsSmoothlyIntoTheFinalChord)
{
    const double bar = Serenade::kBeatsPerBar;
    EXPECT_DOUBLE_EQ(Serenade::timeOfBeat(30.0), 30.0 * Serenade::kBeatSeconds);
    double previousLength = Serenade::kBeatSeconds;
    for (double beat = 0.0; beat < Serenade::kBars * bar; beat += 0.5) {
        const double length = (Serenade::timeOfBeat(beat + 0.5) - Serenade::timeOfBeat(beat)) * 2.0;
        EXPECT_GE(length, previousLength - 1e-9) << "the tempo never pushes ahead, at beat " << beat;
        EXPECT_LT(length - previousLength, 0.05) << "no sudden brake, at beat " << beat;
        previousLength = length;
    }
    EXPECT_GT(previousLength, 1.3 * Serenade::kBeatSeconds) << "the ending slows down";
    const double end = Serenade::timeOfBeat(Serenade::kBars * bar);
    EXPECT_GT(end, 40.0);
    EXPECT_LT(end, 85.0);
}
