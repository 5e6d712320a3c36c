#include "sound/LoudnessGain.h"

#include <algorithm>
#include <cmath>

namespace gx {

namespace {

// Beyond these a tag is more likely wrong than the song that extreme.
constexpr double kMinGainDb = -40.0;
constexpr double kMaxGainDb = 20.0;

} // namespace

LoudnessMode loudnessModeFromName(const std::string& name)
{
    if (name == "track")
        return LoudnessMode::track;
    if (name == "album")
        return LoudnessMode::album;
    return LoudnessMode::off;
}

const char* loudnessModeName(LoudnessMode mode)
{
    switch (mode) {
    case LoudnessMode::track:
        return "track";
    case LoudnessMode::album:
        return "album";
    case LoudnessMode::off:
        break;
    }
    return "off";
}

SongLoudness loudnessFromMeasurement(double integratedLufs, double truePeak)
{
    SongLoudness measured;
    if (std::isfinite(integratedLufs))
        measured.trackGainDb = kTargetLufs - integratedLufs;
    if (std::isfinite(truePeak) && truePeak > 0.0)
        measured.trackPeak = truePeak;
    return measured;
}

float loudnessGain(LoudnessMode mode, const SongLoudness& loudness)
{
    if (mode == LoudnessMode::off)
        return 1.0f;
    const bool album = mode == LoudnessMode::album;
    const auto& gain = album ? loudness.albumGainDb : loudness.trackGainDb;
    const auto& otherGain = album ? loudness.trackGainDb : loudness.albumGainDb;
    const auto& peak = album ? loudness.albumPeak : loudness.trackPeak;
    const auto& otherPeak = album ? loudness.trackPeak : loudness.albumPeak;
    const bool own = gain.has_value();
    const std::optional<double> db = own ? gain : otherGain;
    if (!db || !std::isfinite(*db))
        return 1.0f;
    double factor = std::pow(10.0, std::clamp(*db, kMinGainDb, kMaxGainDb) / 20.0);
    // The peak that goes with the gain, else the other one.
    const std::optional<double>& ownPeak = own ? peak : otherPeak;
    const std::optional<double>& cap = ownPeak ? ownPeak : (own ? otherPeak : peak);
    if (cap && *cap > 0.0)
        factor = std::min(factor, 1.0 / *cap);
    return static_cast<float>(factor);
}

} // namespace gx
