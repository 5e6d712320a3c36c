#include "sound/LoudnessLeveller.h"

#include "sound/LoudnessMeter.h"

namespace gx {

LoudnessLeveller::LoudnessLeveller(Found found, const QString& cacheFile)
    : found_(std::move(found))
    , cache_(cacheFile)
{
}

LoudnessLeveller::~LoudnessLeveller()
{
    cancel_ = true;
    loop_.requestStop();
    loop_.join();
}

std::optional<SongLoudness> LoudnessLeveller::known(const std::string& path)
{
    const std::optional<LoudnessCache::Key> key = LoudnessCache::keyOf(path);
    return key ? cache_.find(*key) : std::nullopt;
}

void LoudnessLeveller::request(const std::string& path)
{
    {
        std::lock_guard lock(mutex_);
        if (working_ == path && !pending_)
            return; // already under way
        pending_ = path;
        cancel_ = !working_.empty();
    }
    if (!loop_.startOrWake([this] { return tick(); })) {
        std::lock_guard lock(mutex_);
        pending_.reset(); // no thread to be had: the song plays as it is
    }
}

TickLoop::Next LoudnessLeveller::tick()
{
    std::string path;
    {
        std::lock_guard lock(mutex_);
        working_.clear();
        if (!pending_)
            return TickLoop::Next::whenWoken();
        path = working_ = std::move(*pending_);
        pending_.reset();
        cancel_ = false;
    }
    if (!cacheRead_) {
        cache_.load();
        cacheRead_ = true;
    }
    const std::optional<LoudnessCache::Key> key = LoudnessCache::keyOf(path);
    if (!key)
        return TickLoop::Next::period();
    if (const std::optional<SongLoudness> cached = cache_.find(*key)) {
        found_(path, *cached);
        return TickLoop::Next::period();
    }
    if (const std::optional<SongLoudness> loudness = LoudnessMeter::find(path, cancel_)) {
        cache_.insert(*key, *loudness);
        cache_.save();
        found_(path, *loudness);
    }
    return TickLoop::Next::period();
}

} // namespace gx
