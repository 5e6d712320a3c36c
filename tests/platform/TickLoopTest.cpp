#include "platform/TickLoop.h"

#include "support/TestSupport.h"

#include <atomic>
#include <gtest/gtest.h>

using gx::TickLoop;
using gx::test::waitUntil;
using namespace std::chrono_literals;

TEST(TickLoop, StopsFromInsideItsTickAfterThatTicksWork)
{
    std::atomic<int> ticks {0};
    TickLoop loop;
    loop.start(
        [&] {
            if (++ticks == 3)
                loop.requestStop(); // must not block on the loop's own thread
            return TickLoop::Next::period();
        },
        1ms);
    ASSERT_TRUE(waitUntil([&] { return loop.finished(); }, 10000));
    loop.join();
    EXPECT_EQ(ticks.load(), 3);

    TickLoop answering;
    std::atomic<int> passes {0};
    answering.start([&] { return ++passes == 2 ? TickLoop::Next::stop() : TickLoop::Next::period(); }, 1ms);
    ASSERT_TRUE(waitUntil([&] { return answering.finished(); }, 10000));
    EXPECT_EQ(passes.load(), 2);
}

TEST(TickLoop, StopAndWakeEndLongSleepsAtOnce)
{
    // Each sleep is an hour: only the stop or the wake can end it in time.
    for (const bool untilWoken : {false, true}) {
        SCOPED_TRACE(untilWoken ? "whenWoken" : "period");
        std::atomic<int> ticks {0};
        TickLoop loop;
        loop.start(
            [&] {
                ++ticks;
                return untilWoken ? TickLoop::Next::whenWoken() : TickLoop::Next::period();
            },
            1h);
        ASSERT_TRUE(waitUntil([&] { return ticks.load() == 1; }, 10000));
        if (untilWoken) {
            loop.wake();
            ASSERT_TRUE(waitUntil([&] { return ticks.load() == 2; }, 10000));
        }
        loop.requestStop();
        ASSERT_TRUE(waitUntil([&] { return loop.finished(); }, 10000));
        EXPECT_EQ(ticks.load(), untilWoken ? 2 : 1);
    }
}

TEST(TickLoop, KeepsItsPeriodRoughly)
{
    // 20 ticks of 50 ms take at least 0.95 s at either pace; the upper limit
    // only catches a loop that does not sleep at all, never a busy machine.
    for (const auto pace : {TickLoop::Pace::afterWork, TickLoop::Pace::fixedRate}) {
        std::atomic<int> ticks {0};
        const auto began = TickLoop::Clock::now();
        TickLoop loop;
        loop.start([&] { return ++ticks == 20 ? TickLoop::Next::stop() : TickLoop::Next::period(); }, 50ms, pace);
        ASSERT_TRUE(waitUntil([&] { return loop.finished(); }, 30000));
        EXPECT_GE(TickLoop::Clock::now() - began, 950ms);
    }
    // A wake ends no timed sleep: only whenWoken listens for it.
    std::atomic<int> ticks {0};
    TickLoop loop;
    loop.start(
        [&] {
            ++ticks;
            return TickLoop::Next::after(1h);
        },
        1ms);
    ASSERT_TRUE(waitUntil([&] { return ticks.load() == 1; }, 10000));
    loop.wake();
    QThread::msleep(100);
    EXPECT_EQ(ticks.load(), 1);
}
