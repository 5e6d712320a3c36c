#include "sound/MemoryVoice.h"

#include <limits>

namespace gx {

MemoryVoice::MemoryVoice(int sampleRate, std::vector<float> frames)
    : Voice(sampleRate, static_cast<std::int64_t>(frames.size() / 2))
    , samples_(std::move(frames))
    , frameCount_(static_cast<std::int64_t>(samples_.size() / 2))
{
}

int MemoryVoice::renderLocked(double step, float gain, std::int64_t stopFrame, float* out, int frames)
{
    static constexpr float kSilence[2] = {0.0f, 0.0f};
    const float* data = samples_.data();
    const std::int64_t count = frameCount_;
    // Before the start the first frame stands in; past the end is silence.
    auto frameAt = [data, count](std::int64_t i) -> const float* {
        if (i < 0)
            i = 0;
        return i < count ? data + 2 * i : kSilence;
    };
    return resampleAdd(frameAt, cursor_, step, gain, stopFrame, std::numeric_limits<std::int64_t>::max(), out, frames);
}

} // namespace gx
