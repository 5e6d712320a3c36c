#include "sound/Sound.h"

#include "platform/Logging.h"

#include "platform/Resources.h"
#include "platform/ThreadName.h"
#include "sound/AudioEngine.h"
#include "sound/Decoder.h"
#include "sound/MemoryVoice.h"
#include "sound/Mixer.h"
#include "sound/MusicTime.h"
#include "sound/StreamVoice.h"

#include <future>
#include <mutex>
#include <system_error>
#include <utility>

namespace gx {

namespace {

// Sounds up to this long are decoded whole into memory; longer ones stream.
constexpr std::int64_t kShortSoundSeconds = 10;
// How far to decode a sound the container claims is short before giving up
// on the claim and streaming it.
constexpr std::int64_t kShortSoundLimitSeconds = 15;
constexpr int kLoadBlock = 8192;

std::shared_ptr<Voice> openVoice(const std::string& path, OpenFailure& failure)
{
    std::unique_ptr<Decoder> decoder = Decoder::open(path, &failure);
    if (!decoder)
        return nullptr;
    const std::int64_t rate = decoder->sampleRate();
    if (decoder->estimatedFrames() <= kShortSoundSeconds * rate) {
        const std::int64_t limit = kShortSoundLimitSeconds * rate;
        // Decoded a block at a time straight into the voice's store.
        std::vector<float> block(static_cast<std::size_t>(kLoadBlock) * 2);
        MemoryVoice::Samples samples;
        samples.reserve(static_cast<std::size_t>(decoder->estimatedFrames()) * 2);
        for (;;) {
            const int n = decoder->read(block.data(), kLoadBlock);
            if (n == 0)
                return std::make_shared<MemoryVoice>(static_cast<int>(rate), std::move(samples));
            samples.append(block.data(), static_cast<std::size_t>(n) * 2);
            if (static_cast<std::int64_t>(samples.size() / 2) > limit)
                break;
        }
        decoder->seek(0);
    }
    return std::make_shared<StreamVoice>(std::move(decoder));
}

// Every wait for the worker happens after the future is taken out of the
// slot and the lock let go.
struct Preopened {
    std::mutex mutex; // guards path and song
    std::string path;
    std::future<std::unique_ptr<Sound>> song;
};

// Never destroyed: a song still held at exit must not outlive the engine.
Preopened& preopened()
{
    static auto* slot = new Preopened();
    return *slot;
}

// Empties the slot, leaving its future (and its path) to the caller.
std::future<std::unique_ptr<Sound>> takeFromSlot(std::string* path = nullptr)
{
    Preopened& slot = preopened();
    std::lock_guard lock(slot.mutex);
    if (path)
        *path = slot.path;
    return std::move(slot.song);
}

// The preopened song when it is the one asked for. Any other path leaves it
// in its slot: the effect sounds are opened while the song already plays.
std::unique_ptr<Sound> takePreopened(const std::string& path)
{
    std::future<std::unique_ptr<Sound>> song;
    {
        Preopened& slot = preopened();
        std::lock_guard lock(slot.mutex);
        if (!slot.song.valid() || slot.path != path)
            return nullptr;
        song = std::move(slot.song);
    }
    return song.get();
}

} // namespace

void Sound::dropPreopened()
{
    if (std::future<std::unique_ptr<Sound>> song = takeFromSlot(); song.valid())
        song.get(); // waits for the worker; the song ends with it
}

void Sound::playPreopened(float volume, float rate)
{
    std::string path;
    std::future<std::unique_ptr<Sound>> taken = takeFromSlot(&path);
    if (!taken.valid())
        return;
    std::unique_ptr<Sound> song = taken.get();
    if (song && song->isOpen()) {
        song->setVolume(volume);
        song->setRate(rate);
        song->play();
    }
    // Back into the slot, ready, unless another song was preopened meanwhile;
    // then this one ends here, after the lock.
    std::promise<std::unique_ptr<Sound>> ready;
    ready.set_value(std::move(song));
    std::future<std::unique_ptr<Sound>> readyFuture = ready.get_future();
    Preopened& slot = preopened();
    std::lock_guard lock(slot.mutex);
    if (!slot.song.valid()) {
        slot.path = path;
        slot.song = std::move(readyFuture);
    }
}

void Sound::preopen(const std::string& path)
{
    dropPreopened();
    // One preopened meanwhile by another thread ends here, after the lock.
    std::future<std::unique_ptr<Sound>> before;
    Preopened& slot = preopened();
    std::lock_guard lock(slot.mutex);
    try {
        before = std::exchange(slot.song, std::async(std::launch::async, [path] {
            nameThisThread("gx-preopen");
            initialize();
            return open(path, AudioEngine::shared().mixer());
        }));
        slot.path = path;
    } catch (const std::system_error& e) {
        // No thread to be had: the song is opened when it is asked for.
        qCWarning(logSound) << "Thread gx-preopen cannot start:" << e.what();
    }
}

void Sound::initialize()
{
    AudioEngine::shared();
}

std::vector<std::string> Sound::acceptedTypes()
{
    return {"aif", "aiff", "AIF", "AIFF", "aifc", "AIFC", "wav", "WAV", "mp3", "MP3", "m4a", "m4p", "mpg", "mpeg",
        "mp4", "mov"};
}

std::unique_ptr<Sound> Sound::open(const std::string& path)
{
    if (std::unique_ptr<Sound> song = takePreopened(path))
        return song;
    initialize();
    return open(path, AudioEngine::shared().mixer());
}

std::unique_ptr<Sound> Sound::open(const std::string& path, std::shared_ptr<Mixer> mixer)
{
    OpenFailure failure = OpenFailure::none;
    std::shared_ptr<Voice> voice = openVoice(path, failure);
    if (voice && mixer)
        mixer->add(voice);
    return std::unique_ptr<Sound>(new Sound(std::move(mixer), std::move(voice), failure));
}

std::unique_ptr<Sound> Sound::openResource(const std::string& name)
{
    return open(pathForSoundResource(name));
}

Sound::Sound(std::shared_ptr<Mixer> mixer, std::shared_ptr<Voice> voice, OpenFailure openFailure)
    : mixer_(std::move(mixer))
    , voice_(std::move(voice))
    , openFailure_(openFailure)
{
}

Sound::~Sound()
{
    if (!voice_)
        return;
    voice_->pause();
    if (mixer_)
        mixer_->remove(voice_.get());
}

void Sound::play()
{
    if (!voice_)
        return;
    voice_->play();
    if (mixer_)
        mixer_->voiceStarted();
}

void Sound::pause()
{
    if (voice_)
        voice_->pause();
}

void Sound::stop()
{
    if (voice_)
        voice_->stop();
}

bool Sound::isPlaying() const
{
    return voice_ && voice_->isPlaying();
}

void Sound::setLoop(bool loop)
{
    if (voice_)
        voice_->setLoop(loop);
}

float Sound::rate() const
{
    return voice_ ? voice_->rate() : 0.0f;
}

void Sound::setRate(float rate)
{
    if (voice_)
        voice_->setRate(rate);
}

float Sound::lengthSeconds() const
{
    return secondsFromTimeValue(duration(), timeScale());
}

float Sound::positionSeconds() const
{
    return secondsFromTimeValue(currentTime(), timeScale());
}

void Sound::setPositionSeconds(float seconds)
{
    if (voice_)
        voice_->seek(timeValueFromSeconds(seconds, timeScale()));
}

void Sound::setVolume(float fraction)
{
    if (voice_)
        voice_->setEngineVolume(engineVolumeFromFraction(fraction));
}

void Sound::setLoudnessGain(float gain)
{
    if (voice_)
        voice_->setLoudnessGain(gain);
}

float Sound::loudnessGain() const
{
    return voice_ ? voice_->loudnessGain() : 1.0f;
}

std::int32_t Sound::duration() const
{
    return voice_ ? voice_->lengthFrames() : 0;
}

std::int32_t Sound::currentTime() const
{
    return voice_ ? voice_->positionFrames() : 0;
}

std::int32_t Sound::timeScale() const
{
    return voice_ ? voice_->sampleRate() : 0;
}

std::int16_t Sound::engineVolume() const
{
    return voice_ ? voice_->engineVolume() : std::int16_t {0};
}

} // namespace gx
