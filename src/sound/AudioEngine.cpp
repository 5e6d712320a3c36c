#include "sound/AudioEngine.h"

#include "platform/Logging.h"
#include "sound/Mixer.h"
#include "sound/SoundLibraryMessages.h"

#include <SDL.h>
#include <system_error>

namespace gx {

namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr int kDeviceRate = 44100;
// 46 ms at 44.1 kHz: SDL's thread wakes half as often as with 1024 frames,
// which is what playing costs most, for a little more delay on an effect.
constexpr int kDeviceFrames = 2048;
// The silent clock pulls about every 10 ms.
constexpr int kClockFrames = 441;
// A playing device that has not called us for this long is gone, though SDL
// may not say so (a server that hangs, or one that restarted under it).
constexpr auto kDeviceSilentFor = std::chrono::milliseconds(1500);

std::int64_t ticksNow()
{
    return SteadyClock::now().time_since_epoch().count();
}

} // namespace

AudioEngine& AudioEngine::shared()
{
    static AudioEngine engine;
    return engine;
}

AudioEngine::AudioEngine()
{
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    routeSoundLibraryMessages();
    int rate = kDeviceRate;
    // The mixer resamples every voice to the default output's own rate. The
    // device opens when the first sound plays, so that its first call
    // already carries sound: a sound server may hold a new stream's second
    // buffer for a while.
    SDL_AudioSpec spec {};
    if (startSdl() && SDL_GetDefaultAudioInfo(nullptr, &spec, 0) == 0 && spec.freq > 0)
        rate = spec.freq;
    lost_.store(!sdlStarted_);
    nextTry_ = SteadyClock::now() + kRetryEvery;
    mixer_ = std::make_shared<Mixer>(rate, [this] { resume(); });
    clockScratch_.resize(static_cast<size_t>(kClockFrames) * 2);
    // The device's thread sees the mixer only through this pointer.
    deviceMixer_.store(mixer_.get(), std::memory_order_release);
    try {
        keeper_.start([this] { return keeperTick(); }, kRetryEvery);
    } catch (const std::system_error&) {
        // No thread to be had: the device opens now and stays open, and a
        // lost one is not tried again.
        lost_.store(!sdlStarted_ || !openDevice(rate));
    }
    if (lost_.load())
        clockPulls(true);
}

AudioEngine::~AudioEngine()
{
    keeper_.requestStop();
    keeper_.join();
    closeDevice(false);
    if (sdlStarted_)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    sdlStarted_ = false;
    clock_.requestStop();
    clock_.join();
}

bool AudioEngine::startSdl()
{
    if (!sdlStarted_) {
        sdlStarted_ = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
        if (!sdlStarted_)
            reportFailure("Cannot start SDL's audio");
    }
    return sdlStarted_;
}

bool AudioEngine::openDevice(int rate)
{
    SDL_AudioSpec want {};
    want.freq = rate;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = kDeviceFrames;
    want.callback = &AudioEngine::pull;
    want.userdata = this;
    // SDL converts format, channels and rate where the device differs.
    const std::uint32_t id = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
    if (id == 0) {
        reportFailure("Cannot open the sound device");
        return false;
    }
    lastFailure_.clear();
    qCDebug(logSound) << "Opened the sound device through" << SDL_GetCurrentAudioDriver() << "at" << rate
                      << "Hz, 2 channels of float," << kDeviceFrames << "frames a call";
    device_.store(id);
    lastPull_.store(ticksNow());
    // Started playing: with nothing to play, the first callback pauses it.
    SDL_PauseAudioDevice(id, 0);
    return true;
}

void AudioEngine::reportFailure(const char* what)
{
    // The keeper tries again every second while there is no device: one line
    // for each new reason, not one a second.
    std::string reason = std::string(what) + ": " + SDL_GetError();
    if (reason == lastFailure_)
        return;
    qCWarning(logSound).noquote() << reason.c_str();
    lastFailure_ = std::move(reason);
}

void AudioEngine::closeDevice(bool lost)
{
    std::uint32_t id = 0;
    {
        std::lock_guard device(deviceMutex_);
        id = device_.exchange(0);
    }
    if (id != 0)
        SDL_CloseAudioDevice(id); // waits for a running callback
    clockHandsOver_.store(false);
    restingSince_.reset();
    if (lost && sdlStarted_) {
        // A sound server that went away leaves SDL's connection to it dead.
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        sdlStarted_ = false;
    }
}

void AudioEngine::pull(void* engine, std::uint8_t* stream, int bytes)
{
    auto* self = static_cast<AudioEngine*>(engine);
    const std::int64_t now = ticksNow();
    const SteadyClock::duration sinceLastCall(now - self->lastPull_.exchange(now, std::memory_order_relaxed));
    const int frames = bytes / static_cast<int>(2 * sizeof(float));
    // Before the mixer exists (the device starts paused), or while the clock
    // still keeps the time, play silence.
    Mixer* mixer = self->deviceMixer_.load(std::memory_order_acquire);
    if (!mixer || (self->clockHandsOver_.load() && !self->takeOverFromClock(sinceLastCall))) {
        SDL_memset(stream, 0, static_cast<size_t>(bytes));
        return;
    }
    if (mixer->render(reinterpret_cast<float*>(stream), frames))
        return;
    // With nothing left playing, rest. SDL holds the device's lock around
    // this call and the keeper's unpause takes it too, so a voice started
    // meanwhile either was seen playing here or unpauses after this. The
    // device is the one calling: it stays open until this returns.
    SDL_PauseAudioDevice(self->device_.load(), 1);
    self->keeper_.wake();
}

bool AudioEngine::resting() const
{
    std::lock_guard device(deviceMutex_);
    // Asked under the lock: the keeper takes an id back under it before closing it.
    if (const std::uint32_t id = device_.load(); id != 0)
        return SDL_GetAudioDeviceStatus(id) == SDL_AUDIO_PAUSED;
    return !lost_.load() || clockResting_.load();
}

bool AudioEngine::deviceOpen() const
{
    return device_.load() != 0;
}

void AudioEngine::resume()
{
    // Only wakes: the keeper unpauses or opens the device, the clock pulls
    // when there is none. Neither wake waits for anything but a short lock.
    keeper_.wake();
    clock_.wake();
}

TickLoop::Next AudioEngine::keeperTick()
{
    const bool wanted = mixer_->anyPlaying();
    const auto now = SteadyClock::now();
    const std::uint32_t id = device_.load();
    if (id == 0)
        return tryToOpen(wanted);
    const SDL_AudioStatus status = SDL_GetAudioDeviceStatus(id);
    if (status == SDL_AUDIO_PAUSED) {
        if (wanted) {
            restingSince_.reset();
            lastPull_.store(ticksNow());
            SDL_PauseAudioDevice(id, 0);
            return TickLoop::Next::whenWokenOr(kRetryEvery);
        }
        if (!restingSince_)
            restingSince_ = now;
        // Resting: closed once it has rested long enough, unless a voice
        // wakes us first.
        if (const auto due = *restingSince_ + kRestBeforeClose; now < due)
            return TickLoop::Next::whenWokenOr(due - now);
        closeDevice(false);
        return TickLoop::Next::whenWoken();
    }
    restingSince_.reset();
    const SteadyClock::duration quiet(ticksNow() - lastPull_.load());
    if (status == SDL_AUDIO_PLAYING && (quiet < kDeviceSilentFor || !wanted))
        return wanted ? TickLoop::Next::whenWokenOr(kRetryEvery) : TickLoop::Next::whenWoken();
    // Removed (SDL stopped it), or silent while it should play: the clock
    // keeps the time from here, then the device goes.
    qCWarning(logSound) << (status == SDL_AUDIO_PLAYING ? "The sound device stopped calling back"
                                                        : "The sound device was removed")
                        << "- the song's clock runs on silently";
    lost_.store(true);
    clockPulls(true);
    closeDevice(true);
    nextTry_ = now + kRetryEvery;
    return wanted ? TickLoop::Next::whenWokenOr(kRetryEvery) : TickLoop::Next::whenWoken();
}

TickLoop::Next AudioEngine::tryToOpen(bool wanted)
{
    // At rest nothing wakes; a voice told to play wakes us again.
    if (!wanted)
        return TickLoop::Next::whenWoken();
    const auto now = SteadyClock::now();
    if (lost_.load() && now < nextTry_)
        return TickLoop::Next::whenWokenOr(nextTry_ - now);
    // The clock, when it keeps the time, goes on until the device takes over.
    clockHandsOver_.store(lost_.load());
    if (startSdl() && openDevice(mixer_->outputRate())) {
        lost_.store(false);
        return TickLoop::Next::whenWokenOr(kRetryEvery);
    }
    logSoundOnce(QStringLiteral("No sound output, sounds play silently: ") + QString::fromUtf8(SDL_GetError()));
    closeDevice(true);
    lost_.store(true);
    clockPulls(true);
    noOutput();
    nextTry_ = now + kRetryEvery;
    return TickLoop::Next::whenWokenOr(kRetryEvery);
}

void AudioEngine::noOutput()
{
    std::lock_guard lock(tellMutex_);
    noOutputFound_ = true;
    if (tellNoOutput_ && !noOutputTold_) {
        noOutputTold_ = true;
        tellNoOutput_();
    }
}

void AudioEngine::whenNoOutput(std::function<void()> tell)
{
    std::lock_guard lock(tellMutex_);
    tellNoOutput_ = std::move(tell);
    if (tellNoOutput_ && noOutputFound_ && !noOutputTold_) {
        noOutputTold_ = true;
        tellNoOutput_();
    }
}

void AudioEngine::clockPulls(bool pulls)
{
    {
        std::lock_guard lock(clockMutex_);
        clockPulls_ = pulls;
    }
    if (!pulls)
        return;
    if (clock_.finished()) {
        const auto period = std::chrono::duration_cast<TickLoop::Clock::duration>(
            std::chrono::duration<double>(static_cast<double>(kClockFrames) / mixer_->outputRate()));
        try {
            clock_.start([this] { return clockTick(); }, period, TickLoop::Pace::fixedRate);
        } catch (const std::system_error&) {
            // No thread to be had either: nothing plays until a device does.
        }
    }
    clock_.wake();
}

bool AudioEngine::takeOverFromClock(SteadyClock::duration sinceLastCall)
{
    // Calls that come at once fill the device's buffer ahead; one that comes
    // after a good part of a buffer's time means the device plays.
    const auto quarterBuffer = std::chrono::duration_cast<SteadyClock::duration>(
        std::chrono::duration<double>(kDeviceFrames / 4.0 / mixer_->outputRate()));
    if (sinceLastCall < quarterBuffer)
        return false;
    // While the clock is inside a pull, the next call takes over.
    std::unique_lock lock(clockMutex_, std::try_to_lock);
    if (!lock.owns_lock() || clockRendering_)
        return false;
    clockPulls_ = false;
    clockHandsOver_.store(false);
    return true;
}

TickLoop::Next AudioEngine::clockTick()
{
    bool pulls = false;
    {
        std::lock_guard lock(clockMutex_);
        pulls = clockRendering_ = clockPulls_;
    }
    const bool playing = pulls && mixer_->render(clockScratch_.data(), kClockFrames);
    {
        std::lock_guard lock(clockMutex_);
        clockRendering_ = false;
    }
    if (playing) {
        clockResting_.store(false);
        return TickLoop::Next::period();
    }
    // Sleeps until a voice starts or the device is lost; a wake during the
    // render above is kept for this sleep.
    clockResting_.store(true);
    return TickLoop::Next::whenWoken();
}

} // namespace gx
