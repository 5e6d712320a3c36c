#pragma once
// The turntable's mechanical sounds: the needle jumping a groove, the
// platter winding down, and the play/stop switch.
#include "AudioBuffer.h"

namespace gx::synth {

class Mechanics {
public:
    // A thump with a click on its front and a short swish of the stylus
    // sliding across the grooves; 220 ms, stereo.
    static AudioBuffer needleSkip();

    // The motor winding down: a hum and a whine that fall in pitch as the
    // platter slows, over a rumble, fading out; 1.7 s, stereo.
    static AudioBuffer motorStop();

    // A crisp two-part click: the lever's press, then its latch; 55 ms,
    // stereo.
    static AudioBuffer switchClick();
};

} // namespace gx::synth
