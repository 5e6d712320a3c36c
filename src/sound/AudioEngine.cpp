#include "sound/AudioEngine.h"

#include "sound/Mixer.h"

#include <SDL.h>
#include <chrono>
#include <vector>

namespace gx {

namespace {

constexpr int kDeviceRate = 44100;
constexpr int kDeviceFrames = 1024;
// The silent clock pulls about every 10 ms.
constexpr int kClockFrames = 441;

} // namespace

AudioEngine& AudioEngine::shared()
{
    static AudioEngine engine;
    return engine;
}

AudioEngine::AudioEngine()
{
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    int rate = kDeviceRate;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
        sdlStarted_ = true;
        SDL_AudioSpec want{};
        want.freq = kDeviceRate;
        want.format = AUDIO_F32SYS;
        want.channels = 2;
        want.samples = kDeviceFrames;
        want.callback = &AudioEngine::pull;
        want.userdata = this;
        SDL_AudioSpec have{};
        // SDL converts format and channels for us; only the rate may change,
        // and the mixer resamples every voice to it anyway.
        device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
        if (device_ != 0 && have.freq > 0)
            rate = have.freq;
    }
    mixer_ = std::make_shared<Mixer>(rate, [this] { resume(); });
    // The device's thread may already be calling back; it sees the mixer
    // only through this pointer, published once the mixer is whole.
    deviceMixer_.store(mixer_.get(), std::memory_order_release);
    if (device_ != 0) {
        SDL_PauseAudioDevice(device_, 0);
    } else {
        clockScratch_.resize(static_cast<size_t>(kClockFrames) * 2);
        const auto period = std::chrono::duration_cast<TickLoop::Clock::duration>(
            std::chrono::duration<double>(static_cast<double>(kClockFrames) / mixer_->outputRate()));
        clock_.start([this] { return clockTick(); }, period, TickLoop::Pace::fixedRate);
    }
}

AudioEngine::~AudioEngine()
{
    if (device_ != 0)
        SDL_CloseAudioDevice(device_); // waits for a running callback
    clock_.requestStop();
    clock_.join();
    if (sdlStarted_)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void AudioEngine::pull(void* engine, std::uint8_t* stream, int bytes)
{
    auto* self = static_cast<AudioEngine*>(engine);
    const int frames = bytes / static_cast<int>(2 * sizeof(float));
    // Before the mixer exists (the device starts paused) play silence.
    Mixer* mixer = self->deviceMixer_.load(std::memory_order_acquire);
    if (!mixer) {
        SDL_memset(stream, 0, static_cast<size_t>(bytes));
        return;
    }
    // With nothing left playing, rest. SDL holds the device's (recursive)
    // lock around this call and resume() takes it too, so a voice started
    // meanwhile either was seen playing here or unpauses after this.
    if (!mixer->render(reinterpret_cast<float*>(stream), frames))
        SDL_PauseAudioDevice(self->device_, 1);
}

bool AudioEngine::resting() const
{
    if (device_ != 0)
        return SDL_GetAudioDeviceStatus(device_) == SDL_AUDIO_PAUSED;
    return clockResting_.load();
}

void AudioEngine::resume()
{
    if (device_ != 0) {
        SDL_PauseAudioDevice(device_, 0);
        return;
    }
    clock_.wake();
}

TickLoop::Next AudioEngine::clockTick()
{
    clockResting_.store(false);
    if (mixer_->render(clockScratch_.data(), kClockFrames))
        return TickLoop::Next::period();
    // Sleeps until a voice starts; one that started during the render above
    // has woken the loop already.
    clockResting_.store(true);
    return TickLoop::Next::whenWoken();
}

} // namespace gx
