#pragma once
// What is known of a song's loudness: the gains (dB, to be added to reach
// -18 LUFS) and peaks (linear, 1.0 being full scale) of the track and of its
// album, each where known. They come from the file's ReplayGain or R128 tags,
// or, for the track, from our own measurement.
#include <map>
#include <optional>
#include <string>

namespace gx {

struct SongLoudness {
    std::optional<double> trackGainDb;
    std::optional<double> trackPeak;
    std::optional<double> albumGainDb;
    std::optional<double> albumPeak;

    bool hasGain() const { return trackGainDb || albumGainDb; }
    bool operator==(const SongLoudness&) const = default;
};

// The gains and peaks in a file's tags, as FFmpeg reports them (keys in any
// case): REPLAYGAIN_TRACK_GAIN ("-6.20 dB"), REPLAYGAIN_TRACK_PEAK
// ("0.988"), the same for ALBUM, and Opus's R128_TRACK_GAIN and
// R128_ALBUM_GAIN (whole 1/256 dB relative to -23 LUFS). R128 gains are
// relative to the Opus header's output gain, which FFmpeg's decoder already
// applies, so that one is never added here. A value that does not read as a
// finite number is left out.
SongLoudness loudnessFromTags(const std::map<std::string, std::string>& tags);

} // namespace gx
