#include "sound/LoudnessCache.h"

#include "platform/Logging.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringList>
#include <QUrl>
#include <cmath>
#include <sys/stat.h>

namespace gx {

namespace {

const QByteArray kHeader = "gramolux-loudness 1";
constexpr int kFields = 7;

QByteArray numberField(const std::optional<double>& value)
{
    return value ? QByteArray::number(*value, 'g', 9) : QByteArray("-");
}

// "-" is none; anything else must be a finite number.
bool readField(const QByteArray& field, std::optional<double>& value)
{
    if (field == "-") {
        value.reset();
        return true;
    }
    bool ok = false;
    const double v = field.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return false;
    value = v;
    return true;
}

} // namespace

std::optional<LoudnessCache::Key> LoudnessCache::keyOf(const std::string& path)
{
    struct stat info { };
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    return Key {path, static_cast<std::int64_t>(info.st_size),
        static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

LoudnessCache::LoudnessCache(const QString& fileName, std::size_t maxEntries)
    : fileName_(fileName.isEmpty()
            ? QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + "/gramolux/loudness"
            : fileName)
    , maxEntries_(maxEntries)
{
}

bool LoudnessCache::load()
{
    std::lock_guard lock(mutex_);
    entries_.clear();
    byPath_.clear();
    QFile file(fileName_);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QList<QByteArray> lines = file.readAll().split('\n');
    bool damaged = lines.isEmpty() || lines.first() != kHeader;
    // Least recently used first, so each line read becomes the newest.
    for (qsizetype i = 1; i < lines.size() && !damaged; ++i) {
        if (lines[i].isEmpty())
            continue;
        const QList<QByteArray> f = lines[i].split('\t');
        Entry e;
        bool sizeOk = false, timeOk = false;
        if (f.size() == kFields) {
            e.key.path = QByteArray::fromPercentEncoding(f[0]).toStdString();
            e.key.size = f[1].toLongLong(&sizeOk);
            e.key.modifiedNs = f[2].toLongLong(&timeOk);
        }
        damaged = !sizeOk || !timeOk || e.key.path.empty() || !readField(f[3], e.loudness.trackGainDb)
            || !readField(f[4], e.loudness.trackPeak) || !readField(f[5], e.loudness.albumGainDb)
            || !readField(f[6], e.loudness.albumPeak);
        if (!damaged)
            insertLocked(e.key, e.loudness);
    }
    if (damaged) {
        qCWarning(logSound) << "ignoring the damaged loudness cache" << fileName_ << "; it will be written afresh";
        entries_.clear();
        byPath_.clear();
        return false;
    }
    return true;
}

bool LoudnessCache::save() const
{
    QByteArray text = kHeader + '\n';
    {
        std::lock_guard lock(mutex_);
        for (auto e = entries_.rbegin(); e != entries_.rend(); ++e) {
            text += QByteArray::fromStdString(e->key.path).toPercentEncoding("/ ") + '\t'
                + QByteArray::number(e->key.size) + '\t' + QByteArray::number(e->key.modifiedNs) + '\t'
                + numberField(e->loudness.trackGainDb) + '\t' + numberField(e->loudness.trackPeak) + '\t'
                + numberField(e->loudness.albumGainDb) + '\t' + numberField(e->loudness.albumPeak) + '\n';
        }
    }
    QSaveFile file(fileName_);
    if (!QDir().mkpath(QFileInfo(fileName_).absolutePath()) || !file.open(QIODevice::WriteOnly)
        || file.write(text) != text.size() || !file.commit()) {
        qCWarning(logSound) << "could not write the loudness cache" << fileName_ << ":" << file.errorString();
        return false;
    }
    return true;
}

std::optional<SongLoudness> LoudnessCache::find(const Key& key)
{
    std::lock_guard lock(mutex_);
    const auto at = byPath_.find(key.path);
    if (at == byPath_.end() || at->second->key.size != key.size || at->second->key.modifiedNs != key.modifiedNs)
        return std::nullopt;
    entries_.splice(entries_.begin(), entries_, at->second);
    return at->second->loudness;
}

void LoudnessCache::insert(const Key& key, const SongLoudness& loudness)
{
    std::lock_guard lock(mutex_);
    insertLocked(key, loudness);
}

void LoudnessCache::insertLocked(const Key& key, const SongLoudness& loudness)
{
    if (const auto at = byPath_.find(key.path); at != byPath_.end()) {
        entries_.erase(at->second);
        byPath_.erase(at);
    }
    entries_.push_front(Entry {key, loudness});
    byPath_[key.path] = entries_.begin();
    while (entries_.size() > maxEntries_) {
        byPath_.erase(entries_.back().key.path);
        entries_.pop_back();
    }
}

std::size_t LoudnessCache::size() const
{
    std::lock_guard lock(mutex_);
    return entries_.size();
}

} // namespace gx
