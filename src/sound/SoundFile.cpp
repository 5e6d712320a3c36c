#include "sound/SoundFile.h"

#include "sound/FfmpegLog.h"

extern "C" {
#include <libavformat/avformat.h>
}

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace gx {

namespace {

// Demuxers of audio files and of the film containers songs come in. Playlist,
// concatenation and image demuxers are left out: they would open other files.
constexpr const char* kFormatWhitelist = "wav,w64,aiff,mp3,mov,mpeg,mpegts,aac,flac,ogg,caf,au";

constexpr int kIoBufferSize = 64 * 1024;

int readFromFile(void* opaque, std::uint8_t* buffer, int size)
{
    const int fd = *static_cast<const int*>(opaque);
    for (;;) {
        const ssize_t n = ::read(fd, buffer, static_cast<size_t>(size));
        if (n > 0)
            return static_cast<int>(n);
        if (n == 0)
            return AVERROR_EOF;
        if (errno != EINTR)
            return AVERROR(errno);
    }
}

std::int64_t seekInFile(void* opaque, std::int64_t offset, int whence)
{
    const int fd = *static_cast<const int*>(opaque);
    whence &= ~AVSEEK_FORCE;
    if (whence == AVSEEK_SIZE) {
        struct stat info { };
        return ::fstat(fd, &info) == 0 ? static_cast<std::int64_t>(info.st_size) : AVERROR(errno);
    }
    const off_t at = ::lseek(fd, static_cast<off_t>(offset), whence);
    return at < 0 ? AVERROR(errno) : static_cast<std::int64_t>(at);
}

// No demuxer we accept needs another file; refuse any it asks for.
int refuseNestedOpen(AVFormatContext*, AVIOContext**, const char*, int, AVDictionary**)
{
    return AVERROR(EPERM);
}

} // namespace

std::unique_ptr<SoundFile> SoundFile::open(const std::string& path, OpenFailure* failure)
{
    FfmpegLog::route();
    const auto refuse = [failure](OpenFailure why) {
        if (failure)
            *failure = why;
        return nullptr;
    };
    if (failure)
        *failure = OpenFailure::none;
    if (path.empty())
        return refuse(OpenFailure::notFound);
    // Non-blocking, so that opening a FIFO does not wait for a writer; it is
    // refused right after, as is anything but a regular file with content.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const bool denied = errno == EACCES || errno == EPERM;
        const bool missing = errno == ENOENT || errno == ENOTDIR || errno == ENAMETOOLONG || errno == ELOOP;
        return refuse(denied ? OpenFailure::permissionDenied : missing ? OpenFailure::notFound : OpenFailure::noSound);
    }
    std::unique_ptr<SoundFile> file(new SoundFile(fd, path));
    struct stat info { };
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size <= 0)
        return refuse(OpenFailure::noSound);
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return file;
}

SoundFile::SoundFile(int fd, std::string path)
    : fd_(fd)
    , path_(std::move(path))
{
}

SoundFile::~SoundFile()
{
    closeDemuxer();
    ::close(fd_);
}

void SoundFile::closeDemuxer()
{
    avformat_close_input(&fmt_);
    if (io_) {
        av_freep(&io_->buffer);
        avio_context_free(&io_);
    }
}

AVFormatContext* SoundFile::openDemuxer()
{
    closeDemuxer();
    if (::lseek(fd_, 0, SEEK_SET) != 0)
        return nullptr;
    auto* buffer = static_cast<unsigned char*>(av_malloc(kIoBufferSize));
    if (!buffer)
        return nullptr;
    io_ = avio_alloc_context(buffer, kIoBufferSize, 0, &fd_, readFromFile, nullptr, seekInFile);
    if (!io_) {
        av_free(buffer);
        return nullptr;
    }
    fmt_ = avformat_alloc_context();
    if (!fmt_)
        return nullptr;
    fmt_->pb = io_;
    fmt_->flags |= AVFMT_FLAG_CUSTOM_IO;
    fmt_->format_whitelist = av_strdup(kFormatWhitelist);
    fmt_->io_open = refuseNestedOpen;
    // The path only serves as a hint for probing; reading goes through io.
    if (avformat_open_input(&fmt_, path_.c_str(), nullptr, nullptr) < 0)
        return nullptr; // fmt_ is freed by FFmpeg on failure
    return fmt_;
}

} // namespace gx
