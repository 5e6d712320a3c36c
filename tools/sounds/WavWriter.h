#pragma once
// Writes an AudioBuffer as a 16-bit PCM WAV file.
#include "AudioBuffer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace gx::synth {

class WavWriter {
public:
    // The whole file in memory: RIFF header, "fmt " and "data" chunks,
    // little-endian. An empty buffer, or one too long for a RIFF size,
    // gives an empty result.
    static std::vector<unsigned char> encode(const AudioBuffer& buffer);

    // Writes the file through a temporary beside it and a rename, so a
    // failed or interrupted write never leaves a half-written sound under
    // the real name. On failure returns false and says why in error.
    static bool write(const std::string& path, const AudioBuffer& buffer, std::string& error);

    // Float in -1 .. 1 to a 16-bit sample: rounded, and clamped rather
    // than wrapped when it lies outside.
    static std::int16_t toPcm(float v);
};

} // namespace gx::synth
