#pragma once
// A short sound decoded once, whole, into memory: the effect sounds, which are
// fired again and again and sent back and forth by seeks, so they should
// never wait for a decoder.
#include "sound/Voice.h"

#include <vector>

namespace gx {

class MemoryVoice final : public Voice {
public:
    // frames: interleaved stereo; its size is twice the frame count.
    MemoryVoice(int sampleRate, std::vector<float> frames);

protected:
    std::int64_t endFrameLocked() const override { return frameCount_; }
    void cursorMovedLocked(std::int64_t) override { }
    int renderLocked(double step, float gain, std::int64_t stopFrame, float* out, int frames) override;

private:
    const std::vector<float> samples_;
    const std::int64_t frameCount_;
};

} // namespace gx
