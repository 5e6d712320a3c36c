#include "platform/NotificationCenter.h"

#include <gtest/gtest.h>
#include <string>
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

TEST(NotificationCenter, ObserverRemovedDuringAPostIsNotEnteredAndSendersAreMatched)
{
    NotificationCenter center;
    std::vector<std::string> heard;
    const int sender = 0, other = 0;
    center.addObserver(
        &heard,
        [&](const Notification&) {
            heard.push_back("first");
            center.removeObserver(&center);
        },
        "N");
    center.addObserver(
        &center, [&](const Notification&) { heard.push_back("second"); }, "N");
    center.addObserver(
        &sender, [&](const Notification& n) { heard.push_back(n.name); }, "M", &sender);
    center.postNotificationName("N", nullptr);
    center.postNotificationName("M", &other);
    center.postNotificationName("M", &sender);
    EXPECT_EQ(heard, (std::vector<std::string> {"first", "M"}));
}
