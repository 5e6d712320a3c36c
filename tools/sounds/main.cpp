// Synthesises the player's sound set into the folder given as the one
// argument: seven crackles, the hiss loop, the skip, stop and switch
// sounds and the demo song, all 16-bit WAV at 44.1 kHz.
#include "SoundSet.h"

#include <iostream>

int main(int argc, char** argv)
{
    if (argc != 2 || argv[1][0] == '\0') {
        std::cerr << "usage: gx_make_sounds FOLDER\n";
        return 2;
    }
    const int failures = gx::synth::SoundSet::writeAll(argv[1], std::cerr);
    return failures == 0 ? 0 : 1;
}
