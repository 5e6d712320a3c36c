// The music object through its public operations: offline through a mixer of
// the test's own for exact checks, and through the process's audio engine
// (the dummy SDL device) where real time matters.
#include "sound/Sound.h"
#include "SoundFixtures.h"
#include "sound/AudioEngine.h"
#include "sound/Mixer.h"

#include <filesystem>
#include <numeric>
#include <random>
#include <thread>

using namespace gx;
using namespace gx::test;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// Renders until the sound halts; where a streamed song's decoder has not
// caught up yet the position holds, so it waits a moment and goes on.
std::vector<float> renderToEnd(Mixer& mixer, gx::Sound& music, int block = 1024)
{
    std::vector<float> all;
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (music.isPlaying() && std::chrono::steady_clock::now() < deadline) {
        const std::int32_t before = music.currentTime();
        std::ranges::copy(render(mixer, block), std::back_inserter(all));
        if (music.currentTime() == before && music.isPlaying())
            std::this_thread::sleep_for(1ms);
    }
    return all;
}

class Formats : public FormatTest { };

} // namespace

// One file per format the player takes, shared by the decoder's and the music
// object's checks.
TEST_P(Formats, DecodeWholePlayFromTheExactFrameAndToABitExactEnd)
{
    const Signal signal = sweepSignal(1.5);
    const std::string path = sweepFixture(GetParam().name);
    ASSERT_FALSE(path.empty());
    const std::vector<float> reference = decodeAll(path);
    const auto frames = static_cast<std::int64_t>(reference.size() / 2);
    auto mixer = std::make_shared<Mixer>(44100);
    auto music = gx::Sound::open(path, mixer);
    ASSERT_TRUE(music->isOpen());
    // In the file's own rate (Opus runs at 48 kHz: ffmpeg resamples, and the
    // player must too). The encoders pad a little but never drop or add much;
    // lossless is exact.
    EXPECT_NEAR(music->lengthSeconds(), 1.5f, 0.06f);
    for (size_t i = 0; !GetParam().lossy && i < reference.size(); ++i)
        ASSERT_EQ(reference[i], sampleToFloat(signal.samples[i])) << i;
    music->setPositionSeconds(0.61f);
    music->play();
    const std::vector<float> heard = render(*mixer, 1500);
    for (int i = 0; music->timeScale() == 44100 && i < 1500 * 2; ++i) // 0.61f * 44100 in single precision
        ASSERT_EQ(heard[i], reference[2 * 26901 + i]) << "frame 26901 + " << i / 2;
    music->setRate(1.03f);
    const std::vector<float> rest = renderToEnd(*mixer, *music, 777);
    // At the mixer's rate whatever the file's, and not silence.
    EXPECT_NEAR(
        static_cast<double>(rest.size()) / 2 / 44100, (music->lengthSeconds() - 0.61 - 1500.0 / 44100) / 1.03, 0.02);
    const double energy = std::inner_product(rest.begin(), rest.end(), rest.begin(), 0.0);
    EXPECT_GT(std::sqrt(energy / static_cast<double>(rest.size())), 0.05);
    EXPECT_EQ(music->currentTime(), music->duration());
    EXPECT_EQ(music->duration(), frames);
    EXPECT_EQ(music->positionSeconds(), music->lengthSeconds());
}

INSTANTIATE_TEST_SUITE_P(Accepted, Formats, ::testing::ValuesIn(everyFormat()), formatName);

TEST(Sound, LongSongsStreamRewindAtTheirReportedEndAndEndWhereTheyReallyEnd)
{
    GX_SKIP_WITHOUT_FFMPEG();
    // Longer than what is held in memory whole: decoded ahead by a worker. A
    // WAV whose header promises more than is there, and a VBR MP3 with no
    // length header.
    ScratchDir dir;
    const Signal signal = sweepSignal(14.0);
    ASSERT_TRUE(writeWav(dir.file("long.wav"), signal));
    auto mixer = std::make_shared<Mixer>(44100);
    auto music = gx::Sound::open(dir.file("long.wav"), mixer);
    // Until the worker has decoded there it is silent and holds the place;
    // then every frame is heard.
    const auto heardFrom = [&](std::int64_t frame) {
        std::vector<float> heard;
        while (heard.size() < 2000) {
            const std::int32_t before = music->currentTime();
            const std::vector<float> out = render(*mixer, 100);
            if (music->currentTime() != before)
                heard.insert(heard.end(), out.begin(), out.end());
            else if (std::any_of(out.begin(), out.end(), [](float x) { return x != 0.0f; }))
                FAIL() << "sound while the place holds";
            else
                std::this_thread::sleep_for(1ms);
        }
        for (int i = 0; i < 2000; ++i)
            ASSERT_EQ(heard[i], sampleToFloat(signal.samples[2 * frame + i])) << frame << " + " << i / 2;
    };
    // Played at its reported end before the real end is decoded: from the
    // beginning.
    music->setPositionSeconds(music->lengthSeconds());
    ASSERT_EQ(music->currentTime(), music->duration());
    music->play();
    EXPECT_EQ(music->currentTime(), 0);
    heardFrom(0);
    music->setPositionSeconds(12.0f);
    heardFrom(529200);
    // A needle skip back by a second is served from what was kept: heard at
    // once, not after the decoder has been sent back.
    while (music->currentTime() < 529200 + 52920) { // 1.2 s on, at the pace the worker decodes
        render(*mixer, 4410);
        std::this_thread::sleep_for(1ms);
    }
    music->setPositionSeconds(music->positionSeconds() - 1.0f);
    const std::int32_t skippedTo = music->currentTime();
    render(*mixer, 100);
    EXPECT_EQ(music->currentTime(), skippedTo + 100);

    fs::resize_file(dir.file("long.wav"), 44 + 4 * 44100 * 12);
    for (const std::string& path :
        {dir.file("long.wav"), fixture(format("Mp3VbrNoHeader"), "sweep13000", sweepSignal(13.0))}) {
        music = gx::Sound::open(path, mixer);
        ASSERT_TRUE(music->isOpen()) << path;
        music->setPositionSeconds(music->lengthSeconds());
        music->play();
        EXPECT_EQ(music->currentTime(), 0) << path;
        music->setPositionSeconds(music->lengthSeconds() - 3.0f);
        renderToEnd(*mixer, *music, 1000);
        EXPECT_EQ(static_cast<std::size_t>(music->duration()), decodeAll(path).size() / 2) << path;
        EXPECT_EQ(music->positionSeconds(), music->lengthSeconds()) << path;
    }
}

// SDL's thread keeps looping while the device is paused, so a long rest
// closes the device: a sound after a rest or after the close must wake or
// open it again, or it is never heard to its end.
TEST(SoundRealTime, PlaysAtRealTimePaceAndWakesTheRestingOrClosedOutput)
{
    gx::Sound::initialize();
    const AudioEngine& engine = AudioEngine::shared();
    ASSERT_TRUE(engine.hasDevice());
    auto music = gx::Sound::open(sweepFixture("Wav"));
    const auto start = std::chrono::steady_clock::now();
    music->play();
    EXPECT_TRUE(waitUntil([&] { return !music->isPlaying(); }, 10000));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 1420ms); // not faster than it lasts
    EXPECT_EQ(music->currentTime(), music->duration());
    EXPECT_TRUE(waitUntil([&] { return engine.resting(); }, 5000));
    music->play();
    EXPECT_TRUE(waitUntil([&] { return !music->isPlaying(); }, 10000));
    EXPECT_TRUE(waitUntil([&] { return !engine.deviceOpen(); }, 20000));
    music->play();
    EXPECT_TRUE(waitUntil([&] { return engine.deviceOpen(); }, 10000));
    EXPECT_TRUE(waitUntil([&] { return !music->isPlaying(); }, 10000));
    EXPECT_EQ(music->currentTime(), music->duration());
}

// The song named at launch starts before the window. Opening the effect
// sounds meanwhile once dropped it, and the jukebox started it again from the
// beginning.
TEST(SoundRealTime, APreopenedSongPlaysOnWhileOtherFilesOpenUntilTakenOrDropped)
{
    ScratchDir dir;
    ASSERT_TRUE(writeWav(dir.file("song.wav"), sweepSignal(6.0)));
    const std::string song = dir.file("song.wav");
    gx::Sound::preopen(song);
    gx::Sound::playPreopened(1.0f, 1.0f);
    EXPECT_FALSE(gx::Sound::open(sweepFixture("Wav"))->isPlaying());
    auto taken = gx::Sound::open(song);
    EXPECT_TRUE(taken->isPlaying());
    EXPECT_TRUE(waitUntil([&] { return taken->positionSeconds() > 0.0f; }, 10000));

    gx::Sound::preopen(song);
    gx::Sound::playPreopened(1.0f, 1.0f);
    gx::Sound::dropPreopened();
    EXPECT_FALSE(gx::Sound::open(song)->isPlaying());
}

TEST(SoundRealTime, CallsFromFourThreadsAtOnceAndDestroyingWhileMixingAreSafe)
{
    ScratchDir dir;
    ASSERT_TRUE(writeWav(dir.file("song.wav"), sweepSignal(12.0)));
    const std::string shortPath = sweepFixture("Wav");
    auto song = gx::Sound::open(dir.file("song.wav"));
    auto effect = gx::Sound::open(shortPath);
    song->play();
    std::atomic<int> badReads {0};
    { // each thread is asked to stop and joined as the block ends
        std::jthread reader([&](const std::stop_token& stop) {
            for (std::mt19937 rng(1); !stop.stop_requested(); std::this_thread::sleep_for(1ms)) {
                const float now = song->positionSeconds();
                badReads += !(now >= 0.0f && now <= song->lengthSeconds() + 0.001f);
                song->setRate(1.0f + static_cast<float>(rng() % 10) / 100.0f);
                effect->play();
            }
        });
        std::jthread seeker([&](const std::stop_token& stop) {
            for (std::mt19937 rng(2); !stop.stop_requested(); std::this_thread::sleep_for(3ms)) {
                song->setPositionSeconds(static_cast<float>(rng() % 110) / 10.0f);
                song->setVolume(0.5f);
                effect->setPositionSeconds(0.1f);
            }
        });
        std::jthread toggler([&](const std::stop_token& stop) {
            for (; !stop.stop_requested(); std::this_thread::sleep_for(2ms)) {
                song->pause();
                song->play();
                effect->stop();
            }
        });
        std::this_thread::sleep_for(600ms);
    }
    EXPECT_EQ(badReads.load(), 0);

    for (int i = 0; i < 20; ++i) {
        auto a = gx::Sound::open(shortPath);
        auto b = gx::Sound::open(dir.file("song.wav"));
        a->play();
        b->play();
        b->setPositionSeconds(5.0f); // the worker is busy seeking when b goes
        std::this_thread::sleep_for(std::chrono::milliseconds(i % 4));
    }
}
