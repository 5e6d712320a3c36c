#pragma once
// A song's tags and embedded cover, read from its container's header alone:
// no decoder is opened and no sound decoded. Containers keep tags on the file
// (ID3, MP4, FLAC) or on the audio stream (Ogg Vorbis and Opus comments).
#include "sound/Decoder.h"

#include <optional>
#include <string>

namespace gx {

class TagReader {
public:
    static std::optional<TrackTags> read(const std::string& path);
};

} // namespace gx
