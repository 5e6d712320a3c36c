#pragma once
// The covers handed to the desktop as files (MPRIS wants a URL): one file per
// picture in the user's cache folder, named by its bytes, so a song opened
// again finds its file. Files are written on a thread of the cache's own
// ("gx-cover-cache"), so the main thread never waits for the disk, and the
// folder stays bounded: past `maxFiles` the least recently used go (a file's
// date keeps the order from one run to the next).
//
// Threads: store() and the destructor on the owner's thread; the writing and
// `done` on loop_.
#include "platform/TickLoop.h"

#include <QStringList>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

namespace gx {

class CoverCache {
public:
    static constexpr std::size_t kMaxFiles = 200;
    // The file's path, or empty when it could not be written.
    using Done = std::function<void(const std::string& path)>;

    // An empty folder means ~/.cache/gramolux/covers (under $XDG_CACHE_HOME).
    explicit CoverCache(const QString& folder = {}, std::size_t maxFiles = kMaxFiles);
    // Drops what is not yet written and ends the thread.
    ~CoverCache();
    CoverCache(const CoverCache&) = delete;
    CoverCache& operator=(const CoverCache&) = delete;

    // Keeps the picture (its bytes and file extension) as a file; `done`
    // then runs on the cache's thread.
    void store(std::string bytes, std::string extension, Done done);

private:
    struct Job {
        std::string bytes;
        std::string extension;
        Done done;
    };
    // Run on loop_.
    TickLoop::Next tick();
    std::string keep(const Job& job);

    const std::string folder_;
    const std::size_t maxFiles_;
    // --- guarded by mutex_: what waits to be written
    std::mutex mutex_;
    std::deque<Job> jobs_;
    // --- loop_ only: the files, least recently used first (read at the first job)
    std::optional<QStringList> order_;
    TickLoop loop_ {"gx-cover-cache"}; // last, so it ends before the fields it reads go
};

} // namespace gx
