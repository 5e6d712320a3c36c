#include "Envelope.h"

#include "AudioBuffer.h"

#include <algorithm>
#include <cmath>

namespace gx::synth {

Envelope::Envelope(const Shape& shape, double hold)
    : shape_(shape)
    , attackFrames_(AudioBuffer::framesFor(shape.attack))
    , holdFrames_(AudioBuffer::framesFor(hold))
    , releaseFrames_(std::max<std::size_t>(1, AudioBuffer::framesFor(shape.release)))
    , length_(holdFrames_ + releaseFrames_)
    , decayFactor_(shape.decay > 0.0 ? std::exp(-1.0 / (shape.decay * kSampleRate)) : 0.0)
{
    shape_.sustain = std::clamp(shape_.sustain, 0.0, 1.0);
}

} // namespace gx::synth
