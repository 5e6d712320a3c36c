// Checks the sound set as the build wrote it into the resource folder: every
// file the player loads is there and is proper 44.1 kHz PCM of the right
// length, the hiss loops without a seam where the player winds it back, the
// crackles differ from one another, and the demo song is loud but unclipped.
#include "platform/Resources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <numbers>
#include <numeric>
#include <string>
#include <vector>

namespace {

// A deliberately independent reader, so a fault in the generator's writer
// cannot hide itself.
struct Wav {
    bool ok = false;
    std::string problem;
    int channels = 0;
    int rate = 0;
    int bits = 0;
    std::vector<std::vector<float>> samples; // per channel, -1 .. 1

    std::size_t frames() const { return samples.empty() ? 0 : samples[0].size(); }
    double seconds() const { return rate > 0 ? static_cast<double>(frames()) / rate : 0.0; }
    std::vector<float> mono() const
    {
        std::vector<float> m(frames(), 0.0f);
        for (const auto& ch : samples)
            for (std::size_t i = 0; i < m.size(); ++i)
                m[i] += ch[i] / static_cast<float>(samples.size());
        return m;
    }
};

std::uint32_t le32(const std::vector<unsigned char>& b, std::size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

std::uint16_t le16(const std::vector<unsigned char>& b, std::size_t at)
{
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

Wav readWav(const std::string& path)
{
    Wav w;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        w.problem = "cannot open " + path;
        return w;
    }
    const std::vector<unsigned char> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (b.size() < 12 || std::string(b.begin(), b.begin() + 4) != "RIFF" || std::string(b.begin() + 8, b.begin() + 12) != "WAVE") {
        w.problem = "not a RIFF/WAVE file";
        return w;
    }
    if (le32(b, 4) + 8 != b.size()) {
        w.problem = "RIFF size does not match the file";
        return w;
    }
    bool haveFormat = false;
    for (std::size_t at = 12; at + 8 <= b.size();) {
        const std::string id(b.begin() + static_cast<long>(at), b.begin() + static_cast<long>(at) + 4);
        const std::size_t size = le32(b, at + 4);
        const std::size_t body = at + 8;
        if (body + size > b.size()) {
            w.problem = "chunk " + id + " runs past the end";
            return w;
        }
        if (id == "fmt " && size >= 16) {
            if (le16(b, body) != 1) {
                w.problem = "not PCM";
                return w;
            }
            w.channels = le16(b, body + 2);
            w.rate = static_cast<int>(le32(b, body + 4));
            w.bits = le16(b, body + 14);
            const std::uint32_t byteRate = le32(b, body + 8);
            if (byteRate != static_cast<std::uint32_t>(w.rate * w.channels * w.bits / 8)
                || le16(b, body + 12) != w.channels * w.bits / 8) {
                w.problem = "inconsistent byte rate or block size";
                return w;
            }
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat || w.bits != 16 || w.channels < 1 || w.channels > 2) {
                w.problem = "data before a usable 16-bit mono/stereo format";
                return w;
            }
            const std::size_t frames = size / (2u * static_cast<std::size_t>(w.channels));
            w.samples.assign(static_cast<std::size_t>(w.channels), std::vector<float>(frames));
            for (std::size_t i = 0; i < frames; ++i)
                for (int c = 0; c < w.channels; ++c) {
                    const auto v = static_cast<std::int16_t>(le16(b, body + (i * static_cast<std::size_t>(w.channels) + static_cast<std::size_t>(c)) * 2));
                    w.samples[static_cast<std::size_t>(c)][i] = v / 32768.0f;
                }
            w.ok = true;
            return w;
        }
        at = body + size + (size & 1);
    }
    w.problem = "no data chunk";
    return w;
}

Wav loadSound(const std::string& name)
{
    const std::string path = gx::pathForSoundResource(name);
    if (path.empty()) {
        Wav w;
        w.problem = "no sound resource " + name;
        return w;
    }
    return readWav(path);
}

Wav loadDemo()
{
    const std::string path = gx::pathForResource("01 Gramolux Serenade.wav");
    if (path.empty()) {
        Wav w;
        w.problem = "no demo song";
        return w;
    }
    return readWav(path);
}

double rms(const std::vector<float>& v, std::size_t from, std::size_t to)
{
    to = std::min(to, v.size());
    if (from >= to)
        return 0.0;
    double sum = 0.0;
    for (std::size_t i = from; i < to; ++i)
        sum += static_cast<double>(v[i]) * v[i];
    return std::sqrt(sum / static_cast<double>(to - from));
}

double mean(const std::vector<float>& v)
{
    return v.empty() ? 0.0 : std::accumulate(v.begin(), v.end(), 0.0) / static_cast<double>(v.size());
}

float peak(const std::vector<float>& v)
{
    float p = 0.0f;
    for (float x : v)
        p = std::max(p, std::fabs(x));
    return p;
}

std::size_t at(double seconds)
{
    return static_cast<std::size_t>(seconds * 44100.0);
}

struct Expected {
    const char* name;
    double minSeconds, maxSeconds;
};

const Expected kEffects[] = {
    {"noise1", 0.02, 0.15}, {"noise2", 0.02, 0.15}, {"noise3", 0.02, 0.15}, {"noise4", 0.02, 0.15},
    {"noise5", 0.02, 0.15}, {"noise6", 0.02, 0.15}, {"noise7", 0.02, 0.15}, {"hiss", 4.5001, 30.0},
    {"skip", 0.1, 0.3}, {"stop", 1.0, 2.0}, {"switch", 0.03, 0.08},
};

} // namespace

TEST(SoundSet, EveryEffectIsPcmAt44kWithItsLength)
{
    for (const Expected& e : kEffects) {
        SCOPED_TRACE(e.name);
        const Wav w = loadSound(e.name);
        ASSERT_TRUE(w.ok) << w.problem;
        EXPECT_EQ(w.rate, 44100);
        EXPECT_GE(w.seconds(), e.minSeconds);
        EXPECT_LE(w.seconds(), e.maxSeconds);
        for (const auto& ch : w.samples)
            EXPECT_GT(peak(ch), 0.05f) << "next to silent";
    }
}

TEST(SoundSet, ShortEffectsStartAndEndAtZeroAndHaveNoOffset)
{
    for (const Expected& e : kEffects) {
        SCOPED_TRACE(e.name);
        const Wav w = loadSound(e.name);
        ASSERT_TRUE(w.ok) << w.problem;
        for (const auto& ch : w.samples) {
            // A stray first or last sample is a click when the player starts
            // or cuts the sound; two steps of 16-bit rounding are allowed.
            EXPECT_LE(std::fabs(ch.front()), 2.0f / 32768.0f);
            EXPECT_LE(std::fabs(ch.back()), 2.0f / 32768.0f);
            EXPECT_LT(std::fabs(mean(ch)), 0.002) << "DC offset";
        }
    }
}

TEST(SoundSet, HissWoundBackByFourSecondsNearItsLoopEndHasNoSeam)
{
    const Wav w = loadSound("hiss");
    ASSERT_TRUE(w.ok) << w.problem;
    ASSERT_EQ(w.channels, 2);
    ASSERT_GT(w.frames(), at(4.6) + 1);
    const std::size_t period = at(4.0);
    for (const auto& ch : w.samples) {
        // The hiss must really be there, or a seam test means nothing.
        const double level = rms(ch, at(0.5), at(4.5));
        EXPECT_GT(level, 0.003);
        EXPECT_LT(level, 0.1) << "a surface noise, not a roar";
        // The ordinary sample-to-sample movement of the noise.
        std::vector<float> steps;
        for (std::size_t i = at(0.5); i < at(4.5); ++i)
            steps.push_back(std::fabs(ch[i] - ch[i - 1]));
        std::nth_element(steps.begin(), steps.begin() + static_cast<long>(steps.size() / 2), steps.end());
        const float typical = steps[steps.size() / 2];
        // A jump from any frame n near 4.5 s to n - 4 s must land on the
        // same sound: what differs there is less than one usual step.
        float drift = 0.0f;
        for (std::size_t n = at(4.4); n <= at(4.6); ++n)
            drift = std::max(drift, std::fabs(ch[n] - ch[n - period]));
        EXPECT_LE(drift, typical) << "the stretch after 4.5 s does not repeat the one after 0.5 s";
        // It fades in rather than starting on a step.
        EXPECT_LT(rms(ch, 0, at(0.005)), 0.3 * level);
    }
}

TEST(SoundSet, DemoSongIsAStereoPieceLoudButUnclipped)
{
    const Wav w = loadDemo();
    ASSERT_TRUE(w.ok) << w.problem;
    EXPECT_EQ(w.rate, 44100);
    ASSERT_EQ(w.channels, 2);
    EXPECT_GE(w.seconds(), 40.0);
    EXPECT_LE(w.seconds(), 90.0);
    const float p = std::max(peak(w.samples[0]), peak(w.samples[1]));
    EXPECT_LT(p, 32767.0f / 32768.0f) << "clipped";
    EXPECT_GT(20.0 * std::log10(p), -6.0);
    EXPECT_LT(20.0 * std::log10(p), -1.0);
    for (const auto& ch : w.samples) {
        EXPECT_LT(std::fabs(mean(ch)), 0.002) << "DC offset";
        EXPECT_GT(rms(ch, 0, ch.size()), 0.02) << "too quiet for music";
        // A clear start within the first second, a proper ending at the end.
        EXPECT_GT(peak(std::vector<float>(ch.begin(), ch.begin() + static_cast<long>(at(1.0)))), 0.05f);
        EXPECT_LE(std::fabs(ch.front()), 2.0f / 32768.0f);
        EXPECT_LT(rms(ch, ch.size() - at(0.2), ch.size()), 0.003);
    }
    // Instruments placed across the stereo field: the sides differ.
    double diff = 0.0, sum = 0.0;
    for (std::size_t i = 0; i < w.frames(); ++i) {
        const double l = w.samples[0][i], r = w.samples[1][i];
        diff += (l - r) * (l - r);
        sum += (l + r) * (l + r);
    }
    EXPECT_GT(diff, 0.01 * sum);
    // It keeps going: no stretch of a second in the body is silent.
    const std::vector<float> m = w.mono();
    for (std::size_t s = at(1.0); s + at(1.0) < m.size() - at(4.0); s += at(1.0))
        EXPECT_GT(rms(m, s, s + at(1.0)), 0.01) << "a silent second at " << s / 44100;
}
