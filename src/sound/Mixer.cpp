#include "sound/Mixer.h"

#include "sound/Voice.h"

#include <algorithm>

namespace gx {

Mixer::Mixer(int outputRate, std::function<void()> onVoiceStarted)
    : outputRate_(outputRate > 0 ? outputRate : kDefaultRate)
    , onVoiceStarted_(std::move(onVoiceStarted))
{
}

void Mixer::voiceStarted() const
{
    if (onVoiceStarted_)
        onVoiceStarted_();
}

void Mixer::add(std::shared_ptr<Voice> voice)
{
    if (!voice)
        return;
    std::lock_guard lock(mutex_);
    voices_.push_back(std::move(voice));
}

void Mixer::remove(const Voice* voice)
{
    std::lock_guard lock(mutex_);
    std::erase_if(voices_, [voice](const std::shared_ptr<Voice>& v) { return v.get() == voice; });
}

std::size_t Mixer::voiceCount() const
{
    std::lock_guard lock(mutex_);
    return voices_.size();
}

bool Mixer::anyPlaying() const
{
    std::lock_guard lock(mutex_);
    return std::any_of(voices_.begin(), voices_.end(), [](const std::shared_ptr<Voice>& v) { return v->isPlaying(); });
}

bool Mixer::render(float* out, int frames)
{
    if (!out || frames <= 0)
        return false;
    const auto samples = static_cast<std::size_t>(frames) * 2;
    std::fill_n(out, samples, 0.0f);
    bool playing = false;
    {
        std::lock_guard lock(mutex_);
        for (const std::shared_ptr<Voice>& voice : voices_) {
            voice->mixInto(out, frames, outputRate_);
            playing = playing || voice->isPlaying();
        }
    }
    for (std::size_t i = 0; i < samples; ++i)
        out[i] = std::clamp(out[i], -1.0f, 1.0f);
    return playing;
}

} // namespace gx
