#include "AudioBuffer.h"

#include <algorithm>
#include <cmath>

namespace gx::synth {

AudioBuffer::AudioBuffer(int channels, std::size_t frames)
    : frames_(frames)
    , data_(channels == 1 ? 1 : 2, std::vector<float>(frames, 0.0f))
{
}

AudioBuffer AudioBuffer::ofSeconds(int channels, double seconds)
{
    return AudioBuffer(channels, framesFor(seconds));
}

std::size_t AudioBuffer::framesFor(double seconds)
{
    if (!(seconds > 0.0))
        return 0;
    return static_cast<std::size_t>(std::llround(seconds * kSampleRate));
}

PanGains PanGains::of(float pan)
{
    const double p = std::clamp(static_cast<double>(pan), -1.0, 1.0);
    const double angle = (p + 1.0) * 0.25 * 3.14159265358979323846;
    // sqrt(2) keeps the centre at unity gain in each channel.
    return {static_cast<float>(std::cos(angle) * std::sqrt(2.0)), static_cast<float>(std::sin(angle) * std::sqrt(2.0))};
}

void AudioBuffer::mix(const AudioBuffer& other, std::size_t offset, float gain)
{
    if (offset >= frames_)
        return;
    const std::size_t n = std::min(other.frames(), frames_ - offset);
    for (int c = 0; c < channels(); ++c) {
        const float* src = other.channel(std::min(c, other.channels() - 1));
        float* dst = channel(c) + offset;
        for (std::size_t i = 0; i < n; ++i)
            dst[i] += gain * src[i];
    }
}

float AudioBuffer::peak() const
{
    float p = 0.0f;
    for (const auto& ch : data_)
        for (float v : ch)
            p = std::max(p, std::fabs(v));
    return p;
}

double AudioBuffer::rms() const
{
    if (frames_ == 0)
        return 0.0;
    double sum = 0.0;
    for (const auto& ch : data_)
        for (float v : ch)
            sum += static_cast<double>(v) * v;
    return std::sqrt(sum / static_cast<double>(frames_ * data_.size()));
}

void AudioBuffer::scale(float gain)
{
    for (auto& ch : data_)
        for (float& v : ch)
            v *= gain;
}

void AudioBuffer::normalisePeak(float target)
{
    const float p = peak();
    if (p > 0.0f)
        scale(target / p);
}

void AudioBuffer::removeDc()
{
    if (frames_ == 0)
        return;
    for (auto& ch : data_) {
        double sum = 0.0;
        for (float v : ch)
            sum += v;
        const float mean = static_cast<float>(sum / static_cast<double>(frames_));
        for (float& v : ch)
            v -= mean;
    }
}

// Gain of a raised-cosine fade i frames away from the outermost sample.
float AudioBuffer::pairGain(std::size_t i, std::size_t length)
{
    if (i >= length)
        return 1.0f;
    return static_cast<float>(
        0.5 - 0.5 * std::cos(3.14159265358979323846 * static_cast<double>(i) / static_cast<double>(length)));
}

void AudioBuffer::fadeIn(std::size_t length)
{
    length = std::min(length, frames_);
    for (auto& ch : data_)
        for (std::size_t i = 0; i < length; ++i)
            ch[i] *= pairGain(i, length);
}

void AudioBuffer::fadeOut(std::size_t length)
{
    length = std::min(length, frames_);
    for (auto& ch : data_)
        for (std::size_t i = 0; i < length; ++i)
            ch[frames_ - 1 - i] *= pairGain(i, length);
}

void AudioBuffer::taperAndCentre(std::size_t edge)
{
    if (frames_ == 0)
        return;
    edge = std::min(edge, frames_ / 2);
    std::vector<float> window(frames_, 1.0f);
    for (std::size_t i = 0; i < edge; ++i) {
        window[i] = pairGain(i, edge);
        window[frames_ - 1 - i] = pairGain(i, edge);
    }
    // Even with no fade the outermost samples must be zero.
    if (edge == 0) {
        window.front() = 0.0f;
        window.back() = 0.0f;
    }
    double windowSum = 0.0;
    for (float w : window)
        windowSum += w;
    for (auto& ch : data_) {
        double sum = 0.0;
        for (std::size_t i = 0; i < frames_; ++i) {
            ch[i] *= window[i];
            sum += ch[i];
        }
        const double offset = windowSum > 0.0 ? sum / windowSum : 0.0;
        for (std::size_t i = 0; i < frames_; ++i)
            ch[i] -= static_cast<float>(offset * window[i]);
    }
}

} // namespace gx::synth
