#include "platform/NotificationCenter.h"

#include "support/TestSupport.h"

using gx::Notification;
using gx::NotificationCenter;

// Handlers may post, and remove themselves or others, while a post runs: one
// removed meanwhile is not entered, and one that removes itself does not wait
// for itself. Observers of a sender hear only that sender.
TEST(NotificationCenter, HandlersMayPostAndRemoveObserversDuringAPostAndSendersAreMatched)
{
    NotificationCenter center;
    std::vector<std::string> heard;
    const int sender = 0, other = 0;
    center.addObserver(
        &heard,
        [&](const Notification&) {
            heard.push_back("first");
            center.postNotificationName("M", &sender);
            center.removeObserver(&center);
            center.removeObserver(&heard);
        },
        "N");
    center.addObserver(
        &center, [&](const Notification&) { heard.push_back("second"); }, "N");
    center.addObserver(
        &sender, [&](const Notification& n) { heard.push_back(n.name); }, "M", &sender);
    center.postNotificationName("N", nullptr);
    center.postNotificationName("N", nullptr);
    center.postNotificationName("M", &other);
    EXPECT_EQ(heard, (std::vector<std::string> {"first", "M"}));
}
