// The decoder alone, where the music object would hide it: files with no
// sound, channel layouts, lengths a container only guesses, damaged
// data.
#include "sound/Decoder.h"
#include "SoundFixtures.h"

#include <filesystem>
#include <fstream>
#include <tuple>

using namespace gx;
using namespace gx::test;
namespace fs = std::filesystem;

TEST(Decoder, AFilmWithoutSoundAndTextUnderASoundNameHaveNoSound)
{
    ScratchDir dir;
    std::vector<std::string> paths {
        writeFile(dir.filePath("text.wav"), "RIFF? no, just a note to myself.\n").toStdString()};
    if (haveFfmpeg())
        paths.push_back(
            encode("-f lavfi -i color=c=gray:s=32x32:d=1 -c:v mpeg4", dir.filePath("silent.mp4")).toStdString());
    for (const std::string& path : paths) {
        OpenFailure failure = OpenFailure::none;
        EXPECT_FALSE(Decoder::open(path, &failure)) << path;
        EXPECT_EQ(failure, OpenFailure::noSound) << path;
        EXPECT_FALSE(Decoder::readTags(path)) << path;
    }
}

TEST(Decoder, MonoPlaysOnBothSidesAndSixChannelsFoldToStereoWithoutClipping)
{
    ScratchDir dir;
    const Signal mono = toneSignal(0.2, 300.0, 22050, 1);
    ASSERT_TRUE(writeWav(dir.file("mono.wav"), mono));
    const std::vector<float> both = decodeAll(dir.file("mono.wav"));
    ASSERT_EQ(static_cast<std::int64_t>(both.size() / 2), mono.frames());
    for (size_t i = 0; i < both.size(); ++i)
        ASSERT_EQ(both[i], sampleToFloat(mono.samples[i / 2])) << i;

    Signal surround; // 5.1 by the default layout, every channel at full scale
    surround.channels = 6;
    for (int i = 0; i < 44100; ++i)
        surround.samples.insert(surround.samples.end(), 6,
            static_cast<std::int16_t>(std::lround(32767.0 * std::sin(2.0 * M_PI * 440.0 * i / 44100.0))));
    ASSERT_TRUE(writeWav(dir.file("surround.wav"), surround));
    const auto [low, high] = std::ranges::minmax(decodeAll(dir.file("surround.wav")));
    EXPECT_LE(std::max(-low, high), 1.0f);
    EXPECT_GT(std::max(-low, high), 0.5f); // folded, not lost
}

// Tags come from the container alone, wherever each format keeps them: ID3
// with its picture (MP3), the item list with covr (M4A), Vorbis comments with
// a picture block (FLAC) or on the stream (Ogg Vorbis, Opus).
TEST(Decoder, TagsAndCoverAreReadFromEveryKindOfContainer)
{
    GX_SKIP_WITHOUT_FFMPEG();
    ScratchDir dir;
    const QString picture = encode("-f lavfi -i color=c=red:s=16x16 -frames:v 1", dir.filePath("cover.png"));
    const std::string pictureBytes = readFile(picture).toStdString();
    for (const auto& [file, encoder, covered] : {std::tuple {"song.mp3", "-c:a libmp3lame -id3v2_version 3", true},
             {"song.m4a", "-c:a aac -f ipod", true}, {"song.flac", "-c:a flac", true},
             {"song.ogg", "-c:a libvorbis", false}, {"song.opus", "-c:a libopus", false}}) {
        SCOPED_TRACE(file);
        const QString cover = covered
            ? " -i " + shellQuoted(picture) + " -map 0:a -map 1:v -c:v copy -disposition:v attached_pic"
            : QString();
        const QString song = encode("-f lavfi -i sine=duration=0.5" + cover + " " + encoder
                + " -metadata title='Blue Tone' -metadata artist='Ann Example' -metadata album='Test Pressings'"
                  " -metadata album_artist='Various' -metadata track=3/12",
            dir.filePath(file));
        const std::optional<TrackTags> tags = Decoder::readTags(song.toStdString());
        ASSERT_TRUE(tags);
        EXPECT_EQ(tags->title, "Blue Tone");
        EXPECT_EQ(tags->artists, std::vector<std::string> {"Ann Example"});
        EXPECT_EQ(tags->album, "Test Pressings");
        EXPECT_EQ(tags->albumArtists, std::vector<std::string> {"Various"});
        EXPECT_EQ(tags->trackNumber, 3);
        EXPECT_EQ(tags->cover, covered ? pictureBytes : std::string());
        EXPECT_EQ(tags->coverExtension, covered ? "png" : "");
    }
}

TEST(Decoder, VbrMp3WithoutHeaderIsCountedNotGuessed)
{
    GX_SKIP_WITHOUT_FFMPEG();
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
    GX_SKIP_WITHOUT_FFMPEG();
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

namespace {

class EveryFormat : public FormatTest { };

// Mean squared difference of what a seek gave from the reference at `frame`.
double difference(const std::vector<float>& got, const std::vector<float>& reference, std::int64_t frame)
{
    double err = 0.0;
    for (size_t i = 0; i < got.size(); ++i) {
        const auto at = static_cast<std::int64_t>(i) + 2 * frame;
        const double want = at >= 0 && at < static_cast<std::int64_t>(reference.size()) ? reference[at] : 0.0;
        err += std::pow(got[i] - want, 2);
    }
    return err / static_cast<double>(got.size());
}

} // namespace

// An Ogg file's last page once sent seeks into it 8,000 to 15,000 frames
// early: a seek lands on the frame asked for, near the start, in the middle
// and near the end, in every format the player plays, whatever the seek
// before it, backwards or forwards (lossy decoders settle within their lead-in).
TEST_P(EveryFormat, ASeekLandsOnTheAskedFrameNearTheStartAndTheEndAsElsewhere)
{
    static const Signal sweep = sweepSignal(20.0);
    const std::string path = fixture(GetParam(), "sweep20000", sweep);
    const std::vector<float> reference = decodeAll(path);
    const auto frames = static_cast<std::int64_t>(reference.size() / 2);
    auto d = Decoder::open(path);
    ASSERT_TRUE(d);
    EXPECT_NEAR(static_cast<double>(d->estimatedFrames()), static_cast<double>(frames), 0.05 * d->sampleRate());
    std::vector<float> got(2);
    d->seek(frames + 1'000'000); // past the end: stops at the real end
    EXPECT_EQ(d->position(), frames);
    EXPECT_EQ(d->read(got.data(), 1), 0);
    for (const std::int64_t back : {10000, 300, 5000, 1500, 9000, 60, 2500, 90000, 120000}) {
        for (const std::int64_t target : {frames / 3, frames - back, back}) {
            got.resize(512 * 2);
            d->seek(target);
            ASSERT_EQ(d->read(got.data(), 512), std::min<std::int64_t>(512, frames - target)) << target;
            got.resize(static_cast<size_t>(std::min<std::int64_t>(512, frames - target)) * 2);
            if (difference(got, reference, target) < (GetParam().lossy ? 1e-5 : 1e-12))
                continue;
            std::int64_t landed = target;
            for (std::int64_t off = -20000; off <= 20000; ++off)
                if (difference(got, reference, target + off) < difference(got, reference, landed))
                    landed = target + off;
            ADD_FAILURE() << "asked for frame " << target << " of " << frames << ", landed at " << landed;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, EveryFormat, ::testing::ValuesIn(everyFormat()), formatName);
