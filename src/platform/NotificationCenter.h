#pragma once
// Process-wide notification centre. Names are strings; delivery is
// synchronous on the posting thread, in subscription order. Safe to use from
// several threads: once removeObserver returns, that observer's handlers are
// never entered again and none is still running on another thread (a handler
// may remove its own observer; that call then does not wait for itself).
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
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
    std::mutex mutex_;
    std::condition_variable idle_;
    std::vector<std::shared_ptr<Subscription>> subscriptions_;
};

} // namespace gx
