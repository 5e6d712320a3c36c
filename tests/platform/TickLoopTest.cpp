#include "platform/TickLoop.h"

#include "support/TestSupport.h"

#include <atomic>
#include <tuple>

using gx::TickLoop;
using gx::test::waitUntil;
using Next = TickLoop::Next;
using namespace std::chrono_literals;

TEST(TickLoop, EndsAfterTheWorkOfTheTickThatStopsIt)
{
    for (const bool answers : {false, true}) {
        SCOPED_TRACE(answers ? "answered" : "requested");
        std::atomic<int> ticks {0};
        TickLoop loop;
        loop.start(
            [&] {
                if (++ticks < 3)
                    return Next::period();
                if (answers)
                    return Next::stop();
                loop.requestStop(); // must not block on the loop's own thread
                return Next::period();
            },
            1ms);
        ASSERT_TRUE(waitUntil([&] { return loop.finished(); }, 10000));
        loop.join();
        EXPECT_EQ(ticks.load(), 3);
    }
}

TEST(TickLoop, AStopEndsAnySleepAtOnceAndAWakeOnlyAWhenWokenOne)
{
    // Each sleep is an hour: only the stop or the wake can end it in time.
    const std::tuple<const char*, Next, bool> sleeps[]
        = {{"period", Next::period(), false}, {"after", Next::after(1h), false}, {"whenWoken", Next::whenWoken(), true},
            {"whenWokenOr", Next::whenWokenOr(1h), true}};
    for (const auto& [name, next, listens] : sleeps) {
        SCOPED_TRACE(name);
        std::atomic<int> ticks {0};
        TickLoop loop;
        loop.start(
            [&, next = next] {
                ++ticks;
                return next;
            },
            1h);
        ASSERT_TRUE(waitUntil([&] { return ticks.load() == 1; }, 10000));
        loop.wake();
        if (listens)
            ASSERT_TRUE(waitUntil([&] { return ticks.load() == 2; }, 10000));
        else
            QThread::msleep(100);
        loop.requestStop();
        ASSERT_TRUE(waitUntil([&] { return loop.finished(); }, 10000));
        EXPECT_EQ(ticks.load(), listens ? 2 : 1);
    }
}

TEST(TickLoop, KeepsItsPeriodRoughly)
{
    // 20 ticks of 50 ms take at least 0.95 s at either pace; there is no upper
    // limit, which a busy machine could break.
    for (const auto pace : {TickLoop::Pace::afterWork, TickLoop::Pace::fixedRate}) {
        std::atomic<int> ticks {0};
        const auto began = TickLoop::Clock::now();
        TickLoop loop;
        loop.start([&] { return ++ticks == 20 ? Next::stop() : Next::period(); }, 50ms, pace);
        ASSERT_TRUE(waitUntil([&] { return loop.finished(); }, 30000));
        EXPECT_GE(TickLoop::Clock::now() - began, 950ms);
    }
}
