#pragma once
// Seven vinyl crackles, each a different kind of dust under the needle.
#include "AudioBuffer.h"

namespace gx::synth {

class Crackles {
public:
    static constexpr int kCount = 7;

    // Variant 1 .. kCount: a pop, a double tick, a dusty burst, a sharp
    // click, a fizz, a muffled thump, a triple crackle. Stereo, 20 to 150 ms,
    // starting and ending at zero. Throws std::out_of_range for any other
    // variant.
    static AudioBuffer make(int variant);

private:
    static AudioBuffer pop();
    static AudioBuffer doubleTick();
    static AudioBuffer dustyBurst();
    static AudioBuffer sharpClick();
    static AudioBuffer fizz();
    static AudioBuffer muffledThump();
    static AudioBuffer tripleCrackle();
    // Common finish: tone shaping, level, zero ends and no DC.
    static AudioBuffer finish(AudioBuffer sound, double lowPassHz, float peak);
};

} // namespace gx::synth
