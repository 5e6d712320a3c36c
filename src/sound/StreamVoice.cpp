#include "sound/StreamVoice.h"

#include "sound/Decoder.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

namespace gx {

namespace {

// Frames the worker decodes per pass.
constexpr int kBlock = 4096;
// At least this long, rounded up to a power of two: about 3 s at 44.1 kHz,
// half of it kept behind for skips back by a second, the rest decoded ahead.
// The ring is the player's largest piece of memory.
constexpr std::int64_t kRingSeconds = 2;

std::int64_t ringCapacityFor(int sampleRate)
{
    const auto wanted = static_cast<std::uint64_t>(std::max<std::int64_t>(sampleRate * kRingSeconds, 4 * kBlock));
    return static_cast<std::int64_t>(std::bit_ceil(wanted));
}

} // namespace

StreamVoice::StreamVoice(std::unique_ptr<Decoder> decoder)
    : Voice(decoder->sampleRate(), decoder->estimatedFrames())
    , decoder_(std::move(decoder))
    , capacity_(ringCapacityFor(sampleRate()))
    , history_(capacity_ / 2)
    , refill_(std::max<std::int64_t>(capacity_ / 8, kBlock))
    , ring_(static_cast<size_t>(capacity_) * 2)
    , block_(static_cast<size_t>(kBlock) * 2)
{
    const int n = decoder_->read(block_.data(), kBlock);
    {
        std::lock_guard lock(mutex_);
        if (n > 0) {
            appendLocked(block_.data(), n);
        } else {
            decoderAtEnd_ = true;
            endFrame_ = 0;
            setLengthLocked(0);
        }
    }
    // The worker has no period: it decodes while there is room and sleeps
    // until woken.
    worker_.start([this] { return workerTick(); }, TickLoop::Clock::duration::zero());
}

StreamVoice::~StreamVoice()
{
    worker_.requestStop();
    worker_.join();
}

std::int64_t StreamVoice::bufferedAhead() const
{
    std::lock_guard lock(mutex_);
    return std::max<std::int64_t>(ringEndLocked() - cursor_.frame, 0);
}

bool StreamVoice::endKnown() const
{
    std::lock_guard lock(mutex_);
    return endFrame_ >= 0;
}

void StreamVoice::appendLocked(const float* frames, std::int64_t count)
{
    const std::int64_t room = capacity_ - ringCount_;
    if (count > room) {
        // Never expected (the worker waits for room); keep the newest frames.
        const std::int64_t drop = std::min(count - room, ringCount_);
        ringFirst_ += drop;
        ringCount_ -= drop;
    }
    const std::int64_t mask = capacity_ - 1;
    std::int64_t at = ringEndLocked();
    std::int64_t left = count;
    while (left > 0) {
        const std::int64_t slot = at & mask;
        const std::int64_t n = std::min(left, capacity_ - slot);
        std::memcpy(ring_.data() + 2 * slot, frames + 2 * (count - left), static_cast<size_t>(n) * 2 * sizeof(float));
        at += n;
        left -= n;
    }
    ringCount_ += count;
    // Decoding past the guessed length: the song is longer than guessed.
    if (endFrame_ < 0 && ringEndLocked() > lengthFrames())
        setLengthLocked(ringEndLocked());
}

void StreamVoice::cursorMovedLocked(std::int64_t frame)
{
    const std::int64_t end = ringEndLocked();
    const bool inRing
        = ringCount_ > 0 && frame >= ringFirst_ && (frame + 2 < end || (endInRingLocked() && frame <= end));
    if (inRing)
        return;
    ringFirst_ = frame;
    ringCount_ = 0;
    ++generation_;
    seekPending_ = true;
    seekTarget_ = frame;
    decoderAtEnd_ = false;
    worker_.wake();
}

int StreamVoice::renderLocked(double step, float gain, std::int64_t stopFrame, float* out, int frames)
{
    static constexpr float kSilence[2] = {0.0f, 0.0f};
    if (ringCount_ == 0)
        return 0;
    const float* data = ring_.data();
    const std::int64_t mask = capacity_ - 1;
    const std::int64_t first = ringFirst_;
    const std::int64_t end = ringEndLocked();
    // Before the ring the first frame stands in (right after a seek there is
    // no earlier one); past the end of the stream is silence.
    auto frameAt = [data, mask, first, end](std::int64_t i) -> const float* {
        if (i < first)
            i = first;
        return i < end ? data + 2 * (i & mask) : kSilence;
    };
    const std::int64_t readable = endInRingLocked() ? std::numeric_limits<std::int64_t>::max() : end;
    return resampleAdd(frameAt, cursor_, step, gain, stopFrame, readable, out, frames);
}

void StreamVoice::consumedLocked()
{
    const std::int64_t keepFrom = std::min(cursor_.frame - history_, ringEndLocked());
    if (keepFrom > ringFirst_) {
        ringCount_ -= keepFrom - ringFirst_;
        ringFirst_ = keepFrom;
    }
    if (workerWaiting_ && !decoderAtEnd_ && capacity_ - ringCount_ >= refill_)
        worker_.wake();
}

TickLoop::Next StreamVoice::workerTick()
{
    std::unique_lock lock(mutex_);
    workerWaiting_ = false;
    const std::uint64_t generation = generation_;
    if (seekPending_) {
        seekPending_ = false;
        const std::int64_t target = seekTarget_;
        lock.unlock();
        decoder_->seek(target);
        const std::int64_t at = decoder_->position();
        lock.lock();
        if (generation == generation_ && at < target) {
            // The stream ends before the place asked for.
            decoderAtEnd_ = true;
            endFrame_ = at;
            setLengthLocked(at);
            ringFirst_ = at;
            ringCount_ = 0;
            if (cursor_.frame > at) {
                cursor_ = PlayCursor {at, 0.0};
                publishPositionLocked();
            }
        }
        return TickLoop::Next::period();
    }
    if (decoderAtEnd_ || capacity_ - ringCount_ < kBlock) {
        // A seek or room made meanwhile wakes the loop (cursorMovedLocked,
        // consumedLocked), also between this unlock and the sleep.
        workerWaiting_ = true;
        return TickLoop::Next::whenWoken();
    }
    lock.unlock();
    const int n = decoder_->read(block_.data(), kBlock);
    lock.lock();
    if (generation != generation_ || seekPending_)
        return TickLoop::Next::period();
    if (n == 0) {
        decoderAtEnd_ = true;
        endFrame_ = ringEndLocked();
        setLengthLocked(endFrame_);
        return TickLoop::Next::period();
    }
    appendLocked(block_.data(), n);
    return TickLoop::Next::period();
}

} // namespace gx
