#pragma once
// Takes what is handed over to the player from outside (the command line, a
// second launch, the desktop's "Open With", MPRIS OpenUri) and turns it into
// a burst of files for the play queue: a folder or a playlist stands for its
// songs (HandOverExpander). The first song takes the road of an open
// request, so it plays at once or queues as a single file would; the songs
// after it queue behind it in order, however long the listing takes.
// Hand-overs that arrive while one is still being listed follow it.
//
// Folders and playlists are listed on a loop of their own ("gx-hand-over"),
// so the window never waits on a large folder or a slow disk; the first song
// is passed on as soon as it is known, the rest in batches after it. Plain
// files handed over while nothing is being listed are passed on at once.
//
// Threads: everything public runs on the main thread, and so do the
// receiver's calls. The loop only reads the disk and posts to the main
// thread; it starts with the first folder or playlist, sleeps until the next
// and is joined by the destructor.
#include "platform/TickLoop.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <atomic>
#include <deque>
#include <functional>
#include <mutex>

namespace gx {

struct HandOverReport;

class HandOver : public QObject {
    Q_OBJECT
public:
    struct Receiver {
        // The first song of a run of hand-overs: plays it or queues it.
        std::function<void(const QString&)> open;
        // Songs after it, for the end of the queue.
        std::function<void(const QStringList&)> queue;
        // One notice over the turntable.
        std::function<void(const QString&)> tell;
    };

    explicit HandOver(Receiver receiver, int maxSongs = defaultMaxSongs(), QObject* parent = nullptr);
    // Ends a listing early and joins the loop.
    ~HandOver() override;

    void open(const QStringList& handed);
    // Whether a listing is under way.
    bool listing() const { return jobsUnderWay_ > 0; }

    // The extensions a folder's songs may have: the accepted types and those
    // the desktop hands over (FLAC, Ogg Vorbis, Opus).
    static QStringList playableExtensions();
    static int defaultMaxSongs();
    // The notice for a report, or empty when there is nothing to tell.
    static QString noticeText(const HandOverReport& report, int maxSongs);

private:
    struct Job {
        QStringList paths;
        int maxSongs = 0;
    };
    void pass(QStringList songs);
    void finishJob(const HandOverReport& report, int maxSongs);
    TickLoop::Next tick();
    void runJob(const Job& job);

    Receiver receiver_;
    const int maxSongs_;
    const QStringList extensions_;

    // Main thread only.
    int jobsUnderWay_ = 0;
    // Whether the current run of hand-overs has had its first song.
    bool runStarted_ = false;

    std::mutex mutex_;
    // --- guarded by mutex_
    std::deque<Job> jobs_;

    std::atomic<bool> stopping_ {false};
    // Started and joined on the main thread; last, so it ends first.
    TickLoop loop_ {"gx-hand-over"};
};

} // namespace gx
