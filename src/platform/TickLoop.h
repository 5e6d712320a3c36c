#pragma once
// A thread that works, then sleeps until a deadline or a stop, over and over:
// the one way our background loops run (the jukebox and hiss threads, the
// audio engine's keeper and silent clock, a streamed song's decoder, the
// settings writer, the cover reader and the cover cache). Each caller
// keeps only its period and its work.
//
// Threads: start(), join() and the destructor run on the owner's thread;
// the tick runs on the loop's own thread, which carries the loop's name (what
// `top -H` and gdb show); requestStop() and wake() may be called from any
// thread, the tick's own included, and never block for longer than a short
// lock.
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace gx {

class TickLoop {
public:
    using Clock = std::chrono::steady_clock;

    // How the loop counts its period.
    enum class Pace {
        // The period is slept after each tick's work.
        afterWork,
        // Ticks keep to a fixed rate: each deadline is the previous one plus
        // the period, so the time a tick takes does not add up. After a long
        // stall (a suspended machine) the count starts again from now rather
        // than racing to catch up.
        fixedRate,
    };

    // What a tick answers: how the loop goes on after it.
    class Next {
    public:
        // Sleep the loop's period.
        static Next period() { return Next(Kind::period, {}); }
        // Sleep this long, this once.
        static Next after(Clock::duration span) { return Next(Kind::after, span); }
        // Sleep until wake() or a stop (at once if woken since this tick began).
        static Next whenWoken() { return Next(Kind::whenWoken, {}); }
        // Sleep until wake(), a stop or this long, whichever comes first.
        static Next whenWokenOr(Clock::duration span) { return Next(Kind::whenWokenOr, span); }
        // End the loop.
        static Next stop() { return Next(Kind::stop, {}); }

    private:
        friend class TickLoop;
        enum class Kind { period, after, whenWoken, whenWokenOr, stop };
        Next(Kind kind, Clock::duration span)
            : kind_(kind)
            , span_(span)
        {
        }
        Kind kind_;
        Clock::duration span_;
    };
    using Tick = std::function<Next()>;

    // `name` names the thread, at most 15 characters ("gx-jukebox").
    explicit TickLoop(std::string name = "gx-loop");
    // Requests a stop and joins: call it on the owner's thread, never from the
    // tick.
    ~TickLoop();
    TickLoop(const TickLoop&) = delete;
    TickLoop& operator=(const TickLoop&) = delete;

    // Starts the thread: tick, then sleep, until a tick answers stop or a stop
    // is requested. A loop may start again once its last run was stopped and
    // joined. Throws std::system_error when no thread can be had.
    void start(Tick tick, Clock::duration period, Pace pace = Pace::afterWork);
    // For a loop that sleeps until woken: starts it on the first call and
    // wakes it on later ones. Answers false when no thread can be had.
    bool startOrWake(Tick tick);
    // Ends the loop: a sleep ends at once, a running tick finishes its work
    // and is the last. Never blocks, so the tick may call it.
    void requestStop();
    // Ends a whenWoken sleep, or the next one if a tick is running.
    void wake();
    // Waits for the thread to end. On the owner's thread only.
    void join();
    // True once the thread has left its last tick (or never started).
    bool finished() const;

private:
    void run(Tick tick, Clock::duration period, Pace pace);

    const std::string name_;
    std::thread thread_;
    mutable std::mutex mutex_;
    std::condition_variable wakeUp_;
    // --- guarded by mutex_
    bool stop_ = false;
    bool woken_ = false;
    bool finished_ = true;
};

} // namespace gx
