#pragma once
// The short events that crackles, clicks and thumps are made of, rendered
// into a buffer at a time in seconds. Events that run past the buffer's end
// are cut off there.
#include "AudioBuffer.h"

namespace gx::synth {

class Random;

class Transients {
public:
    // A needle tick: a two-sample spike (the dust grain) and the ringing of
    // the stylus at ringHz, dying away with time constant decay seconds.
    static void tick(AudioBuffer& out, double at, float amplitude, double ringHz, double decay, float pan);

    // A low, round pop: a sine that falls from startHz toward endHz while
    // it decays; the attack takes half a millisecond.
    static void thump(
        AudioBuffer& out, double at, float amplitude, double startHz, double endHz, double decay, float pan);

    // Band-passed noise with a linear attack and an exponential decay,
    // lasting length seconds (the last fifth fades to zero).
    static void noiseBurst(AudioBuffer& out, double at, double length, float amplitude, double centreHz, double q,
        double attack, double decay, float pan, Random& rng);
};

} // namespace gx::synth
