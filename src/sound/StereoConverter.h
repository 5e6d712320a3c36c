#pragma once
// Turns decoded frames of any sample format, rate and channel layout into
// interleaved stereo floats at one rate: mono is doubled, more channels are
// folded into two without clipping. Set up anew when the frames change shape.
#include <vector>

extern "C" {
#include <libavutil/channel_layout.h>
}

struct AVFrame;
struct SwrContext;

namespace gx {

class StereoConverter {
public:
    StereoConverter() = default;
    ~StereoConverter();
    StereoConverter(const StereoConverter&) = delete;
    StereoConverter& operator=(const StereoConverter&) = delete;

    // Replaces `out` with the frame's sound at `rate`; false when it cannot.
    bool convert(const AVFrame* frame, int rate, std::vector<float>& out);
    // Drops what a resampling converter still holds (after a seek).
    void reset();

private:
    SwrContext* swr_ = nullptr;
    int format_ = -1;
    int rate_ = 0;
    AVChannelLayout layout_ {};
    int outChannels_ = 0;
    std::vector<float> converted_;
};

} // namespace gx
