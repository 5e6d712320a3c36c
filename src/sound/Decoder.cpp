#include "sound/Decoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/intreadwrite.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <iterator>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace gx {

namespace {

// Demuxers of audio files and of the film containers songs come in. Playlist,
// concatenation and image demuxers are left out: they would open other files.
constexpr const char* kFormatWhitelist = "wav,w64,aiff,mp3,mov,mpeg,mpegts,aac,flac,ogg,caf,au";

constexpr int kIoBufferSize = 64 * 1024;
// Consecutive packets that fail to decode before the stream counts as broken.
constexpr int kMaxDecodeErrors = 64;
// Frames without a timestamp accepted after a seek before giving up on it.
constexpr int kMaxUnstampedFrames = 16;
// Seeks into the last seconds of a stream land before them (see seek()).
constexpr int kTailSeconds = 2;

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

void silenceFfmpeg()
{
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_level(AV_LOG_QUIET); });
}

// Codecs whose packets decode alone with no carried state (PCM, FLAC) need no
// lead-in before a seek point.
bool needsPreroll(AVCodecID id)
{
    const AVCodecDescriptor* desc = avcodec_descriptor_get(id);
    if (!desc)
        return true;
    return !((desc->props & AV_CODEC_PROP_LOSSLESS) && (desc->props & AV_CODEC_PROP_INTRA_ONLY));
}

} // namespace

struct Decoder::Impl {
    int fd = -1;
    std::string path;

    AVIOContext* io = nullptr;
    AVFormatContext* fmt = nullptr;
    AVCodecContext* codec = nullptr;
    SwrContext* swr = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    int streamIndex = -1;
    AVRational timeBase {0, 1};

    int sampleRate = 0;
    std::int64_t estimate = 0;
    std::int64_t preroll = 0;
    // Timestamp of frame 0, and of the first packet (which can lie before
    // it: priming that is decoded and dropped), in the stream's time base.
    std::int64_t startPts = AV_NOPTS_VALUE;
    std::int64_t firstPacketTs = AV_NOPTS_VALUE;
    // Where the last packet ends, from a look at the file's tail.
    std::int64_t tailEndTs = AV_NOPTS_VALUE;

    // Converter set-up, redone when the decoded frames change shape.
    int swrFormat = -1;
    int swrRate = 0;
    AVChannelLayout swrLayout {};
    int swrOutChannels = 0;
    std::vector<float> converted;

    // The frames of the last decoded packet not yet handed out.
    std::vector<float> pending;
    std::int64_t pendingStart = 0;
    std::int64_t pendingOffset = 0;
    // Index of the frame after the last one decoded.
    std::int64_t nextIndex = 0;
    // After a demuxer seek the next frame's index comes from its timestamp.
    bool syncToPts = false;
    // Timestamp of the frame decoded last.
    std::int64_t lastPts = AV_NOPTS_VALUE;
    bool syncFailed = false;
    int unstampedFrames = 0;
    bool inputDone = false;
    bool ended = false;
    int errors = 0;

    ~Impl()
    {
        closeSession();
        av_channel_layout_uninit(&swrLayout);
        if (fd >= 0)
            ::close(fd);
    }

    std::int64_t pendingFrames() const { return static_cast<std::int64_t>(pending.size() / kChannels); }

    std::int64_t position() const { return pendingOffset < pendingFrames() ? pendingStart + pendingOffset : nextIndex; }

    void closeSession()
    {
        av_frame_free(&frame);
        av_packet_free(&packet);
        swr_free(&swr);
        swrFormat = -1;
        avcodec_free_context(&codec);
        avformat_close_input(&fmt);
        if (io) {
            av_freep(&io->buffer);
            avio_context_free(&io);
        }
        streamIndex = -1;
    }

    // Demuxer and decoder from the start of the file.
    bool openSession()
    {
        closeSession();
        if (::lseek(fd, 0, SEEK_SET) != 0)
            return false;
        auto* buffer = static_cast<unsigned char*>(av_malloc(kIoBufferSize));
        if (!buffer)
            return false;
        io = avio_alloc_context(buffer, kIoBufferSize, 0, &fd, readFromFile, nullptr, seekInFile);
        if (!io) {
            av_free(buffer);
            return false;
        }
        fmt = avformat_alloc_context();
        if (!fmt)
            return false;
        fmt->pb = io;
        fmt->flags |= AVFMT_FLAG_CUSTOM_IO;
        fmt->format_whitelist = av_strdup(kFormatWhitelist);
        fmt->io_open = refuseNestedOpen;
        // The path only serves as a hint for probing; reading goes through io.
        if (avformat_open_input(&fmt, path.c_str(), nullptr, nullptr) < 0)
            return false; // fmt is freed by FFmpeg on failure
        for (unsigned i = 0; i < fmt->nb_streams; ++i)
            if (fmt->streams[i]->codecpar->codec_type != AVMEDIA_TYPE_AUDIO)
                fmt->streams[i]->discard = AVDISCARD_ALL;
        if (avformat_find_stream_info(fmt, nullptr) < 0)
            return false;
        for (unsigned i = 0; i < fmt->nb_streams; ++i) {
            AVStream* st = fmt->streams[i];
            if (streamIndex < 0 && st->codecpar->codec_type == AVMEDIA_TYPE_AUDIO)
                streamIndex = static_cast<int>(i);
            else
                st->discard = AVDISCARD_ALL;
        }
        if (streamIndex < 0)
            return false;
        AVStream* st = fmt->streams[streamIndex];
        timeBase = st->time_base;
        if (timeBase.num <= 0 || timeBase.den <= 0)
            return false;
        const AVCodec* decoder = avcodec_find_decoder(st->codecpar->codec_id);
        if (!decoder)
            return false;
        codec = avcodec_alloc_context3(decoder);
        if (!codec || avcodec_parameters_to_context(codec, st->codecpar) < 0)
            return false;
        codec->pkt_timebase = timeBase;
        codec->thread_count = 1;
        if (avcodec_open2(codec, decoder, nullptr) < 0)
            return false;
        packet = av_packet_alloc();
        frame = av_frame_alloc();
        if (!packet || !frame)
            return false;
        const int rate = codec->sample_rate > 0 ? codec->sample_rate : st->codecpar->sample_rate;
        if (rate <= 0 || rate > 1'000'000 || (sampleRate != 0 && rate != sampleRate))
            return false;
        sampleRate = rate;
        firstPacketTs = AV_NOPTS_VALUE;
        preroll = needsPreroll(st->codecpar->codec_id) ? sampleRate / 5 : 0;
        pending.clear();
        pendingOffset = 0;
        pendingStart = 0;
        nextIndex = 0;
        syncToPts = false;
        syncFailed = false;
        inputDone = false;
        ended = false;
        errors = 0;
        return true;
    }

    // Sums the packet durations of the whole stream, less what the container
    // marks for trimming, then goes back to the start.
    std::int64_t countFrames()
    {
        std::int64_t total = 0;
        std::int64_t trimmed = 0;
        std::int64_t firstTs = AV_NOPTS_VALUE;
        while (av_read_frame(fmt, packet) >= 0) {
            if (packet->stream_index == streamIndex) {
                if (firstTs == AV_NOPTS_VALUE)
                    firstTs = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
                if (packet->duration > 0)
                    total += packet->duration;
                size_t size = 0;
                const std::uint8_t* skip = av_packet_get_side_data(packet, AV_PKT_DATA_SKIP_SAMPLES, &size);
                if (skip && size >= 8)
                    trimmed += static_cast<std::int64_t>(AV_RL32(skip)) + AV_RL32(skip + 4);
            }
            av_packet_unref(packet);
        }
        const std::int64_t frames = av_rescale_q(total, timeBase, AVRational {1, sampleRate}) - trimmed;
        const bool rewound
            = firstTs != AV_NOPTS_VALUE && av_seek_frame(fmt, streamIndex, firstTs, AVSEEK_FLAG_BACKWARD) >= 0;
        if (!rewound && !openSession())
            return -1;
        return std::max<std::int64_t>(frames, 0);
    }

    // Containers that know their length only from timestamps (MPEG program
    // streams) stop counting at the start of their last packet, which holds
    // several frames; read the last stretch of the file to find the real end
    // of the last frame, then go back to the start.
    bool findTailEnd()
    {
        constexpr std::int64_t kTailBytes = 256 * 1024;
        const std::int64_t size = avio_size(fmt->pb);
        if (size <= 0)
            return true;
        if (size > kTailBytes && av_seek_frame(fmt, -1, size - kTailBytes, AVSEEK_FLAG_BYTE) < 0)
            return true;
        while (av_read_frame(fmt, packet) >= 0) {
            if (packet->stream_index == streamIndex && packet->pts != AV_NOPTS_VALUE && packet->duration > 0)
                tailEndTs
                    = std::max(tailEndTs == AV_NOPTS_VALUE ? packet->pts : tailEndTs, packet->pts + packet->duration);
            av_packet_unref(packet);
        }
        if (av_seek_frame(fmt, -1, 0, AVSEEK_FLAG_BYTE) >= 0)
            return true;
        const std::int64_t keep = tailEndTs;
        const bool reopened = openSession();
        tailEndTs = keep;
        return reopened;
    }

    std::int64_t containerFrames() const
    {
        if (tailEndTs != AV_NOPTS_VALUE && startPts != AV_NOPTS_VALUE && tailEndTs > startPts)
            return av_rescale_q(tailEndTs - startPts, timeBase, AVRational {1, sampleRate});
        const AVStream* st = fmt->streams[streamIndex];
        if (st->duration != AV_NOPTS_VALUE && st->duration > 0) {
            // The MP3 demuxer counts its duration from timestamp 0, priming
            // included; the others from the stream's start.
            std::int64_t end = st->duration;
            if (st->codecpar->codec_id != AV_CODEC_ID_MP3 && st->start_time != AV_NOPTS_VALUE)
                end += st->start_time;
            const std::int64_t origin = startPts != AV_NOPTS_VALUE ? startPts : 0;
            return std::max<std::int64_t>(av_rescale_q(end - origin, timeBase, AVRational {1, sampleRate}), 0);
        }
        if (fmt->duration != AV_NOPTS_VALUE && fmt->duration > 0)
            return av_rescale_q(fmt->duration, AV_TIME_BASE_Q, AVRational {1, sampleRate});
        return 0;
    }

    // Turns frame into pending stereo floats; false when it cannot.
    bool convert(const AVFrame* f)
    {
        AVChannelLayout in {};
        if (f->ch_layout.nb_channels <= 0)
            return false;
        if (f->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC || !av_channel_layout_check(&f->ch_layout))
            av_channel_layout_default(&in, f->ch_layout.nb_channels);
        else if (av_channel_layout_copy(&in, &f->ch_layout) < 0)
            return false;
        const int inRate = f->sample_rate > 0 ? f->sample_rate : sampleRate;
        if (!swr || f->format != swrFormat || inRate != swrRate || av_channel_layout_compare(&in, &swrLayout) != 0) {
            swr_free(&swr);
            swrFormat = -1;
            swrOutChannels = in.nb_channels == 1 ? 1 : 2;
            AVChannelLayout out {};
            av_channel_layout_default(&out, swrOutChannels);
            // Folding more channels into two adds them up: a matrix scaled so
            // that full scale on every channel stays within full scale never
            // clips.
            const bool ok = swr_alloc_set_opts2(&swr, &out, AV_SAMPLE_FMT_FLT, sampleRate, &in,
                                static_cast<AVSampleFormat>(f->format), inRate, 0, nullptr)
                    >= 0
                && av_opt_set_double(swr, "rematrix_maxval", 1.0, 0) >= 0 && swr_init(swr) >= 0;
            av_channel_layout_uninit(&out);
            if (!ok) {
                swr_free(&swr);
                av_channel_layout_uninit(&in);
                return false;
            }
            swrFormat = f->format;
            swrRate = inRate;
            av_channel_layout_uninit(&swrLayout);
            swrLayout = in;
        } else {
            av_channel_layout_uninit(&in);
        }
        const int capacity = swr_get_out_samples(swr, f->nb_samples);
        if (capacity < 0)
            return false;
        converted.resize(static_cast<size_t>(capacity) * static_cast<size_t>(swrOutChannels));
        auto* outPlane = reinterpret_cast<std::uint8_t*>(converted.data());
        const int got
            = swr_convert(swr, &outPlane, capacity, const_cast<const std::uint8_t**>(f->extended_data), f->nb_samples);
        if (got < 0)
            return false;
        pending.resize(static_cast<size_t>(got) * kChannels);
        if (swrOutChannels == 1) {
            for (int i = 0; i < got; ++i)
                pending[2 * i] = pending[2 * i + 1] = converted[static_cast<size_t>(i)];
        } else {
            std::copy_n(converted.begin(), pending.size(), pending.begin());
        }
        return true;
    }

    // Decodes the next frame into pending; false at the end of the stream.
    bool decodeNext()
    {
        while (!ended) {
            int r = avcodec_receive_frame(codec, frame);
            if (r == 0) {
                std::int64_t index = nextIndex;
                if (syncToPts) {
                    std::int64_t pts = frame->pts != AV_NOPTS_VALUE ? frame->pts : frame->best_effort_timestamp;
                    if (pts == AV_NOPTS_VALUE || startPts == AV_NOPTS_VALUE) {
                        av_frame_unref(frame);
                        if (++unstampedFrames > kMaxUnstampedFrames) {
                            syncFailed = true;
                            ended = true;
                        }
                        continue;
                    }
                    index = av_rescale_q_rnd(pts - startPts, timeBase, AVRational {1, sampleRate},
                        static_cast<AVRounding>(AV_ROUND_NEAR_INF | AV_ROUND_PASS_MINMAX));
                    syncToPts = false;
                }
                lastPts = frame->pts != AV_NOPTS_VALUE ? frame->pts : frame->best_effort_timestamp;
                const bool ok = convert(frame);
                av_frame_unref(frame);
                if (!ok) {
                    if (++errors > kMaxDecodeErrors)
                        ended = true;
                    continue;
                }
                errors = 0;
                pendingStart = index;
                pendingOffset = 0;
                nextIndex = index + pendingFrames();
                if (pending.empty())
                    continue;
                return true;
            }
            if (r == AVERROR_EOF) {
                ended = true;
                break;
            }
            if (r != AVERROR(EAGAIN)) {
                if (++errors > kMaxDecodeErrors)
                    ended = true;
                continue;
            }
            if (inputDone) {
                ended = true;
                break;
            }
            r = av_read_frame(fmt, packet);
            if (r < 0) {
                // The end of the file, or a read that failed: decode what is left.
                avcodec_send_packet(codec, nullptr);
                inputDone = true;
                continue;
            }
            if (packet->stream_index != streamIndex) {
                av_packet_unref(packet);
                continue;
            }
            if (firstPacketTs == AV_NOPTS_VALUE && !syncToPts)
                firstPacketTs = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
            r = avcodec_send_packet(codec, packet);
            av_packet_unref(packet);
            if (r < 0 && r != AVERROR(EAGAIN) && ++errors > kMaxDecodeErrors)
                ended = true;
        }
        pending.clear();
        pendingOffset = 0;
        return false;
    }

    int read(float* out, int maxFrames)
    {
        int done = 0;
        while (done < maxFrames) {
            const std::int64_t available = pendingFrames() - pendingOffset;
            if (available <= 0) {
                if (!decodeNext())
                    break;
                continue;
            }
            const int n = static_cast<int>(std::min<std::int64_t>(available, maxFrames - done));
            std::copy_n(pending.data() + pendingOffset * kChannels, static_cast<size_t>(n) * kChannels,
                out + static_cast<std::ptrdiff_t>(done) * kChannels);
            pendingOffset += n;
            done += n;
        }
        return done;
    }

    void resetForSeek()
    {
        pending.clear();
        pendingOffset = 0;
        inputDone = false;
        ended = false;
        errors = 0;
        syncFailed = false;
        unstampedFrames = 0;
    }

    // Puts the demuxer at or before frame `from`; the decoder then learns
    // where it is from the next frame's timestamp.
    bool seekDemuxer(std::int64_t from)
    {
        if (startPts == AV_NOPTS_VALUE || !fmt)
            return false;
        std::int64_t ts = startPts + av_rescale_q(from, AVRational {1, sampleRate}, timeBase);
        // From the top, begin at the first packet, priming included, so the
        // decoder trims it as it does on a first play.
        if (from == 0 && firstPacketTs != AV_NOPTS_VALUE)
            ts = std::min(ts, firstPacketTs);
        if (av_seek_frame(fmt, streamIndex, ts, AVSEEK_FLAG_BACKWARD) < 0)
            return false;
        avcodec_flush_buffers(codec);
        swr_free(&swr); // drops anything a resampling converter still holds
        swrFormat = -1;
        resetForSeek();
        syncToPts = true;
        return true;
    }

    // From the very start again, counting frames as they come.
    bool restart()
    {
        if (!openSession()) {
            closeSession();
            resetForSeek();
            ended = true;
            nextIndex = 0;
            return false;
        }
        return true;
    }

    enum class Outcome { Reached, EndedBefore, NoTimestamp, Overshot };

    // Decodes and drops frames up to `target`.
    Outcome decodeUpTo(std::int64_t target)
    {
        pending.clear();
        pendingOffset = 0;
        for (;;) {
            if (!decodeNext())
                return syncToPts || syncFailed ? Outcome::NoTimestamp : Outcome::EndedBefore;
            const std::int64_t start = pendingStart;
            if (start > target)
                return Outcome::Overshot;
            if (start + pendingFrames() > target) {
                pendingOffset = target - start;
                return Outcome::Reached;
            }
        }
    }

    void seek(std::int64_t target)
    {
        target = std::max<std::int64_t>(target, 0);
        if (!fmt && !restart())
            return; // the file cannot be opened again; stays ended
        if (target >= pendingStart && target < pendingStart + pendingFrames()) {
            pendingOffset = target - pendingStart;
            return;
        }
        const std::int64_t here = position();
        if (target == here && !ended)
            return;
        // A short way ahead is cheaper to decode through than to seek.
        if (target > here && target - here <= sampleRate && !ended) {
            decodeUpTo(target);
            return;
        }
        // Land a lead-in before the target so the decoder has settled by
        // then. A landing past the end of the stream tells no timestamp, so
        // step further back until one is found.
        std::int64_t from = std::max<std::int64_t>(target - preroll, 0);
        // A container's last stretch may carry no timestamp of its own (an
        // Ogg file's last page: its granule counts the trimmed end), and the
        // demuxer then stamps the landing with the time asked for. Land
        // before it and count frames from there.
        if (const std::int64_t tail = estimate - kTailSeconds * sampleRate; from > tail)
            from = std::max<std::int64_t>(tail, 0);
        std::int64_t back = sampleRate;
        for (int attempt = 0; attempt < 6 && seekDemuxer(from); ++attempt) {
            const Outcome outcome = decodeUpTo(target);
            if (outcome == Outcome::Reached || outcome == Outcome::EndedBefore)
                return;
            if (outcome == Outcome::Overshot || from == 0)
                break; // the timestamps are not to be trusted here
            from = std::max<std::int64_t>(from - back, 0);
            back *= 4;
        }
        // Count frames from the very start: slow, but always right.
        if (restart())
            decodeUpTo(target);
    }
};

Decoder::Decoder(std::unique_ptr<Impl> impl)
    : d_(std::move(impl))
{
}

Decoder::~Decoder() = default;

std::unique_ptr<Decoder> Decoder::open(const std::string& path, OpenFailure* failure)
{
    silenceFfmpeg();
    const auto refuse = [failure](OpenFailure why) {
        if (failure)
            *failure = why;
        return nullptr;
    };
    if (failure)
        *failure = OpenFailure::none;
    if (path.empty())
        return refuse(OpenFailure::notFound);
    auto impl = std::make_unique<Impl>();
    impl->path = path;
    // Non-blocking, so that opening a FIFO does not wait for a writer; it is
    // refused right after, as is anything but a regular file with content.
    impl->fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (impl->fd < 0) {
        const bool denied = errno == EACCES || errno == EPERM;
        const bool missing = errno == ENOENT || errno == ENOTDIR || errno == ENAMETOOLONG || errno == ELOOP;
        return refuse(denied ? OpenFailure::permissionDenied : missing ? OpenFailure::notFound : OpenFailure::noSound);
    }
    struct stat info { };
    if (::fstat(impl->fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size <= 0)
        return refuse(OpenFailure::noSound);
    const int flags = ::fcntl(impl->fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(impl->fd, F_SETFL, flags & ~O_NONBLOCK);

    if (!impl->openSession())
        return refuse(OpenFailure::noSound);
    std::int64_t counted = -1;
    if (impl->fmt->duration_estimation_method == AVFMT_DURATION_FROM_BITRATE) {
        counted = impl->countFrames();
        if (counted < 0)
            return refuse(OpenFailure::noSound);
    } else if (impl->fmt->duration_estimation_method == AVFMT_DURATION_FROM_PTS) {
        if (!impl->findTailEnd())
            return refuse(OpenFailure::noSound);
    }
    // The first frame proves that the stream decodes (an encrypted one does
    // not) and fixes the timestamp of frame 0.
    if (!impl->decodeNext())
        return refuse(OpenFailure::noSound);
    impl->startPts = impl->lastPts;
    impl->estimate = counted >= 0 ? counted : impl->containerFrames();
    return std::unique_ptr<Decoder>(new Decoder(std::move(impl)));
}

std::optional<TrackTags> Decoder::readTags(const std::string& path)
{
    const std::unique_ptr<Decoder> decoder = open(path);
    if (!decoder)
        return std::nullopt;
    const AVFormatContext* fmt = decoder->d_->fmt;
    // Containers keep tags on the file (ID3, MP4) or on the stream (Ogg, FLAC).
    const auto tag = [&](const char* key) -> std::string {
        for (const AVDictionary* dict : {fmt->metadata, fmt->streams[decoder->d_->streamIndex]->metadata})
            if (const AVDictionaryEntry* e = av_dict_get(dict, key, nullptr, 0); e && e->value && *e->value)
                return e->value;
        return {};
    };
    const auto names = [](std::string text) {
        return text.empty() ? std::vector<std::string> {} : std::vector<std::string> {std::move(text)};
    };
    TrackTags tags;
    tags.title = tag("title");
    tags.artists = names(tag("artist"));
    tags.album = tag("album");
    tags.albumArtists = names(tag("album_artist"));
    // "3" or "3/12".
    tags.trackNumber = std::max(0, std::atoi(tag("track").c_str()));
    for (unsigned i = 0; i < fmt->nb_streams; ++i) {
        const AVStream* st = fmt->streams[i];
        if (!(st->disposition & AV_DISPOSITION_ATTACHED_PIC) || st->attached_pic.size <= 0)
            continue;
        // The picture formats a desktop (and our label) can show.
        static constexpr std::pair<AVCodecID, const char*> kPictures[]
            = {{AV_CODEC_ID_MJPEG, "jpg"}, {AV_CODEC_ID_PNG, "png"}, {AV_CODEC_ID_GIF, "gif"}, {AV_CODEC_ID_BMP, "bmp"},
                {AV_CODEC_ID_WEBP, "webp"}, {AV_CODEC_ID_TIFF, "tiff"}};
        const auto known = std::find_if(std::begin(kPictures), std::end(kPictures),
            [&](const auto& p) { return p.first == st->codecpar->codec_id; });
        if (known == std::end(kPictures))
            continue;
        tags.cover.assign(
            reinterpret_cast<const char*>(st->attached_pic.data), static_cast<std::size_t>(st->attached_pic.size));
        tags.coverExtension = known->second;
        break;
    }
    return tags;
}

std::map<std::string, std::string> Decoder::metadata() const
{
    std::map<std::string, std::string> tags;
    for (const AVDictionary* dict : {d_->fmt->metadata, d_->fmt->streams[d_->streamIndex]->metadata}) {
        const AVDictionaryEntry* e = nullptr;
        while ((e = av_dict_get(dict, "", e, AV_DICT_IGNORE_SUFFIX)))
            tags.emplace(e->key, e->value ? e->value : "");
    }
    return tags;
}

int Decoder::sampleRate() const
{
    return d_->sampleRate;
}

std::int64_t Decoder::estimatedFrames() const
{
    return d_->estimate;
}

std::int64_t Decoder::position() const
{
    return d_->position();
}

int Decoder::read(float* out, int maxFrames)
{
    if (!out || maxFrames <= 0 || !d_->fmt)
        return 0;
    return d_->read(out, maxFrames);
}

void Decoder::seek(std::int64_t frame)
{
    d_->seek(frame);
}

} // namespace gx
