#pragma once
// The record's surface noise. The player starts it at 0 s and, every 4 s,
// winds it back to 0.5 s, so the file is built around one 4-second loop:
// every sample from the fade-in on equals the one 4 s later, and a jump back
// by 4 s from anywhere between 4.05 s and the end lands on the same sound.
#include "AudioBuffer.h"

namespace gx::synth {

class Hiss {
public:
    static constexpr double kLoopStart = 0.5;
    static constexpr double kLoopLength = 4.0;
    static constexpr double kLength = 5.5;
    static constexpr double kFadeIn = 0.05;
    static constexpr double kFadeOut = 0.03;

    // The finished sound: stereo, kLength seconds.
    static AudioBuffer make();

    // One turn of the loop, kLoopLength seconds, seamless from its last
    // sample back to its first.
    static AudioBuffer makeLoop();

    // Lays a loop out as the file: the loop's last kLoopStart seconds as a
    // lead-in, the loop, and then the loop again from its start to kLength;
    // with the fade-in and a short fade-out at the very end.
    static AudioBuffer layOut(const AudioBuffer& loop);
};

} // namespace gx::synth
