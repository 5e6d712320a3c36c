#pragma once
// What the paths of one hand-over (a command line, a second launch, the
// desktop's "Open With", an OpenUri) stand for, song by song and in their
// order: a folder its songs (FolderLister), a playlist its entries, any
// other path itself, even one that is gone (it says so when it plays).
// A playlist or folder inside a playlist is expanded, one level deep; a
// playlist already being expanded (one that names itself) is passed over.
// Entries that do not exist are left out and counted per playlist handed.
// At most maxSongs come from one hand-over.
//
// Threads: made, run and read on one thread, the hand-over's worker.
#include "handover/FolderLister.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <functional>

namespace gx {

// What the user is told once a hand-over is expanded.
struct HandOverReport {
    // Per playlist handed (its file name): entries left out as missing.
    QList<QPair<QString, int>> missing;
    // Folders and playlists handed that stood for no song (their names).
    QStringList empty;
    // Songs were left out past the limit.
    bool capped = false;

    bool isEmpty() const { return missing.isEmpty() && empty.isEmpty() && !capped; }
};

class HandOverExpander {
public:
    static constexpr int kMaxSongs = 10000;

    // `stop` is asked between songs and entries; true ends the expansion early.
    HandOverExpander(QStringList playableExtensions, int maxSongs = kMaxSongs, std::function<bool()> stop = {});

    // Hands each song to take in order; answers what to tell.
    HandOverReport expand(const QStringList& paths, const std::function<void(const QString&)>& take);

    // Whether a path handed over stands for more than itself: a folder, or a
    // playlist that is a plain file. Asks the disk.
    static bool isCollection(const QString& path);

private:
    // Answers false once no more songs are to come.
    bool expandPath(const QString& path, int depth, int& missing);
    bool expandPlaylist(const QString& path, int depth, int& missing);
    bool give(const QString& path);

    FolderLister lister_;
    int maxSongs_;
    std::function<bool()> stop_;
    std::function<void(const QString&)> take_;
    int given_ = 0;
    bool capped_ = false;
    // Canonical paths of the playlists being expanded, outermost first.
    QStringList openPlaylists_;
};

} // namespace gx
