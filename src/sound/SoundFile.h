#pragma once
// A sound file opened for FFmpeg's demuxers. The file is opened and checked
// here, not by FFmpeg: only a regular, non-empty file is read (a FIFO or device
// could block or never end), through our own descriptor, so the path is never
// taken for a protocol or playlist; and only the demuxers of audio files and of
// the film containers songs come in may take it. Not thread-safe.
#include "sound/Decoder.h"

#include <memory>
#include <string>

struct AVFormatContext;
struct AVIOContext;

namespace gx {

class SoundFile {
public:
    // Null unless the path names a regular, non-empty file we may read; then,
    // when asked, says why.
    static std::unique_ptr<SoundFile> open(const std::string& path, OpenFailure* failure = nullptr);
    ~SoundFile();
    SoundFile(const SoundFile&) = delete;
    SoundFile& operator=(const SoundFile&) = delete;

    // A demuxer from the start of the file with its header read: the
    // container's tags and attached pictures are known then, its streams'
    // parameters not always. Closes the one before; null when no demuxer we
    // accept takes the file.
    AVFormatContext* openDemuxer();
    void closeDemuxer();
    AVFormatContext* demuxer() const { return fmt_; }
    const std::string& path() const { return path_; }

private:
    SoundFile(int fd, std::string path);
    int fd_;
    std::string path_;
    AVIOContext* io_ = nullptr;
    AVFormatContext* fmt_ = nullptr;
};

} // namespace gx
