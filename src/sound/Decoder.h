#pragma once
// One sound file opened with FFmpeg: its first audio stream as interleaved
// stereo float frames at the stream's own sample rate (mono is doubled, more
// channels are mixed down), with sample-accurate seeking. Frame 0 is the first
// frame the decoder yields from the start of the file, after the encoder's
// priming that the container marks for removal.
//
// The parts: SoundFile guards the file and opens its demuxer, DecoderSession
// decodes, DecoderSeeker knows the length and seeks, TagReader reads tags. Not
// thread-safe; one owner at a time.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace gx {

// Why a file gave no sound, in the terms the user is told.
enum class OpenFailure { none, notFound, permissionDenied, noSound };

// What a file says about itself, where it says it.
struct TrackTags {
    std::string title;
    std::vector<std::string> artists;
    std::string album;
    std::vector<std::string> albumArtists;
    int trackNumber = 0; // 0: none given
    // The embedded cover as stored in the file, and the extension that fits
    // it ("jpg", "png", "gif", "bmp", "webp" or "tiff"); empty when there is
    // none we can hand on.
    std::string cover;
    std::string coverExtension;
};

class Decoder {
public:
    static constexpr int kChannels = 2;

    // Null unless the file holds an audio stream that decodes; then, when
    // asked, says why.
    static std::unique_ptr<Decoder> open(const std::string& path, OpenFailure* failure = nullptr);
    // The tags and cover in a file's container, read without decoding; null
    // when the file or its container does not open, or it holds streams but
    // none of sound.
    static std::optional<TrackTags> readTags(const std::string& path);
    ~Decoder();
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    int sampleRate() const;
    // Every tag of the file and of its audio stream, by FFmpeg's key; the
    // file's wins where both have a key.
    std::map<std::string, std::string> metadata() const;
    // The length in frames as known at open: from the container, or for a
    // stream whose length the container only guesses from its bitrate (VBR
    // MP3 without a header), by counting its packets.
    std::int64_t estimatedFrames() const;
    // The frame the next read starts with.
    std::int64_t position() const;
    // Reads up to maxFrames frames into out (kChannels floats each). Answers 0
    // once the stream has ended: at its real end, or at a break that cannot be
    // decoded past (truncation, damaged data, a failing read).
    int read(float* out, int maxFrames);
    // Makes the next read start exactly at `frame` (below 0 means 0). When the
    // stream ends before it, position() stops at the real end instead.
    void seek(std::int64_t frame);

private:
    struct Impl;
    explicit Decoder(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> d_;
};

} // namespace gx
