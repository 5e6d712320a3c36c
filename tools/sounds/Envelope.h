#pragma once
// An attack-decay-sustain-release envelope stepped one sample at a time. The
// attack is a linear ramp, the decay falls exponentially toward the sustain
// level, and the release falls along a curve that reaches exactly zero, so a
// finished note never leaves a step behind.
#include <cstddef>

namespace gx::synth {

class Envelope {
public:
    struct Shape {
        double attack;  // seconds to full level
        double decay;   // time constant of the fall toward sustain, seconds
        double sustain; // level held until the release, 0 .. 1
        double release; // seconds from the release to silence
    };

    // hold is how long the note is held: the release starts then.
    Envelope(const Shape& shape, double hold);

    float next();
    bool finished() const { return pos_ >= length_; }
    // Frames from the start to silence, release included.
    std::size_t length() const { return length_; }

private:
    Shape shape_;
    std::size_t attackFrames_;
    std::size_t holdFrames_;
    std::size_t releaseFrames_;
    std::size_t length_;
    std::size_t pos_ = 0;
    double decayFactor_;
    double decayPart_ = 1.0; // distance above sustain, falling to 0
    double level_ = 0.0;
    double releaseFrom_ = 0.0;
};

inline float Envelope::next()
{
    if (pos_ >= length_)
        return 0.0f;
    const std::size_t i = pos_++;
    if (i < holdFrames_) {
        if (i < attackFrames_) {
            level_ = static_cast<double>(i + 1) / static_cast<double>(attackFrames_);
        } else {
            level_ = shape_.sustain + (1.0 - shape_.sustain) * decayPart_;
            decayPart_ *= decayFactor_;
        }
        releaseFrom_ = level_;
        return static_cast<float>(level_);
    }
    // Release: a cubic fall from wherever the note was, zero at its end.
    const double u = static_cast<double>(i - holdFrames_ + 1) / static_cast<double>(releaseFrames_);
    const double rest = 1.0 - u;
    return static_cast<float>(releaseFrom_ * rest * rest * rest);
}

} // namespace gx::synth
