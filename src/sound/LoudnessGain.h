#pragma once
// The gain a song plays at under the chosen Loudness mode: Off leaves it as
// it is, Track brings every song to -18 LUFS, Album keeps the differences
// within an album. Each mode falls back on the other's gain where its own is
// missing, and the peak caps the gain so that the song never clips.
#include "sound/LoudnessTags.h"

#include <string>

namespace gx {

enum class LoudnessMode { off, track, album };

// The reference loudness that a gain of 0 dB stands for.
constexpr double kTargetLufs = -18.0;

// "off", "track" or "album"; anything else reads as off.
LoudnessMode loudnessModeFromName(const std::string& name);
const char* loudnessModeName(LoudnessMode mode);

// The measured integrated loudness (LUFS) and true peak as a track gain.
// Silence (no finite loudness) gives no gain.
SongLoudness loudnessFromMeasurement(double integratedLufs, double truePeak);

// The linear factor for the song; 1 when nothing is known.
float loudnessGain(LoudnessMode mode, const SongLoudness& loudness);

} // namespace gx
