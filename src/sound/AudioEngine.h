#pragma once
// The process's one audio output: an SDL2 device pulling the shared mixer
// from SDL's audio thread. When no device can be opened, a thread of our own
// pulls the mixer at real-time pace and drops the result, so playback, its
// positions and its ends behave the same with no sound hardware.
//
// While no voice plays the output rests: the device is paused (SDL no longer
// calls us) or the clock sleeps. A voice told to play resumes it within one
// buffer.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

namespace gx {

class Mixer;

class AudioEngine {
public:
    // Started on first use; thread-safe.
    static AudioEngine& shared();
    ~AudioEngine();
    AudioEngine(const AudioEngine&) = delete;
    AudioEngine& operator=(const AudioEngine&) = delete;

    const std::shared_ptr<Mixer>& mixer() const { return mixer_; }
    // True when an SDL device plays the mix, false when the silent clock does.
    bool hasDevice() const { return device_ != 0; }
    // True while the output rests because nothing plays.
    bool resting() const;

private:
    AudioEngine();
    static void pull(void* engine, std::uint8_t* stream, int bytes);
    void clockLoop();
    // Any thread: a voice has been told to play.
    void resume();

    std::shared_ptr<Mixer> mixer_;
    std::atomic<Mixer*> deviceMixer_{nullptr};
    std::uint32_t device_ = 0;
    bool sdlStarted_ = false;
    std::mutex clockMutex_;
    std::condition_variable clockWake_;
    bool clockStop_ = false;
    bool clockAwake_ = false; // a voice started since the clock last looked
    std::atomic<bool> clockResting_{false};
    std::thread clock_;
};

} // namespace gx
