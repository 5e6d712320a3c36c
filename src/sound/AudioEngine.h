#pragma once
// The process's one audio output: an SDL2 device pulling the shared mixer
// from SDL's audio thread. When no device can be opened, a thread of our own
// pulls the mixer at real-time pace and drops the result, so playback, its
// positions and its ends behave the same with no sound hardware.
//
// While no voice plays the output rests: the device is paused (SDL no longer
// calls us) or the clock sleeps. A voice told to play resumes it within one
// buffer. A device paused for kRestBeforeClose is closed, because SDL's
// audio thread keeps looping while paused; the next voice told to play
// reopens it, on its own thread, before it returns.
#include "platform/TickLoop.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace gx {

class Mixer;

class AudioEngine {
public:
    // How long the device stays paused, and so resumes within a buffer,
    // before it is closed and must be opened again to play.
    static constexpr std::chrono::seconds kRestBeforeClose {2};

    // Started on first use; thread-safe.
    static AudioEngine& shared();
    ~AudioEngine();
    AudioEngine(const AudioEngine&) = delete;
    AudioEngine& operator=(const AudioEngine&) = delete;

    const std::shared_ptr<Mixer>& mixer() const { return mixer_; }
    // True when an SDL device plays the mix (open, or closed for a rest and
    // opened again on demand), false when the silent clock does.
    bool hasDevice() const { return !clockRunning_.load(); }
    // True while the output rests because nothing plays.
    bool resting() const;
    // True while the device is open, playing or paused; false once it has
    // been closed for a long rest (and with no device at all).
    bool deviceOpen() const;

private:
    AudioEngine();
    static void pull(void* engine, std::uint8_t* stream, int bytes);
    // Opens and starts the device at `rate`, or at what the hardware
    // offers when `anyRate`; answers its rate, 0 when none opened.
    // Called with deviceMutex_ held.
    int openDevice(int rate, bool anyRate);
    void startClock();
    // One pass of the silent clock, on its thread.
    TickLoop::Next clockTick();
    // One pass of the keeper, on its thread: closes a device that has
    // rested for kRestBeforeClose.
    TickLoop::Next keeperTick();
    void closeIfStillResting();
    // Any thread: a voice has been told to play.
    void resume();

    std::shared_ptr<Mixer> mixer_;
    std::atomic<Mixer*> deviceMixer_ {nullptr};
    bool sdlStarted_ = false;

    // --- guarded by deviceMutex_, which is never taken on SDL's audio
    // thread (closing the device waits for that thread)
    mutable std::mutex deviceMutex_;
    std::atomic<std::uint32_t> device_ {0}; // atomic only for deviceOpen() and the callback

    // --- guarded by keeperMutex_, held only briefly and never around an
    // SDL call
    std::mutex keeperMutex_;
    // When the device last paused for want of anything to play.
    std::optional<std::chrono::steady_clock::time_point> restingSince_;
    TickLoop keeper_ {"gx-audio-keeper"};

    std::atomic<bool> clockResting_ {false};
    std::atomic<bool> clockRunning_ {false};
    std::vector<float> clockScratch_;    // the clock's thread only, once started
    TickLoop clock_ {"gx-silent-clock"}; // started under deviceMutex_
};

} // namespace gx
