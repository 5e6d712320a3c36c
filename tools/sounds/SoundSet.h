#pragma once
// The whole set of sounds the player loads by name, and writing it out.
#include "AudioBuffer.h"

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace gx::synth {

class SoundSet {
public:
    struct Entry {
        std::string fileName;
        std::function<AudioBuffer()> make;
    };

    // noise1 .. noise7, hiss, skip, stop, switch and the demo song.
    static std::vector<Entry> entries();

    // Renders every sound and writes it into folder, which is created if
    // need be. Reports each failure on log and goes on with the rest;
    // returns the number of sounds that could not be written.
    static int writeAll(const std::string& folder, std::ostream& log);
};

} // namespace gx::synth
