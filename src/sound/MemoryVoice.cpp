#include "sound/MemoryVoice.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace gx {

namespace {
constexpr float kFullScale = 32768.0f;
}

void MemoryVoice::Samples::append(const float* samples, std::size_t count)
{
    for (std::size_t i = 0; exact_ && i < count; ++i) {
        const float x = samples[i] * kFullScale;
        if (x != std::trunc(x) || x < -kFullScale || x >= kFullScale) {
            // Floats from here on, the samples so far too.
            floats_.reserve(whole_.capacity());
            for (const std::int16_t w : whole_)
                floats_.push_back(static_cast<float>(w) / kFullScale);
            whole_ = {};
            exact_ = false;
            floats_.insert(floats_.end(), samples + i, samples + count);
            return;
        }
        whole_.push_back(static_cast<std::int16_t>(x));
    }
    if (!exact_)
        floats_.insert(floats_.end(), samples, samples + count);
}

MemoryVoice::MemoryVoice(int sampleRate, Samples samples)
    : Voice(sampleRate, static_cast<std::int64_t>(samples.size() / 2))
    , samples_(std::move(samples))
    , frameCount_(static_cast<std::int64_t>(samples_.size() / 2))
{
    // Held for the whole run: without slack.
    samples_.whole_.shrink_to_fit();
    samples_.floats_.shrink_to_fit();
}

int MemoryVoice::renderLocked(double step, float gain, std::int64_t stopFrame, float* out, int frames)
{
    static constexpr float kSilence[2] = {0.0f, 0.0f};
    const std::int64_t count = frameCount_;
    const float* floats = samples_.floats_.data();
    const std::int16_t* whole = samples_.whole_.data();
    // Before the start the first frame stands in; past the end is silence.
    auto frameAt = [this, floats, whole, count](std::int64_t i) -> const float* {
        i = std::max<std::int64_t>(i, 0);
        if (i >= count)
            return kSilence;
        if (!samples_.exact_)
            return floats + 2 * i;
        frame_[0] = static_cast<float>(whole[2 * i]) / kFullScale;
        frame_[1] = static_cast<float>(whole[2 * i + 1]) / kFullScale;
        return frame_;
    };
    return resampleAdd(frameAt, cursor_, step, gain, stopFrame, std::numeric_limits<std::int64_t>::max(), out, frames);
}

} // namespace gx
