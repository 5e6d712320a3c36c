#pragma once
// The length of a decoder session's stream and exact seeks within it. Seeks
// land sample-accurately: the demuxer is put a lead-in before the target and
// frames are decoded up to it, or, where timestamps cannot be trusted, counted
// from the very start.
#include <cstdint>

namespace gx {

struct DecoderSession;

class DecoderSeeker {
public:
    explicit DecoderSeeker(DecoderSession& session);

    // Looks for the length where the container only guesses it, on a
    // session just opened, and leaves it at the start; false when the file
    // cannot be read again from there.
    bool scan();
    // Fixes the length, once frame 0's timestamp is known.
    void fixLength();
    // The length in frames as fixed above.
    std::int64_t frames() const { return estimate_; }
    // Makes the next read start exactly at `target` (below 0 means 0).
    void seek(std::int64_t target);

private:
    enum class Outcome { Reached, EndedBefore, NoTimestamp, Overshot };

    std::int64_t countFrames();
    bool findTailEnd();
    std::int64_t containerFrames() const;
    bool seekDemuxer(std::int64_t from);
    bool restart();
    Outcome decodeUpTo(std::int64_t target);

    DecoderSession& s_;
    std::int64_t preroll_ = 0;
    std::int64_t counted_ = -1;
    // Where the last packet ends, from a look at the file's tail.
    std::int64_t tailEndTs_;
    std::int64_t estimate_ = 0;
};

} // namespace gx
