#include "handover/HandOverExpander.h"

#include "handover/PlaylistReader.h"
#include "platform/HandedPath.h"

#include <QFile>
#include <QFileInfo>

namespace gx {

namespace {

// A playlist longer than this is no playlist we can mean to read whole; the
// cut keeps a stray huge file from holding the worker (a few hundred
// thousand lines still fit).
constexpr qint64 kMaxPlaylistBytes = 16 * 1024 * 1024;

} // namespace

HandOverExpander::HandOverExpander(QStringList playableExtensions, int maxSongs, std::function<bool()> stop)
    : lister_(std::move(playableExtensions))
    , maxSongs_(maxSongs)
    , stop_(std::move(stop))
{
}

bool HandOverExpander::isCollection(const QString& path)
{
    const QFileInfo info(path);
    return info.isDir() || (playlistKindOf(path) != PlaylistKind::none && info.isFile());
}

HandOverReport HandOverExpander::expand(const QStringList& paths, const std::function<void(const QString&)>& take)
{
    take_ = take;
    HandOverReport report;
    for (const QString& path : paths) {
        const int before = given_;
        int missing = 0;
        const bool goOn = expandPath(path, 0, missing);
        const QString name = QFileInfo(path).fileName();
        if (missing > 0)
            report.missing.append({name, missing});
        else if (given_ == before && isCollection(path) && goOn)
            report.empty << (name.isEmpty() ? path : name);
        if (!goOn)
            break;
    }
    report.capped = capped_;
    take_ = nullptr;
    return report;
}

bool HandOverExpander::give(const QString& path)
{
    if (stop_ && stop_())
        return false;
    if (given_ >= maxSongs_) {
        capped_ = true;
        return false;
    }
    ++given_;
    take_(path);
    return true;
}

bool HandOverExpander::expandPath(const QString& path, int depth, int& missing)
{
    const QFileInfo info(path);
    if (info.isDir()) {
        // Inside a playlist inside a playlist, a folder is one level too deep.
        return depth > 1 || lister_.list(path, [this](const QString& song) { return give(song); });
    }
    if (playlistKindOf(path) != PlaylistKind::none && info.isFile())
        return depth > 1 || expandPlaylist(path, depth, missing);
    return give(path);
}

bool HandOverExpander::expandPlaylist(const QString& path, int depth, int& missing)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (openPlaylists_.contains(canonical))
        return true;
    QFile file(path);
    // Only a plain file is read (a pipe named like a playlist would wait for
    // ever), and only its beginning.
    if (!file.open(QIODevice::ReadOnly))
        return true;
    const QString folder = QFileInfo(path).absolutePath();
    const PlaylistEntries entries = readPlaylist(file.read(kMaxPlaylistBytes), playlistKindOf(path), folder);
    file.close();
    missing += entries.unusable;
    openPlaylists_.append(canonical);
    bool goOn = true;
    for (const QString& written : entries.paths) {
        if (stop_ && stop_()) {
            goOn = false;
            break;
        }
        const QString entry = handedPath(written);
        if (!QFileInfo::exists(entry)) {
            ++missing;
            continue;
        }
        if (!expandPath(entry, depth + 1, missing)) {
            goOn = false;
            break;
        }
    }
    openPlaylists_.removeLast();
    return goOn;
}

} // namespace gx
