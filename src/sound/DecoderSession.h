#pragma once
// The decoding session of one sound file: its demuxer, the decoder of its
// first audio stream and the converter to stereo floats, and the frames of the
// last decoded packet not yet handed out. Knows each frame's index from the
// start; seeking and the stream's length are DecoderSeeker's. Not thread-safe.
#include "sound/SoundFile.h"
#include "sound/StereoConverter.h"

extern "C" {
#include <libavutil/avutil.h>
}

#include <cstdint>
#include <memory>
#include <vector>

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;

namespace gx {

struct DecoderSession {
    explicit DecoderSession(std::unique_ptr<SoundFile> file);
    ~DecoderSession();
    DecoderSession(const DecoderSession&) = delete;
    DecoderSession& operator=(const DecoderSession&) = delete;

    // Demuxer and decoder from the start of the file; the sample rate may not
    // change from a session before.
    bool open();
    void close();
    // Decodes the next frame into pending; false at the end of the stream.
    bool decodeNext();
    int read(float* out, int maxFrames);
    // Forgets the frames in hand and the end, as before a seek.
    void resetForSeek();

    std::int64_t pendingFrames() const { return static_cast<std::int64_t>(pending.size() / 2); }
    std::int64_t position() const { return pendingOffset < pendingFrames() ? pendingStart + pendingOffset : nextIndex; }

    std::unique_ptr<SoundFile> file;
    AVFormatContext* fmt = nullptr; // the file's demuxer while a session is open
    AVCodecContext* codec = nullptr;
    StereoConverter converter;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    int streamIndex = -1;
    AVRational timeBase {0, 1};
    int sampleRate = 0;

    // Timestamp of frame 0, and of the first packet (which can lie before
    // it: priming that is decoded and dropped), in the stream's time base.
    std::int64_t startPts = AV_NOPTS_VALUE;
    std::int64_t firstPacketTs = AV_NOPTS_VALUE;
    // Timestamp of the frame decoded last.
    std::int64_t lastPts = AV_NOPTS_VALUE;

    // The frames of the last decoded packet not yet handed out.
    std::vector<float> pending;
    std::int64_t pendingStart = 0;
    std::int64_t pendingOffset = 0;
    // Index of the frame after the last one decoded.
    std::int64_t nextIndex = 0;
    // After a demuxer seek the next frame's index comes from its timestamp.
    bool syncToPts = false;
    bool syncFailed = false;
    int unstampedFrames = 0;
    bool inputDone = false;
    bool ended = false;
    int errors = 0;
};

} // namespace gx
