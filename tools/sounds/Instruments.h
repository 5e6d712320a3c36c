#pragma once
// The demo song's band: each call renders one note into the dry mix and, at
// the instrument's own level, into the reverb send.
#include "AudioBuffer.h"
#include "Random.h"

#include <cstdint>

namespace gx::synth {

class Instruments {
public:
    // dry and send must be stereo and equally long; they outlive this.
    Instruments(AudioBuffer& dry, AudioBuffer& send, std::uint64_t seed);

    // Equal temperament, A4 (note 69) at 440 Hz.
    static double frequencyOf(int midiNote);

    // Times and lengths in seconds, velocity 0 .. 1, pan -1 .. 1.
    // Vibraphone: three bar modes, a soft mallet and the motor's tremolo.
    void vibes(double at, double length, int note, float velocity, float pan);
    // Flute: nearly pure harmonics, a breathy onset and a delayed vibrato.
    void flute(double at, double length, int note, float velocity, float pan);
    // Electric piano by frequency modulation, bright on the strike.
    void piano(double at, double length, int note, float velocity, float pan);
    // Plucked double bass, in the middle.
    void bass(double at, double length, int note, float velocity);
    // Soft string pad: two detuned saws through a low-pass.
    void pad(double at, double length, int note, float velocity, float pan);
    // Brushes and a soft bass drum.
    void kick(double at, float velocity);
    void brushTap(double at, float velocity, float pan);
    void brushSweep(double at, double length, float velocity, float pan);

private:
    void put(std::size_t frame, float v, const PanGains& pan, float send)
    {
        dry_.addPanned(frame, v, pan);
        send_.addPanned(frame, v * send, pan);
    }

    AudioBuffer& dry_;
    AudioBuffer& send_;
    Random rng_;
};

} // namespace gx::synth
