#include "sound/AudioEngine.h"

#include "sound/Mixer.h"

#include <SDL.h>
#include <system_error>

namespace gx {

namespace {

constexpr int kDeviceRate = 44100;
// 46 ms at 44.1 kHz: SDL's thread wakes half as often as with 1024 frames,
// which is what playing costs most, for a little more delay on an effect.
constexpr int kDeviceFrames = 2048;
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
    int rate = 0;
    std::unique_lock device(deviceMutex_);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
        sdlStarted_ = true;
        // The mixer resamples every voice to whatever rate the device has.
        rate = openDevice(kDeviceRate, true);
    }
    mixer_ = std::make_shared<Mixer>(rate > 0 ? rate : kDeviceRate, [this] { resume(); });
    // The device's thread may already be calling back; it sees the mixer
    // only through this pointer, published once the mixer is whole.
    deviceMixer_.store(mixer_.get(), std::memory_order_release);
    if (device_.load() == 0) {
        startClock();
        return;
    }
    device.unlock();
    try {
        keeper_.start([this] { return keeperTick(); }, kRestBeforeClose);
    } catch (const std::system_error&) {
        // No thread to be had: the device simply stays open while it rests.
    }
}

AudioEngine::~AudioEngine()
{
    keeper_.requestStop();
    keeper_.join();
    {
        std::lock_guard device(deviceMutex_);
        if (const std::uint32_t id = device_.exchange(0); id != 0)
            SDL_CloseAudioDevice(id); // waits for a running callback
    }
    clock_.requestStop();
    clock_.join();
    if (sdlStarted_)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

int AudioEngine::openDevice(int rate, bool anyRate)
{
    SDL_AudioSpec want {};
    want.freq = rate;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = kDeviceFrames;
    want.callback = &AudioEngine::pull;
    want.userdata = this;
    SDL_AudioSpec have {};
    // SDL converts format and channels for us, and the rate too unless any
    // will do.
    const std::uint32_t id
        = SDL_OpenAudioDevice(nullptr, 0, &want, &have, anyRate ? SDL_AUDIO_ALLOW_FREQUENCY_CHANGE : 0);
    if (id == 0)
        return 0;
    device_.store(id);
    // Started playing: with nothing to play, the first callback pauses it.
    SDL_PauseAudioDevice(id, 0);
    return have.freq > 0 ? have.freq : rate;
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
    if (mixer->render(reinterpret_cast<float*>(stream), frames))
        return;
    // With nothing left playing, rest. SDL holds the device's (recursive)
    // lock around this call and resume() takes it too, so a voice started
    // meanwhile either was seen playing here or unpauses after this. The
    // device is the one calling: it stays open until this returns.
    SDL_PauseAudioDevice(self->device_.load(), 1);
    {
        std::lock_guard lock(self->keeperMutex_);
        self->restingSince_ = std::chrono::steady_clock::now();
    }
    self->keeper_.wake();
}

bool AudioEngine::resting() const
{
    // The keeper may be closing the device.
    std::lock_guard device(deviceMutex_);
    if (const std::uint32_t id = device_.load(); id != 0)
        return SDL_GetAudioDeviceStatus(id) == SDL_AUDIO_PAUSED;
    return clockRunning_.load() ? clockResting_.load() : true;
}

bool AudioEngine::deviceOpen() const
{
    return device_.load() != 0;
}

void AudioEngine::resume()
{
    if (!clockRunning_.load()) {
        // Before unpausing: a pause that follows (the sound was short) sets
        // the time again. One that came just before is left behind, and the
        // keeper finds the device playing.
        {
            std::lock_guard lock(keeperMutex_);
            restingSince_.reset();
        }
        std::lock_guard device(deviceMutex_);
        if (const std::uint32_t id = device_.load(); id != 0) {
            SDL_PauseAudioDevice(id, 0);
            return;
        }
        // Closed for a rest: open again at the mixer's rate. Should the
        // device be gone meanwhile, the silent clock takes over.
        if (openDevice(mixer_->outputRate(), false) != 0)
            return;
        startClock();
    }
    clock_.wake();
}

TickLoop::Next AudioEngine::keeperTick()
{
    std::unique_lock lock(keeperMutex_);
    // Nothing to time: sleep until the device pauses.
    if (!restingSince_)
        return TickLoop::Next::whenWoken();
    // A voice started meanwhile has cleared the time, a newer pause moved it on.
    const auto due = *restingSince_ + kRestBeforeClose;
    if (const auto now = std::chrono::steady_clock::now(); now < due)
        return TickLoop::Next::after(due - now);
    restingSince_.reset();
    lock.unlock();
    closeIfStillResting();
    return TickLoop::Next::whenWoken();
}

void AudioEngine::closeIfStillResting()
{
    std::lock_guard device(deviceMutex_);
    const std::uint32_t id = device_.load();
    // resume() unpauses under the same lock, so a device paused now stays
    // paused until it is closed; a voice told to play after that reopens it.
    if (id == 0 || SDL_GetAudioDeviceStatus(id) != SDL_AUDIO_PAUSED)
        return;
    device_.store(0);
    SDL_CloseAudioDevice(id);
}

void AudioEngine::startClock()
{
    clockScratch_.resize(static_cast<size_t>(kClockFrames) * 2);
    const auto period = std::chrono::duration_cast<TickLoop::Clock::duration>(
        std::chrono::duration<double>(static_cast<double>(kClockFrames) / mixer_->outputRate()));
    try {
        clock_.start([this] { return clockTick(); }, period, TickLoop::Pace::fixedRate);
        clockRunning_.store(true);
    } catch (const std::system_error&) {
        // No thread to be had either: nothing plays.
    }
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
