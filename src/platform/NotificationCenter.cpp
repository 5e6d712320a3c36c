#include "platform/NotificationCenter.h"

#include <algorithm>
#include <thread>

namespace gx {

struct NotificationCenter::Subscription {
    const void* observer;
    Handler handler;
    std::string name;
    const void* sender;
    bool active = true;
    // Threads currently inside the handler (a thread may be in it more than
    // once when a handler posts the same name again).
    std::vector<std::thread::id> inside;
};

NotificationCenter& NotificationCenter::defaultCenter()
{
    static NotificationCenter centre;
    return centre;
}

void NotificationCenter::addObserver(const void* observer, Handler handler, const std::string& name, const void* sender)
{
    auto sub = std::make_shared<Subscription>();
    sub->observer = observer;
    sub->handler = std::move(handler);
    sub->name = name;
    sub->sender = sender;
    std::lock_guard lock(mutex_);
    subscriptions_.push_back(std::move(sub));
}

void NotificationCenter::removeObserver(const void* observer)
{
    const auto self = std::this_thread::get_id();
    std::unique_lock lock(mutex_);
    std::vector<std::shared_ptr<Subscription>> removed;
    std::erase_if(subscriptions_, [&](const std::shared_ptr<Subscription>& s) {
        if (s->observer != observer)
            return false;
        s->active = false;
        removed.push_back(s);
        return true;
    });
    // Wait until no other thread is inside one of the removed handlers.
    idle_.wait(lock, [&] {
        return std::all_of(removed.begin(), removed.end(), [&](const auto& s) {
            return std::all_of(s->inside.begin(), s->inside.end(), [&](std::thread::id t) { return t == self; });
        });
    });
}

void NotificationCenter::postNotificationName(const std::string& name, const void* object)
{
    const Notification note {name, object};
    const auto self = std::this_thread::get_id();
    std::vector<std::shared_ptr<Subscription>> matching;
    {
        std::lock_guard lock(mutex_);
        for (const auto& s : subscriptions_)
            if (s->name == name && (s->sender == nullptr || s->sender == object))
                matching.push_back(s);
    }
    for (const auto& s : matching) {
        {
            std::lock_guard lock(mutex_);
            if (!s->active)
                continue;
            s->inside.push_back(self);
        }
        // Leave the handler on every exit, so removeObserver never waits forever.
        struct Leave {
            NotificationCenter* c;
            Subscription* s;
            std::thread::id t;
            ~Leave()
            {
                std::lock_guard lock(c->mutex_);
                s->inside.erase(std::find(s->inside.begin(), s->inside.end(), t));
                c->idle_.notify_all();
            }
        } leave {this, s.get(), self};
        s->handler(note);
    }
}

} // namespace gx
