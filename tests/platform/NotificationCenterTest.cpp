#include "platform/NotificationCenter.h"

#include <atomic>
#include <gtest/gtest.h>
#include <memory>
#include <thread>
#include <vector>

using gx::Notification;
using gx::NotificationCenter;

TEST(NotificationCenter, HandlerMayRemoveItselfAndPostAgain)
{
    NotificationCenter center;
    int calls = 0;
    center.addObserver(
        &calls,
        [&](const Notification&) {
            ++calls;
            center.postNotificationName("Other", nullptr);
            center.removeObserver(&calls); // must not wait for itself
        },
        "N");
    center.postNotificationName("N", nullptr);
    center.postNotificationName("N", nullptr);
    EXPECT_EQ(calls, 1);
}

// After removeObserver returns, the handler is never entered again and is not
// still running on another thread: the state it touches can be destroyed.
TEST(NotificationCenter, RemoveObserverWaitsForHandlersOnOtherThreads)
{
    NotificationCenter center;
    for (int round = 0; round < 50; ++round) {
        auto state = std::make_unique<std::atomic<int>>(0);
        std::atomic<bool> removed {false}, done {false};
        std::atomic<int> lateCalls {0};
        center.addObserver(
            &center,
            [&, raw = state.get()](const Notification&) {
                lateCalls += removed.load() ? 1 : 0;
                raw->fetch_add(1);
                std::this_thread::yield();
                raw->fetch_add(1);
                lateCalls += removed.load() ? 1 : 0;
            },
            "Tick");
        std::vector<std::thread> posters;
        for (int i = 0; i < 3; ++i)
            posters.emplace_back([&] {
                while (!done.load())
                    center.postNotificationName("Tick", nullptr);
            });
        while (state->load() < 10)
            std::this_thread::yield();
        center.removeObserver(&center);
        removed = true;
        state.reset(); // a handler still inside would touch freed memory
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        done = true;
        for (auto& t : posters)
            t.join();
        ASSERT_EQ(lateCalls.load(), 0) << "handler ran after removeObserver returned";
    }
}
