#pragma once
// A short sound decoded once, whole, into memory: the effect sounds, which are
// fired again and again and sent back and forth by seeks, so they should
// never wait for a decoder.
#include "sound/Voice.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace gx {

class MemoryVoice final : public Voice {
public:
    // Decoded samples, interleaved stereo, gathered a block at a time. While
    // every one is a 16-bit value, as in the sounds we ship, they are kept
    // as such: half the memory of floats, for sounds held the whole run.
    class Samples {
    public:
        void append(const float* samples, std::size_t count);
        std::size_t size() const { return exact_ ? whole_.size() : floats_.size(); }
        void reserve(std::size_t count) { whole_.reserve(count); }

    private:
        friend class MemoryVoice;
        bool exact_ = true;
        std::vector<std::int16_t> whole_; // while exact_
        std::vector<float> floats_;       // once a sample was no 16-bit value
    };

    MemoryVoice(int sampleRate, Samples samples);

protected:
    std::int64_t endFrameLocked() const override { return frameCount_; }
    void cursorMovedLocked(std::int64_t) override { }
    int renderLocked(double step, float gain, std::int64_t stopFrame, float* out, int frames) override;

private:
    Samples samples_;
    const std::int64_t frameCount_;
    float frame_[2] = {0.0f, 0.0f}; // guarded by mutex_: the frame being read
};

} // namespace gx
