#pragma once
// A song streamed from its file: a worker thread decodes ahead into a bounded
// ring of frames that the mixer reads from, so memory stays flat however long
// the song is. The ring keeps a little of what was played, so that a needle
// skip back by a second is served at once without decoding again.
//
// A seek outside the ring clears it and asks the worker to decode from the new
// place; until frames arrive the voice is silent and its position holds, so
// what is heard next still starts exactly at the requested frame. When the
// worker meets the real end of the stream the length becomes the true frame
// count and the position stops there.
//
// Threads: the worker (a TickLoop) decodes; the mixer's thread renders and
// consumes; any thread seeks. The ring and the fields below it are guarded
// by the voice's mutex_, which the worker never holds while it decodes or
// seeks the decoder, so the audio thread never waits for decoding.
#include "platform/TickLoop.h"
#include "sound/Voice.h"

#include <memory>
#include <vector>

namespace gx {

class Decoder;

class StreamVoice final : public Voice {
public:
    // Takes a decoder positioned at frame 0; decodes a first block before
    // returning, so the voice can be heard at once.
    explicit StreamVoice(std::unique_ptr<Decoder> decoder);
    // Stops and joins the worker.
    ~StreamVoice() override;

    // Frames decoded past the position and ready for the mixer.
    std::int64_t bufferedAhead() const;
    // Whether the worker has decoded up to the real end.
    bool endKnown() const;

protected:
    std::int64_t endFrameLocked() const override { return endFrame_; }
    void cursorMovedLocked(std::int64_t frame) override;
    int renderLocked(double step, float gain, std::int64_t stopFrame, float* out, int frames) override;
    void consumedLocked() override;

private:
    // One pass of the worker, on its thread: a seek, or a block decoded, or
    // a sleep until the mixer makes room or asks for a seek.
    TickLoop::Next workerTick();
    void appendLocked(const float* frames, std::int64_t count);
    std::int64_t ringEndLocked() const { return ringFirst_ + ringCount_; }
    bool endInRingLocked() const { return endFrame_ >= 0 && ringEndLocked() >= endFrame_; }

    std::unique_ptr<Decoder> decoder_; // used by the worker only once it runs
    // --- guarded by mutex_
    const std::int64_t capacity_; // a power of two
    const std::int64_t history_;  // played frames kept for skips back
    const std::int64_t refill_;   // free room that wakes the worker
    std::vector<float> ring_;     // frame i lives at slot i & (capacity_ - 1)
    std::int64_t ringFirst_ = 0;
    std::int64_t ringCount_ = 0;
    std::int64_t endFrame_ = -1;

    std::uint64_t generation_ = 0; // bumped by every seek that clears the ring
    bool seekPending_ = false;
    std::int64_t seekTarget_ = 0;
    bool decoderAtEnd_ = false;
    bool workerWaiting_ = false;
    // --- the worker's only
    std::vector<float> block_;
    TickLoop worker_ {"gx-decoder"};
};

} // namespace gx
