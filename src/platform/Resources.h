#pragma once
// Where the program's own resources live: share/gramolux beside the folder of
// the running executable (bin/), which holds both in the build tree and in an
// installed prefix. GRAMOLUX_RESOURCES overrides it (tests use it to simulate
// a missing or broken resource folder).
#include <string>

namespace gx {

std::string resourcePath();

// Full path of the sound resource with this base name and any sound-file
// extension, or an empty string when there is none.
std::string pathForSoundResource(const std::string& name);

// Full path of a named resource file ("bg.tif"), or an empty string when it
// does not exist.
std::string pathForResource(const std::string& fileName);

} // namespace gx
