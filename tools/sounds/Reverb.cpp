#include "Reverb.h"

#include <algorithm>

namespace gx::synth {

namespace {

// Mutually prime delays in samples at 44.1 kHz, so the combs' echoes do
// not pile up on the same instants.
constexpr std::size_t kCombDelays[] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
constexpr std::size_t kAllPassDelays[] = {556, 441, 341, 225};
constexpr std::size_t kStereoSpread = 23;
// The combs sum eight loud feedback loops; the input is scaled down to match.
constexpr float kInputGain = 0.015f;

} // namespace

// Both filters walk their delay line in stretches up to its wrap-around, so
// the inner loops have no branch and work on plain pointers.
void Reverb::Comb::run(const float* in, float* out, std::size_t n, float feedback, float damp)
{
    float* d = line.data();
    const std::size_t len = line.size();
    const float keep = 1.0f - damp;
    float s = store;
    for (std::size_t done = 0; done < n;) {
        const std::size_t stretch = std::min(len - pos, n - done);
        float* p = d + pos;
        for (std::size_t k = 0; k < stretch; ++k) {
            const float y = p[k];
            s = y * keep + s * damp;
            p[k] = in[done + k] + s * feedback;
            out[done + k] += y;
        }
        done += stretch;
        pos += stretch;
        if (pos == len)
            pos = 0;
    }
    store = s;
}

void Reverb::AllPass::run(float* data, std::size_t n)
{
    float* d = line.data();
    const std::size_t len = line.size();
    for (std::size_t done = 0; done < n;) {
        const std::size_t stretch = std::min(len - pos, n - done);
        float* p = d + pos;
        float* x = data + done;
        for (std::size_t k = 0; k < stretch; ++k) {
            const float delayed = p[k];
            p[k] = x[k] + delayed * 0.5f;
            x[k] = delayed - x[k];
        }
        done += stretch;
        pos += stretch;
        if (pos == len)
            pos = 0;
    }
}

Reverb::Reverb(double roomSize, double damping)
    : feedback_(static_cast<float>(0.7 + 0.28 * std::clamp(roomSize, 0.0, 1.0)))
    , damp_(static_cast<float>(0.4 * std::clamp(damping, 0.0, 1.0)))
{
    for (std::size_t s = 0; s < 2; ++s) {
        const std::size_t extra = s * kStereoSpread;
        for (std::size_t d : kCombDelays)
            sides_[s].combs.push_back(Comb {std::vector<float>(d + extra, 0.0f)});
        for (std::size_t d : kAllPassDelays)
            sides_[s].allPasses.push_back(AllPass {std::vector<float>(d + extra, 0.0f)});
    }
}

AudioBuffer Reverb::render(const AudioBuffer& input)
{
    const std::size_t n = input.frames();
    AudioBuffer out(2, n);
    const float* inL = input.channel(0);
    const float* inR = input.channel(input.channels() - 1);
    std::vector<float> feed(n);
    for (std::size_t i = 0; i < n; ++i)
        feed[i] = (inL[i] + inR[i]) * kInputGain;
    // One filter at a time over the whole signal: the same sums as sample
    // by sample, but each delay line stays in cache for its whole run.
    for (int s = 0; s < 2; ++s) {
        Side& side = sides_[s];
        float* dst = out.channel(s);
        for (Comb& c : side.combs)
            c.run(feed.data(), dst, n, feedback_, damp_);
        for (AllPass& a : side.allPasses)
            a.run(dst, n);
    }
    return out;
}

} // namespace gx::synth
