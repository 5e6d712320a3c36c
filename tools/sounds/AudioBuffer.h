#pragma once
// A block of float samples, one vector per channel, at our one sample rate.
// Every generator renders into one of these before it is written out.
#include <cstddef>
#include <vector>

namespace gx::synth {

constexpr int kSampleRate = 44100;

// Equal-power gains of a pan position: {left, right}.
struct PanGains {
    float left, right;
    static PanGains of(float pan);
};

class AudioBuffer {
public:
    // channels is 1 or 2; anything else is taken as 2.
    AudioBuffer(int channels, std::size_t frames);
    static AudioBuffer ofSeconds(int channels, double seconds);
    static std::size_t framesFor(double seconds);

    int channels() const { return static_cast<int>(data_.size()); }
    std::size_t frames() const { return frames_; }
    double seconds() const { return static_cast<double>(frames_) / kSampleRate; }
    bool empty() const { return frames_ == 0; }

    float* channel(int c) { return data_[static_cast<std::size_t>(c)].data(); }
    const float* channel(int c) const { return data_[static_cast<std::size_t>(c)].data(); }
    float sample(int c, std::size_t i) const { return data_[static_cast<std::size_t>(c)][i]; }

    // Adds v at frame i, placed at pan -1 (left) .. 1 (right) with equal
    // power; a mono buffer takes v as it is. Frames past the end are dropped,
    // so a note may ring past the end of a buffer without checks at the call.
    void addPanned(std::size_t i, float v, float pan) { addPanned(i, v, PanGains::of(pan)); }
    // The same with the gains worked out once, for the per-sample loops.
    void addPanned(std::size_t i, float v, const PanGains& g)
    {
        if (i >= frames_)
            return;
        if (data_.size() == 1) {
            data_[0][i] += v;
        } else {
            data_[0][i] += v * g.left;
            data_[1][i] += v * g.right;
        }
    }
    void add(int c, std::size_t i, float v)
    {
        if (i < frames_)
            data_[static_cast<std::size_t>(c)][i] += v;
    }
    // Mixes other in from frame offset on, scaled by gain; a mono source
    // goes to both channels.
    void mix(const AudioBuffer& other, std::size_t offset, float gain);

    float peak() const;
    double rms() const;
    void scale(float gain);
    // Scales so the loudest sample is target; leaves silence alone.
    void normalisePeak(float target);
    void removeDc();
    // Raised-cosine fades; the outermost sample becomes exactly zero.
    void fadeIn(std::size_t length);
    void fadeOut(std::size_t length);
    // For short sounds: fades both ends over edge frames and then takes out
    // what DC is left under the same window, so the sound starts and ends at
    // zero and averages zero.
    void taperAndCentre(std::size_t edge);

private:
    static float pairGain(std::size_t i, std::size_t length);

    std::size_t frames_;
    std::vector<std::vector<float>> data_;
};

} // namespace gx::synth
