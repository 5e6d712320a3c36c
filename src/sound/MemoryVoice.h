#pragma once
// A short sound decoded once, whole, into memory: the effect sounds, which are
// fired again and again and sent back and forth by seeks, so they should
// never wait for a decoder.
#include "sound/Voice.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace gx {

class MemoryVoice final : public Voice {
public:
    // samples: interleaved stereo, 16-bit as the sounds we ship are (half
    // the memory of floats, for sounds held the whole run); twice the frame
    // count.
    MemoryVoice(int sampleRate, std::vector<std::int16_t> samples);

    // Appends `count` float samples (-1 to 1) as 16-bit ones.
    static void appendSixteenBits(const float* samples, std::size_t count, std::vector<std::int16_t>& out);

protected:
    std::int64_t endFrameLocked() const override { return frameCount_; }
    void cursorMovedLocked(std::int64_t) override { }
    int renderLocked(double step, float gain, std::int64_t stopFrame, float* out, int frames) override;

private:
    const std::vector<std::int16_t> samples_;
    const std::int64_t frameCount_;
    float frame_[2] = {0.0f, 0.0f}; // guarded by mutex_: the frame being read
};

} // namespace gx
