#include "sound/GXQTMusic.h"

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

namespace {

// Sounds up to this long are decoded whole into memory; longer ones stream.
constexpr std::int64_t kShortSoundSeconds = 10;
// How far to decode a sound the container claims is short before giving up
// on the claim and streaming it.
constexpr std::int64_t kShortSoundLimitSeconds = 15;
constexpr int kLoadBlock = 8192;

std::shared_ptr<gx::Voice> openVoice(const std::string& path, gx::OpenFailure& failure)
{
    std::unique_ptr<gx::Decoder> decoder = gx::Decoder::open(path, &failure);
    if (!decoder)
        return nullptr;
    const std::int64_t rate = decoder->sampleRate();
    if (decoder->estimatedFrames() <= kShortSoundSeconds * rate) {
        const std::int64_t limit = kShortSoundLimitSeconds * rate;
        // Decoded a block at a time straight into the voice's store.
        std::vector<float> block(static_cast<std::size_t>(kLoadBlock) * 2);
        gx::MemoryVoice::Samples samples;
        samples.reserve(static_cast<std::size_t>(decoder->estimatedFrames()) * 2);
        for (;;) {
            const int n = decoder->read(block.data(), kLoadBlock);
            if (n == 0)
                return std::make_shared<gx::MemoryVoice>(static_cast<int>(rate), std::move(samples));
            samples.append(block.data(), static_cast<std::size_t>(n) * 2);
            if (static_cast<std::int64_t>(samples.size() / 2) > limit)
                break;
        }
        decoder->seek(0);
    }
    return std::make_shared<gx::StreamVoice>(std::move(decoder));
}

struct Preopened {
    std::mutex mutex; // guards path and song
    std::string path;
    std::future<std::unique_ptr<GXQTMusic>> song;
};

// Never destroyed: a song still held at exit must not outlive the engine.
Preopened& preopened()
{
    static auto* slot = new Preopened();
    return *slot;
}

// The preopened song when it is the one asked for. Any other path leaves it
// in its slot: the effect sounds are opened while the song already plays.
std::unique_ptr<GXQTMusic> takePreopened(const std::string& path)
{
    Preopened& slot = preopened();
    std::lock_guard lock(slot.mutex);
    if (!slot.song.valid() || slot.path != path)
        return nullptr;
    return slot.song.get();
}

} // namespace

void GXQTMusic::dropPreopened()
{
    Preopened& slot = preopened();
    std::lock_guard lock(slot.mutex);
    if (slot.song.valid())
        slot.song.get(); // waits for the worker; the song ends with it
}

void GXQTMusic::playPreopened(float volume, float rate)
{
    Preopened& slot = preopened();
    std::lock_guard lock(slot.mutex);
    if (!slot.song.valid())
        return;
    std::unique_ptr<GXQTMusic> song = slot.song.get();
    if (song && song->hasMovie()) {
        song->setVolume(volume);
        song->setMovieRate(rate);
        song->play();
    }
    // Back into the slot, ready.
    std::promise<std::unique_ptr<GXQTMusic>> ready;
    ready.set_value(std::move(song));
    slot.song = ready.get_future();
}

void GXQTMusic::preopen(const std::string& path)
{
    dropPreopened();
    Preopened& slot = preopened();
    std::lock_guard lock(slot.mutex);
    try {
        slot.song = std::async(std::launch::async, [path] {
            gx::nameThisThread("gx-preopen");
            initialize();
            return initWithFilePath(path, gx::AudioEngine::shared().mixer());
        });
        slot.path = path;
    } catch (const std::system_error&) {
        // No thread to be had: the song is opened when it is asked for.
    }
}

void GXQTMusic::initialize()
{
    gx::AudioEngine::shared();
}

std::vector<std::string> GXQTMusic::musicFileType()
{
    return {"aif", "aiff", "AIF", "AIFF", "aifc", "AIFC", "wav", "WAV", "mp3", "MP3", "m4a", "m4p", "mpg", "mpeg",
        "mp4", "mov"};
}

std::unique_ptr<GXQTMusic> GXQTMusic::initWithFilePath(const std::string& path)
{
    if (std::unique_ptr<GXQTMusic> song = takePreopened(path))
        return song;
    initialize();
    return initWithFilePath(path, gx::AudioEngine::shared().mixer());
}

std::unique_ptr<GXQTMusic> GXQTMusic::initWithFilePath(const std::string& path, std::shared_ptr<gx::Mixer> mixer)
{
    gx::OpenFailure failure = gx::OpenFailure::none;
    std::shared_ptr<gx::Voice> voice = openVoice(path, failure);
    if (voice && mixer)
        mixer->add(voice);
    return std::unique_ptr<GXQTMusic>(new GXQTMusic(std::move(mixer), std::move(voice), failure));
}

std::unique_ptr<GXQTMusic> GXQTMusic::initWithResourceFile(const std::string& name)
{
    return initWithFilePath(gx::pathForSoundResource(name));
}

GXQTMusic::GXQTMusic(std::shared_ptr<gx::Mixer> mixer, std::shared_ptr<gx::Voice> voice, gx::OpenFailure openFailure)
    : mixer_(std::move(mixer))
    , voice_(std::move(voice))
    , openFailure_(openFailure)
{
}

GXQTMusic::~GXQTMusic()
{
    if (!voice_)
        return;
    voice_->pause();
    if (mixer_)
        mixer_->remove(voice_.get());
}

void GXQTMusic::gotoBeginning()
{
    if (voice_)
        voice_->gotoBeginning();
}

void GXQTMusic::play()
{
    if (!voice_)
        return;
    voice_->play();
    if (mixer_)
        mixer_->voiceStarted();
}

void GXQTMusic::pause()
{
    if (voice_)
        voice_->pause();
}

void GXQTMusic::stop()
{
    if (voice_)
        voice_->stop();
}

bool GXQTMusic::isPlaying() const
{
    return voice_ && voice_->isPlaying();
}

void GXQTMusic::setLoop(bool loop)
{
    if (voice_)
        voice_->setLoop(loop);
}

void GXQTMusic::moviesTask()
{
}

float GXQTMusic::movieRate() const
{
    return voice_ ? voice_->rate() : 0.0f;
}

void GXQTMusic::setMovieRate(float rate)
{
    if (voice_)
        voice_->setRate(rate);
}

float GXQTMusic::movieTotalSeconds() const
{
    return gx::secondsFromTimeValue(duration(), timeScale());
}

float GXQTMusic::movieCrntSecond() const
{
    return gx::secondsFromTimeValue(currentTime(), timeScale());
}

void GXQTMusic::setMovieCrntSecond(float seconds)
{
    if (voice_)
        voice_->seek(gx::timeValueFromSeconds(seconds, timeScale()));
}

void GXQTMusic::setVolume(float fraction)
{
    if (voice_)
        voice_->setEngineVolume(gx::engineVolumeFromFraction(fraction));
}

std::int32_t GXQTMusic::duration() const
{
    return voice_ ? voice_->lengthFrames() : 0;
}

std::int32_t GXQTMusic::currentTime() const
{
    return voice_ ? voice_->positionFrames() : 0;
}

std::int32_t GXQTMusic::timeScale() const
{
    return voice_ ? voice_->sampleRate() : 0;
}

std::int16_t GXQTMusic::engineVolume() const
{
    return voice_ ? voice_->engineVolume() : std::int16_t {0};
}
