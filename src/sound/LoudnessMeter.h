#pragma once
// Finds a song's loudness: from its ReplayGain or R128 tags when they carry a
// gain, else by measuring the whole song (EBU R128 integrated loudness and
// true peak, libebur128) through a decoder of its own, apart from the one
// that plays it. Measuring takes a few seconds of one core for a long song,
// so it runs on a background thread; `cancel` ends it early.
#include "sound/LoudnessTags.h"

#include <atomic>
#include <optional>
#include <string>

namespace gx {

class Decoder;

class LoudnessMeter {
public:
    // None when the file gives no sound or the measurement was cancelled.
    static std::optional<SongLoudness> find(const std::string& path, const std::atomic<bool>& cancel);
    // Measures what the decoder reads from where it stands to the end.
    static std::optional<SongLoudness> measure(Decoder& decoder, const std::atomic<bool>& cancel);
};

} // namespace gx
