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
    int observer = 0;
    int calls = 0;
    center.addObserver(
        &observer,
        [&](const Notification&) {
            ++calls;
            center.postNotificationName("Other", nullptr);
            center.removeObserver(&observer); // must not wait for itself
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
        std::atomic<bool> removed {false};
        std::atomic<bool> violated {false};
        std::atomic<bool> done {false};
        int observer = 0;
        std::atomic<int>* raw = state.get();
        center.addObserver(
            &observer,
            [&, raw](const Notification&) {
                if (removed.load())
                    violated = true;
                raw->fetch_add(1);
                std::this_thread::yield();
                raw->fetch_add(1);
                if (removed.load())
                    violated = true;
            },
            "Tick");
        std::vector<std::thread> posters;
        for (int i = 0; i < 3; ++i)
            posters.emplace_back([&] {
                while (!done.load())
                    center.postNotificationName("Tick", nullptr);
            });
        while (raw->load() < 10)
            std::this_thread::yield();
        center.removeObserver(&observer);
        removed = true;
        state.reset(); // a handler still inside would touch freed memory
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        done = true;
        for (auto& t : posters)
            t.join();
        ASSERT_FALSE(violated.load()) << "handler ran after removeObserver returned";
    }
}
