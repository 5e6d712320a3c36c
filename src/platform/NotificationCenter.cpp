#include "platform/NotificationCenter.h"

#include <algorithm>

namespace gx {

struct NotificationCenter::Subscription {
    const void* observer;
    Handler handler;
    std::string name;
    const void* sender;
    bool active = true;
};

NotificationCenter& NotificationCenter::defaultCenter()
{
    static NotificationCenter centre;
    return centre;
}

void NotificationCenter::addObserver(const void* observer, Handler handler, const std::string& name, const void* sender)
{
    subscriptions_.push_back(std::make_shared<Subscription>(Subscription {observer, std::move(handler), name, sender}));
}

void NotificationCenter::removeObserver(const void* observer)
{
    std::erase_if(subscriptions_, [&](const std::shared_ptr<Subscription>& s) {
        if (s->observer != observer)
            return false;
        s->active = false; // a post under way holds it and passes it by
        return true;
    });
}

void NotificationCenter::postNotificationName(const std::string& name, const void* object)
{
    const Notification note {name, object};
    // A copy: handlers may change the list while it is delivered.
    std::vector<std::shared_ptr<Subscription>> matching;
    for (const auto& s : subscriptions_)
        if (s->name == name && (s->sender == nullptr || s->sender == object))
            matching.push_back(s);
    for (const auto& s : matching)
        if (s->active)
            s->handler(note);
}

} // namespace gx
