#pragma once
// The names of the sounds we ship, without their ".wav": the player loads
// them by these names and the sound generator in tools/ writes them. No
// toolkit. tools/sounds.cmake reads the quoted names of allSoundNames from
// this file, one per line, to know what the generator makes.
#include <array>
#include <string>

namespace gx::sounds {

inline constexpr int crackleCount = 7;
// The crackles are "noise1" to "noise7".
inline std::string crackle(int number)
{
    return "noise" + std::to_string(number);
}
inline constexpr const char* hiss = "hiss";
inline constexpr const char* skip = "skip";
inline constexpr const char* stop = "stop";
inline constexpr const char* switchClick = "switch";
inline constexpr const char* demoSong = "01 Gramolux Serenade";

inline constexpr std::array<const char*, 12> allSoundNames {
    "noise1",
    "noise2",
    "noise3",
    "noise4",
    "noise5",
    "noise6",
    "noise7",
    "hiss",
    "skip",
    "stop",
    "switch",
    "01 Gramolux Serenade",
};

} // namespace gx::sounds
