// The music object through its public operations: offline through a mixer of
// the test's own for exact checks, and through the process's audio engine
// (the dummy SDL device) where real time matters.
#include "SoundFixtures.h"
#include "sound/AudioEngine.h"
#include "sound/Decoder.h"
#include "sound/GXQTMusic.h"
#include "sound/Mixer.h"

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace gx;
using namespace gx::test;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Renders until the sound halts; where a streamed song's decoder has not
// caught up yet the position holds, so it waits a moment and goes on.
std::vector<float> renderToEnd(Mixer& mixer, GXQTMusic& music, int block = 1024)
{
    std::vector<float> all;
    std::vector<float> buf(static_cast<size_t>(block) * 2);
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (music.isPlaying() && std::chrono::steady_clock::now() < deadline) {
        const std::int32_t before = music.currentTime();
        mixer.render(buf.data(), block);
        all.insert(all.end(), buf.begin(), buf.end());
        if (music.currentTime() == before && music.isPlaying())
            std::this_thread::sleep_for(1ms);
    }
    return all;
}

std::vector<float> renderFrames(Mixer& mixer, int frames)
{
    std::vector<float> out(static_cast<size_t>(frames) * 2);
    mixer.render(out.data(), frames);
    return out;
}

template <class Pred> bool waitFor(Pred pred, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!pred()) {
        if (std::chrono::steady_clock::now() > deadline)
            return pred();
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

std::vector<float> decodeAll(const std::string& path)
{
    auto d = Decoder::open(path);
    std::vector<float> all;
    if (!d)
        return all;
    std::vector<float> block(4096 * 2);
    while (const int n = d->read(block.data(), 4096))
        all.insert(all.end(), block.begin(), block.begin() + 2 * n);
    return all;
}

class MusicFormats : public FormatTest {};

} // namespace

TEST(GXQTMusic, MusicFileTypesAreTheSixteenInOrder)
{
    const std::vector<std::string> expected = {"aif", "aiff", "AIF", "AIFF", "aifc", "AIFC", "wav", "WAV",
                                               "mp3", "MP3", "m4a", "m4p", "mpg", "mpeg", "mp4", "mov"};
    std::vector<std::string> first = GXQTMusic::musicFileType();
    EXPECT_EQ(first, expected);
    first.clear(); // a fresh list each time: changing one leaves the next alone
    EXPECT_EQ(GXQTMusic::musicFileType(), expected);
    EXPECT_EQ(std::count(expected.begin(), expected.end(), "MOV"), 0);
}

TEST_P(MusicFormats, PlayedToTheEndPositionEqualsLengthBitForBit)
{
    const std::string path = fixture(GetParam().format, "sweep1500", sweepSignal(1.5));
    ASSERT_FALSE(path.empty());
    auto mixer = std::make_shared<Mixer>(44100);
    auto music = GXQTMusic::initWithFilePath(path, mixer);
    ASSERT_TRUE(music->hasMovie());
    EXPECT_EQ(music->openFailure(), OpenFailure::none);
    EXPECT_EQ(music->timeScale(), 44100);
    EXPECT_NEAR(music->movieTotalSeconds(), 1.5f, 0.06f);
    EXPECT_EQ(music->movieCrntSecond(), 0.0f);
    music->setMovieRate(1.03f);
    music->play();
    renderToEnd(*mixer, *music, 777);
    EXPECT_FALSE(music->isPlaying());
    EXPECT_EQ(music->currentTime(), music->duration());
    EXPECT_TRUE(sameBits(music->movieCrntSecond(), music->movieTotalSeconds()))
        << music->movieCrntSecond() << " vs " << music->movieTotalSeconds();
    EXPECT_EQ(static_cast<size_t>(music->duration()), decodeAll(path).size() / 2);
}

TEST_P(MusicFormats, SeekedSoundIsHeardFromTheRequestedFrame)
{
    const std::string path = fixture(GetParam().format, "sweep1500", sweepSignal(1.5));
    ASSERT_FALSE(path.empty());
    const std::vector<float> reference = decodeAll(path);
    auto mixer = std::make_shared<Mixer>(44100);
    auto music = GXQTMusic::initWithFilePath(path, mixer);
    ASSERT_TRUE(music->hasMovie());

    auto heardFrom = [&](std::int32_t expectedFrame) {
        const std::vector<float> out = renderFrames(*mixer, 1500);
        for (int i = 0; i < 1500 * 2; ++i)
            ASSERT_EQ(out[i], reference[2 * expectedFrame + i]) << "frame " << expectedFrame << " + " << i / 2;
    };
    // Halted, then played.
    music->setMovieCrntSecond(0.61f);
    EXPECT_EQ(music->currentTime(), 26901); // 0.61f * 44100 in single precision
    music->play();
    heardFrom(26901);
    // While playing, backwards and forwards.
    music->setMovieCrntSecond(0.2f);
    heardFrom(8820);
    music->setMovieCrntSecond(1.1f);
    heardFrom(48510);
    EXPECT_EQ(music->currentTime(), 48510 + 1500);
}

INSTANTIATE_TEST_SUITE_P(AllFormats, MusicFormats, ::testing::ValuesIn(allFormats()), formatName);

// The desktop entry offers these beyond the accepted types; the desktop hands
// them over by path, and the engine must play them whole and audibly.
class DesktopFormats : public FormatTest {};

TEST_P(DesktopFormats, PlayToTheirEndThroughTheEngine)
{
    const std::string path = fixture(GetParam().format, "sweep1500", sweepSignal(1.5));
    ASSERT_FALSE(path.empty());
    auto mixer = std::make_shared<Mixer>(44100);
    auto music = GXQTMusic::initWithFilePath(path, mixer);
    ASSERT_TRUE(music->hasMovie());
    EXPECT_NEAR(music->movieTotalSeconds(), 1.5f, 0.06f);
    music->play();
    const std::vector<float> heard = renderToEnd(*mixer, *music);
    EXPECT_FALSE(music->isPlaying());
    EXPECT_EQ(music->currentTime(), music->duration());
    // Played at the mixer's rate: about 1.5 s of sound came out, not silence.
    double energy = 0.0;
    for (const float s : heard)
        energy += static_cast<double>(s) * s;
    EXPECT_NEAR(static_cast<double>(heard.size()) / 2 / 44100, 1.5, 0.1);
    EXPECT_GT(std::sqrt(energy / static_cast<double>(heard.size())), 0.05);
}

INSTANTIATE_TEST_SUITE_P(Desktop, DesktopFormats, ::testing::ValuesIn(desktopFormats()), formatName);

TEST(GXQTMusic, SeekFindsAMarkerAtItsSample)
{
    const std::int64_t marker = 33333;
    const std::string path = fixture(Format::Wav, "marker33333", markerSignal(1.0, marker));
    auto mixer = std::make_shared<Mixer>(44100);
    auto music = GXQTMusic::initWithFilePath(path, mixer);
    ASSERT_TRUE(music->hasMovie());
    // Aim a couple of frames before the marker; whatever frame the rule
    // lands on, the marker must be heard exactly that many frames later.
    const float seconds = static_cast<float>(marker - 2) / 44100.0f;
    music->setMovieCrntSecond(seconds);
    const std::int32_t landed = music->currentTime();
    EXPECT_EQ(landed, static_cast<std::int32_t>(seconds * 44100.0f));
    music->play();
    const std::vector<float> out = renderFrames(*mixer, 10);
    int firstLoud = -1;
    for (int i = 0; i < 10 && firstLoud < 0; ++i)
        if (out[2 * i] > 0.5f)
            firstLoud = i;
    EXPECT_EQ(firstLoud, marker - landed);
    EXPECT_EQ(out[2 * firstLoud + 1], sampleToFloat(-20000));
}

TEST(GXQTMusic, TimeValuesFollowTheFilesOwnTimeScale)
{
    ScratchDir dir;
    ASSERT_TRUE(writeWav(dir.file("scale600.wav"), toneSignal(3.0, 50.0, 600)));
    ASSERT_TRUE(writeWav(dir.file("scale10.wav"), toneSignal(7.0, 1.0, 10)));
    auto mixer = std::make_shared<Mixer>(44100);
    auto at600 = GXQTMusic::initWithFilePath(dir.file("scale600.wav"), mixer);
    auto at10 = GXQTMusic::initWithFilePath(dir.file("scale10.wav"), mixer);
    ASSERT_TRUE(at600->hasMovie());
    ASSERT_TRUE(at10->hasMovie());
    EXPECT_EQ(at600->timeScale(), 600);
    EXPECT_EQ(at600->duration(), 1800);
    at600->setMovieCrntSecond(2.5f);
    EXPECT_EQ(at600->currentTime(), 1500);
    EXPECT_EQ(at600->movieCrntSecond(), 2.5f);
    EXPECT_EQ(at10->timeScale(), 10);
    at10->setMovieCrntSecond(5.99f);
    EXPECT_EQ(at10->currentTime(), 59);
    EXPECT_EQ(at10->movieCrntSecond(), 5.9f);
}

TEST(GXQTMusic, TransportPlayPauseStopAndRewind)
{
    const std::string path = fixture(Format::Wav, "sweep1500", sweepSignal(1.5));
    auto mixer = std::make_shared<Mixer>(44100);
    auto music = GXQTMusic::initWithFilePath(path, mixer);
    ASSERT_TRUE(music->hasMovie());
    EXPECT_FALSE(music->isPlaying());
    EXPECT_EQ(music->movieRate(), 1.0f);
    renderFrames(*mixer, 1000); // halted: nothing moves
    EXPECT_EQ(music->currentTime(), 0);

    music->play();
    renderFrames(*mixer, 1000);
    EXPECT_EQ(music->currentTime(), 1000);
    music->play(); // playing: goes on, no restart
    renderFrames(*mixer, 500);
    EXPECT_EQ(music->currentTime(), 1500);

    music->pause();
    EXPECT_FALSE(music->isPlaying());
    renderFrames(*mixer, 500);
    EXPECT_EQ(music->currentTime(), 1500);
    music->play(); // paused: resumes where it was
    renderFrames(*mixer, 500);
    EXPECT_EQ(music->currentTime(), 2000);

    music->stop();
    EXPECT_FALSE(music->isPlaying());
    EXPECT_EQ(music->currentTime(), 0);
    music->play();
    renderFrames(*mixer, 100);
    EXPECT_EQ(music->currentTime(), 100);

    renderToEnd(*mixer, *music);
    EXPECT_EQ(music->currentTime(), music->duration());
    music->play(); // at the end: from the beginning again
    EXPECT_EQ(music->currentTime(), 0);
    EXPECT_TRUE(music->isPlaying());

    // Positioned exactly at the end, play rewinds too.
    music->pause();
    music->setMovieCrntSecond(music->movieTotalSeconds());
    EXPECT_EQ(music->currentTime(), music->duration());
    music->play();
    EXPECT_EQ(music->currentTime(), 0);

    music->gotoBeginning();
    EXPECT_EQ(music->currentTime(), 0);
    music->setMovieCrntSecond(-3.0f);
    EXPECT_EQ(music->currentTime(), 0);
    music->setMovieCrntSecond(1e9f);
    EXPECT_EQ(music->currentTime(), music->duration());
}

TEST(GXQTMusic, LoopModePlaysOnPastTheEnd)
{
    const std::string path = fixture(Format::Wav, "tone500", toneSignal(0.5, 440.0));
    auto mixer = std::make_shared<Mixer>(44100);
    auto music = GXQTMusic::initWithFilePath(path, mixer);
    music->setLoop(true);
    music->play();
    renderFrames(*mixer, 22050 + 1000);
    EXPECT_TRUE(music->isPlaying());
    EXPECT_EQ(music->currentTime(), 1000);
    music->setLoop(false);
    renderToEnd(*mixer, *music);
    EXPECT_EQ(music->currentTime(), 22050);
}

TEST(GXQTMusic, VolumeFollowsTheEightDotEightRule)
{
    const Signal signal = sweepSignal(0.3);
    const std::string path = fixture(Format::Wav, "sweep300", signal);
    auto mixer = std::make_shared<Mixer>(44100);
    auto music = GXQTMusic::initWithFilePath(path, mixer);
    ASSERT_TRUE(music->hasMovie());
    EXPECT_EQ(music->engineVolume(), 256); // the movie's own volume
    music->play();
    std::vector<float> out = renderFrames(*mixer, 100);
    for (int i = 0; i < 200; ++i)
        ASSERT_EQ(out[i], sampleToFloat(signal.samples[i]));

    const std::pair<float, int> examples[] = {{1.0f, 255}, {0.8f, 204}, {0.5f, 127}, {0.0f, 0}};
    for (const auto& [fraction, volume] : examples) {
        music->setVolume(fraction);
        EXPECT_EQ(music->engineVolume(), volume);
        const std::int32_t at = music->currentTime();
        out = renderFrames(*mixer, 50);
        for (int i = 0; i < 100; ++i)
            ASSERT_EQ(out[i], static_cast<float>(volume) / 256.0f * sampleToFloat(signal.samples[2 * at + i]))
                << "fraction " << fraction;
    }
    music->setVolume(200.0f); // wraps to a negative engine volume: silent
    EXPECT_LT(music->engineVolume(), 0);
    out = renderFrames(*mixer, 50);
    for (float x : out)
        ASSERT_EQ(x, 0.0f);
}

TEST(GXQTMusic, RateChangesTakeEffectAndZeroHolds)
{
    const std::string path = fixture(Format::Wav, "sweep1500", sweepSignal(1.5));
    auto mixer = std::make_shared<Mixer>(44100);
    auto music = GXQTMusic::initWithFilePath(path, mixer);
    music->play();
    music->setMovieRate(2.0f);
    EXPECT_EQ(music->movieRate(), 2.0f);
    renderFrames(*mixer, 1000);
    EXPECT_EQ(music->currentTime(), 2000);
    music->setMovieRate(0.0f);
    renderFrames(*mixer, 1000);
    EXPECT_EQ(music->currentTime(), 2000);
    music->setMovieRate(-1.0f);
    renderFrames(*mixer, 1000);
    EXPECT_EQ(music->currentTime(), 2000);
    music->setMovieRate(0.5f);
    renderFrames(*mixer, 1000);
    EXPECT_EQ(music->currentTime(), 2500);
}

TEST(GXQTMusic, FilesThatDoNotOpenGiveAnObjectWithNoMovie)
{
    ScratchDir dir;
    fs::create_directory(dir.file("folder.wav"));
    std::ofstream(dir.file("zero.wav")).flush();
    std::ofstream(dir.file("text.wav")) << "RIFF? no, just a note to myself.\n";
    const std::string whole = fixture(Format::Wav, "tone500", toneSignal(0.5, 440.0));
    fs::copy_file(whole, dir.file("cut.wav"));
    fs::resize_file(dir.file("cut.wav"), 20);
    ASSERT_EQ(::mkfifo(dir.file("pipe.wav").c_str(), 0600), 0);

    // Unreadable: by its mode, or where that does not bind (root), by a
    // kernel file that no one may read.
    fs::copy_file(whole, dir.file("locked.wav"));
    fs::permissions(dir.file("locked.wav"), fs::perms::none);
    const std::string locked = ::access(dir.file("locked.wav").c_str(), R_OK) != 0 ? dir.file("locked.wav")
                                                                                    : "/proc/sys/vm/drop_caches";

    auto mixer = std::make_shared<Mixer>(44100);
    const std::vector<std::pair<std::string, OpenFailure>> cases{
        {dir.file("missing.wav"), OpenFailure::notFound},  {dir.file("gone/missing.wav"), OpenFailure::notFound},
        {dir.file("folder.wav"), OpenFailure::noSound},    {dir.file("zero.wav"), OpenFailure::noSound},
        {dir.file("text.wav"), OpenFailure::noSound},      {dir.file("cut.wav"), OpenFailure::noSound},
        {dir.file("pipe.wav"), OpenFailure::noSound},      {locked, OpenFailure::permissionDenied}};
    for (const auto& [name, failure] : cases) {
        auto music = GXQTMusic::initWithFilePath(name, mixer);
        ASSERT_TRUE(music) << name;
        EXPECT_FALSE(music->hasMovie()) << name;
        EXPECT_EQ(music->openFailure(), failure) << name;
        EXPECT_EQ(music->movieTotalSeconds(), 0.0f) << name;
        EXPECT_EQ(music->movieCrntSecond(), 0.0f) << name;
        // Nothing harmful, and nothing changes.
        music->setMovieCrntSecond(12.0f);
        music->setMovieRate(1.2f);
        music->setVolume(0.5f);
        music->setLoop(true);
        music->play();
        music->moviesTask();
        renderFrames(*mixer, 100);
        EXPECT_FALSE(music->isPlaying()) << name;
        EXPECT_EQ(music->movieCrntSecond(), 0.0f) << name;
        EXPECT_EQ(music->duration(), 0);
        EXPECT_EQ(music->timeScale(), 0);
        music->pause();
        music->stop();
        music->gotoBeginning();
    }
    EXPECT_EQ(mixer->voiceCount(), 0u);
}

TEST(GXQTMusic, MissingResourceGivesNoMovie)
{
    ScratchDir dir;
    ::setenv("GRAMOLUX_RESOURCES", dir.path.c_str(), 1);
    auto missing = GXQTMusic::initWithResourceFile("hiss");
    EXPECT_FALSE(missing->hasMovie());
    ASSERT_TRUE(writeWav(dir.file("hiss.wav"), toneSignal(0.2, 100.0)));
    auto found = GXQTMusic::initWithResourceFile("hiss");
    EXPECT_TRUE(found->hasMovie());
    EXPECT_EQ(found->duration(), 8820);
    ::unsetenv("GRAMOLUX_RESOURCES");
}

TEST(GXQTMusic, LongSongsStreamToAnExactEnd)
{
    // Longer than what is held in memory whole: decoded ahead by a worker.
    ScratchDir dir;
    const Signal signal = sweepSignal(14.0);
    ASSERT_TRUE(writeWav(dir.file("long.wav"), signal));
    auto mixer = std::make_shared<Mixer>(44100);
    auto music = GXQTMusic::initWithFilePath(dir.file("long.wav"), mixer);
    ASSERT_TRUE(music->hasMovie());
    EXPECT_EQ(music->duration(), signal.frames());

    music->play();
    std::vector<float> out = renderFrames(*mixer, 2000);
    for (int i = 0; i < 4000; ++i)
        ASSERT_EQ(out[i], sampleToFloat(signal.samples[i])) << i;

    // A skip back within what was just played, then a jump far ahead.
    music->setMovieCrntSecond(1000.0f / 44100.0f);
    const std::int32_t back = music->currentTime();
    out = renderFrames(*mixer, 500);
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(out[i], sampleToFloat(signal.samples[2 * back + i])) << i;
    music->setMovieCrntSecond(12.0f);
    // Until the worker has decoded there it is silent and holds the place.
    std::int32_t ahead = music->currentTime();
    EXPECT_EQ(ahead, 529200);
    std::vector<float> heard;
    while (heard.size() < 2000) {
        const std::int32_t before = music->currentTime();
        out = renderFrames(*mixer, 100);
        if (music->currentTime() == before) {
            for (float x : out)
                ASSERT_EQ(x, 0.0f);
            std::this_thread::sleep_for(1ms);
            continue;
        }
        heard.insert(heard.end(), out.begin(), out.end());
    }
    for (int i = 0; i < 2000; ++i)
        ASSERT_EQ(heard[i], sampleToFloat(signal.samples[2 * ahead + i])) << i;

    music->setMovieRate(2.0f);
    renderToEnd(*mixer, *music);
    EXPECT_EQ(music->currentTime(), music->duration());
    EXPECT_TRUE(sameBits(music->movieCrntSecond(), music->movieTotalSeconds()));
}

TEST(GXQTMusic, StreamedSongWithAWrongLengthEndsWhereItReallyEnds)
{
    if (!haveFfmpeg())
        GTEST_SKIP() << "ffmpeg is not installed";
    ScratchDir dir;
    // A WAV whose header promises more than is there, and a VBR MP3 with no
    // length header; both longer than what is held in memory whole.
    const Signal signal = sweepSignal(13.0);
    ASSERT_TRUE(writeWav(dir.file("long.wav"), signal));
    fs::resize_file(dir.file("long.wav"), 44 + 4 * 44100 * 12);
    const std::string mp3 = fixture(Format::Mp3VbrNoHeader, "sweep13000", signal);
    ASSERT_FALSE(mp3.empty());
    for (const std::string& path : {dir.file("long.wav"), mp3}) {
        auto mixer = std::make_shared<Mixer>(44100);
        auto music = GXQTMusic::initWithFilePath(path, mixer);
        ASSERT_TRUE(music->hasMovie()) << path;
        const std::size_t real = decodeAll(path).size() / 2;
        music->setMovieCrntSecond(music->movieTotalSeconds() - 3.0f);
        music->play();
        renderToEnd(*mixer, *music, 1000);
        EXPECT_EQ(static_cast<std::size_t>(music->duration()), real) << path;
        EXPECT_TRUE(sameBits(music->movieCrntSecond(), music->movieTotalSeconds())) << path;
    }
}

TEST(GXQTMusic, PlayAtTheReportedEndOfAStreamedSongRewindsFirst)
{
    if (!haveFfmpeg())
        GTEST_SKIP() << "ffmpeg is not installed";
    // Long enough to stream, so the real end is not decoded when play comes.
    const Signal signal = sweepSignal(30.0);
    for (const Format format : {Format::Wav, Format::Mp3}) {
        const std::string path = fixture(format, "sweep30000", signal);
        ASSERT_FALSE(path.empty());
        auto mixer = std::make_shared<Mixer>(44100);
        auto music = GXQTMusic::initWithFilePath(path, mixer);
        ASSERT_TRUE(music->hasMovie()) << path;
        music->setMovieCrntSecond(music->movieTotalSeconds());
        ASSERT_EQ(music->currentTime(), music->duration()) << path;
        music->play();
        EXPECT_EQ(music->currentTime(), 0) << path;
        // And the beginning is heard.
        float loudest = 0.0f;
        for (int i = 0; i < 2000 && loudest == 0.0f; ++i) {
            for (const float x : renderFrames(*mixer, 256))
                loudest = std::max(loudest, std::abs(x));
            if (loudest == 0.0f)
                std::this_thread::sleep_for(1ms);
        }
        EXPECT_GT(loudest, 0.1f) << path;
        EXPECT_LT(music->movieCrntSecond(), 5.0f) << path;
    }
}

TEST(GXQTMusic, SongCutWhilePlayingCountsAsEndedAtTheCut)
{
    ScratchDir dir;
    const Signal signal = sweepSignal(14.0);
    const std::string path = dir.file("shrinking.wav");
    ASSERT_TRUE(writeWav(path, signal));
    auto mixer = std::make_shared<Mixer>(44100);
    auto music = GXQTMusic::initWithFilePath(path, mixer);
    ASSERT_TRUE(music->hasMovie());
    fs::resize_file(path, 44 + 4 * 44100 * 8); // leaves 8 s
    music->setMovieCrntSecond(7.0f);
    music->play();
    renderToEnd(*mixer, *music);
    EXPECT_EQ(music->duration(), 44100 * 8);
    EXPECT_EQ(music->currentTime(), music->duration());
    EXPECT_FALSE(music->isPlaying());

    // Deleted while playing: the open file still plays to its end.
    fs::remove(path);
    music->setMovieCrntSecond(6.5f);
    music->play();
    renderToEnd(*mixer, *music);
    EXPECT_EQ(music->currentTime(), 44100 * 8);
}

TEST(GXQTMusicRealTime, PlaysAtRealTimePaceAndHaltsAtTheEnd)
{
    GXQTMusic::initialize();
    GXQTMusic::initialize(); // idempotent
    const std::string path = fixture(Format::Wav, "tone500", toneSignal(0.5, 440.0));
    auto music = GXQTMusic::initWithFilePath(path);
    ASSERT_TRUE(music->hasMovie());
    const auto start = std::chrono::steady_clock::now();
    music->play();
    EXPECT_TRUE(waitFor([&] { return music->currentTime() > 0; }, 2000ms));
    EXPECT_TRUE(waitFor([&] { return !music->isPlaying(); }, 10000ms));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    // Not faster than the sound lasts (a little slack for the device's
    // block timing).
    EXPECT_GE(elapsed, 420ms);
    EXPECT_EQ(music->currentTime(), music->duration());
    EXPECT_TRUE(sameBits(music->movieCrntSecond(), music->movieTotalSeconds()));
    // Played again from the start, as the effect sounds are.
    music->play();
    EXPECT_TRUE(music->isPlaying());
    EXPECT_LT(music->currentTime(), 22050);
}

TEST(GXQTMusicRealTime, OutputRestsWhileNothingPlaysAndWakesForEachSound)
{
    const gx::AudioEngine& engine = gx::AudioEngine::shared();
    auto sound = GXQTMusic::initWithFilePath(fixture(Format::Wav, "tone100", toneSignal(0.1, 440.0)));
    ASSERT_TRUE(sound->hasMovie());
    for (int round = 0; round < 3; ++round) {
        EXPECT_TRUE(waitFor([&] { return engine.resting(); }, 5000ms)) << "round " << round;
        // It plays to its end only if the output woke for it.
        sound->play();
        EXPECT_TRUE(waitFor([&] { return !sound->isPlaying(); }, 5000ms)) << "round " << round;
        EXPECT_EQ(sound->currentTime(), sound->duration());
    }
}

TEST(GXQTMusicRealTime, DeviceClosedAfterARestOpensAgainForTheNextSound)
{
    const gx::AudioEngine& engine = gx::AudioEngine::shared();
    ASSERT_TRUE(engine.hasDevice());
    auto sound = GXQTMusic::initWithFilePath(fixture(Format::Wav, "tone100", toneSignal(0.1, 440.0)));
    ASSERT_TRUE(sound->hasMovie());
    for (int round = 0; round < 2; ++round) {
        EXPECT_TRUE(waitFor([&] { return !engine.deviceOpen(); }, 20000ms)) << "round " << round;
        sound->play();
        EXPECT_TRUE(engine.deviceOpen()) << "round " << round;
        // Heard whole: the reopened device pulled it to its end.
        EXPECT_TRUE(waitFor([&] { return !sound->isPlaying(); }, 5000ms)) << "round " << round;
        EXPECT_EQ(sound->currentTime(), sound->duration()) << "round " << round;
    }
}

TEST(GXQTMusicRealTime, CallsFromFourThreadsAtOnceAreSafe)
{
    ScratchDir dir;
    ASSERT_TRUE(writeWav(dir.file("song.wav"), sweepSignal(12.0)));
    auto song = GXQTMusic::initWithFilePath(dir.file("song.wav"));
    auto effect = GXQTMusic::initWithFilePath(fixture(Format::Wav, "tone500", toneSignal(0.5, 440.0)));
    ASSERT_TRUE(song->hasMovie());
    song->play();
    std::atomic<bool> stop{false};
    std::atomic<int> badReads{0};
    auto reader = [&] {
        std::mt19937 rng(1);
        while (!stop) {
            const float total = song->movieTotalSeconds();
            const float now = song->movieCrntSecond();
            if (!(now >= 0.0f && now <= total + 0.001f))
                ++badReads;
            song->setMovieRate(1.0f + static_cast<float>(rng() % 10) / 100.0f);
            effect->play();
            std::this_thread::sleep_for(1ms);
        }
    };
    auto seeker = [&] {
        std::mt19937 rng(2);
        while (!stop) {
            song->setMovieCrntSecond(static_cast<float>(rng() % 110) / 10.0f);
            song->setVolume(0.5f);
            effect->setMovieCrntSecond(0.1f);
            std::this_thread::sleep_for(3ms);
        }
    };
    auto toggler = [&] {
        while (!stop) {
            song->pause();
            song->play();
            effect->stop();
            std::this_thread::sleep_for(2ms);
        }
    };
    std::thread a(reader), b(seeker), c(toggler);
    std::this_thread::sleep_for(600ms);
    stop = true;
    a.join();
    b.join();
    c.join();
    EXPECT_EQ(badReads.load(), 0);
}

TEST(GXQTMusicRealTime, DestroyingWhileTheDeviceMixesIsSafe)
{
    const std::string shortPath = fixture(Format::Wav, "tone500", toneSignal(0.5, 440.0));
    ScratchDir dir;
    ASSERT_TRUE(writeWav(dir.file("song.wav"), sweepSignal(11.0)));
    for (int i = 0; i < 20; ++i) {
        auto a = GXQTMusic::initWithFilePath(shortPath);
        auto b = GXQTMusic::initWithFilePath(dir.file("song.wav"));
        a->play();
        b->play();
        b->setMovieCrntSecond(5.0f); // the worker is busy seeking when b goes
        std::this_thread::sleep_for(std::chrono::milliseconds(i % 4));
    }
    auto last = GXQTMusic::initWithFilePath(shortPath);
    last->play();
    EXPECT_TRUE(waitFor([&] { return last->currentTime() > 0; }, 2000ms));
}
