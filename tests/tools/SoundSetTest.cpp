// The sound set as the build wrote it, read back through the player's own
// decoder: every effect is there with its length, starts and ends without a
// click, the hiss loops without a seam where the player winds it back, and the
// demo song is loud but unclipped.
#include "platform/Resources.h"
#include "sound/Decoder.h"

#include "support/TestSupport.h"

#include <algorithm>
#include <tuple>

namespace {

struct Sound {
    int rate = 0;
    std::vector<float> left, right;
    double seconds() const { return rate ? static_cast<double>(left.size()) / rate : 0.0; }
};

Sound decode(const std::string& path)
{
    Sound s;
    const auto d = gx::Decoder::open(path);
    if (!d)
        return s;
    s.rate = d->sampleRate();
    float buffer[2 * 4096];
    while (const int n = d->read(buffer, 4096))
        for (int i = 0; i < n; ++i) {
            s.left.push_back(buffer[2 * i]);
            s.right.push_back(buffer[2 * i + 1]);
        }
    return s;
}

double rms(const std::vector<float>& v, std::size_t from, std::size_t to)
{
    double sum = 0.0;
    for (std::size_t i = from; i < to; ++i)
        sum += static_cast<double>(v[i]) * v[i];
    return to > from ? std::sqrt(sum / static_cast<double>(to - from)) : 0.0;
}

constexpr std::size_t at(double seconds)
{
    return static_cast<std::size_t>(seconds * 44100.0);
}

} // namespace

TEST(SoundSet, EverySoundHasItsLengthAndStartsAndEndsWithoutAClick)
{
    const std::tuple<const char*, double, double> effects[]
        = {{"noise1", 0.02, 0.15}, {"noise2", 0.02, 0.15}, {"noise3", 0.02, 0.15}, {"noise4", 0.02, 0.15},
            {"noise5", 0.02, 0.15}, {"noise6", 0.02, 0.15}, {"noise7", 0.02, 0.15}, {"hiss", 4.5001, 30.0},
            {"skip", 0.1, 0.3}, {"stop", 1.0, 2.0}, {"switch", 0.03, 0.08}, {"01 Gramolux Serenade", 40.0, 90.0}};
    for (const auto& [name, minSeconds, maxSeconds] : effects) {
        SCOPED_TRACE(name);
        const Sound s = decode(gx::pathForSoundResource(name));
        ASSERT_EQ(s.rate, 44100);
        EXPECT_GE(s.seconds(), minSeconds);
        EXPECT_LE(s.seconds(), maxSeconds);
        for (const auto* ch : {&s.left, &s.right}) {
            EXPECT_GT(rms(*ch, 0, ch->size()), 0.001) << "silent";
            // Two steps of 16-bit rounding at most where the player starts or cuts it.
            EXPECT_LE(std::fabs(ch->front()), 2.0f / 32768.0f);
            EXPECT_LE(std::fabs(ch->back()), 2.0f / 32768.0f);
        }
    }
}

TEST(SoundSet, HissWoundBackByFourSecondsNearItsLoopEndHasNoSeam)
{
    const Sound s = decode(gx::pathForSoundResource("hiss"));
    ASSERT_GT(s.left.size(), at(4.6) + 1);
    for (const auto* ch : {&s.left, &s.right}) {
        const std::vector<float>& v = *ch;
        const double level = rms(v, at(0.5), at(4.5));
        EXPECT_GT(level, 0.003);
        EXPECT_LT(level, 0.1) << "a surface noise, not a roar";
        std::vector<float> steps;
        for (std::size_t i = at(0.5); i < at(4.5); ++i)
            steps.push_back(std::fabs(v[i] - v[i - 1]));
        std::nth_element(steps.begin(), steps.begin() + static_cast<long>(steps.size() / 2), steps.end());
        // A jump from near 4.5 s back by 4 s lands on the same sound: it moves
        // less than one usual step of the noise.
        float drift = 0.0f;
        for (std::size_t n = at(4.4); n <= at(4.6); ++n)
            drift = std::max(drift, std::fabs(v[n] - v[n - at(4.0)]));
        EXPECT_LE(drift, steps[steps.size() / 2]);
    }
}

TEST(SoundSet, DemoSongIsLoudButUnclippedAndNeverFallsSilent)
{
    const Sound s = decode(gx::pathForSoundResource("01 Gramolux Serenade"));
    float peak = 0.0f;
    for (const auto* ch : {&s.left, &s.right})
        for (const float x : *ch)
            peak = std::max(peak, std::fabs(x));
    EXPECT_LT(peak, 32767.0f / 32768.0f) << "clipped";
    EXPECT_GT(20.0 * std::log10(peak), -6.0);
    for (std::size_t from = at(1.0); from + at(5.0) < s.left.size(); from += at(1.0))
        EXPECT_GT(rms(s.left, from, from + at(1.0)), 0.01) << "a silent second at " << from / 44100;
    EXPECT_NE(s.left, s.right); // placed across the stereo field
}
