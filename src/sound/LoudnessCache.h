#pragma once
// What we found of songs' loudness (tags read or measured), kept in one small
// file under the user's cache folder (~/.cache/gramolux/loudness, under
// $XDG_CACHE_HOME), so a song is measured once. An entry is valid while its
// file keeps its size and modification time. Past `maxEntries` the least
// recently used go. The file is replaced whole and atomically; one that
// cannot be read as ours is ignored, and the next save writes it afresh.
//
// Threads: every operation may be called from any thread (one mutex).
#include "sound/LoudnessTags.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <list>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

namespace gx {

class LoudnessCache {
public:
    static constexpr std::size_t kMaxEntries = 5000;

    // What identifies a file's contents, as far as a stat tells.
    struct Key {
        std::string path;
        std::int64_t size = 0;
        std::int64_t modifiedNs = 0;
    };
    // The key of the file as it is now; none when it cannot be read.
    static std::optional<Key> keyOf(const std::string& path);

    // An empty file name means the user's cache folder.
    explicit LoudnessCache(const QString& fileName = {}, std::size_t maxEntries = kMaxEntries);

    // Reads the file, replacing what is held; answers false (holding
    // nothing) when it is missing or damaged.
    bool load();
    // Writes what is held; answers false when it could not.
    bool save() const;

    // The entry for that file, made the most recently used.
    std::optional<SongLoudness> find(const Key& key);
    void insert(const Key& key, const SongLoudness& loudness);
    std::size_t size() const;
    QString fileName() const { return fileName_; }

private:
    struct Entry {
        Key key;
        SongLoudness loudness;
    };
    void insertLocked(const Key& key, const SongLoudness& loudness);

    const QString fileName_;
    const std::size_t maxEntries_;
    // --- guarded by mutex_: most recently used first, and by path
    mutable std::mutex mutex_;
    std::list<Entry> entries_;
    std::unordered_map<std::string, std::list<Entry>::iterator> byPath_;
};

} // namespace gx
