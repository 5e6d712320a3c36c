#pragma once
// Sums every voice that is added to it into interleaved stereo float frames
// at one output rate. The output device pulls it from its own thread; tests
// and benchmarks render it directly, with no device.
//
// The audio callback only mixes. render() runs on SDL's audio thread (or the
// silent clock's): it takes mutex_, then each voice's own lock, one at a
// time and always in that order, and never decodes, allocates or waits on
// anything else; a streamed song's decoding happens on its own thread.
// add(), remove() and voiceCount() may be called from any thread.
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace gx {

class Voice;

class Mixer {
public:
    static constexpr int kDefaultRate = 44100;

    // `onVoiceStarted` runs on the thread that starts a voice (see
    // voiceStarted): an output that went quiet while nothing played resumes.
    explicit Mixer(int outputRate = kDefaultRate, std::function<void()> onVoiceStarted = {});
    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;

    int outputRate() const { return outputRate_; }

    void add(std::shared_ptr<Voice> voice);
    // Once this returns, no render is inside the voice and none will be.
    void remove(const Voice* voice);
    std::size_t voiceCount() const;
    // Whether any voice is playing now.
    bool anyPlaying() const;

    // Overwrites out with `frames` mixed stereo frames, clipped to [-1, 1].
    // Answers whether any voice is still playing afterwards.
    bool render(float* out, int frames);

    // A voice of this mixer has just been told to play.
    void voiceStarted() const;

private:
    const int outputRate_;
    const std::function<void()> onVoiceStarted_;
    // --- guarded by mutex_
    mutable std::mutex mutex_;
    std::vector<std::shared_ptr<Voice>> voices_;
};

} // namespace gx
