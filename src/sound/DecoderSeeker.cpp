#include "sound/DecoderSeeker.h"

#include "sound/DecoderSession.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/intreadwrite.h>
}

#include <algorithm>

namespace gx {

namespace {

// Seeks into the last seconds of a stream land before them (see seek()).
constexpr int kTailSeconds = 2;

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

DecoderSeeker::DecoderSeeker(DecoderSession& session)
    : s_(session)
    , tailEndTs_(AV_NOPTS_VALUE)
{
}

bool DecoderSeeker::scan()
{
    preroll_ = needsPreroll(s_.fmt->streams[s_.streamIndex]->codecpar->codec_id) ? s_.sampleRate / 5 : 0;
    if (s_.fmt->duration_estimation_method == AVFMT_DURATION_FROM_BITRATE) {
        counted_ = countFrames();
        return counted_ >= 0;
    }
    if (s_.fmt->duration_estimation_method == AVFMT_DURATION_FROM_PTS)
        return findTailEnd();
    return true;
}

void DecoderSeeker::fixLength()
{
    estimate_ = counted_ >= 0 ? counted_ : containerFrames();
}

// Sums the s_.packet durations of the whole stream, less what the container
// marks for trimming, then goes back to the start.
std::int64_t DecoderSeeker::countFrames()
{
    std::int64_t total = 0;
    std::int64_t trimmed = 0;
    std::int64_t firstTs = AV_NOPTS_VALUE;
    while (av_read_frame(s_.fmt, s_.packet) >= 0) {
        if (s_.packet->stream_index == s_.streamIndex) {
            if (firstTs == AV_NOPTS_VALUE)
                firstTs = s_.packet->pts != AV_NOPTS_VALUE ? s_.packet->pts : s_.packet->dts;
            if (s_.packet->duration > 0)
                total += s_.packet->duration;
            size_t size = 0;
            const std::uint8_t* skip = av_packet_get_side_data(s_.packet, AV_PKT_DATA_SKIP_SAMPLES, &size);
            if (skip && size >= 8)
                trimmed += static_cast<std::int64_t>(AV_RL32(skip)) + AV_RL32(skip + 4);
        }
        av_packet_unref(s_.packet);
    }
    const std::int64_t frames = av_rescale_q(total, s_.timeBase, AVRational {1, s_.sampleRate}) - trimmed;
    const bool rewound
        = firstTs != AV_NOPTS_VALUE && av_seek_frame(s_.fmt, s_.streamIndex, firstTs, AVSEEK_FLAG_BACKWARD) >= 0;
    if (!rewound && !s_.open())
        return -1;
    return std::max<std::int64_t>(frames, 0);
}

// Containers that know their length only from timestamps (MPEG program
// streams) stop counting at the start of their last s_.packet, which holds
// several frames; read the last stretch of the file to find the real end
// of the last frame, then go back to the start.
bool DecoderSeeker::findTailEnd()
{
    constexpr std::int64_t kTailBytes = 256 * 1024;
    const std::int64_t size = avio_size(s_.fmt->pb);
    if (size <= 0)
        return true;
    if (size > kTailBytes && av_seek_frame(s_.fmt, -1, size - kTailBytes, AVSEEK_FLAG_BYTE) < 0)
        return true;
    while (av_read_frame(s_.fmt, s_.packet) >= 0) {
        if (s_.packet->stream_index == s_.streamIndex && s_.packet->pts != AV_NOPTS_VALUE && s_.packet->duration > 0)
            tailEndTs_ = std::max(
                tailEndTs_ == AV_NOPTS_VALUE ? s_.packet->pts : tailEndTs_, s_.packet->pts + s_.packet->duration);
        av_packet_unref(s_.packet);
    }
    if (av_seek_frame(s_.fmt, -1, 0, AVSEEK_FLAG_BYTE) >= 0)
        return true;
    return s_.open();
}

std::int64_t DecoderSeeker::containerFrames() const
{
    if (tailEndTs_ != AV_NOPTS_VALUE && s_.startPts != AV_NOPTS_VALUE && tailEndTs_ > s_.startPts)
        return av_rescale_q(tailEndTs_ - s_.startPts, s_.timeBase, AVRational {1, s_.sampleRate});
    const AVStream* st = s_.fmt->streams[s_.streamIndex];
    if (st->duration != AV_NOPTS_VALUE && st->duration > 0) {
        // The MP3 demuxer counts its duration from timestamp 0, priming
        // included; the others from the stream's start.
        std::int64_t end = st->duration;
        if (st->codecpar->codec_id != AV_CODEC_ID_MP3 && st->start_time != AV_NOPTS_VALUE)
            end += st->start_time;
        const std::int64_t origin = s_.startPts != AV_NOPTS_VALUE ? s_.startPts : 0;
        return std::max<std::int64_t>(av_rescale_q(end - origin, s_.timeBase, AVRational {1, s_.sampleRate}), 0);
    }
    if (s_.fmt->duration != AV_NOPTS_VALUE && s_.fmt->duration > 0)
        return av_rescale_q(s_.fmt->duration, AV_TIME_BASE_Q, AVRational {1, s_.sampleRate});
    return 0;
}

// Puts the demuxer at or before frame `from`; the decoder then learns
// where it is from the next frame's timestamp.
bool DecoderSeeker::seekDemuxer(std::int64_t from)
{
    if (s_.startPts == AV_NOPTS_VALUE || !s_.fmt)
        return false;
    std::int64_t ts = s_.startPts + av_rescale_q(from, AVRational {1, s_.sampleRate}, s_.timeBase);
    // From the top, begin at the first s_.packet, priming included, so the
    // decoder trims it as it does on a first play.
    if (from == 0 && s_.firstPacketTs != AV_NOPTS_VALUE)
        ts = std::min(ts, s_.firstPacketTs);
    if (av_seek_frame(s_.fmt, s_.streamIndex, ts, AVSEEK_FLAG_BACKWARD) < 0)
        return false;
    avcodec_flush_buffers(s_.codec);
    s_.converter.reset(); // drops anything a resampling converter still holds
    s_.resetForSeek();
    s_.syncToPts = true;
    return true;
}

// From the very start again, counting frames as they come.
bool DecoderSeeker::restart()
{
    if (!s_.open()) {
        s_.close();
        s_.resetForSeek();
        s_.ended = true;
        s_.nextIndex = 0;
        return false;
    }
    return true;
}

// Decodes and drops frames up to `target`.
DecoderSeeker::Outcome DecoderSeeker::decodeUpTo(std::int64_t target)
{
    s_.pending.clear();
    s_.pendingOffset = 0;
    for (;;) {
        if (!s_.decodeNext())
            return s_.syncToPts || s_.syncFailed ? Outcome::NoTimestamp : Outcome::EndedBefore;
        const std::int64_t start = s_.pendingStart;
        if (start > target)
            return Outcome::Overshot;
        if (start + s_.pendingFrames() > target) {
            s_.pendingOffset = target - start;
            return Outcome::Reached;
        }
    }
}

void DecoderSeeker::seek(std::int64_t target)
{
    target = std::max<std::int64_t>(target, 0);
    if (!s_.fmt && !restart())
        return; // the file cannot be opened again; stays s_.ended
    if (target >= s_.pendingStart && target < s_.pendingStart + s_.pendingFrames()) {
        s_.pendingOffset = target - s_.pendingStart;
        return;
    }
    const std::int64_t here = s_.position();
    if (target == here && !s_.ended)
        return;
    // A short way ahead is cheaper to decode through than to seek.
    if (target > here && target - here <= s_.sampleRate && !s_.ended) {
        decodeUpTo(target);
        return;
    }
    // Land a lead-in before the target so the decoder has settled by
    // then. A landing past the end of the stream tells no timestamp, so
    // step further back until one is found.
    std::int64_t from = std::max<std::int64_t>(target - preroll_, 0);
    // A container's last stretch may carry no timestamp of its own (an
    // Ogg file's last page: its granule counts the trimmed end), and the
    // demuxer then stamps the landing with the time asked for. Land
    // before it and count frames from there.
    if (const std::int64_t tail = estimate_ - kTailSeconds * s_.sampleRate; from > tail)
        from = std::max<std::int64_t>(tail, 0);
    std::int64_t back = s_.sampleRate;
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

} // namespace gx
