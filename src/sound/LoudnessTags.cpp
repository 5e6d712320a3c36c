#include "sound/LoudnessTags.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

namespace gx {

namespace {

// R128 gains are relative to -23 LUFS; ours to -18.
constexpr double kR128ToReference = 5.0;

std::string upper(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
}

// The number at the start of the value ("-6.20 dB", " +3.1"), if finite.
std::optional<double> leadingNumber(const std::string& value)
{
    const char* first = value.data();
    const char* last = first + value.size();
    while (first < last && std::isspace(static_cast<unsigned char>(*first)))
        ++first;
    if (first < last && *first == '+')
        ++first;
    double number = 0.0;
    const auto [end, error] = std::from_chars(first, last, number);
    if (error != std::errc() || end == first || !std::isfinite(number))
        return std::nullopt;
    return number;
}

std::optional<double> r128Gain(const std::string& value)
{
    const std::optional<double> q78 = leadingNumber(value);
    if (!q78 || *q78 != std::trunc(*q78))
        return std::nullopt;
    return *q78 / 256.0 + kR128ToReference;
}

std::optional<double> peak(const std::string& value)
{
    const std::optional<double> p = leadingNumber(value);
    return p && *p > 0.0 ? p : std::nullopt;
}

} // namespace

SongLoudness loudnessFromTags(const std::map<std::string, std::string>& tags)
{
    SongLoudness found;
    std::optional<double> r128Track, r128Album;
    for (const auto& [rawKey, value] : tags) {
        const std::string key = upper(rawKey);
        if (key == "REPLAYGAIN_TRACK_GAIN")
            found.trackGainDb = leadingNumber(value);
        else if (key == "REPLAYGAIN_TRACK_PEAK")
            found.trackPeak = peak(value);
        else if (key == "REPLAYGAIN_ALBUM_GAIN")
            found.albumGainDb = leadingNumber(value);
        else if (key == "REPLAYGAIN_ALBUM_PEAK")
            found.albumPeak = peak(value);
        else if (key == "R128_TRACK_GAIN")
            r128Track = r128Gain(value);
        else if (key == "R128_ALBUM_GAIN")
            r128Album = r128Gain(value);
    }
    // An Opus file's own R128 tags come before ReplayGain ones a tagger may
    // have added too.
    if (r128Track)
        found.trackGainDb = r128Track;
    if (r128Album)
        found.albumGainDb = r128Album;
    return found;
}

} // namespace gx
