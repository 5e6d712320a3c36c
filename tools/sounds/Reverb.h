#pragma once
// A plain room reverb: eight damped feedback combs in parallel and four
// all-passes in series per channel, the right channel's delays a little
// longer than the left's for width.
#include "AudioBuffer.h"

#include <vector>

namespace gx::synth {

class Reverb {
public:
    // roomSize and damping in 0 .. 1: a larger room rings longer, more
    // damping makes the tail darker.
    Reverb(double roomSize, double damping);

    // Returns the reverberated signal of input (mono input feeds both
    // sides), as long as the input; the dry signal is not included.
    AudioBuffer render(const AudioBuffer& input);

private:
    struct Comb {
        std::vector<float> line;
        std::size_t pos = 0;
        float store = 0.0f;
        // Runs n samples of in through the comb, adding its output to out.
        void run(const float* in, float* out, std::size_t n, float feedback, float damp);
    };
    struct AllPass {
        std::vector<float> line;
        std::size_t pos = 0;
        // Runs n samples through the all-pass in place.
        void run(float* data, std::size_t n);
    };
    struct Side {
        std::vector<Comb> combs;
        std::vector<AllPass> allPasses;
    };

    float feedback_;
    float damp_;
    Side sides_[2];
};

} // namespace gx::synth
