#pragma once
// The process's one audio output: an SDL2 device pulling the shared mixer
// from SDL's audio thread. While there is no device, a thread of our own (the
// silent clock) pulls the mixer at real-time pace and drops the result, so
// playback, its positions and its ends behave the same with no sound
// hardware, and go on from where they are when a device comes back.
//
// The device opens when the first voice plays. While no voice plays the
// output rests: the device is paused (SDL no longer calls us) or the clock
// sleeps. A voice told to play wakes the keeper, which resumes the device
// within one buffer. A device paused for kRestBeforeClose is closed, because
// SDL's audio thread keeps looping while paused; the next voice told to play
// has the keeper open it again.
//
// A device that is lost (SDL finds it removed, or it stops calling us, as when
// the sound server restarts) is closed; the clock keeps the time, and while a
// voice plays the keeper tries the default output again once every
// kRetryEvery. A device opened again takes over from the clock only once it
// calls at its own pace: a server holds a new stream's second buffer for over
// a second after a restart, and the song would stand still meanwhile. Every SDL call but starting SDL's audio is the
// keeper's, so no thread that starts a sound ever waits for the device.
#include "platform/TickLoop.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace gx {

class Mixer;

class AudioEngine {
public:
    // How long the device stays paused, and so resumes within a buffer,
    // before it is closed and must be opened again to play.
    static constexpr std::chrono::seconds kRestBeforeClose {2};
    // While a voice plays: how often the keeper checks the device, and how
    // often it tries to open one when there is none.
    static constexpr std::chrono::seconds kRetryEvery {1};

    // Started on first use; thread-safe.
    static AudioEngine& shared();
    ~AudioEngine();
    AudioEngine(const AudioEngine&) = delete;
    AudioEngine& operator=(const AudioEngine&) = delete;

    const std::shared_ptr<Mixer>& mixer() const { return mixer_; }
    // True when an SDL device plays the mix (open, or closed for a rest and
    // opened again on demand), false while the silent clock keeps the time.
    bool hasDevice() const { return !lost_.load(); }
    // True while the output rests because nothing plays.
    bool resting() const;
    // True while the device is open, playing or paused; false once it has
    // been closed for a long rest, or lost.
    bool deviceOpen() const;

    // `tell` is called once in the process's life, the first time a sound
    // should play and no output opens (it plays silently, timed by the
    // clock): on the keeper's thread, or at once on this one when that time
    // is past. Once an empty one is set, the last is no longer called.
    void whenNoOutput(std::function<void()> tell);

private:
    AudioEngine();
    static void pull(void* engine, std::uint8_t* stream, int bytes);
    // The four below are the keeper's (see its state below).
    // Starts SDL's audio if it is not running.
    bool startSdl();
    // Opens and starts the device at `rate`; answers whether it opened.
    bool openDevice(int rate);
    // Closes the device and, when it was lost, SDL's audio with it, so that
    // the next try connects afresh.
    void closeDevice(bool lost);
    // Logs an SDL failure with SDL's reason, once while it stays the same.
    void reportFailure(const char* what);
    // One pass of the keeper, on its thread.
    TickLoop::Next keeperTick();
    TickLoop::Next tryToOpen(bool wanted);
    // The keeper found no output for a sound that should play.
    void noOutput();
    // The silent clock takes over pulling, or hands back to the device.
    void clockPulls(bool pulls);
    // One pass of the silent clock, on its thread.
    TickLoop::Next clockTick();
    // On SDL's audio thread, while the clock keeps the time for a device
    // opened again: whether the device, last called `sinceLastCall` ago,
    // now pulls instead. Never waits.
    bool takeOverFromClock(std::chrono::steady_clock::duration sinceLastCall);
    // Any thread: a voice has been told to play.
    void resume();

    std::shared_ptr<Mixer> mixer_;
    std::atomic<Mixer*> deviceMixer_ {nullptr};

    // --- the keeper's own, with no lock: touched by its ticks, by the
    // constructor before it starts (or instead of it, when it cannot) and by
    // the destructor once it has ended
    bool sdlStarted_ = false;
    std::string lastFailure_; // the last SDL failure logged; empty once a device opens
    // When the device was first seen paused for want of anything to play.
    std::optional<std::chrono::steady_clock::time_point> restingSince_;
    // No device before this (the last try failed).
    std::chrono::steady_clock::time_point nextTry_ {};
    std::atomic<bool> lost_ {false};
    // The open device: the keeper opens and closes it, the callback and
    // deviceOpen() read it.
    std::atomic<std::uint32_t> device_ {0};
    // Held by the keeper only to take device_ back before it closes it, and
    // by resting() across its status read, so that no id is closed while
    // SDL is asked about it. Never held across a wait; taken alone.
    mutable std::mutex deviceMutex_;
    // When the device last called us, in steady-clock ticks.
    std::atomic<std::int64_t> lastPull_ {0};
    // The device was opened while the clock kept the time, and has not taken
    // over yet; it plays silence meanwhile.
    std::atomic<bool> clockHandsOver_ {false};
    TickLoop keeper_ {"gx-audio-keeper"};

    // --- guarded by tellMutex_, held while `tell` runs
    std::mutex tellMutex_;
    std::function<void()> tellNoOutput_;
    bool noOutputFound_ = false;
    bool noOutputTold_ = false;

    // --- guarded by clockMutex_, held only to read or set these two
    std::mutex clockMutex_;
    bool clockPulls_ = false;
    // The clock is inside a pull: a device does not take over until it is out.
    bool clockRendering_ = false;
    // ---
    std::vector<float> clockScratch_; // the clock's own
    std::atomic<bool> clockResting_ {true};
    TickLoop clock_ {"gx-silent-clock"}; // started by the constructor or the keeper
};

} // namespace gx
