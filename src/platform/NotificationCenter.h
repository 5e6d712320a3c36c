#pragma once
// Process-wide notification centre. Names are strings; delivery is
// synchronous on the posting thread, in subscription order. Every post and
// subscription of ours is made on the main thread. A handler may post, and
// may remove observers, its own included: a removed handler is never entered
// again, also later within the post that is under way.
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace gx {

struct Notification {
    std::string name;
    const void* object = nullptr;
};

class NotificationCenter {
public:
    using Handler = std::function<void(const Notification&)>;

    static NotificationCenter& defaultCenter();

    // sender == nullptr matches every posting object.
    void addObserver(const void* observer, Handler handler, const std::string& name, const void* sender = nullptr);
    void removeObserver(const void* observer);
    void postNotificationName(const std::string& name, const void* object);

    NotificationCenter() = default;
    NotificationCenter(const NotificationCenter&) = delete;
    NotificationCenter& operator=(const NotificationCenter&) = delete;

private:
    struct Subscription;
    std::vector<std::shared_ptr<Subscription>> subscriptions_;
};

} // namespace gx
