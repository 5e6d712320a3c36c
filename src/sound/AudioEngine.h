#pragma once
// The process's one audio output: an SDL2 device pulling the shared mixer
// from SDL's audio thread. When no device can be opened, a thread of our own
// pulls the mixer at real-time pace and drops the result, so playback, its
// positions and its ends behave the same with no sound hardware.
//
// While no voice plays the output rests: the device is paused (SDL no longer
// calls us) or the clock sleeps. A voice told to play resumes it within one
// buffer.
#include "platform/TickLoop.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

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
    // One pass of the silent clock, on its thread.
    TickLoop::Next clockTick();
    // Any thread: a voice has been told to play.
    void resume();

    std::shared_ptr<Mixer> mixer_;
    std::atomic<Mixer*> deviceMixer_{nullptr};
    std::uint32_t device_ = 0;
    bool sdlStarted_ = false;
    std::atomic<bool> clockResting_{false};
    std::vector<float> clockScratch_; // the clock's thread only
    TickLoop clock_;
};

} // namespace gx
