// Decoding every accepted format from files made by the tests: lengths,
// sample-accurate seeks, and files that must be refused or that break.
#include "SoundFixtures.h"
#include "sound/Decoder.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace gx;
using namespace gx::test;
namespace fs = std::filesystem;

namespace {

std::vector<float> readAll(Decoder& d)
{
    std::vector<float> all;
    std::vector<float> block(3000 * 2);
    for (;;) {
        const int n = d.read(block.data(), 3000);
        if (n == 0)
            return all;
        all.insert(all.end(), block.begin(), block.begin() + 2 * n);
    }
}

// The offset (within +-range frames) at which `got` best matches the
// reference at `at`, and the mean squared error there.
std::pair<int, double> bestLag(const std::vector<float>& reference, std::int64_t at, const std::vector<float>& got,
                               int range)
{
    int best = 0;
    double bestErr = 1e30;
    const auto frames = static_cast<std::int64_t>(got.size() / 2);
    for (int lag = -range; lag <= range; ++lag) {
        double err = 0.0;
        std::int64_t n = 0;
        for (std::int64_t i = 0; i < frames; ++i) {
            const std::int64_t r = at + lag + i;
            if (r < 0 || 2 * r + 1 >= static_cast<std::int64_t>(reference.size()))
                continue;
            const double d0 = got[2 * i] - reference[2 * r];
            const double d1 = got[2 * i + 1] - reference[2 * r + 1];
            err += d0 * d0 + d1 * d1;
            ++n;
        }
        err = n ? err / n : 1e30;
        if (err < bestErr) {
            bestErr = err;
            best = lag;
        }
    }
    return {best, bestErr};
}

class DecoderFormats : public FormatTest {};

} // namespace

TEST_P(DecoderFormats, LengthIsKnownWithin50msAndExactlyAtTheEnd)
{
    const Signal signal = sweepSignal(1.5);
    const std::string path = fixture(GetParam().format, "sweep1500", signal);
    ASSERT_FALSE(path.empty());
    auto d = Decoder::open(path);
    ASSERT_TRUE(d);
    EXPECT_EQ(d->sampleRate(), 44100);
    EXPECT_EQ(d->position(), 0);
    const std::vector<float> all = readAll(*d);
    const auto decoded = static_cast<std::int64_t>(all.size() / 2);
    EXPECT_EQ(d->position(), decoded);
    EXPECT_NEAR(static_cast<double>(d->estimatedFrames()), static_cast<double>(decoded), 0.05 * 44100);
    // The encoders pad a little but never drop or add much.
    EXPECT_NEAR(static_cast<double>(decoded), static_cast<double>(signal.frames()), 0.06 * 44100);
    if (!GetParam().lossy) {
        ASSERT_EQ(decoded, signal.frames());
        for (size_t i = 0; i < all.size(); ++i)
            ASSERT_EQ(all[i], sampleToFloat(signal.samples[i])) << i;
    }
    EXPECT_EQ(d->read(std::vector<float>(20).data(), 10), 0); // stays ended
}

TEST_P(DecoderFormats, SeeksLandOnTheExactFrame)
{
    const std::string path = fixture(GetParam().format, "sweep1500", sweepSignal(1.5));
    ASSERT_FALSE(path.empty());
    auto ref = Decoder::open(path);
    ASSERT_TRUE(ref);
    const std::vector<float> reference = readAll(*ref);
    const auto total = static_cast<std::int64_t>(reference.size() / 2);

    auto d = Decoder::open(path);
    ASSERT_TRUE(d);
    // Backwards and forwards, near the start, into the middle of packets, and
    // again after reading to the end.
    const std::vector<std::int64_t> targets = {40000, 1234, 0, 52345, 9, 30001, total - 3000, 777};
    for (std::int64_t target : targets) {
        if (target == 777)
            readAll(*d);
        d->seek(target);
        EXPECT_EQ(d->position(), target);
        std::vector<float> got(2048 * 2);
        ASSERT_EQ(d->read(got.data(), 2048), 2048) << "at " << target;
        const auto [lag, err] = bestLag(reference, target, got, 60);
        EXPECT_EQ(lag, 0) << "seek to " << target;
        // What follows a seek matches uninterrupted decoding (lossy decoders
        // settle within their lead-in).
        EXPECT_LT(err, GetParam().lossy ? 1e-5 : 1e-12) << "seek to " << target;
    }
}

INSTANTIATE_TEST_SUITE_P(AllFormats, DecoderFormats, ::testing::ValuesIn(allFormats()), formatName);

TEST(Decoder, SeekPastTheEndStopsAtTheRealEnd)
{
    const Signal signal = toneSignal(0.5, 440.0);
    const std::string path = fixture(Format::Wav, "tone500", signal);
    auto d = Decoder::open(path);
    ASSERT_TRUE(d);
    d->seek(1'000'000);
    EXPECT_EQ(d->position(), signal.frames());
    float buf[8];
    EXPECT_EQ(d->read(buf, 4), 0);
    d->seek(10); // and it comes back
    EXPECT_EQ(d->position(), 10);
    ASSERT_EQ(d->read(buf, 4), 4);
    EXPECT_EQ(buf[0], sampleToFloat(signal.samples[20]));
}

TEST(Decoder, MonoIsPlayedOnBothSidesAtFullLevel)
{
    const Signal signal = toneSignal(0.2, 300.0, 22050, 1);
    ScratchDir dir;
    ASSERT_TRUE(writeWav(dir.file("mono.wav"), signal));
    auto d = Decoder::open(dir.file("mono.wav"));
    ASSERT_TRUE(d);
    EXPECT_EQ(d->sampleRate(), 22050);
    const std::vector<float> all = readAll(*d);
    ASSERT_EQ(static_cast<std::int64_t>(all.size() / 2), signal.frames());
    for (std::int64_t i = 0; i < signal.frames(); ++i) {
        ASSERT_EQ(all[2 * i], sampleToFloat(signal.samples[i]));
        ASSERT_EQ(all[2 * i + 1], sampleToFloat(signal.samples[i]));
    }
}

TEST(Decoder, SixChannelsAtFullScaleFoldToStereoWithoutClipping)
{
    Signal signal;
    signal.channels = 6; // 5.1 by the default layout
    const int frames = 44100;
    for (int i = 0; i < frames; ++i) {
        const auto v = static_cast<std::int16_t>(std::lround(32767.0 * std::sin(2.0 * M_PI * 440.0 * i / 44100.0)));
        signal.samples.insert(signal.samples.end(), 6, v);
    }
    ScratchDir dir;
    ASSERT_TRUE(writeWav(dir.file("surround.wav"), signal));
    auto d = Decoder::open(dir.file("surround.wav"));
    ASSERT_TRUE(d);
    const std::vector<float> all = readAll(*d);
    ASSERT_EQ(static_cast<std::int64_t>(all.size() / 2), frames);
    float peak = 0.0f;
    for (float x : all)
        peak = std::max(peak, std::abs(x));
    EXPECT_LE(peak, 1.0f);
    EXPECT_GT(peak, 0.5f); // folded, not lost
}

TEST(Decoder, VbrMp3WithoutHeaderIsCountedNotGuessed)
{
    if (!haveFfmpeg())
        GTEST_SKIP() << "ffmpeg is not installed";
    // A level that changes a lot makes the bitrate vary, so a guess from the
    // first frames' bitrate would be far off.
    Signal signal = toneSignal(6.0, 220.0);
    for (std::int64_t i = 0; i < signal.frames(); ++i)
        if ((i / 22050) % 2 == 0)
            signal.samples[2 * i] = signal.samples[2 * i + 1] = 0;
    const std::string path = fixture(Format::Mp3VbrNoHeader, "gappy6000", signal);
    ASSERT_FALSE(path.empty());
    auto d = Decoder::open(path);
    ASSERT_TRUE(d);
    const std::int64_t estimate = d->estimatedFrames();
    const auto decoded = static_cast<std::int64_t>(readAll(*d).size() / 2);
    EXPECT_NEAR(static_cast<double>(estimate), static_cast<double>(decoded), 0.05 * 44100);
}

TEST(Decoder, RefusesWhatIsNoPlayableFile)
{
    ScratchDir dir;
    EXPECT_FALSE(Decoder::open(dir.file("missing.wav")));
    EXPECT_FALSE(Decoder::open(""));
    EXPECT_FALSE(Decoder::open(dir.path)); // a directory
    fs::create_directory(dir.file("folder.wav"));
    EXPECT_FALSE(Decoder::open(dir.file("folder.wav")));
    std::ofstream(dir.file("empty.wav")).flush();
    EXPECT_FALSE(Decoder::open(dir.file("empty.wav")));
    std::ofstream(dir.file("text.wav")) << "These are not the sounds you are looking for.\n";
    EXPECT_FALSE(Decoder::open(dir.file("text.wav")));
    std::ofstream(dir.file("text.mp3")) << std::string(20000, 'x');
    EXPECT_FALSE(Decoder::open(dir.file("text.mp3")));

    // A WAV cut inside its header.
    const std::string whole = fixture(Format::Wav, "tone500", toneSignal(0.5, 440.0));
    fs::copy_file(whole, dir.file("cut.wav"));
    fs::resize_file(dir.file("cut.wav"), 30);
    EXPECT_FALSE(Decoder::open(dir.file("cut.wav")));
    // A header and no sound at all.
    fs::copy_file(whole, dir.file("headeronly.wav"));
    fs::resize_file(dir.file("headeronly.wav"), 44);
    EXPECT_FALSE(Decoder::open(dir.file("headeronly.wav")));
}

TEST(Decoder, RefusesAFifoWithoutWaitingForAWriter)
{
    ScratchDir dir;
    const std::string fifo = dir.file("pipe.wav");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Run it on a thread of its own, so a hang fails the test instead of
    // stalling the run.
    auto done = std::make_shared<std::atomic<int>>(0);
    std::thread([fifo, done] { done->store(Decoder::open(fifo) ? 2 : 1); }).detach();
    for (int i = 0; i < 500 && done->load() == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(done->load(), 1);
    if (done->load() == 0) {
        // Unblock the stuck open so the thread can end.
        std::ofstream(fifo).flush();
    }
}

TEST(Decoder, AFileCutInTheMiddlePlaysUpToTheCut)
{
    // (An MP4 with its index at the end is unplayable once cut; that is
    // simply a file that does not open.)
    for (Format format : {Format::Wav, Format::Mp3, Format::M4a, Format::Mpg}) {
        if (format != Format::Wav && !haveFfmpeg())
            continue;
        const std::string whole = fixture(format, "sweep1500", sweepSignal(1.5));
        ASSERT_FALSE(whole.empty());
        ScratchDir dir;
        const std::string cut = dir.file("cut." + fs::path(whole).extension().string().substr(1));
        fs::copy_file(whole, cut);
        fs::resize_file(cut, fs::file_size(whole) / 2);
        auto d = Decoder::open(cut);
        ASSERT_TRUE(d) << cut;
        const auto decoded = static_cast<std::int64_t>(readAll(*d).size() / 2);
        EXPECT_EQ(d->position(), decoded);
        // About half of it, whatever the container still claims.
        EXPECT_GT(decoded, 44100 * 0.4) << cut;
        EXPECT_LT(decoded, 44100 * 1.1) << cut;
    }
}

TEST(Decoder, DamagedDataInTheMiddleDoesNotStopEarlierThanItMust)
{
    if (!haveFfmpeg())
        GTEST_SKIP() << "ffmpeg is not installed";
    const std::string whole = fixture(Format::Mp3, "sweep1500", sweepSignal(1.5));
    ScratchDir dir;
    const std::string bad = dir.file("bad.mp3");
    fs::copy_file(whole, bad);
    {
        // Overwrite a stretch in the middle with garbage.
        std::fstream f(bad, std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(static_cast<std::streamoff>(fs::file_size(bad) / 2));
        std::string junk(3000, '\0');
        for (size_t i = 0; i < junk.size(); ++i)
            junk[i] = static_cast<char>((i * 7919) & 0xFF);
        f.write(junk.data(), static_cast<std::streamsize>(junk.size()));
    }
    auto d = Decoder::open(bad);
    ASSERT_TRUE(d);
    const auto decoded = static_cast<std::int64_t>(readAll(*d).size() / 2);
    EXPECT_EQ(d->position(), decoded);
    EXPECT_GT(decoded, 44100 * 0.7);
}
