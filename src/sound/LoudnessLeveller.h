#pragma once
// Finds the loudness of the song that plays, on a thread of its own
// ("gx-loudness"), beside the song's own decoder: from the cache, else from
// the file's tags, else by measuring it; what it finds goes into the cache.
// One song at a time: a request for the next song stops the measurement of
// the one before.
//
// Threads: the constructor, request(), known() and the destructor on the
// owner's thread; `found`, the cache's reading and writing on loop_.
#include "platform/TickLoop.h"
#include "sound/LoudnessCache.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

namespace gx {

class LoudnessLeveller {
public:
    using Found = std::function<void(const std::string& path, const SongLoudness& loudness)>;

    // An empty cache file name means the user's cache folder.
    explicit LoudnessLeveller(Found found, const QString& cacheFile = {});
    // Stops a measurement under way and ends the thread.
    ~LoudnessLeveller();
    LoudnessLeveller(const LoudnessLeveller&) = delete;
    LoudnessLeveller& operator=(const LoudnessLeveller&) = delete;

    // What the cache holds for the file as it is now, without reading the
    // file (the cache itself is read with the first request).
    std::optional<SongLoudness> known(const std::string& path);
    // Finds the file's loudness and hands it to `found` on the thread.
    void request(const std::string& path);

private:
    // Run on loop_.
    TickLoop::Next tick();

    const Found found_;
    LoudnessCache cache_;
    std::atomic<bool> cancel_ {false};
    // --- guarded by mutex_
    std::mutex mutex_;
    std::optional<std::string> pending_;
    std::string working_; // the path loop_ is finding, or empty
    // --- loop_ only
    bool cacheRead_ = false;
    TickLoop loop_ {"gx-loudness"}; // last, so it ends before the fields it reads go
};

} // namespace gx
