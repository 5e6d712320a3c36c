#pragma once
// The demo song, "Gramolux Serenade": a slow waltz in C for vibraphone,
// flute, electric piano, double bass, strings and brushes, forty bars with an
// introduction, a tune heard three times around a bridge, and a coda that
// slows into a held final chord.
#include "AudioBuffer.h"

namespace gx::synth {

class Serenade {
public:
    static constexpr int kBars = 40;
    static constexpr int kBeatsPerBar = 3;
    static constexpr double kBeatSeconds = 0.5; // 120 beats a minute

    static AudioBuffer render();

    // Seconds from the first downbeat to a beat (counted from 0), with the
    // coda's ritardando.
    static double timeOfBeat(double beat);
};

} // namespace gx::synth
