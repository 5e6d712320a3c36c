#include "sound/StereoConverter.h"

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cstdint>

namespace gx {

StereoConverter::~StereoConverter()
{
    reset();
    av_channel_layout_uninit(&layout_);
}

void StereoConverter::reset()
{
    swr_free(&swr_);
    format_ = -1;
}

bool StereoConverter::convert(const AVFrame* f, int rate, std::vector<float>& out)
{
    AVChannelLayout in {};
    if (f->ch_layout.nb_channels <= 0)
        return false;
    if (f->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC || !av_channel_layout_check(&f->ch_layout))
        av_channel_layout_default(&in, f->ch_layout.nb_channels);
    else if (av_channel_layout_copy(&in, &f->ch_layout) < 0)
        return false;
    const int inRate = f->sample_rate > 0 ? f->sample_rate : rate;
    if (!swr_ || f->format != format_ || inRate != rate_ || av_channel_layout_compare(&in, &layout_) != 0) {
        reset();
        outChannels_ = in.nb_channels == 1 ? 1 : 2;
        AVChannelLayout stereo {};
        av_channel_layout_default(&stereo, outChannels_);
        // Folding more channels into two adds them up: a matrix scaled so
        // that full scale on every channel stays within full scale never
        // clips.
        const bool ok = swr_alloc_set_opts2(&swr_, &stereo, AV_SAMPLE_FMT_FLT, rate, &in,
                            static_cast<AVSampleFormat>(f->format), inRate, 0, nullptr)
                >= 0
            && av_opt_set_double(swr_, "rematrix_maxval", 1.0, 0) >= 0 && swr_init(swr_) >= 0;
        av_channel_layout_uninit(&stereo);
        if (!ok) {
            swr_free(&swr_);
            av_channel_layout_uninit(&in);
            return false;
        }
        format_ = f->format;
        rate_ = inRate;
        av_channel_layout_uninit(&layout_);
        layout_ = in;
    } else {
        av_channel_layout_uninit(&in);
    }
    const int capacity = swr_get_out_samples(swr_, f->nb_samples);
    if (capacity < 0)
        return false;
    converted_.resize(static_cast<size_t>(capacity) * static_cast<size_t>(outChannels_));
    auto* outPlane = reinterpret_cast<std::uint8_t*>(converted_.data());
    const int got
        = swr_convert(swr_, &outPlane, capacity, const_cast<const std::uint8_t**>(f->extended_data), f->nb_samples);
    if (got < 0)
        return false;
    out.resize(static_cast<size_t>(got) * 2);
    if (outChannels_ == 1) {
        for (int i = 0; i < got; ++i)
            out[2 * i] = out[2 * i + 1] = converted_[static_cast<size_t>(i)];
    } else {
        std::copy_n(converted_.begin(), out.size(), out.begin());
    }
    return true;
}

} // namespace gx
