#include "sound/Voice.h"

#include "sound/MusicTime.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace gx {

namespace {

std::int32_t clampToInt32(std::int64_t v)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, 0, std::numeric_limits<std::int32_t>::max()));
}

// Beyond this many source frames per output frame nothing audible is left;
// the bound also keeps the cursor arithmetic far from overflow.
constexpr double kMaxStep = 1024.0;

// Output frames between two steps of a loudness glide (1.5 ms at 44.1 kHz).
constexpr int kGlideStepFrames = 64;

} // namespace

Voice::Voice(int sampleRate, std::int64_t lengthFrames)
    : sampleRate_(sampleRate)
    , volume_(kFullEngineVolume)
    , length_(clampToInt32(lengthFrames))
{
}

Voice::~Voice() = default;

void Voice::setLengthLocked(std::int64_t frames)
{
    length_.store(clampToInt32(frames), std::memory_order_release);
}

void Voice::publishPositionLocked()
{
    position_.store(clampToInt32(cursor_.frame), std::memory_order_release);
}

void Voice::moveCursorLocked(std::int64_t frame)
{
    cursor_ = PlayCursor {frame, 0.0};
    cursorMovedLocked(frame);
    publishPositionLocked();
}

void Voice::play()
{
    std::lock_guard lock(mutex_);
    // A streamed song's real end is known only once decoded; until then its
    // end is the length it reports, which a seek may have reached.
    const std::int64_t known = endFrameLocked();
    const std::int64_t end = known >= 0 ? known : std::int64_t {lengthFrames()};
    if (cursor_.frame >= end)
        moveCursorLocked(0);
    playing_.store(true, std::memory_order_release);
}

void Voice::pause()
{
    std::lock_guard lock(mutex_);
    playing_.store(false, std::memory_order_release);
}

void Voice::stop()
{
    std::lock_guard lock(mutex_);
    playing_.store(false, std::memory_order_release);
    moveCursorLocked(0);
}

void Voice::seek(std::int64_t frame)
{
    std::lock_guard lock(mutex_);
    const std::int64_t end = endFrameLocked();
    const std::int64_t limit = end >= 0 ? end : std::int64_t {lengthFrames()};
    moveCursorLocked(std::clamp<std::int64_t>(frame, 0, limit));
}

void Voice::setLoop(bool loop)
{
    std::lock_guard lock(mutex_);
    loop_ = loop;
}

void Voice::setLoudnessGain(float gain)
{
    if (!std::isfinite(gain) || gain < 0.0f)
        return;
    std::lock_guard lock(mutex_);
    loudnessTarget_ = gain;
    if (!playing_.load(std::memory_order_relaxed))
        loudness_ = gain;
    loudnessPerSecond_ = (loudnessTarget_ - loudness_) / kLoudnessGlideSeconds;
}

float Voice::loudnessGain() const
{
    std::lock_guard lock(mutex_);
    return loudnessTarget_;
}

void Voice::glideLocked(int frames, int outputRate)
{
    loudness_ += loudnessPerSecond_ * static_cast<float>(frames) / static_cast<float>(outputRate);
    if ((loudnessPerSecond_ > 0.0f) == (loudness_ >= loudnessTarget_))
        loudness_ = loudnessTarget_;
}

void Voice::mixInto(float* out, int frames, int outputRate)
{
    std::lock_guard lock(mutex_);
    if (!playing_.load(std::memory_order_relaxed) || outputRate <= 0)
        return;
    const float rate = rate_.load(std::memory_order_relaxed);
    if (!(rate > 0.0f))
        return;
    const double step = std::min(static_cast<double>(rate) * sampleRate_ / outputRate, kMaxStep);
    const float volume = gainFromEngineVolume(volume_.load(std::memory_order_relaxed));

    int done = 0;
    while (done < frames) {
        const std::int64_t end = endFrameLocked();
        const std::int64_t stop = end >= 0 ? end : std::numeric_limits<std::int64_t>::max();
        // A glide goes in short steps, too small to be heard one by one.
        const bool gliding = loudness_ != loudnessTarget_;
        const int chunk = gliding ? std::min(frames - done, kGlideStepFrames) : frames - done;
        const int n = renderLocked(step, volume * loudness_, stop, out + 2 * static_cast<std::ptrdiff_t>(done), chunk);
        if (gliding)
            glideLocked(n, outputRate);
        done += n;
        if (end >= 0 && cursor_.frame >= end) {
            if (loop_ && end > 0) {
                moveCursorLocked(0);
                continue;
            }
            cursor_ = PlayCursor {end, 0.0};
            playing_.store(false, std::memory_order_release);
            break;
        }
        if (n == 0)
            break; // not decoded yet: hold the position, stay silent
    }
    publishPositionLocked();
    consumedLocked();
}

} // namespace gx
