#include "sound/MemoryVoice.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace gx {

namespace {
constexpr float kFullScale = 32768.0f;
}

MemoryVoice::MemoryVoice(int sampleRate, std::vector<std::int16_t> samples)
    : Voice(sampleRate, static_cast<std::int64_t>(samples.size() / 2))
    , samples_(std::move(samples))
    , frameCount_(static_cast<std::int64_t>(samples_.size() / 2))
{
}

void MemoryVoice::appendSixteenBits(const float* samples, std::size_t count, std::vector<std::int16_t>& out)
{
    for (std::size_t i = 0; i < count; ++i) {
        const float x = samples[i] * kFullScale;
        out.push_back(
            std::isnan(x) ? 0 : static_cast<std::int16_t>(std::lrint(std::clamp(x, -kFullScale, kFullScale - 1.0f))));
    }
}

int MemoryVoice::renderLocked(double step, float gain, std::int64_t stopFrame, float* out, int frames)
{
    const std::int16_t* data = samples_.data();
    const std::int64_t count = frameCount_;
    // Before the start the first frame stands in; past the end is silence.
    auto frameAt = [this, data, count](std::int64_t i) -> const float* {
        if (i < 0)
            i = 0;
        frame_[0] = i < count ? static_cast<float>(data[2 * i]) / kFullScale : 0.0f;
        frame_[1] = i < count ? static_cast<float>(data[2 * i + 1]) / kFullScale : 0.0f;
        return frame_;
    };
    return resampleAdd(frameAt, cursor_, step, gain, stopFrame, std::numeric_limits<std::int64_t>::max(), out, frames);
}

} // namespace gx
