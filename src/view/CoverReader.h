#pragma once
// Reads a song's tags and prints its cover on the label on a thread of its
// own ("gx-cover", a TickLoop), so that neither opening the file nor decoding
// a large picture ever holds up the main thread, the audio or the jukebox.
// The thread starts with the first request and serves one song at a time; a
// request replaces one not yet begun, and the caller tells a stale answer by
// its ticket.
#include "platform/TickLoop.h"
#include "sound/Decoder.h"
#include "view/CoverLabel.h"

#include <QImage>
#include <QString>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>

namespace gx {

class CoverReader {
public:
    struct Result {
        std::uint64_t ticket = 0;
        TrackTags tags;              // empty when the file has none or does not open
        cover::CoveredRecord record; // null images: our own label
    };

    // `ready` runs on the reader's thread, with no lock held, each time a
    // result can be taken; it should only post a call to the main thread,
    // which then takes the result.
    explicit CoverReader(std::function<void()> ready);
    // Waits for the song being read, if any, and ends the thread.
    ~CoverReader();
    CoverReader(const CoverReader&) = delete;
    CoverReader& operator=(const CoverReader&) = delete;

    // Main thread: read `path` and print its cover on `disc` and `label`.
    void request(std::uint64_t ticket, const QString& path, const QImage& disc, const QImage& label);
    // Main thread: the latest result not yet taken.
    std::optional<Result> take();

private:
    struct Request {
        std::uint64_t ticket = 0;
        QString path;
        QImage disc;
        QImage label;
    };
    static Result read(const Request& request);
    // Runs on loop_.
    TickLoop::Next tick();

    const std::function<void()> ready_;
    // --- guarded by mutex_: the request not yet begun, the answer not yet taken
    std::mutex mutex_;
    std::optional<Request> pending_;
    std::optional<Result> result_;
    TickLoop loop_ {"gx-cover"}; // last, so it ends before the fields it reads go
};

} // namespace gx
