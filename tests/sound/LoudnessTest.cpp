// Loudness levelling without files or threads: the gain each mode picks, the
// glide of a voice to a new gain, and the cache of what was found.
#include "SoundFixtures.h"
#include "sound/LoudnessCache.h"
#include "sound/LoudnessGain.h"
#include "sound/MusicTime.h"

#include <tuple>

using namespace gx;

TEST(LoudnessGain, EachModeTakesItsGainFallsBackOnTheOtherAndThePeakCapsIt)
{
    const SongLoudness both {-6.0, 0.5, -4.0, 0.8}, peaks {9.0, 0.5, 12.0, 0.9};
    const LoudnessMode off = LoudnessMode::off, track = LoudnessMode::track, album = LoudnessMode::album;
    for (const auto& [mode, loudness, expectedDb] :
        std::initializer_list<std::tuple<LoudnessMode, SongLoudness, double>> {{off, both, 0.0}, {track, both, -6.0},
            {album, both, -4.0}, {album, {-6.0, 0.5, {}, {}}, -6.0}, {track, {{}, {}, 3.0, 0.6}, 3.0}, {track, {}, 0.0},
            {track, peaks, 6.0206}, {album, peaks, 0.9151}, {track, {{}, 0.9, 6.0, {}}, 0.9151},
            {track, {12.0, {}, {}, {}}, 12.0}, {track, {80.0, {}, {}, {}}, 20.0}})
        EXPECT_NEAR(20.0 * std::log10(loudnessGain(mode, loudness)), expectedDb, 1e-3) << loudnessModeName(mode);
    EXPECT_EQ(loudnessModeFromName("Track"), LoudnessMode::off) << "an unknown mode is off";
}

TEST(LoudnessGain, APlayingVoiceGlidesToItsNewGainInHalfASecondWithoutAJump)
{
    constexpr int kRate = 44100;
    Mixer mixer(kRate);
    // A constant: the output is the gain.
    auto voice = test::memoryVoice(kRate, std::vector<float>(size_t {kRate} * 4, 0.5f));
    mixer.add(voice);
    const float full = 0.5f * gainFromEngineVolume(kFullEngineVolume);
    voice->setLoudnessGain(0.25f); // halted: at once
    voice->play();
    EXPECT_FLOAT_EQ(test::render(mixer, 10)[0], 0.25f * full);
    voice->setLoudnessGain(1.0f);
    const std::vector<float> glide = test::render(mixer, kRate);
    for (size_t i = 2; i < glide.size(); i += 2)
        ASSERT_TRUE(glide[i] >= glide[i - 2] && glide[i] - glide[i - 2] < 0.002f) << "a jump at frame " << i / 2;
    EXPECT_FLOAT_EQ(glide[2 * (kRate / 2 + 256)], full);
}

TEST(LoudnessCache, KeepsTheRecentlyUsedWithinItsBoundAcrossARestartAndIgnoresADamagedFile)
{
    test::ScratchDir scratch;
    const QString file = QString::fromStdString(scratch.file("cache/loudness"));
    const auto key = [](int i) { return LoudnessCache::Key {"/m/a\tb\n" + std::to_string(i) + ".mp3", i, i}; };
    const auto value = [](int i) { return SongLoudness {-static_cast<double>(i), 0.5, {}, 0.25 * i}; };
    LoudnessCache cache(file, 3);
    for (int i = 1; i <= 3; ++i)
        cache.insert(key(i), value(i));
    ASSERT_TRUE(cache.find(key(1))); // used: now the newest
    cache.insert(key(4), value(4));  // 2, the least recently used, goes
    EXPECT_FALSE(cache.find(key(2)));
    EXPECT_FALSE(cache.find({key(1).path, 1, 99})) << "a file changed since is not known";
    ASSERT_TRUE(cache.save());
    EXPECT_EQ(QDir(scratch.filePath("cache")).entryList(QDir::Files), QStringList {"loudness"});

    LoudnessCache again(file, 3);
    ASSERT_TRUE(again.load());
    again.insert(key(5), value(5)); // the order came back too: 3 is the least recently used
    EXPECT_FALSE(again.find(key(3)));
    for (int i : {1, 4})
        EXPECT_EQ(again.find(key(i)), value(i)) << i;

    const QByteArray whole = test::readFile(file);
    for (const QByteArray& damaged : {whole.left(whole.size() - 9), QByteArray("garbage\n"),
             QByteArray(whole).replace("-3", "nan"), QByteArray(whole).replace("\t3\t", "\tx\t")}) {
        SCOPED_TRACE(damaged.toStdString());
        ASSERT_FALSE(test::writeFile(file, damaged).isEmpty());
        EXPECT_FALSE(again.load());
        EXPECT_EQ(again.size(), 0u);
    }
    again.insert(key(6), value(6));
    ASSERT_TRUE(again.save());
    EXPECT_TRUE(LoudnessCache(file).load()) << "written afresh";
}
