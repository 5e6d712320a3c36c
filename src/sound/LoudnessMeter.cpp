#include "sound/LoudnessMeter.h"

#include "platform/Logging.h"
#include "sound/Decoder.h"
#include "sound/LoudnessGain.h"

#include <algorithm>
#include <ebur128.h>
#include <memory>
#include <vector>

namespace gx {

namespace {

constexpr int kBlock = 8192;

struct StateDeleter {
    void operator()(ebur128_state* state) const { ebur128_destroy(&state); }
};

} // namespace

std::optional<SongLoudness> LoudnessMeter::find(const std::string& path, const std::atomic<bool>& cancel)
{
    const std::unique_ptr<Decoder> decoder = Decoder::open(path);
    if (!decoder)
        return std::nullopt;
    const SongLoudness tagged = loudnessFromTags(decoder->metadata());
    if (tagged.hasGain())
        return tagged;
    return measure(*decoder, cancel);
}

std::optional<SongLoudness> LoudnessMeter::measure(Decoder& decoder, const std::atomic<bool>& cancel)
{
    const std::unique_ptr<ebur128_state, StateDeleter> state(ebur128_init(
        Decoder::kChannels, static_cast<unsigned long>(decoder.sampleRate()), EBUR128_MODE_I | EBUR128_MODE_TRUE_PEAK));
    if (!state) {
        qCWarning(logSound) << "libebur128 could not start a measurement at" << decoder.sampleRate() << "Hz";
        return std::nullopt;
    }
    std::vector<float> block(static_cast<std::size_t>(kBlock) * Decoder::kChannels);
    for (;;) {
        if (cancel.load(std::memory_order_relaxed))
            return std::nullopt;
        const int n = decoder.read(block.data(), kBlock);
        if (n == 0)
            break;
        if (ebur128_add_frames_float(state.get(), block.data(), static_cast<std::size_t>(n)) != EBUR128_SUCCESS) {
            qCWarning(logSound) << "libebur128 failed to take a block of frames";
            return std::nullopt;
        }
    }
    double lufs = 0.0;
    if (ebur128_loudness_global(state.get(), &lufs) != EBUR128_SUCCESS)
        return std::nullopt;
    double peak = 0.0;
    for (unsigned channel = 0; channel < Decoder::kChannels; ++channel) {
        double p = 0.0;
        if (ebur128_true_peak(state.get(), channel, &p) == EBUR128_SUCCESS)
            peak = std::max(peak, p);
    }
    return loudnessFromMeasurement(lufs, peak);
}

} // namespace gx
