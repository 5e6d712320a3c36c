#pragma once
// The player's one sound class: one playable file (a song, or one of the
// effect sounds shipped as resources) with start, pause, stop, rewind, seeking
// in seconds, speed, volume and looping. Time is presented as 32-bit integers:
// the time scale is the file's sample rate and time values are sample frames;
// seconds come from them by the rules in sound/MusicTime.h.
//
// Every operation may be called from any thread, also two at once. Position,
// length, speed and volume are atomics, so positionSeconds, lengthSeconds,
// setRate and setVolume never wait. An object whose file did not open
// opened no file: it answers 0.0 for its length and position and plays nothing,
// and openFailure() says why.
#include "sound/Decoder.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace gx {

class Mixer;
class Voice;

class Sound {
public:
    // Starts the audio engine (the one output device of the process) once;
    // idempotent and thread-safe. The factories call it themselves too.
    static void initialize();
    // The file name extensions accepted as music, a fresh list on each call.
    static std::vector<std::string> acceptedTypes();

    static std::unique_ptr<Sound> open(const std::string& path);
    // Starts the audio engine and opens the file on a worker thread, so that
    // the next open of the same path finds the song with its
    // first buffers decoded. One at a time: another preopen drops the song
    // before. Opening any other file (an effect sound, say) leaves it be; the
    // caller drops it once it knows the song will not be asked for.
    static void preopen(const std::string& path);
    // Waits for a preopened song not taken yet and drops it, so that no
    // worker is left running and no song plays that nobody owns.
    static void dropPreopened();
    // Waits for the preopened song and starts it at that volume and rate;
    // it stays preopened, playing, for the next open.
    static void playPreopened(float volume, float rate);
    // The same, mixed by the given mixer instead of the process's output:
    // tests and benchmarks render such a mixer themselves, with no device.
    static std::unique_ptr<Sound> open(const std::string& path, std::shared_ptr<Mixer> mixer);
    // The sound resource of that base name; a missing one opens nothing.
    static std::unique_ptr<Sound> openResource(const std::string& name);

    // Halts, and takes the sound out of the mixer before returning.
    ~Sound();
    Sound(const Sound&) = delete;
    Sound& operator=(const Sound&) = delete;

    // Plays from the position; at the end it rewinds first; a playing sound
    // goes on where it is.
    void play();
    void pause();
    // Halts and rewinds.
    void stop();
    bool isPlaying() const;
    void setLoop(bool loop);

    // Speed and pitch, 1.0 being the file's own; 0 or below holds it silent.
    float rate() const;
    void setRate(float rate);
    float lengthSeconds() const;
    float positionSeconds() const;
    // Sample accurate, playing or halted; clamped to the sound.
    void setPositionSeconds(float seconds);
    // 1.0 plays at 255/256 of the file's own level, 0.0 is silent.
    void setVolume(float fraction);
    // The loudness-levelling factor, under the volume; a playing sound
    // glides to it over half a second.
    void setLoudnessGain(float gain);
    float loudnessGain() const;

    bool isOpen() const { return voice_ != nullptr; }
    // Why the file did not open; none when it did.
    OpenFailure openFailure() const { return openFailure_; }
    std::int32_t duration() const;
    std::int32_t currentTime() const;
    std::int32_t timeScale() const;
    std::int16_t engineVolume() const;

private:
    Sound(std::shared_ptr<Mixer> mixer, std::shared_ptr<Voice> voice, OpenFailure openFailure);

    const std::shared_ptr<Mixer> mixer_;
    const std::shared_ptr<Voice> voice_;
    const OpenFailure openFailure_;
};

} // namespace gx
