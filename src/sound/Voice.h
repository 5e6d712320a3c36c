#pragma once
// One sound as the mixer sees it: a source of stereo frames at its own sample
// rate, read through a cursor with its own rate and gain, plus the transport
// state (playing, loop). Every operation is safe from any thread. Position,
// length, rate and volume are also kept in atomics so that reading them, and
// setting rate and volume, never waits for the mixer or a decoder.
//
// The source behind the cursor is a subclass: all of a short sound in memory,
// or a song streamed through a bounded buffer by a decoding worker.
#include "sound/CubicResampler.h"

#include <atomic>
#include <cstdint>
#include <mutex>

namespace gx {

class Voice {
public:
    Voice(int sampleRate, std::int64_t lengthFrames);
    virtual ~Voice();
    Voice(const Voice&) = delete;
    Voice& operator=(const Voice&) = delete;

    int sampleRate() const { return sampleRate_; }

    // Starts playing where the cursor is; at the end of the sound it rewinds
    // first. A playing voice goes on undisturbed.
    void play();
    // Halts; the position stays.
    void pause();
    // Halts and rewinds.
    void stop();
    // Moves the cursor to a frame, clamped to the sound; what is heard next
    // starts exactly there, playing or halted.
    void seek(std::int64_t frame);
    void setLoop(bool loop);
    bool isPlaying() const { return playing_.load(std::memory_order_acquire); }

    // A rate of 0, below 0 or NaN holds the voice silent where it is.
    void setRate(float rate) { rate_.store(rate, std::memory_order_relaxed); }
    float rate() const { return rate_.load(std::memory_order_relaxed); }
    void setEngineVolume(std::int16_t volume) { volume_.store(volume, std::memory_order_relaxed); }
    std::int16_t engineVolume() const { return volume_.load(std::memory_order_relaxed); }
    // A factor on top of the volume that levels songs' loudness. A playing
    // voice glides to it over kLoudnessGlideSeconds, so it never jumps; a
    // halted one takes it at once.
    static constexpr float kLoudnessGlideSeconds = 0.5f;
    void setLoudnessGain(float gain);
    // Where the glide is headed.
    float loudnessGain() const;

    // Length and position in frames, clamped to int32. The length is the
    // decoder's estimate until the real end has been decoded, then exact; the
    // position is what the mixer has consumed.
    std::int32_t lengthFrames() const { return length_.load(std::memory_order_acquire); }
    std::int32_t positionFrames() const { return position_.load(std::memory_order_acquire); }

    // Mixer side: adds this voice's next `frames` stereo frames, resampled to
    // outputRate, into out.
    void mixInto(float* out, int frames, int outputRate);

protected:
    // The rest is called with mutex_ held.
    // The frame where the sound ends, or -1 while it is not known yet.
    virtual std::int64_t endFrameLocked() const = 0;
    // The cursor has just been moved to `frame` by a seek; the source follows.
    virtual void cursorMovedLocked(std::int64_t frame) = 0;
    // Renders from cursor_ as resampleAdd does, with the source's own frames.
    virtual int renderLocked(double step, float gain, std::int64_t stopFrame, float* out, int frames) = 0;
    // After a mix pass: lets a streaming source drop what was consumed.
    virtual void consumedLocked() { }

    void setLengthLocked(std::int64_t frames);
    void publishPositionLocked();
    // Moves the cursor and tells the source, without clamping.
    void moveCursorLocked(std::int64_t frame);

    // Guards the cursor and the source's ring; the mixer takes it under its
    // own mutex_, never the other way round.
    mutable std::mutex mutex_;
    PlayCursor cursor_;

private:
    // Steps the glide by `frames` output frames; the mutex_ is held.
    void glideLocked(int frames, int outputRate);

    const int sampleRate_;
    bool loop_ = false;
    // --- guarded by mutex_: the loudness factor now, its goal, and its step
    // per second while it glides
    float loudness_ = 1.0f;
    float loudnessTarget_ = 1.0f;
    float loudnessPerSecond_ = 0.0f;
    std::atomic<bool> playing_ {false};
    std::atomic<float> rate_ {1.0f};
    std::atomic<std::int16_t> volume_;
    std::atomic<std::int32_t> length_ {0};
    std::atomic<std::int32_t> position_ {0};
};

} // namespace gx
