#include "sound/DecoderSession.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <algorithm>
#include <utility>

namespace gx {

namespace {

// Consecutive packets that fail to decode before the stream counts as broken.
constexpr int kMaxDecodeErrors = 64;
// Frames without a timestamp accepted after a seek before giving up on it.
constexpr int kMaxUnstampedFrames = 16;

} // namespace

DecoderSession::DecoderSession(std::unique_ptr<SoundFile> soundFile)
    : file(std::move(soundFile))
{
}

DecoderSession::~DecoderSession()
{
    close();
}

void DecoderSession::close()
{
    av_frame_free(&frame);
    av_packet_free(&packet);
    converter.reset();
    avcodec_free_context(&codec);
    file->closeDemuxer();
    fmt = nullptr;
    streamIndex = -1;
}

bool DecoderSession::open()
{
    close();
    fmt = file->openDemuxer();
    if (!fmt)
        return false;
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
bool DecoderSession::decodeNext()
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
            const bool ok = converter.convert(frame, sampleRate, pending);
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

int DecoderSession::read(float* out, int maxFrames)
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
        std::copy_n(pending.data() + pendingOffset * 2, static_cast<size_t>(n) * 2,
            out + static_cast<std::ptrdiff_t>(done) * 2);
        pendingOffset += n;
        done += n;
    }
    return done;
}

void DecoderSession::resetForSeek()
{
    pending.clear();
    pendingOffset = 0;
    inputDone = false;
    ended = false;
    errors = 0;
    syncFailed = false;
    unstampedFrames = 0;
}
} // namespace gx
