// A song's loudness from real files: the gain tags of each container as
// FFmpeg reports them, and the measurement of an untagged song.
#include "SoundFixtures.h"
#include "sound/LoudnessMeter.h"

using namespace gx;
using namespace gx::test;

TEST(LoudnessMeter, FindsTheGainsInEachContainerAndMeasuresAnUntaggedSong)
{
    GX_SKIP_WITHOUT_FFMPEG();
    const std::string rg = " -metadata REPLAYGAIN_TRACK_GAIN='-6.20 dB' -metadata REPLAYGAIN_TRACK_PEAK=0.5"
                           " -metadata replaygain_album_gain='+1.5 dB' -metadata REPLAYGAIN_ALBUM_PEAK=0.75 ";
    const SongLoudness tagged {-6.2, 0.5, 1.5, 0.75};
    // A 1 kHz tone peaking at 12000/32768 in both channels is -8.73 LUFS: -9.27 dB to -18.
    const SongLoudness measured {-9.27, 0.366, {}, {}};
    const auto near = [](std::optional<double> a, std::optional<double> b) {
        return a.has_value() == b.has_value() && (!a || std::abs(*a - *b) < 0.1);
    };
    for (const auto& [file, expected] : std::initializer_list<std::pair<FormatInfo, SongLoudness>> {
             {{"RgMp3", "mp3", true, "-c:a libmp3lame -id3v2_version 4" + rg + "-f mp3"}, tagged},
             {{"RgFlac", "flac", false, "-c:a flac" + rg + "-f flac"}, tagged},
             {{"RgVorbis", "ogg", true, "-c:a libvorbis" + rg + "-f ogg"}, tagged},
             {{"RgM4a", "m4a", true, "-c:a aac -movflags +use_metadata_tags" + rg + "-f ipod"}, tagged},
             // Q7.8 dB relative to -23 LUFS: -2560 is -10 dB there, -5 dB here.
             {{"R128Opus", "opus", true,
                  "-c:a libopus -metadata R128_TRACK_GAIN=-2560 -metadata R128_ALBUM_GAIN=512 -f ogg"},
                 {-5.0, {}, 7.0, {}}},
             {{"Untagged", "wav", false, "-c:a pcm_s16le -f wav"}, measured}}) {
        SCOPED_TRACE(file.name);
        const std::string path = fixture(file, "loudness-sine1k", toneSignal(3.0, 1000.0));
        const std::optional<SongLoudness> found = LoudnessMeter::find(path, std::atomic<bool> {false});
        ASSERT_TRUE(found);
        for (const auto field : {&SongLoudness::trackGainDb, &SongLoudness::trackPeak, &SongLoudness::albumGainDb,
                 &SongLoudness::albumPeak})
            EXPECT_PRED2(near, *found.*field, expected.*field);
    }
    EXPECT_FALSE(LoudnessMeter::find(
        fixture(format("Wav"), "loudness-sine1k", toneSignal(3.0, 1000.0)), std::atomic<bool> {true}))
        << "cancelled";
}
