#pragma once
// The names of the resources the player loads and the generators in tools/
// write (images without ".tif" or "@2x.tif"). No toolkit. tools/artwork.cmake
// reads the quoted names of turntableImages from this file, one per line.
#include <array>

namespace gx::resources {

inline constexpr const char* background = "bg";
inline constexpr const char* disc = "disc";
inline constexpr const char* reflection = "reflect";
inline constexpr const char* centrePiece = "center";
inline constexpr const char* dial = "dial";
inline constexpr const char* arm = "arm";
inline constexpr const char* playButton = "play_btn";
inline constexpr const char* stopButton = "stop_btn";

inline constexpr std::array<const char*, 8> turntableImages {
    "bg",
    "disc",
    "reflect",
    "center",
    "dial",
    "arm",
    "play_btn",
    "stop_btn",
};

inline constexpr const char* stringTable = "Localizable.strings";
inline constexpr const char* iTunesScript = "script_for_iTunes.scpt";

} // namespace gx::resources
