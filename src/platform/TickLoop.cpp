#include "platform/TickLoop.h"

#include "platform/Logging.h"

#include <system_error>

#include "platform/ThreadName.h"

namespace gx {

namespace {

// How far a fixed-rate loop may fall behind before it stops catching up.
constexpr auto kMaxLag = std::chrono::milliseconds(200);

} // namespace

TickLoop::TickLoop(std::string name)
    : name_(std::move(name))
{
}

TickLoop::~TickLoop()
{
    requestStop();
    join();
}

bool TickLoop::startOrWake(Tick tick)
{
    if (thread_.joinable()) {
        wake();
        return true;
    }
    try {
        start(std::move(tick), Clock::duration::zero());
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}

void TickLoop::start(Tick tick, Clock::duration period, Pace pace)
{
    join(); // a run before this one, stopped already
    {
        std::lock_guard lock(mutex_);
        stop_ = false;
        woken_ = false;
        finished_ = false;
    }
    try {
        thread_ = std::thread(&TickLoop::run, this, std::move(tick), period, pace);
    } catch (const std::system_error& e) {
        qCWarning(logPlatform) << "Thread" << name_.c_str() << "cannot start:" << e.what();
        std::lock_guard lock(mutex_);
        finished_ = true;
        throw;
    } catch (...) {
        std::lock_guard lock(mutex_);
        finished_ = true;
        throw;
    }
}

void TickLoop::requestStop()
{
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wakeUp_.notify_all();
}

void TickLoop::wake()
{
    {
        std::lock_guard lock(mutex_);
        woken_ = true;
    }
    wakeUp_.notify_all();
}

void TickLoop::join()
{
    if (thread_.joinable())
        thread_.join();
}

bool TickLoop::finished() const
{
    std::lock_guard lock(mutex_);
    return finished_;
}

// Runs on the loop's own thread.
void TickLoop::run(Tick tick, Clock::duration period, Pace pace)
{
    nameThisThread(name_.c_str());
    auto deadline = Clock::now();
    std::unique_lock lock(mutex_);
    while (!stop_) {
        // A wake that arrives while the tick works is kept for its sleep.
        woken_ = false;
        lock.unlock();
        const Next next = tick();
        lock.lock();
        switch (next.kind_) {
        case Next::Kind::stop:
            stop_ = true;
            break;
        case Next::Kind::whenWoken:
            wakeUp_.wait(lock, [this] { return stop_ || woken_; });
            deadline = Clock::now();
            break;
        case Next::Kind::whenWokenOr:
            deadline = Clock::now() + next.span_;
            wakeUp_.wait_until(lock, deadline, [this] { return stop_ || woken_; });
            break;
        case Next::Kind::after:
            deadline = Clock::now() + next.span_;
            wakeUp_.wait_until(lock, deadline, [this] { return stop_; });
            break;
        case Next::Kind::period: {
            const auto now = Clock::now();
            if (pace == Pace::fixedRate) {
                deadline += period;
                if (now - deadline > kMaxLag)
                    deadline = now;
            } else {
                deadline = now + period;
            }
            wakeUp_.wait_until(lock, deadline, [this] { return stop_; });
            break;
        }
        }
    }
    finished_ = true;
}

} // namespace gx
