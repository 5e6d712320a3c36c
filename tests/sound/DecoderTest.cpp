// The decoder alone, where the music object would hide it: files with no
// sound, channel layouts, lengths a container only guesses, damaged
// data.
#include "sound/Decoder.h"
#include "SoundFixtures.h"
#include "support/TestSupport.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

using namespace gx;
using namespace gx::test;
using gx::test::runShell;
namespace fs = std::filesystem;

TEST(Decoder, AFilmWithoutSoundAndTextUnderASoundNameHaveNoSound)
{
    ScratchDir dir;
    std::ofstream(dir.file("text.wav")) << "RIFF? no, just a note to myself.\n";
    std::vector<std::string> paths {dir.file("text.wav")};
    if (haveFfmpeg()) {
        paths.push_back(dir.file("silent.mp4"));
        ASSERT_TRUE(runShell(QString::fromStdString(
            "ffmpeg -nostdin -v error -f lavfi -i color=c=gray:s=32x32:d=1 -c:v mpeg4 '" + paths.back() + "'")));
    }
    for (const std::string& path : paths) {
        OpenFailure failure = OpenFailure::none;
        EXPECT_FALSE(Decoder::open(path, &failure)) << path;
        EXPECT_EQ(failure, OpenFailure::noSound) << path;
    }
}

TEST(Decoder, MonoPlaysOnBothSidesAndSixChannelsFoldToStereoWithoutClipping)
{
    ScratchDir dir;
    const Signal mono = toneSignal(0.2, 300.0, 22050, 1);
    ASSERT_TRUE(writeWav(dir.file("mono.wav"), mono));
    const std::vector<float> both = decodeAll(dir.file("mono.wav"));
    ASSERT_EQ(static_cast<std::int64_t>(both.size() / 2), mono.frames());
    for (std::int64_t i = 0; i < mono.frames(); ++i) {
        ASSERT_EQ(both[2 * i], sampleToFloat(mono.samples[i]));
        ASSERT_EQ(both[2 * i + 1], sampleToFloat(mono.samples[i]));
    }

    Signal surround; // 5.1 by the default layout, every channel at full scale
    surround.channels = 6;
    for (int i = 0; i < 44100; ++i)
        surround.samples.insert(surround.samples.end(), 6,
            static_cast<std::int16_t>(std::lround(32767.0 * std::sin(2.0 * M_PI * 440.0 * i / 44100.0))));
    ASSERT_TRUE(writeWav(dir.file("surround.wav"), surround));
    float peak = 0.0f;
    for (const float x : decodeAll(dir.file("surround.wav")))
        peak = std::max(peak, std::abs(x));
    EXPECT_LE(peak, 1.0f);
    EXPECT_GT(peak, 0.5f); // folded, not lost
}

TEST(Decoder, VbrMp3WithoutHeaderIsCountedNotGuessed)
{
    if (!haveFfmpeg())
        GTEST_SKIP() << "ffmpeg is not installed";
    // A level that comes and goes makes the bitrate vary, so a guess from the
    // first frames' bitrate would be far off.
    Signal signal = toneSignal(6.0, 220.0);
    for (std::int64_t i = 0; i < signal.frames(); ++i)
        if ((i / 22050) % 2 == 0)
            signal.samples[2 * i] = signal.samples[2 * i + 1] = 0;
    const std::string path = fixture(format("Mp3VbrNoHeader"), "gappy6000", signal);
    auto d = Decoder::open(path);
    ASSERT_TRUE(d);
    EXPECT_NEAR(
        static_cast<double>(d->estimatedFrames()), static_cast<double>(decodeAll(path).size() / 2), 0.05 * 44100);
}

TEST(Decoder, DamagedDataInTheMiddleDoesNotStopEarlierThanItMust)
{
    if (!haveFfmpeg())
        GTEST_SKIP() << "ffmpeg is not installed";
    ScratchDir dir;
    const std::string bad = dir.file("bad.mp3");
    fs::copy_file(sweepFixture("Mp3"), bad);
    {
        std::fstream f(bad, std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(static_cast<std::streamoff>(fs::file_size(bad) / 2));
        for (int i = 0; i < 3000; ++i)
            f.put(static_cast<char>((i * 7919) & 0xFF));
    }
    EXPECT_GT(decodeAll(bad).size() / 2, 44100 * 0.7);
}
